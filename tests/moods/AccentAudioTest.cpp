// Accents on real audio: text of one voice database mapped onto another is
// spoken by the target voice with every phone known and no diphone missing.
#include <gtest/gtest.h>

#include <filesystem>

#include "AudioAnalysis.h"
#include "ShippedData.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/PhonemeText.h"
#include "vorsan/core/Text.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/synth/Mbrola.h"
#include "vorsan/synth/SynthReport.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

namespace {

double totalSeconds(const std::string& phonemes) {
    PhonemeRecordList list;
    list.read(phonemes);
    double ms = 0;
    for (const auto& r : list) ms += r.duration;
    return ms / 1000.0;
}

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& s : items) out += s + "; ";
    return out;
}

// Speaks text of `language` through the accent file; checks the chunk goes to
// the accent's voice, and the audio has the planned length, a voice, and no
// missing diphone.
void checkAccent(SpeechEngine& engine, const std::string& language, const std::string& accentFile,
                 const std::string& targetDb, const std::u16string& text) {
    SCOPED_TRACE(accentFile);
    const std::string key = engine.addAccentDatabase(dataPath("oskalen/" + accentFile));
    engine.setAccentDatabase(language, key);
    engine.setPrimaryLanguage(language);

    const std::string plain = engine.convertTextToPhoneme(text, false, false, false).at(0).phoneString;
    SpeechChunk mapped;
    try {
        mapped = engine.changeAccent(plain, key);
    } catch (const MException& e) {
        FAIL() << e.message();
    }
    EXPECT_EQ(mapped.mbrolaDatabase, targetDb);

    synth::takeMissingDiphones();
    const StringList files = engine.convertTextToSoundFile(text, false, true, kSoundWAVE);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(synth::takeMissingDiphones(), std::vector<std::string>{}) << joined(synth::takeMissingDiphones());
    const Audio audio = readAudio(utf16ToUtf8(files[0]));
    EXPECT_NEAR(audio.seconds(), totalSeconds(mapped.phoneString) * mapped.time, 0.1);
    EXPECT_TRUE(medianPitch(audio, 0.0, audio.seconds()).has_value());
    EXPECT_GT(rms(audio, 0.0, audio.seconds()), 0.01);
}

} // namespace

TEST(AccentAudio, EnglishWithTheIndianAccentIsSpokenByTheHindiVoice) {
    if (!dataFileExists("voices/in1.xml")) GTEST_SKIP() << "the in1 voice is not delivered yet";
    TempProfile profile;
    SpeechEngine engine;
    checkAccent(engine, SpeechEngine::kEnglishName, "en1toin1.xml", "in1",
                u"Good morning. The weather is fine today, and the market opens at nine. "
                u"Thank you very much for the wonderful singing and the three little things.");
}

TEST(AccentAudio, HindiSpokenByTheEnglishAndTeluguVoices) {
    if (!dataFileExists("pelmira/newPelmiraHindi.xml")) GTEST_SKIP() << "the Hindi rule file is not delivered yet";
    TempProfile profile;
    SpeechEngine engine;
    const std::string hindi = engine.addLanguageDatabase(dataPath("pelmira/newPelmiraHindi.xml"));
    const std::u16string text = u"नमस्ते, मेरा नाम राम है। मैं आज बाज़ार जाऊँगा और फल लाऊँगा।";
    checkAccent(engine, hindi, "in1toen1.xml", "en1", text);
    if (dataFileExists("voices/tl1.xml")) checkAccent(engine, hindi, "in1totl1.xml", "tl1", text);
    if (dataFileExists("voices/in1.xml")) checkAccent(engine, hindi, "in1toin1.xml", "in1", text);
}

TEST(AccentAudio, TeluguSpokenByTheHindiVoice) {
    if (!dataFileExists("pelmira/PelmiraTelugu.xml") || !dataFileExists("voices/in1.xml"))
        GTEST_SKIP() << "the Telugu rule file or the in1 voice is not delivered yet";
    TempProfile profile;
    SpeechEngine engine;
    const std::string telugu = engine.addLanguageDatabase(dataPath("pelmira/PelmiraTelugu.xml"));
    const std::u16string text = u"నమస్కారం, నా పేరు రాము. ఈ రోజు వాతావరణం బాగుంది.";
    checkAccent(engine, telugu, "tl1toin1.xml", "in1", text);
    if (dataFileExists("voices/tl1.xml")) checkAccent(engine, telugu, "tl1totl1.xml", "tl1", text);
}

TEST(AccentAudio, EveryPhoneAnAccentWritesIsKnownToItsTargetVoice) {
    TempProfile profile;
    int checked = 0;
    for (const ShippedAccentFile& f : shippedAccentFiles()) {
        if (!dataFileExists("voices/" + f.to + ".xml")) continue;
        SCOPED_TRACE(f.file);
        std::string text = "_ 50 \n";
        for (const std::string& p : accentOutputPhones(dataPath("oskalen/" + f.file)))
            text += p + " 90 50 120 \n";
        ASSERT_EQ(MBR_SetDatabase(f.to.c_str()), 0) << MBR_LastError();
        MBR_SetVoiceFreq(16000);
        MBR_SetPitchRatio(1.0f);
        MBR_SetDurationRatio(1.0f);
        const std::string out = (profile.path() / "phones.wav").string();
        ASSERT_EQ(MBR_Play(text.c_str(), MBR_FLAG_WAVE, out.c_str(), nullptr), 0) << MBR_LastError();
        EXPECT_EQ(MBR_WaitForEnd(), 0) << MBR_LastError();
        synth::takeMissingDiphones(); // arbitrary neighbours: only the phones matter here
        ++checked;
    }
    EXPECT_GE(checked, 1); // en1 is always shipped
}
