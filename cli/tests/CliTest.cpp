// The vorsan program: its options, what it prints where, its exit status and
// the files it writes, also from processes running at once.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "AudioAnalysis.h"
#include "Options.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

namespace {
struct Result {
    int status;
    std::string out;
};

// Runs the program with a shell command line; with `joinErrors` standard
// error is read too, else it is discarded.
Result runCli(const std::string& args, const std::string& input = "", bool joinErrors = true) {
    std::string cmd = std::string("printf '%s' '") + input + "' | " + VORSAN_CLI + " " + args +
                      (joinErrors ? " 2>&1" : " 2>/dev/null");
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) throw std::runtime_error("popen failed");
    std::string out;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
    int status = pclose(p);
    return {WEXITSTATUS(status), out};
}

// A user's configuration with the built-in English alone.
const char* const kEnglishOnly =
    "<ZenloraConfig><Pelmira><PelmiraFile name=\"English (United States)\"><location/><MbrolaDatabase>en1"
    "</MbrolaDatabase><Pitch>1.0</Pitch><Time>1.0</Time><Voice>16000</Voice></PelmiraFile></Pelmira></ZenloraConfig>";

cli::Options parse(std::vector<std::string> args) {
    std::vector<char*> argv;
    static std::string prog = "vorsan";
    argv.push_back(prog.data());
    for (auto& a : args) argv.push_back(a.data());
    return cli::parseOptions(static_cast<int>(argv.size()), argv.data());
}
// What parsing the arguments refuses them with ("accepted" when it does not).
std::string refusal(std::vector<std::string> args) {
    try {
        parse(std::move(args));
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return "accepted";
}
} // namespace

TEST(Cli, FollowsTheUsualOptionConventions) {
    // --name=value, bundled short flags, a value joined to its letter, and
    // options after the command all mean what they mean elsewhere.
    cli::Options o = parse({"tofile", "--output=x.wav", "-qEA", "-tau", "--rate=2", "Hello"});
    EXPECT_EQ(o.output, "x.wav");
    EXPECT_TRUE(o.quiet && o.withEmotion && o.withAccent);
    EXPECT_EQ(o.fileType, "au");
    EXPECT_TRUE(o.typeGiven);
    EXPECT_FLOAT_EQ(o.rate, 2.0f);
    EXPECT_EQ(o.arguments, std::vector<std::string>{"Hello"});
    // "--" ends the options: what follows is text, dashes and all; "-" stays
    // the word for standard input.
    o = parse({"speak", "--", "--quiet", "-q"});
    EXPECT_FALSE(o.quiet);
    EXPECT_EQ(o.arguments, (std::vector<std::string>{"--quiet", "-q"}));
    EXPECT_EQ(parse({"phonemes", "-"}).arguments, std::vector<std::string>{"-"});
    EXPECT_TRUE(parse({"--version"}).version);
    // Files and per-language settings.
    o = parse({"-l", "a.xml", "--pitch", "Hindi=1.2", "speak"});
    EXPECT_EQ(o.languageFiles, std::vector<std::string>{"a.xml"});
    ASSERT_EQ(o.settings.size(), 1u);
    EXPECT_EQ(o.settings[0].language, "Hindi");
    EXPECT_THROW(parse({}), std::invalid_argument);
    EXPECT_THROW(parse({"--pitch", "novalue", "speak"}), std::invalid_argument);
    // Every refusal names the option as it was written.
    EXPECT_EQ(refusal({"speak", "-qX"}), "unknown option -X");
    EXPECT_EQ(refusal({"speak", "--bogus=1"}), "unknown option --bogus");
    EXPECT_EQ(refusal({"speak", "--output"}), "--output needs a value");
    EXPECT_EQ(refusal({"speak", "-qo"}), "-o needs a value");
    EXPECT_EQ(refusal({"speak", "--rate=9"}), "--rate needs a rate from 0.25 to 4, got '9'");
    // Parsing twice in one process starts afresh each time.
    EXPECT_EQ(parse({"tofile", "-o", "a.wav"}).output, "a.wav");
    EXPECT_EQ(parse({"tofile", "-o", "b.wav"}).output, "b.wav");
}

TEST(Cli, VersionHelpUsageAndEngineErrors) {
    TempProfile profile;
    Result version = runCli("--version", "", false);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("vorsan ", 0), 0u) << version.out;
    Result help = runCli("--help", "", false);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Exit status"), std::string::npos);
    EXPECT_EQ(runCli("frobnicate").status, 2);
    // An unknown language: the error alone, nothing half-printed before it.
    Result settings = runCli("settings Klingon", "", false);
    EXPECT_EQ(settings.status, 1);
    EXPECT_EQ(settings.out, "");
    Result missing = runCli("-l /nonexistent/x.xml languages");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("File '/nonexistent/x.xml' not found/corrupted"), std::string::npos);
}

