// The word lists of data/pronunciation: each is converted with the rule file
// of its language and must come out as written for at least 97 % of its
// words, in phones its voice knows. (That the phones are then spoken
// without a missing diphone is the voice test's every-pair check, and the
// audio tests' on real sentences.)
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "ShippedData.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

TEST(Pronunciation, EveryListIsSpokenAsWritten) {
    TempProfile profile;
    const std::vector<WordList> lists = wordLists();
    ASSERT_FALSE(lists.empty());
    for (const WordList& list : lists) {
        SCOPED_TRACE(list.path);
        auto it = std::find_if(shippedLanguages().begin(), shippedLanguages().end(),
                               [&](const ShippedLanguage& l) { return l.name == list.languageName; });
        ASSERT_NE(it, shippedLanguages().end()) << "no rule file for " << list.languageName;
        const auto language = LanguageRuleBase::load(dataPath("pelmira/" + it->ruleFile));
        const synth::VoiceDatabase voice = shippedVoice(language->mbrolaDatabase());
        ASSERT_FALSE(list.entries.empty());
        int right = 0;
        std::string misses;
        for (const WordList::Entry& e : list.entries) {
            EXPECT_FALSE(e.phones.empty()) << "line " << e.line << ": no phones for " << e.word;
            std::istringstream expected(e.phones);
            for (std::string p; expected >> p;)
                EXPECT_TRUE(voice.phones.count(p)) << "line " << e.line << ": unknown phone " << p;
            std::string got;
            try {
                got = spokenPhones(language->convertWord(utf8ToUtf16(e.word)));
            } catch (const MException& ex) {
                got = "error: " + ex.message();
            }
            if (got == e.phones) ++right;
            else misses += "  line " + std::to_string(e.line) + ": " + e.word + "  expected [" + e.phones + "]  got [" + got + "]\n";
        }
        EXPECT_GE(100.0 * right / static_cast<double>(list.entries.size()), 97.0)
            << right << " of " << list.entries.size() << " words right\n" << misses;
    }
}
