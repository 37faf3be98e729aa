// The word lists of data/pronunciation: each is converted with the rule file
// of its language and must come out as written for at least 97 % of its
// words; and the whole list, spoken by the language's voice, needs no diphone
// the voice lacks.
#include <gtest/gtest.h>

#include <iostream>

#include "AudioAnalysis.h"
#include "DataFiles.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/synth/Mbrola.h"
#include "vorsan/synth/SynthReport.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::datatest;

namespace {
// The loaded rule file of each language name.
std::map<std::string, std::unique_ptr<LanguageRuleBase>> languagesByName() {
    std::map<std::string, std::unique_ptr<LanguageRuleBase>> out;
    for (const std::string& path : ruleFiles()) {
        try {
            auto language = LanguageRuleBase::load(path);
            const std::string name = language->name();
            out.emplace(name, std::move(language));
        } catch (const MException&) {
            // reported by the rule file tests
        }
    }
    return out;
}
} // namespace

TEST(Pronunciation, EveryListIsSpokenAsWrittenForAtLeast97Percent) {
    vorsan::testing::TempProfile profile;
    const auto languages = languagesByName();
    int checked = 0;
    for (const WordList& list : wordLists()) {
        SCOPED_TRACE(list.path);
        auto it = languages.find(list.languageName);
        if (it == languages.end()) {
            std::cout << list.path << ": no rule file for " << list.languageName << ", not checked\n";
            continue;
        }
        const LanguageRuleBase& language = *it->second;
        const synth::VoiceDatabase voice = shippedVoice(language.mbrolaDatabase());
        ASSERT_FALSE(list.entries.empty());
        ++checked;
        int right = 0;
        std::string misses;
        for (const ListEntry& e : list.entries) {
            for (const auto& p : e.phones)
                if (!voice.phones.count(p)) ADD_FAILURE() << "line " << e.line << ": unknown phone " << p;
            EXPECT_FALSE(e.phones.empty()) << "line " << e.line << ": no phones for " << e.word;
            std::string got;
            try {
                got = join(phoneNames(language.convertWord(utf8ToUtf16(e.word))));
            } catch (const MException& ex) {
                got = "error: " + ex.message();
            }
            if (got == join(e.phones))
                ++right;
            else
                misses += "  line " + std::to_string(e.line) + ": " + e.word + "  expected [" + join(e.phones) +
                          "]  got [" + got + "]\n";
        }
        const double percent = 100.0 * right / static_cast<double>(list.entries.size());
        std::cout << list.languageName << ": " << right << " of " << list.entries.size() << " words right ("
                  << percent << " %)\n"
                  << misses;
        EXPECT_GE(percent, 97.0) << misses;
    }
    EXPECT_GT(checked, 0);
}

TEST(Pronunciation, EveryListIsSpokenWithoutMissingDiphones) {
    vorsan::testing::TempProfile profile;
    const auto languages = languagesByName();
    for (const WordList& list : wordLists()) {
        SCOPED_TRACE(list.path);
        auto it = languages.find(list.languageName);
        if (it == languages.end()) continue;
        const LanguageRuleBase& language = *it->second;
        synth::takeMissingDiphones();
        ASSERT_EQ(MBR_SetDatabase(language.mbrolaDatabase().c_str()), 0) << MBR_LastError();
        MBR_SetPitchRatio(1.0f);
        MBR_SetDurationRatio(1.0f);
        MBR_SetVoiceFreq(16000);
        // Each converted word between two short pauses, on a level pitch.
        const std::string out = (profile.path() / (list.languageName + ".wav")).string();
        int silent = 0;
        for (const ListEntry& e : list.entries) {
            std::vector<PhonemeUnit> units;
            try {
                units = language.convertWord(utf8ToUtf16(e.word));
            } catch (const MException&) {
                continue; // reported by the test above
            }
            std::string text = "_ 50\n";
            int ms = 100;
            for (const auto& u : units) {
                if (u.name == "_") continue;
                text += u.name + " " + std::to_string(u.duration) + " 50 130 \n";
                ms += u.duration;
            }
            text += "_ 50\n";
            if (ms == 100) continue;
            ASSERT_EQ(MBR_Play(text.c_str(), MBR_FLAG_WAVE, out.c_str(), nullptr), 0) << MBR_LastError();
            ASSERT_EQ(MBR_WaitForEnd(), 0) << MBR_LastError();
            const vorsan::testing::Audio audio = vorsan::testing::readAudio(out);
            EXPECT_NEAR(audio.seconds(), ms / 1000.0, 0.02) << e.word;
            if (vorsan::testing::rms(audio, 0.05, audio.seconds() - 0.05) < 0.01) ++silent;
        }
        std::string missing;
        for (const auto& d : synth::takeMissingDiphones()) missing += " " + d;
        EXPECT_EQ(missing, "");
        EXPECT_EQ(silent, 0) << "words spoken as silence";
    }
}
