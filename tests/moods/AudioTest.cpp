// Moods and accents as a listener hears them, on real audio: each shipped
// mood, applied by the engine and synthesised by the real voice, moves the
// voice's pitch and the speech's length the way the emotional-speech
// literature describes, by at least 10 %; text mapped onto another voice by
// each shipped accent is spoken by that voice at the planned length, voiced.
// No diphone may be missing in any of it.
#include <gtest/gtest.h>

#include <cstdio>

#include "AudioAnalysis.h"
#include "ShippedData.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

namespace {

// An engine with the language (and its emotion file) as primary language.
struct LanguageEngine {
    TempProfile profile;
    SpeechEngine engine;
    std::string language;
    explicit LanguageEngine(const ShippedLanguage& l) {
        language = l.ruleFile.empty() ? l.name : engine.addLanguageDatabase(dataPath("pelmira/" + l.ruleFile));
        engine.setEmotionDatabase(language, engine.addEmotionDatabase(dataPath(l.emotionFile())));
        engine.setPrimaryLanguage(language);
    }
    Audio speak(const std::u16string& text, bool withEmotion, bool withAccent) {
        const StringList files = engine.convertTextToSoundFile(text, withEmotion, withAccent, kSoundWAVE);
        EXPECT_EQ(files.size(), 1u);
        return readAudio(utf16ToUtf8(files.at(0)));
    }
};

} // namespace

TEST(MoodAudio, EveryLanguagesMoodsAreHeard) {
    struct Expected {
        const char16_t* mood;
        int pitch;    // +1: at least 10 % higher, -1: at least 10 % lower
        int duration; // +1: at least 10 % longer, -1: at least 10 % shorter
    };
    const Expected expected[] = {
        {u"Happy", +1, -1}, {u"Sad", -1, +1}, {u"Angry", +1, -1}, {u"Fear", +1, -1}, {u"Bored", -1, +1}};
    for (const ShippedLanguage& l : shippedLanguages()) {
        SCOPED_TRACE(l.name);
        LanguageEngine e(l);
        const std::string plain = e.engine.convertTextToPhoneme(l.sentence, false, false, false).at(0).phoneString;
        auto heard = [&](const char16_t* mood) -> std::pair<double, double> {
            // The pipeline speaks a failing mood as neutral speech; apply it
            // once directly so a failure shows as such.
            EXPECT_EQ(messageOf([&] { e.engine.applyMood(plain, mood, e.engine.emotionDatabase(e.language)); }),
                      "no failure");
            e.engine.setActiveMood(e.language, mood);
            const Audio audio = e.speak(l.sentence, true, false);
            const std::optional<double> pitch = medianPitch(audio, 0.0, audio.seconds());
            EXPECT_TRUE(pitch.has_value()) << utf16ToUtf8(mood) << ": no clear pitch";
            return {pitch.value_or(0.0), audio.seconds()};
        };
        DiagnosticCapture diagnostics; // a missing diphone would be named here
        const auto [neutralPitch, neutralSeconds] = heard(u"Neutral");
        ASSERT_GT(neutralPitch, 0.0);
        for (const Expected& x : expected) {
            const auto [pitch, seconds] = heard(x.mood);
            const double dPitch = pitch / neutralPitch - 1.0, dLength = seconds / neutralSeconds - 1.0;
            std::printf("[ moods    ] %s %s: pitch %+.1f %%, duration %+.1f %%\n", l.name.c_str(),
                        utf16ToUtf8(x.mood).c_str(), 100 * dPitch, 100 * dLength);
            EXPECT_GE(dPitch * x.pitch, 0.10) << utf16ToUtf8(x.mood) << " pitch " << pitch << " Hz against " << neutralPitch;
            EXPECT_GE(dLength * x.duration, 0.10) << utf16ToUtf8(x.mood) << " length " << seconds << " s against "
                                                  << neutralSeconds;
        }
        EXPECT_EQ(diagnostics.text(), "");
    }
}

TEST(AccentAudio, EveryAccentIsSpokenByItsTargetVoice) {
    for (const auto& [from, to] : shippedAccents()) {
        // The first shipped language of the source voice speaks through the accent.
        const ShippedLanguage& l = *std::find_if(shippedLanguages().begin(), shippedLanguages().end(),
                                                 [&, from = from](const ShippedLanguage& s) { return s.database == from; });
        SCOPED_TRACE(l.name + " " + from + "to" + to);
        LanguageEngine e(l);
        const std::string key = e.engine.addAccentDatabase(dataPath("oskalen/" + from + "to" + to + ".xml"));
        e.engine.setAccentDatabase(e.language, key);
        const std::string plain = e.engine.convertTextToPhoneme(l.sentence, false, false, false).at(0).phoneString;
        SpeechChunk mapped;
        ASSERT_EQ(messageOf([&] { mapped = e.engine.changeAccent(plain, key); }), "no failure");
        EXPECT_EQ(mapped.mbrolaDatabase, to);

        DiagnosticCapture diagnostics; // a missing diphone would be named here
        const Audio audio = e.speak(l.sentence, false, true);
        EXPECT_EQ(diagnostics.text(), "");
        EXPECT_NEAR(audio.seconds(), phonemeSeconds(mapped.phoneString) * mapped.time, 0.1);
        EXPECT_TRUE(medianPitch(audio, 0.0, audio.seconds()).has_value());
        EXPECT_GT(rms(audio, 0.0, audio.seconds()), 0.01);
    }
}
