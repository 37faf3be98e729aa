// The user's configuration and data folder made from an installation folder:
// what a new user gets, what is kept of what they have, and the failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/engine/UserData.h"
#include "vorsan/testing/TestSupport.h"

namespace vorsan {
namespace {

namespace fs = std::filesystem;
using testing::sourcePath;

std::string readAll(const fs::path& p) { return (std::stringstream() << std::ifstream(p).rdbuf()).str(); }

std::size_t fileCount(const fs::path& folder) {
    std::size_t n = 0;
    for (const auto& f : fs::recursive_directory_iterator(folder, fs::directory_options::follow_directory_symlink))
        n += f.is_regular_file();
    return n;
}

// The database locations of a configuration, in document order.
std::vector<std::string> locations(const std::string& xml) {
    std::vector<std::string> out;
    std::regex re(R"(<location/>|(?:<location>|location=")([^<"]*))");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), re); it != std::sregex_iterator(); ++it)
        out.push_back((*it)[1]);
    return out;
}

// A temporary profile and an installation folder as an installed tree has
// it: the shipped tolvane.xml and links to the shipped database folders
// (copies on Windows, where making a link needs a privilege).
class UserData : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(install / "Speechfiles");
        fs::copy_file(sourcePath("data/tolvane/tolvane.xml"), install / "tolvane.xml");
        for (auto [from, to] : {std::pair{"pelmira", "Pelmira"}, {"ruvetta", "Ruvetta"}, {"oskalen", "Oskalen"}})
#ifdef _WIN32
            fs::copy(sourcePath("data/") + from, install / "Speechfiles" / to, fs::copy_options::recursive);
#else
            fs::create_directory_symlink(sourcePath("data/") + from, install / "Speechfiles" / to);
#endif
    }

    testing::TempProfile home;
    fs::path install = home.path() / "opt" / "nimbrel";
    fs::path config = home.path() / "tolvane.xml";
    fs::path data = home.path() / "Speechfiles";
};

TEST_F(UserData, NewUserGetsTheInstallationsConfigurationPointingAtTheirOwnCopy) {
    // Two programs set up a new user at once: each finds the whole data
    // folder in place when its set-up returns.
    UserDataSetUp results[2];
    std::size_t seen[2] = {};
    auto setUp = [&](int i) { results[i] = setUpUserData(install.string()), seen[i] = fileCount(data); };
    std::thread other(setUp, 1);
    setUp(0);
    other.join();
    for (int i : {0, 1}) EXPECT_TRUE(results[i].ok && seen[i] == fileCount(install / "Speechfiles")) << seen[i];
    EXPECT_TRUE(results[0].wroteConfiguration || results[1].wroteConfiguration);
    EXPECT_EQ(results[0].copiedFiles + results[1].copiedFiles, fileCount(install / "Speechfiles"));
    for (const auto& f : fs::directory_iterator(home.path())) EXPECT_EQ(f.path().string().find(".part"), std::string::npos);

    // Every database location but the first (the built-in English) points at
    // the user's copy of the file the installation named ("Speechfiles/...").
    const std::string written = readAll(config);
    const auto shipped = locations(readAll(install / "tolvane.xml")), ours = locations(written);
    ASSERT_EQ(ours.size(), shipped.size());
    EXPECT_EQ(ours[0], "");
    for (std::size_t i = 1; i < ours.size(); ++i)
        EXPECT_TRUE(ours[i] == home.folder() + "/" + shipped[i] && fs::is_regular_file(ours[i])) << ours[i];
    // The rest of the file stays (the XML library sorts the attributes).
    EXPECT_NE(written.find("\n  <!--Zenlora config file-->\n  <!-- The Indian"), std::string::npos);

    // It loads with every shipped language.
    SpeechEngine engine;
    ASSERT_TRUE(engine.loadConfiguration());
    const std::regex language("<PelmiraFile ");
    const std::string template_ = readAll(install / "tolvane.xml");
    EXPECT_EQ(engine.allSupportedLanguages().size(),
              static_cast<std::size_t>(std::distance(std::sregex_iterator(template_.begin(), template_.end(), language),
                                                     std::sregex_iterator())));
}

TEST_F(UserData, EntriesWithoutTheirFileAreLeftOutSoTheConfigurationLoads) {
    // An installation lacking the Tamil rules, the Hindi moods and an accent.
    fs::path sparse = home.path() / "sparse";
    fs::create_directories(sparse / "Speechfiles");
    fs::copy_file(install / "tolvane.xml", sparse / "tolvane.xml");
    for (const auto& folder : fs::directory_iterator(install / "Speechfiles"))
        fs::copy(folder.path(), sparse / "Speechfiles" / folder.path().filename(), fs::copy_options::recursive);
    fs::remove(sparse / "Speechfiles/Pelmira/PelmiraTamil.xml");
    fs::remove(sparse / "Speechfiles/Ruvetta/Hindi_in1.xml");
    fs::remove(sparse / "Speechfiles/Oskalen/in1toin1.xml");
    ASSERT_TRUE(setUpUserData(sparse.string()).ok);

    const std::string written = readAll(config);
    EXPECT_EQ(written.find("Tamil\""), std::string::npos);
    EXPECT_EQ(written.find("Hindi_in1"), std::string::npos);
    EXPECT_EQ(written.find("in1_TO_in1"), std::string::npos);
    EXPECT_EQ(written.find("\n\n"), std::string::npos) << "no blank line where an entry was";
    SpeechEngine engine;
    ASSERT_TRUE(engine.loadConfiguration());
    EXPECT_FALSE(engine.languageSupported("Tamil"));
    ASSERT_TRUE(engine.languageSupported("Hindi"));
    EXPECT_EQ(engine.emotionDatabase("Hindi"), "");
    EXPECT_EQ(engine.accentDatabase("Hindi"), "");
    EXPECT_EQ(engine.emotionDatabase("Telugu"), "Telugu_tl1");
}

