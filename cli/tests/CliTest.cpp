#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "Options.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using vorsan::testing::TempProfile;

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

cli::Options parse(std::vector<std::string> args) {
    std::vector<char*> argv;
    static std::string prog = "vorsan";
    argv.push_back(prog.data());
    for (auto& a : args) argv.push_back(a.data());
    return cli::parseOptions(static_cast<int>(argv.size()), argv.data());
}
} // namespace

TEST(Cli, ParsesOptionsAndRefusesBadUsage) {
    cli::Options o = parse({"-l", "a.xml", "--pitch", "Hindi=1.2", "tofile", "-t", "au", "-5", "degrees"});
    EXPECT_EQ(o.command, "tofile");
    EXPECT_EQ(o.languageFiles, std::vector<std::string>{"a.xml"});
    ASSERT_EQ(o.settings.size(), 1u);
    EXPECT_EQ(o.settings[0].language, "Hindi");
    EXPECT_EQ(o.fileType, "au");
    EXPECT_EQ(o.arguments, (std::vector<std::string>{"-5", "degrees"}));
    EXPECT_THROW(parse({}), std::invalid_argument);
    EXPECT_THROW(parse({"--bogus", "speak"}), std::invalid_argument);
    EXPECT_THROW(parse({"--pitch", "novalue", "speak"}), std::invalid_argument);
    EXPECT_THROW(parse({"speak", "-t"}), std::invalid_argument);
}

TEST(Cli, ReportsEngineErrorsAndUsage) {
    TempProfile profile;
    Result help = runCli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("tofile"), std::string::npos);
    EXPECT_EQ(runCli("frobnicate").status, 2);
    Result missing = runCli("-l /nonexistent/x.xml languages");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("File '/nonexistent/x.xml' not found/corrupted"), std::string::npos);
    Result dialect = runCli("settings Klingon");
    EXPECT_EQ(dialect.status, 1);
    EXPECT_NE(dialect.out.find("Language Klingon not\tloaded in Vorsan"), std::string::npos);
}

TEST(Cli, ConvertsTextFromArgumentsAndStandardInput) {
    TempProfile profile;
    // Results alone reach standard output, diagnostics (no dictionary in this
    // empty profile) go to standard error.
    Result list = runCli("languages", "", false);
    EXPECT_EQ(list.out, "  English (United States)\n");
    Result ph = runCli("phonemes Hello", "", false);
    EXPECT_EQ(ph.status, 0);
    EXPECT_EQ(ph.out.rfind("; database en1 pitch 1 time 1 voice 16000\n_ 75 \n", 0), 0u) << ph.out;
    EXPECT_EQ(runCli("phonemes", "Hello", false).out, ph.out);

    Result file = runCli("tofile -o " + (profile.path() / "out.wav").string() + " Hello world", "", false);
    EXPECT_EQ(file.status, 0) << file.out;
    EXPECT_EQ(file.out, (profile.path() / "out.wav").string() + "\n");
    EXPECT_GT(std::filesystem::file_size(profile.path() / "out.wav"), 1000u);
}

TEST(Cli, JoinsTheRunsOfSeveralLanguagesIntoTheNamedFile) {
    TempProfile profile;
    const std::string out = (profile.path() / "mixed.wav").string();
    Result file = runCli("-l " + vorsan::testing::sourcePath("data/pelmira/newPelmiraHindi.xml") + " tofile -o " + out +
                             " Hello. नमस्ते दोस्त। Goodbye.",
                         "", false);
    EXPECT_EQ(file.status, 0);
    EXPECT_EQ(file.out, out + "\n");
    // The three runs' files were joined and removed.
    EXPECT_FALSE(std::filesystem::exists(profile.path() / "temp1.wav"));
    EXPECT_FALSE(std::filesystem::exists(profile.path() / "temp3.wav"));
    EXPECT_GT(std::filesystem::file_size(out), 3 * 16000u); // well over a second and a half of speech
}

