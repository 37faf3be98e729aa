// Mixed text loses nothing: in random mixes of the shipped languages' words,
// symbols, punctuation and characters no language claims, every digit is
// spoken.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <sstream>

#include "ShippedData.h"
#include "vorsan/core/PhonemeText.h"
#include "vorsan/core/Text.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

namespace {
// The phones said, without pauses.
std::vector<std::string> phoneNames(const ChunkList& chunks) {
    std::vector<std::string> names;
    for (const SpeechChunk& c : chunks) {
        PhonemeRecordList list;
        list.read(c.phoneString);
        for (const auto& r : list)
            if (r.name != "_") names.push_back(r.name);
    }
    return names;
}
} // namespace

TEST(MixedText, EveryDigitIsSpoken) {
    TempProfile profile;
    SpeechEngine engine;
    std::vector<std::u16string> pieces = {u"中文", u"Привет", u"😀", u"\uFFFD", u"₹", u"€", u"$", u"£", u"%",
                                          u"°", u"©", u"“", u"”", u"‘", u"’", u"…", u"—", u"–", u"•", u"।",
                                          u"!", u"?", u",", u";", u"(", u")", u"\u00A0", u"\u200D"};
    // How each language says each digit alone (English zero also as "oh").
    std::array<std::vector<std::vector<std::string>>, 10> said;
    for (const ShippedLanguage& l : shippedLanguages()) {
        if (!l.ruleFile.empty()) engine.addLanguageDatabase(dataPath("pelmira/" + l.ruleFile));
        engine.setPrimaryLanguage(l.name);
        for (int d = 0; d < 10; ++d) {
            said[d].push_back(phoneNames(engine.convertTextToPhoneme(std::u16string(1, static_cast<char16_t>(u'0' + d)), false, false, false)));
            ASSERT_FALSE(said[d].back().empty()) << l.name << " says nothing for " << d;
        }
        if (l.ruleFile.empty()) said[0].push_back(phoneNames(engine.convertTextToPhoneme(u"oh", false, false, false)));
        std::istringstream words(utf16ToUtf8(l.sentence));
        for (std::string w; words >> w;) pieces.push_back(utf8ToUtf16(w));
    }
    engine.setPrimaryLanguage("");

    std::mt19937 random(20261207);
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    const std::u16string around[][2] = {{u"", u""}, {u"₹", u""}, {u"$", u""}, {u"", u"%"}, {u"", u"°"},
                                        {u"“", u"”"}, {u"(", u")"}, {u"", u"."}, {u"€", u""}};
    for (int round = 0; round < 150; ++round) {
        std::u16string text;
        std::vector<int> digits;
        for (std::size_t k = 0, n = 3 + pick(14); k < n; ++k) {
            if (k) text += pick(8) ? u" " : u"  ";
            if (pick(3) == 0) {
                const int d = static_cast<int>(pick(10));
                const auto& [before, after] = around[pick(std::size(around))];
                text += before + std::u16string(1, static_cast<char16_t>(u'0' + d)) + after;
                digits.push_back(d);
            } else {
                text += pieces[pick(pieces.size())];
            }
        }
        const std::vector<std::string> names = phoneNames(engine.convertTextToPhoneme(text, false, false, false));
        // Each digit, in order, as some language says it.
        auto at = names.begin();
        for (int d : digits) {
            auto found = names.end();
            std::size_t length = 0;
            for (const auto& phones : said[d]) {
                auto it = std::search(at, names.end(), phones.begin(), phones.end());
                if (it < found) found = it, length = phones.size();
            }
            ASSERT_NE(found, names.end()) << "digit " << d << " not spoken in: " << utf16ToUtf8(text);
            at = found + static_cast<std::ptrdiff_t>(length);
        }
    }
}
