// Sound files from the engine: one per run of a language, in each type, at
// each engine's own settings; stopping, failures and standard output.
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
#include <tuple>
#include <vector>

#include "AudioAnalysis.h"
#include "vorsan/core/Platform.h"
#include "EngineFixtures.h"
#include "vorsan/core/Text.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

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

TEST(SoundOutput, WritesOneFilePerRunInEachType) {
    TempProfile profile;
    SpeechEngine engine;
    engine.addLanguageDatabase(profile.write("hi.xml", hindiRuleFile("Hindi", "en1")));
    const std::string folder = profile.path().string() + "/";
    EXPECT_TRUE(engine.convertTextToSoundFile(u"", false, false, kSoundWAVE).empty());
    EXPECT_EQ(engine.convertTextToSoundFile(u"Hello world. कमल नमक", false, false, kSoundWAVE),
              (StringList{utf8ToUtf16(folder + "temp1.wav"), utf8ToUtf16(folder + "temp2.wav")}));
    EXPECT_GT(readAudio(folder + "temp1.wav").seconds(), 0.5);
    EXPECT_GT(readAudio(folder + "temp2.wav").seconds(), 0.3);
    engine.setVoiceFrequency(kEnglish, 22050);
    for (const auto& [type, name, format] : {std::tuple{kSoundWAVE, "temp1.wav", SF_FORMAT_WAV},
                                             {kSoundAIFF, "temp1.aiff", SF_FORMAT_AIFF}, {kSoundAU, "temp1.au", SF_FORMAT_AU}}) {
        EXPECT_EQ(engine.convertTextToSoundFile(u"Hello", false, false, type), StringList{utf8ToUtf16(folder + name)});
        const Audio a = readAudio(folder + name);
        EXPECT_EQ(a.rate, 22050) << name;
        EXPECT_EQ(a.format, format) << name;
    }
}

TEST(SoundOutput, FailuresAreReported) {
    TempProfile profile;
    {
        SpeechEngine engine;
        EXPECT_EQ(messageOf([&] { engine.convertTextToSoundFile(u"Hello", false, false, 3); }), "Invalid sound file type");
        SpeechChunk chunk{"a 100 \n", "no-such-voice", 1.0f, 1.0f, 16000, {}};
        EXPECT_EQ(messageOf([&] { engine.speakChunk(chunk); }),
                  "Error in setting Mbrola database: no voice database named 'no-such-voice'");
        chunk.phoneString.clear();
        EXPECT_EQ(messageOf([&] { engine.speakChunk(chunk); }), "no failure"); // nothing to say, nothing touched
    }
    // The profile folder's name is a file: the run's file cannot be written.
    vorsan::platform::setEnvironment("USERPROFILE", profile.write("plain-file", "x"));
    SpeechEngine engine;
    const std::string message = messageOf([&] { engine.convertTextToSoundFile(u"Hello", false, false, kSoundWAVE); });
    EXPECT_EQ(message.rfind("Writing sound file failed: ", 0), 0u) << message;
}

TEST(SoundOutput, TwoEnginesConvertAtOnceEachWithItsOwnSettings) {
    TempProfile profile;
    const std::u16string texts[] = {u"Yes.", u"Good morning.", u"Seven hundred people came.",
                                    u"Hello world, how are you today?"};
    const std::pair<float, int32_t> sides[2] = {{1.0f, 16000}, {1.6f, 22050}}; // time ratio, output rate
    std::vector<std::string> failures[2];
    auto work = [&](int side) {
        SpeechEngine engine;
        engine.setTime(kEnglish, sides[side].first);
        engine.setVoiceFrequency(kEnglish, sides[side].second);
        for (int i = 0; i < 100; ++i) {
            const std::string path = (profile.path() / (std::to_string(side) + "-" + std::to_string(i) + ".wav")).string();
            std::string problem = messageOf([&] {
                if (!engine.convertTextToNamedFile(texts[i % 4], false, false, kSoundWAVE, path)) throw MException("stopped");
                const Audio got = readAudio(path);
                const double want = expectedSeconds(engine, texts[i % 4], sides[side].first);
                if (got.rate != sides[side].second || std::abs(got.seconds() - want) > 0.01)
                    throw MException(std::to_string(got.rate) + " Hz, " + std::to_string(got.seconds()) + " s, want " +
                                     std::to_string(want) + " s");
            }, "");
            if (!problem.empty()) failures[side].push_back(path + ": " + problem);
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
    EXPECT_NEAR(readAudio(shortPath).seconds(), expectedSeconds(other, u"Good morning.", 1.0f), 0.01);
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
