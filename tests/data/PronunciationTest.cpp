// The word lists of data/pronunciation: each is converted with the rule file
// of its language and must come out as written for at least 97 % of its
// words; every word, spoken by the language's voice, is audible, as long as
// its phones, and needs no diphone the voice lacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "AudioAnalysis.h"
#include "ShippedData.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/synth/Mbrola.h"
#include "vorsan/synth/SynthReport.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

TEST(Pronunciation, EveryListIsSpokenAsWrittenAndAudibly) {
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
        synth::takeMissingDiphones();
        ASSERT_EQ(MBR_SetDatabase(language->mbrolaDatabase().c_str()), 0) << MBR_LastError();
        MBR_SetPitchRatio(1.0f);
        MBR_SetDurationRatio(1.0f);
        MBR_SetVoiceFreq(16000);
        const std::string out = (profile.path() / "word.wav").string();
        int right = 0, silent = 0;
        std::string misses;
        for (const WordList::Entry& e : list.entries) {
            EXPECT_FALSE(e.phones.empty()) << "line " << e.line << ": no phones for " << e.word;
            std::istringstream expected(e.phones);
            for (std::string p; expected >> p;)
                EXPECT_TRUE(voice.phones.count(p)) << "line " << e.line << ": unknown phone " << p;
            std::vector<PhonemeUnit> units;
            try {
                units = language->convertWord(utf8ToUtf16(e.word));
            } catch (const MException& ex) {
                misses += "  line " + std::to_string(e.line) + ": " + e.word + ": " + ex.message() + "\n";
                continue;
            }
            const std::string got = spokenPhones(units);
            if (got == e.phones) ++right;
            else misses += "  line " + std::to_string(e.line) + ": " + e.word + "  expected [" + e.phones + "]  got [" + got + "]\n";
            // The word between two short pauses, on a level pitch.
            std::string text = "_ 50\n";
            int ms = 100;
            for (const auto& u : units)
                if (u.name != "_") {
                    text += u.name + " " + std::to_string(u.duration) + " 50 130 \n";
                    ms += u.duration;
                }
            if (ms == 100) continue;
            ASSERT_EQ(MBR_Play((text + "_ 50\n").c_str(), MBR_FLAG_WAVE, out.c_str(), nullptr), 0) << MBR_LastError();
            ASSERT_EQ(MBR_WaitForEnd(), 0) << MBR_LastError();
            const Audio audio = readAudio(out);
            EXPECT_NEAR(audio.seconds(), ms / 1000.0, 0.02) << e.word;
            if (rms(audio, 0.05, audio.seconds() - 0.05) < 0.01) ++silent;
        }
        const double percent = 100.0 * right / static_cast<double>(list.entries.size());
        EXPECT_GE(percent, 97.0) << right << " of " << list.entries.size() << " words right\n" << misses;
        EXPECT_EQ(silent, 0) << "words spoken as silence";
        std::string missing;
        for (const auto& d : synth::takeMissingDiphones()) missing += " " + d;
        EXPECT_EQ(missing, "");
    }
}
