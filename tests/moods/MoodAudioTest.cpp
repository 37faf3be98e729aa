// The moods a listener hears: each shipped mood, applied by the engine and
// synthesised by the real voice, moves the voice's pitch and the speech's
// length the way the emotional-speech literature describes, by at least 10 %.
#include <gtest/gtest.h>

#include <cmath>
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

struct Heard {
    double seconds = 0;
    double pitch = 0;
};

Heard speakWithMood(SpeechEngine& engine, const std::string& language, const std::u16string& text,
                    const std::u16string& mood) {
    // The pipeline speaks a failing mood as neutral speech; apply it once
    // directly so a failure shows as such.
    const std::string plain = engine.convertTextToPhoneme(text, false, false, false).at(0).phoneString;
    try {
        engine.applyMood(plain, mood, engine.emotionDatabase(language));
    } catch (const MException& e) {
        ADD_FAILURE() << utf16ToUtf8(mood) << ": " << e.message();
    }
    engine.setActiveMood(language, mood);
    const StringList files = engine.convertTextToSoundFile(text, true, false, kSoundWAVE);
    EXPECT_EQ(files.size(), 1u);
    const Audio audio = readAudio(utf16ToUtf8(files.at(0)));
    const std::optional<double> pitch = medianPitch(audio, 0.0, audio.seconds());
    EXPECT_TRUE(pitch.has_value()) << utf16ToUtf8(mood) << ": no clear pitch";
    return {audio.seconds(), pitch.value_or(0.0)};
}

// Speaks the text in every mood and checks pitch and length against Neutral.
void checkMoods(SpeechEngine& engine, const std::string& language, const std::u16string& text) {
    struct Expected {
        const char16_t* mood;
        int pitch;    // +1: at least 10 % higher, -1: at least 10 % lower
        int duration; // +1: at least 10 % longer, -1: at least 10 % shorter
    };
    const Expected expected[] = {
        {u"Happy", +1, -1}, {u"Sad", -1, +1}, {u"Angry", +1, -1}, {u"Fear", +1, -1}, {u"Bored", -1, +1}};
    const Heard neutral = speakWithMood(engine, language, text, u"Neutral");
    std::printf("[ moods    ] %s Neutral: %.0f Hz, %.2f s\n", language.c_str(), neutral.pitch, neutral.seconds);
    ASSERT_GT(neutral.pitch, 0.0);
    for (const Expected& e : expected) {
        const std::string mood = utf16ToUtf8(e.mood);
        const Heard heard = speakWithMood(engine, language, text, e.mood);
        const double pitch = heard.pitch / neutral.pitch - 1.0;
        const double duration = heard.seconds / neutral.seconds - 1.0;
        std::printf("[ moods    ] %s %s: pitch %+.1f %%, duration %+.1f %%\n", language.c_str(), mood.c_str(),
                    100 * pitch, 100 * duration);
        EXPECT_GE(pitch * e.pitch, 0.10) << mood << " pitch " << heard.pitch << " Hz against " << neutral.pitch;
        EXPECT_GE(duration * e.duration, 0.10) << mood << " length " << heard.seconds << " s against "
                                               << neutral.seconds;
    }
}

} // namespace

TEST(MoodAudio, EnglishMoodsAreHeard) {
    TempProfile profile;
    SpeechEngine engine;
    const std::string english = SpeechEngine::kEnglishName;
    const std::string db = engine.addEmotionDatabase(dataPath("ruvetta/English (United States)_en1.xml"));
    engine.setEmotionDatabase(english, db);
    engine.setPrimaryLanguage(english);
    checkMoods(engine, english,
               u"The weather is fine today, and the market opens at nine. We will walk there together.");
}

TEST(MoodAudio, HindiMoodsAreHeard) {
    if (!dataFileExists("pelmira/newPelmiraHindi.xml") || !dataFileExists("voices/in1.xml"))
        GTEST_SKIP() << "the Hindi rule file or the in1 voice is not delivered yet";
    TempProfile profile;
    SpeechEngine engine;
    const std::string hindi = engine.addLanguageDatabase(dataPath("pelmira/newPelmiraHindi.xml"));
    const std::string db = engine.addEmotionDatabase(dataPath("ruvetta/Hindi_in1.xml"));
    engine.setEmotionDatabase(hindi, db);
    engine.setPrimaryLanguage(hindi);
    checkMoods(engine, hindi, u"आज मौसम बहुत अच्छा है, और बाज़ार नौ बजे खुलता है। हम साथ में वहाँ चलेंगे।");
}

TEST(MoodAudio, EveryOtherIndianLanguagesMoodsAreHeard) {
    struct Case {
        const char* ruleFile;
        const char* emotionFile;
        const char16_t* text;
    };
    const Case cases[] = {
        {"pelmira/PelmiraMarathi.xml", "ruvetta/Marathi_mr1.xml", u"आज हवामान खूप छान आहे, आणि बाजार नऊ वाजता उघडतो."},
        {"pelmira/PelmiraGujarati.xml", "ruvetta/Gujarati_in1.xml", u"આજે હવામાન ખૂબ સરસ છે, અને બજાર નવ વાગ્યે ખૂલે છે."},
        {"pelmira/PelmiraTelugu.xml", "ruvetta/Telugu_tl1.xml", u"ఈ రోజు వాతావరణం చాలా బాగుంది, మరియు బజారు తొమ్మిది గంటలకు తెరుస్తారు."},
        {"pelmira/PelmiraKannada.xml", "ruvetta/Kannada_tl1.xml", u"ಇಂದು ಹವಾಮಾನ ತುಂಬಾ ಚೆನ್ನಾಗಿದೆ, ಮತ್ತು ಮಾರುಕಟ್ಟೆ ಒಂಬತ್ತು ಗಂಟೆಗೆ ತೆರೆಯುತ್ತದೆ."},
        {"pelmira/PelmiraTamil.xml", "ruvetta/Tamil_tl1.xml", u"இன்று வானிலை மிகவும் நன்றாக இருக்கிறது, மற்றும் சந்தை ஒன்பது மணிக்கு திறக்கும்."},
    };
    for (const Case& c : cases) {
        TempProfile profile;
        SpeechEngine engine;
        const std::string language = engine.addLanguageDatabase(dataPath(c.ruleFile));
        engine.setEmotionDatabase(language, engine.addEmotionDatabase(dataPath(c.emotionFile)));
        engine.setPrimaryLanguage(language);
        SCOPED_TRACE(language);
        checkMoods(engine, language, c.text);
    }
}
