// The vorsan program started directly (no shell between), as on every
// system: names and text in Indian scripts in its arguments, its output file
// and its profile folder reach the engine intact, and its results are the
// UTF-8 bytes the engine produced.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "AudioAnalysis.h"
#include "vorsan/core/Platform.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;
namespace fs = std::filesystem;

TEST(Program, NamesInIndianScriptsForProfileOutputAndText) {
    // A user whose profile folder is named in Devanagari is set up on first
    // use and gets speech in a file named in Devanagari.
    TempProfile profile("-उपयोगकर्ता");
    const std::string out = profile.folder() + "/नमस्ते.wav";
    const ProgramRun run = runProgram(VORSAN_CLI, {"-q", "tofile", "-o", out, "नमस्ते दुनिया। Hello world."});
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find(out + "\n"), std::string::npos) << run.output;
    EXPECT_TRUE(fs::is_regular_file(platform::nativePath(profile.folder() + "/Speechfiles/Pelmira/newPelmiraHindi.xml")));
    EXPECT_TRUE(fs::is_regular_file(platform::nativePath(profile.folder() + "/tolvane.xml")));
    const Audio audio = readAudio(out);
    // Two short sentences, each language spoken: well over a second of sound.
    EXPECT_GT(audio.seconds(), 1.5);
    EXPECT_GT(rms(audio, 0, audio.seconds()), 0.01) << "not silence";
    // Nothing but the named file in the folder the output went to (the
    // runs' own files and the temporary are gone).
    std::size_t wavs = 0;
    for (const auto& entry : fs::directory_iterator(profile.path()))
        if (entry.path().extension() == ".wav" || entry.path().string().find(".part") != std::string::npos) ++wavs;
    EXPECT_EQ(wavs, 1u);

    // The Devanagari text of the arguments is what is converted: its
    // phonemes are those of the same text given on standard input.
    const ProgramRun fromArguments = runProgram(VORSAN_CLI, {"phonemes", "नमस्ते"});
    const ProgramRun fromInput = runProgram(VORSAN_CLI, {"phonemes", "-"}, "नमस्ते");
    ASSERT_EQ(fromArguments.status, 0) << fromArguments.output;
    EXPECT_EQ(fromArguments.output.rfind("; database ", 0), 0u) << fromArguments.output;
    EXPECT_GT(phonemeSeconds(fromArguments.output.substr(fromArguments.output.find('\n') + 1)), 0.3);
    EXPECT_EQ(fromArguments.output, fromInput.output);

    // A file name that does not exist in a folder that does not exist is
    // refused with the name as given, in UTF-8.
    const std::string nowhere = profile.folder() + "/नहीं/x.wav";
    const ProgramRun refused = runProgram(VORSAN_CLI, {"-q", "tofile", "-o", nowhere, "नमस्ते"});
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.output.find("'" + nowhere + "'"), std::string::npos) << refused.output;
}

TEST(Program, DurationJitterIsRepeatableAndWithinATenth) {
    TempProfile profile;
    const std::string text = "The train leaves at nine. नमस्ते दुनिया।";
    const auto speak = [&](const std::string& name, std::vector<std::string> extra) {
        const std::string out = profile.folder() + "/" + name + ".wav";
        std::vector<std::string> args{"-q", "tofile", "-o", out};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(text);
        const ProgramRun run = runProgram(VORSAN_CLI, args);
        EXPECT_EQ(run.status, 0) << run.output;
        return readAudio(out);
    };
    const Audio plain = speak("plain", {}), one = speak("one", {"--jitter", "1"}),
                again = speak("again", {"--jitter=1"}), two = speak("two", {"--jitter", "2"});
    ASSERT_GT(plain.seconds(), 1.5);
    EXPECT_EQ(one.samples, again.samples) << "the same seed, the same timing";
    EXPECT_NE(one.samples, two.samples);
    EXPECT_NE(one.samples, plain.samples);
    for (const Audio* a : {&one, &two}) EXPECT_NEAR(a->seconds(), plain.seconds(), plain.seconds() * 0.1);

    // Only for a named file, and only with a seed.
    EXPECT_NE(runProgram(VORSAN_CLI, {"-q", "tofile", "--jitter", "1", "Hello"}).status, 0);
    EXPECT_NE(runProgram(VORSAN_CLI, {"-q", "tofile", "--jitter", "0", "-o", profile.folder() + "/z.wav", "Hello"}).status, 0);
}