TEST(Cli, TheFileTypeFollowsTheNameAndStandardOutputTakesTheFile) {
    TempProfile profile;
    profile.write("tolvane.xml", kEnglishOnly);
    const auto header = [](const std::string& path) {
        std::string bytes(12, '\0');
        std::ifstream(path, std::ios::binary).read(bytes.data(), 12);
        return bytes;
    };
    const auto at = [&](const char* name) { return (profile.path() / name).string(); };
    ASSERT_EQ(runCli("-q tofile -o " + at("a.aiff") + " Hello").status, 0);
    EXPECT_EQ(header(at("a.aiff")).substr(8, 4), "AIFF");
    ASSERT_EQ(runCli("-q tofile -o " + at("b.AIF") + " Hello").status, 0);
    EXPECT_EQ(header(at("b.AIF")).substr(8, 4), "AIFF");
    ASSERT_EQ(runCli("-q tofile -o " + at("c.snd") + " Hello").status, 0);
    EXPECT_EQ(header(at("c.snd")).substr(0, 4), ".snd");
    ASSERT_EQ(runCli("-q tofile -o " + at("d.speech") + " Hello").status, 0);
    EXPECT_EQ(header(at("d.speech")).substr(8, 4), "WAVE");
    // A suffix that says otherwise than -t is refused, naming both; no file.
    Result clash = runCli("-q tofile -t au -o " + at("e.wav") + " Hello");
    EXPECT_EQ(clash.status, 2);
    EXPECT_NE(clash.out.find("-t au contradicts the suffix of '" + at("e.wav") + "'"), std::string::npos) << clash.out;
    EXPECT_FALSE(std::filesystem::exists(at("e.wav")));
    // "-o -": the same file on standard output, and nothing left behind.
    const std::string piped = at("piped.wav");
    ASSERT_EQ(std::system((std::string(VORSAN_CLI) + " -q tofile -o - Hello > " + piped + " 2>/dev/null").c_str()), 0);
    EXPECT_EQ(header(piped).substr(8, 4), "WAVE");
    ASSERT_EQ(runCli("-q tofile -o " + at("named.wav") + " Hello").status, 0);
    EXPECT_DOUBLE_EQ(readAudio(piped).seconds(), readAudio(at("named.wav")).seconds());
    ASSERT_EQ(std::system((std::string(VORSAN_CLI) + " -q tofile -t au -o - Hello > " + at("piped.au") +
                           " 2>/dev/null").c_str()), 0);
    EXPECT_EQ(header(at("piped.au")).substr(0, 4), ".snd");
}

TEST(Cli, ASignalMidConversionLeavesNoTemporaryAndTheOlderFileIntact) {
    TempProfile profile;
    const std::string target = (profile.path() / "int.wav").string();
    ASSERT_EQ(runCli("-q tofile -o " + target + " Hi").status, 0);
    const double before = readAudio(target).seconds();
    // Another process's temporary, a day old: not ours to remove.
    const auto stale = profile.path() / "int.wav.partSTALE1";
    profile.write("int.wav.partSTALE1", "someone else's");
    std::filesystem::last_write_time(stale, std::filesystem::file_time_type::clock::now() - std::chrono::hours(30));
    std::string text;
    for (int i = 0; i < 400; ++i) text += "This sentence keeps the conversion busy for a while. ";
    profile.write("long.txt", text);
    for (const auto& [signal, status] : {std::pair{"TERM", 143}, std::pair{"INT", 130}, std::pair{"HUP", 129}}) {
        // The signal comes once the temporary exists, i.e. mid-conversion.
        const std::string script =
            std::string(VORSAN_CLI) + " -q tofile --file " + (profile.path() / "long.txt").string() + " -o " + target +
            " >/dev/null 2>&1 & pid=$!; for i in $(seq 400); do ls " + target + ".part?????? 2>/dev/null | grep -qv STALE" +
            " && break; sleep 0.05; done; kill -" + signal + " $pid; wait $pid; exit $?";
        const int result = std::system(("bash -c '" + script + "'").c_str());
        EXPECT_EQ(WEXITSTATUS(result), status) << signal;
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(profile.path()))
            if (entry.path().filename().string().find(".part") != std::string::npos) left.push_back(entry.path().filename());
        EXPECT_EQ(left, std::vector<std::string>{"int.wav.partSTALE1"}) << signal;
        EXPECT_DOUBLE_EQ(readAudio(target).seconds(), before) << signal;
    }
}