TEST_F(UserData, KeepsWhatTheUserHasAndRefreshesOnlyShippedFiles) {
    // An existing configuration that loads is only loaded; the data folder is still made.
    const std::string mine = "<ZenloraConfig><Oskalen><OskalenFile location=\"/x/a.xml\"/></Oskalen></ZenloraConfig>";
    home.write("tolvane.xml", mine);
    auto done = setUpUserData(install.string());
    EXPECT_TRUE(done.ok && !done.wroteConfiguration);
    EXPECT_EQ(readAll(config), mine);
    EXPECT_TRUE(fs::is_regular_file(data / "Pelmira/PelmiraTamil.xml"));

    // A user's own file, a damaged and a missing shipped copy: kept as they
    // are at first use; a refresh mends the shipped ones and keeps the user's.
    home.write("Speechfiles/Ruvetta/My_en1.xml", "mine");
    home.write("Speechfiles/Ruvetta/Hindi_in1.xml", "broken");
    fs::remove(data / "Oskalen/en1toin1.xml");
    done = setUpUserData(install.string());
    EXPECT_TRUE(done.ok && done.copiedFiles == 0);
    EXPECT_EQ(readAll(data / "Ruvetta/Hindi_in1.xml"), "broken");
    done = setUpUserData(install.string(), ShippedFiles::refresh);
    EXPECT_TRUE(done.ok && done.copiedFiles == fileCount(install / "Speechfiles"));
    EXPECT_EQ(readAll(data / "Ruvetta/My_en1.xml"), "mine");
    EXPECT_EQ(readAll(data / "Ruvetta/Hindi_in1.xml"), readAll(sourcePath("data/ruvetta/Hindi_in1.xml")));
    EXPECT_TRUE(fs::is_regular_file(data / "Oskalen/en1toin1.xml"));
    EXPECT_EQ(readAll(config), mine);

    // A configuration that does not load is kept aside and replaced.
    home.write("tolvane.xml", "<ZenloraConfig>");
    done = setUpUserData(install.string());
    EXPECT_TRUE(done.ok && done.wroteConfiguration);
    EXPECT_EQ(readAll(home.path() / "tolvane.xml.bad"), "<ZenloraConfig>");

    // One language file keeps its location; two accent entries get theirs
    // in order, each with its own file.
    fs::remove(config);
    const std::string profile = home.path().string();
    std::ofstream(install / "tolvane.xml")
        << R"(<ZenloraConfig><Pelmira><PelmiraFile><location>C:\Nimbrel\PelmiraTamil.xml</location></PelmiraFile></Pelmira>)"
        << R"(<Oskalen><OskalenFile location="C:\Nimbrel\tl1totl1.xml"/><OskalenFile location="in1toin1.xml"/></Oskalen></ZenloraConfig>)";
    EXPECT_TRUE(setUpUserData(install.string()).ok);
    EXPECT_EQ(locations(readAll(config)),
              (std::vector<std::string>{"C:\\Nimbrel\\PelmiraTamil.xml", profile + "/Speechfiles/Oskalen/tl1totl1.xml",
                                        profile + "/Speechfiles/Oskalen/in1toin1.xml"}));
}

TEST_F(UserData, FailuresAndTheFirstUseLine) {
    testing::DiagnosticCapture log;
    // No installation: nothing made, the missing pieces named.
    EXPECT_FALSE(setUpUserData("").ok);
    EXPECT_FALSE(fs::exists(config) || fs::exists(data));
    const std::string dataFolder = home.folder() + "/Speechfiles";
    EXPECT_NE(log.text().find("no data folder " + dataFolder), std::string::npos);
    // An installation without a configuration that loads, or without data.
    const std::string empty = (home.path() / "empty").string();
    EXPECT_FALSE(setUpUserData(empty).ok);
    EXPECT_NE(log.text().find(empty + "/tolvane.xml is missing or does not load"), std::string::npos);
    EXPECT_NE(log.text().find("copying " + empty + "/Speechfiles to " + dataFolder + " failed"), std::string::npos);
    EXPECT_FALSE(fs::exists(config) || fs::exists(data));

    // First use: one line saying what is set up from where, then nothing.
    const std::string before = log.text();
    EXPECT_EQ(setUpNewUser("tool", install.string()), FirstUse::setUp);
    EXPECT_EQ(log.text().substr(before.size()), "tool: set up " + home.path().string() + " from " + install.string() + "\n");
    EXPECT_EQ(setUpNewUser("tool", install.string()), FirstUse::ready);
    EXPECT_EQ(log.text().substr(before.size()).find('\n'), log.text().size() - before.size() - 1);
}

TEST(UserDataInstallation, TheBuildKnowsAnInstallationFolderWithEveryShippedDatabase) {
    const fs::path folder = builtInInstallationFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(fs::is_regular_file(folder / "tolvane.xml"));
    for (const char* sub : {"Pelmira/newPelmiraHindi.xml", "Ruvetta/Hindi_in1.xml", "Oskalen/in1toin1.xml", "Voices/in1.xml"})
        EXPECT_TRUE(fs::is_regular_file(folder / "Speechfiles" / sub)) << sub;
}

} // namespace
} // namespace vorsan
