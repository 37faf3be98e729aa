// vorsan-user-setup, and data/tolvane/install.sh, which runs it: a profile
// set up through either is the same, and a repeated set-up keeps the user's.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "vorsan/testing/TestSupport.h"

using namespace vorsan::testing;
namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& p) { return (std::stringstream() << std::ifstream(p, std::ios::binary).rdbuf()).str(); }

// Every file below a folder with its bytes, by its path relative to the folder.
std::map<std::string, std::string> contents(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& f : fs::recursive_directory_iterator(folder))
        if (f.is_regular_file()) files[f.path().lexically_relative(folder).string()] = readText(f.path());
    return files;
}

int run(const std::string& command) { return WEXITSTATUS(std::system((command + " >/dev/null 2>&1").c_str())); }

} // namespace

TEST(UserSetup, TheProgramAndTheInstallScriptGiveTheSameProfile) {
    TempProfile first;
    ASSERT_EQ(run(VORSAN_USER_SETUP), 0);
    const auto made = contents(first.path());
    for (const char* file : {"tolvane.xml", "Speechfiles/Pelmira/newPelmiraHindi.xml", "Speechfiles/Voices/in1.xml",
                             "Speechfiles/Ruvetta/Hindi_in1.xml", "Speechfiles/Oskalen/in1toin1.xml"})
        EXPECT_TRUE(made.count(file)) << file;

    // The script, given the program, writes the same files; only the
    // profile's own path differs in tolvane.xml.
    TempProfile second;
    ASSERT_EQ(run("VORSAN_USER_SETUP='" VORSAN_USER_SETUP "' bash '" + sourcePath("data/tolvane/install.sh") + "'"), 0);
    auto again = contents(second.path());
    std::string& config = again["tolvane.xml"];
    for (std::size_t at; (at = config.find(second.path().string())) != std::string::npos;)
        config.replace(at, second.path().string().size(), first.path().string());
    EXPECT_EQ(again, made);
}

TEST(UserSetup, ARepeatedSetUpRefreshesShippedFilesAndKeepsTheUsers) {
    TempProfile profile;
    const std::string mine = "<?xml version=\"1.0\"?><ZenloraConfig/>";
    profile.write("tolvane.xml", mine);
    profile.write("Speechfiles/Ruvetta/My_en1.xml", "mine");
    profile.write("Speechfiles/Ruvetta/Hindi_in1.xml", "broken");
    ASSERT_EQ(run(VORSAN_USER_SETUP), 0);
    EXPECT_EQ(readText(profile.path() / "tolvane.xml"), mine);
    EXPECT_EQ(readText(profile.path() / "Speechfiles/Ruvetta/My_en1.xml"), "mine");
    EXPECT_EQ(readText(profile.path() / "Speechfiles/Ruvetta/Hindi_in1.xml"),
              readText(sourcePath("data/ruvetta/Hindi_in1.xml")));
    EXPECT_TRUE(fs::is_regular_file(profile.path() / "Speechfiles/Oskalen/en1toin1.xml"));

    // Usage errors and an installation folder that is not one.
    EXPECT_EQ(run(std::string(VORSAN_USER_SETUP) + " --bogus"), 2);
    EXPECT_EQ(run(std::string(VORSAN_USER_SETUP) + " --from " + (profile.path() / "none").string()), 1);
}