TEST(Cli, NumericSettingsAreCheckedAsGivenBeforeConversion) {
    // Values past an int32 or a float, and values a float holds but the
    // engine cannot use, are refused naming the text given.
    EXPECT_EQ(refusal({"--voice", "Hindi=2147483647", "speak"}),
              "--voice needs a frequency from 4000 to 192000 Hz, got '2147483647'");
    EXPECT_EQ(refusal({"--voice", "Hindi=-1e30", "speak"}), "--voice needs a frequency from 4000 to 192000 Hz, got '-1e30'");
    EXPECT_EQ(refusal({"--voice", "Hindi=3999", "speak"}), "--voice needs a frequency from 4000 to 192000 Hz, got '3999'");
    EXPECT_EQ(refusal({"--pitch", "Hindi=-5", "speak"}), "--pitch needs a ratio from 0.001 to 100, got '-5'");
    EXPECT_EQ(refusal({"--time", "Hindi=1e400", "speak"}), "--time needs a ratio from 0.001 to 100, got '1e400'");
    EXPECT_EQ(refusal({"--time", "Hindi=nan", "speak"}), "--time needs a ratio from 0.001 to 100, got 'nan'");
    EXPECT_EQ(refusal({"--pitch", "Hindi=1.5x", "speak"}), "--pitch needs a ratio from 0.001 to 100, got '1.5x'");
    EXPECT_EQ(refusal({"-r", "1e9", "speak"}), "-r needs a rate from 0.25 to 4, got '1e9'");
    // The ends of each range are accepted.
    for (const char* ok : {"--voice=Hindi=4000", "--voice=Hindi=192000", "--pitch=Hindi=0.001", "--time=Hindi=100"}) {
        const std::string s = ok;
        const auto eq = s.find('=');
        EXPECT_EQ(refusal({s.substr(0, eq), s.substr(eq + 1), "speak"}), "accepted") << ok;
    }
    // The whole program exits as for any other usage error, saying so.
    TempProfile profile;
    const Result r = runCli("--voice Hindi=2147483647 languages");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("got '2147483647'"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("-2147483648"), std::string::npos) << r.out;
}

TEST(Cli, ANewUserIsSetUpOnceAndSpeaksHindi) {
    TempProfile profile;
    const std::string out = (profile.path() / "x.wav").string(), errors = (profile.path() / "errors.txt").string();
    const auto run = [&] {
        const int status = std::system((std::string(VORSAN_CLI) + " -q tofile -o " + out +
                                        " 'नमस्ते दुनिया' >/dev/null 2>" + errors).c_str());
        std::stringstream text;
        text << std::ifstream(errors).rdbuf();
        return std::pair{WEXITSTATUS(status), text.str()};
    };
    // The first run copies the installation for the user and says so once.
    const auto [status, said] = run();
    EXPECT_EQ(status, 0) << said;
    const std::string line = "vorsan: set up " + profile.path().string() + " from ";
    EXPECT_EQ(said.rfind(line, 0), 0u) << said;
    EXPECT_EQ(said.find("set up", line.size()), std::string::npos) << said;
    EXPECT_GT(readAudio(out).seconds(), 0.5);
    EXPECT_TRUE(std::filesystem::is_regular_file(profile.path() / "Speechfiles/Pelmira/newPelmiraHindi.xml"));
    // Later runs use what the user now has, silently.
    std::filesystem::remove(out);
    const auto [again, saidAgain] = run();
    EXPECT_EQ(again, 0);
    EXPECT_EQ(saidAgain.find("set up"), std::string::npos) << saidAgain;
    EXPECT_GT(readAudio(out).seconds(), 0.5);
}

TEST(Cli, ConvertsTextFromArgumentsAndStandardInput) {
    TempProfile profile;
    profile.write("tolvane.xml", kEnglishOnly);
    // Results alone reach standard output, diagnostics (no dictionary in this
    // profile) go to standard error.
    EXPECT_EQ(runCli("languages", "", false).out, "  English (United States)\n");
    Result ph = runCli("phonemes Hello", "", false);
    EXPECT_EQ(ph.status, 0);
    EXPECT_EQ(ph.out.rfind("; database en1 pitch 1 time 1 voice 16000\n_ 75 \n", 0), 0u) << ph.out;
    EXPECT_EQ(runCli("phonemes", "Hello", false).out, ph.out);

    // The runs of several languages are joined into the named file, and the
    // runs' own files removed.
    const std::string out = (profile.path() / "mixed.wav").string();
    Result file = runCli("-l " + vorsan::testing::sourcePath("data/pelmira/newPelmiraHindi.xml") + " tofile -o " + out +
                             " Hello. नमस्ते दोस्त। Goodbye.", "", false);
    EXPECT_EQ(file.status, 0);
    EXPECT_EQ(file.out, out + "\n");
    EXPECT_FALSE(std::filesystem::exists(profile.path() / "temp1.wav"));
    EXPECT_GT(readAudio(out).seconds(), 1.5);
}

