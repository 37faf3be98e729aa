#include <gtest/gtest.h>
#include <sndfile.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

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
    SpeechChunk chunk{"a 100 \n", "no-such-voice", 1.0f, 1.0f, 16000, {}};
    EXPECT_EQ(messageOf([&] { engine.speakChunk(chunk); }), "Error in setting Mbrola database");
    chunk.phoneString.clear();
    EXPECT_EQ(messageOf([&] { engine.speakChunk(chunk); }), "no failure"); // nothing to say, nothing touched
}

namespace {
constexpr const char* kEnglish = "English (United States)";

// Seconds of speech the engine's own phoneme text asks for, at its time ratio.
double expectedSeconds(SpeechEngine& engine, std::u16string_view text, float time) {
    double seconds = 0;
    for (const auto& chunk : engine.convertTextToPhoneme(text, false, false, false))
        seconds += phonemeSeconds(chunk.phoneString) * time;
    return seconds;
}
} // namespace

TEST(SoundOutput, TwoEnginesConvertAtOnceEachWithItsOwnSettings) {
    TempProfile profile;
    const std::u16string texts[] = {u"Yes.", u"Good morning.", u"Seven hundred people came.",
                                    u"Hello world, how are you today?"};
    struct Side {
        float time;
        int32_t rate;
    };
    const Side sides[2] = {{1.0f, 16000}, {1.6f, 22050}};
    std::vector<std::string> failures[2];
    auto work = [&](int side) {
        SpeechEngine engine;
        engine.setTime(kEnglish, sides[side].time);
        engine.setVoiceFrequency(kEnglish, sides[side].rate);
        for (int i = 0; i < 100; ++i) {
            const std::u16string& text = texts[i % 4];
            const std::string path =
                (profile.path() / ("side" + std::to_string(side) + "-" + std::to_string(i) + ".wav")).string();
            std::string problem = messageOf([&] {
                ASSERT_TRUE(engine.convertTextToNamedFile(text, false, false, kSoundWAVE, path));
            }, "");
            const SoundInfo got = inspect(utf8ToUtf16(path));
            const double want = expectedSeconds(engine, text, sides[side].time);
            if (problem.empty() && (got.rate != sides[side].rate || std::abs(got.seconds - want) > 0.01))
                problem = path + ": " + std::to_string(got.rate) + " Hz, " + std::to_string(got.seconds) + " s, want " +
                          std::to_string(want) + " s";
            if (!problem.empty()) failures[side].push_back(problem);
        }
    };
    std::thread a(work, 0), b(work, 1);
    a.join();
    b.join();
    EXPECT_TRUE(failures[0].empty()) << failures[0].front();
    EXPECT_TRUE(failures[1].empty()) << failures[1].front();
}

TEST(SoundOutput, StopEndsOnlyTheCallersOwnWork) {
    TempProfile profile;
    std::u16string longText;
    for (int i = 0; i < 300; ++i) longText += u"This sentence is one of many in a long text. ";
    const std::string longPath = (profile.path() / "long.wav").string();
    SpeechEngine stopped, other;
    std::atomic<bool> started{false};
    stopped.setChunkObserver([&](std::size_t, std::size_t) { started = true; });
    bool completed = true;
    std::thread writer([&] { completed = stopped.convertTextToNamedFile(longText, false, false, kSoundWAVE, longPath); });
    while (!started) std::this_thread::yield();
    const std::string shortPath = (profile.path() / "short.wav").string();
    ASSERT_TRUE(other.convertTextToNamedFile(u"Good morning.", false, false, kSoundWAVE, shortPath));
    stopped.stopSpeaking();
    writer.join();
    EXPECT_FALSE(completed);
    EXPECT_TRUE(stopped.stopped());
    EXPECT_FALSE(std::filesystem::exists(longPath)); // no half-written file under the name
    // The other engine was not touched by the stop.
    EXPECT_FALSE(other.stopped());
    EXPECT_NEAR(inspect(utf8ToUtf16(shortPath)).seconds, expectedSeconds(other, u"Good morning.", 1.0f), 0.01);
    ASSERT_TRUE(other.convertTextToNamedFile(u"Yes.", false, false, kSoundWAVE, shortPath));
    for (const auto& entry : std::filesystem::directory_iterator(profile.path()))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path(); // no leftovers
}

TEST(SoundOutput, NothingReachesStandardOutput) {
    TempProfile profile;
    const std::string broken = profile.write("broken.xml", "<Rule_Base><Language>");
    const std::string captured = (profile.path() / "stdout.txt").string();
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int file = open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(dup2(file, STDOUT_FILENO), 0);
    close(file);
    auto speakAndFail = [&] {
        SpeechEngine engine; // no english.dat in this profile: the dictionary reports it
        EXPECT_NE(messageOf([&] { engine.addLanguageDatabase(broken); }), "no failure");
        EXPECT_EQ(engine.convertTextToSoundFile(u"Hello world", false, false, kSoundWAVE).size(), 1u);
    };
    DiagnosticCapture diagnostics;
    speakAndFail();
    std::fflush(stdout);
    close(STDOUT_FILENO); // and with standard output closed, everything still works
    speakAndFail();
    dup2(saved, STDOUT_FILENO);
    close(saved);
    EXPECT_EQ(std::filesystem::file_size(captured), 0u);
    EXPECT_NE(diagnostics.text().find("broken.xml"), std::string::npos) << diagnostics.text();
}
