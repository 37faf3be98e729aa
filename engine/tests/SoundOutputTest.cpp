#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdlib>
#include <filesystem>

#include "EngineFixtures.h"
#include "vorsan/core/Text.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

namespace {
struct SoundInfo {
    int rate = 0;
    double seconds = 0;
    int format = 0;
};

SoundInfo inspect(const std::u16string& path) {
    SF_INFO info{};
    SNDFILE* f = sf_open(utf16ToUtf8(path).c_str(), SFM_READ, &info);
    if (!f) return {};
    sf_close(f);
    return {info.samplerate, static_cast<double>(info.frames) / info.samplerate, info.format & SF_FORMAT_TYPEMASK};
}
} // namespace

TEST(SoundOutput, WritesOneFilePerRunInEachType) {
    TempProfile profile;
    SpeechEngine engine;
    engine.addLanguageDatabase(profile.write("hi.xml", hindiRuleFile("Hindi", "en1")));
    const std::string folder = profile.path().string() + "/";

    EXPECT_EQ(messageOf([&] { engine.convertTextToSoundFile(u"Hello", false, false, 3); }), "Invalid sound file type");
    EXPECT_TRUE(engine.convertTextToSoundFile(u"", false, false, 3).empty());

    StringList two = engine.convertTextToSoundFile(u"Hello world. कमल नमक", false, false, kSoundWAVE);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0], utf8ToUtf16(folder + "temp1.wav"));
    EXPECT_EQ(two[1], utf8ToUtf16(folder + "temp2.wav"));
    SoundInfo english = inspect(two[0]);
    EXPECT_EQ(english.rate, 16000);
    EXPECT_EQ(english.format, SF_FORMAT_WAV);
    EXPECT_GT(english.seconds, 0.5);
    EXPECT_GT(inspect(two[1]).seconds, 0.3);

    engine.setVoiceFrequency("English (United States)", 22050);
    StringList aiff = engine.convertTextToSoundFile(u"Hello", false, false, kSoundAIFF);
    ASSERT_EQ(aiff.size(), 1u);
    EXPECT_EQ(aiff[0], utf8ToUtf16(folder + "temp1.aiff"));
    EXPECT_EQ(inspect(aiff[0]).rate, 22050);
    EXPECT_EQ(inspect(aiff[0]).format, SF_FORMAT_AIFF);

    engine.setPrimaryLanguage("Hindi");
    StringList au = engine.convertTextToSoundFile(u"Hello कमल", false, false, kSoundAU);
    ASSERT_EQ(au.size(), 1u);
    EXPECT_EQ(au[0], utf8ToUtf16(folder + "temp1.au"));
    EXPECT_EQ(inspect(au[0]).format, SF_FORMAT_AU);
}

TEST(SoundOutput, AFileThatCannotBeWrittenIsAnError) {
    TempProfile profile;
    std::string notAFolder = profile.write("plain-file", "x");
    setenv("USERPROFILE", notAFolder.c_str(), 1);
    SpeechEngine engine;
    std::string message = messageOf([&] { engine.convertTextToSoundFile(u"Hello", false, false, kSoundWAVE); });
    EXPECT_EQ(message.rfind("Writing sound file failed: ", 0), 0u) << message;
}

TEST(SoundOutput, UnknownVoiceDatabaseIsRefused) {
    TempProfile profile;
    SpeechEngine engine;
    SpeechChunk chunk{"a 100 \n", "no-such-voice", 1.0f, 1.0f, 16000};
    EXPECT_EQ(messageOf([&] { engine.speakChunk(chunk); }), "Error in setting Mbrola database");
    chunk.phoneString.clear();
    EXPECT_EQ(messageOf([&] { engine.speakChunk(chunk); }), "no failure"); // nothing to say, nothing touched
}