TEST(Cli, ProcessesSharingAProfileFolderEachGetTheirOwnSpeech) {
    TempProfile profile;
    // Texts of clearly different lengths, each heard alone first.
    std::vector<std::string> texts;
    std::vector<double> alone;
    std::string together = "pids=''; ";
    for (int k = 0; k < 8; ++k) {
        texts.push_back("Number");
        for (int w = 0; w <= k; ++w) texts.back() += " hello";
        const std::string path = (profile.path() / ("alone" + std::to_string(k) + ".wav")).string();
        ASSERT_EQ(runCli("-q tofile -o " + path + " '" + texts[k] + "'").status, 0);
        alone.push_back(readAudio(path).seconds());
        together += std::string(VORSAN_CLI) + " -q tofile -o " + (profile.path() / ("at" + std::to_string(k) + ".wav")).string() +
                    " '" + texts[k] + "' > /dev/null 2>&1 & pids=\"$pids $!\"; ";
    }
    together += "for p in $pids; do wait $p || exit 1; done";
    ASSERT_EQ(std::system(together.c_str()), 0);
    for (int k = 0; k < 8; ++k) {
        EXPECT_GT(alone[k], 0.3);
        EXPECT_DOUBLE_EQ(readAudio((profile.path() / ("at" + std::to_string(k) + ".wav")).string()).seconds(), alone[k])
            << texts[k];
    }
    EXPECT_FALSE(std::filesystem::exists(profile.path() / "temp1.wav")); // -o never goes through the shared names
}

TEST(Cli, ResultsThatCannotBeWrittenFail) {
    TempProfile profile;
    // Standard output on a full device: the results are lost, so exit 1.
    EXPECT_EQ(runCli("phonemes Hello > /dev/full", "", false).status, 1);
    EXPECT_EQ(runCli("tofile Hello > /dev/full", "", false).status, 1);
    // Nothing of the text belongs to a loaded language: said, and no file.
    const std::string none = (profile.path() / "none.wav").string();
    Result nothing = runCli("tofile -o " + none + " '😀 😀'");
    EXPECT_EQ(nothing.status, 1);
    EXPECT_NE(nothing.out.find("The text has nothing to speak"), std::string::npos) << nothing.out;
    EXPECT_FALSE(std::filesystem::exists(none));
    // A write that fails part-way (here the file size limit, as a full disk
    // would) leaves the older file as it was, and no temporary beside it.
    const std::string old = (profile.path() / "old.wav").string();
    ASSERT_EQ(runCli("-q tofile -o " + old + " Hi").status, 0);
    const double before = readAudio(old).seconds();
    const std::string limited = "sh -c \"trap '' XFSZ; ulimit -f 20; " + std::string(VORSAN_CLI) + " -q tofile -o " +
                                old + " 'Hello there, this text is far too long to fit in twenty kilobytes of sound.'\"" +
                                " > /dev/null 2>&1";
    EXPECT_NE(std::system(limited.c_str()), 0);
    EXPECT_DOUBLE_EQ(readAudio(old).seconds(), before);
    for (const auto& entry : std::filesystem::directory_iterator(profile.path()))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
    // -o needs no profile folder.
    const std::string ok = (profile.path() / "ok.wav").string();
    EXPECT_EQ(std::system(("USERPROFILE=/nonexistent/profile " + std::string(VORSAN_CLI) + " -q tofile -o " + ok +
                           " Hello > /dev/null 2>&1").c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists("/nonexistent/profile"));
}

TEST(Cli, AMissingSoundDeviceGivesOnlyTheProgramsOwnMessage) {
    TempProfile profile;
    // A dictionary of one word and a configuration of its own, so the
    // profile itself has nothing to report.
    profile.write("Speechfiles/English/english.dat", std::string("zzz").append(125, ' ') + "\r\n");
    profile.write("tolvane.xml", kEnglishOnly);
    // ALSA's library has lines of its own for a device it cannot open; they
    // are kept off standard error (VORSAN_ALSA_DEBUG=1 shows them).
    const std::string errors = (profile.path() / "errors.txt").string();
    const std::string device = "VORSAN_ALSA_DEVICE=vorsan-no-such-device ";
    const auto run = [&](const std::string& environment) {
        const std::string cmd = environment + device + VORSAN_CLI + " speak hello >/dev/null 2>" + errors;
        const int status = std::system(cmd.c_str());
        std::ifstream in(errors);
        std::stringstream text;
        text << in.rdbuf();
        return std::pair{WEXITSTATUS(status), text.str()};
    };
    const auto [status, err] = run("");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err, "vorsan: Speech output failed: cannot open sound device 'vorsan-no-such-device': No such file or "
                   "directory\n");
    const auto [debugStatus, debugErr] = run("VORSAN_ALSA_DEBUG=1 ");
    EXPECT_EQ(debugStatus, 1);
    EXPECT_NE(debugErr.find("ALSA: Unknown PCM vorsan-no-such-device"), std::string::npos) << debugErr;
}
