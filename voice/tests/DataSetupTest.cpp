// The voice's per-user set-up from the installation folder, and the voice
// library's registration and creation through the class registry.
#include <gtest/gtest.h>
#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "DataSetup.h"
#include "vorsan/automation/Creation.h"
#include "vorsan/automation/Registry.h"
#include "vorsan/testing/TestSupport.h"
#include "vorsan/voice/Sapi.h"

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

// A temporary profile, the system registry in a temporary file, and an
// installation folder as the installer leaves it (the shipped tolvane.xml and
// databases), named by the system registry.
class DataSetup : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VORSAN_SYSTEM_REGISTRY", (home.path() / "etc-registry").c_str(), 1);
        // The databases linked to the shipped folders, as in an installed tree.
        fs::create_directories(install / "Speechfiles");
        fs::copy_file(sourcePath("data/tolvane/tolvane.xml"), install / "tolvane.xml");
        for (auto [from, to] : {std::pair{"pelmira", "Pelmira"}, {"ruvetta", "Ruvetta"}, {"oskalen", "Oskalen"}})
            fs::create_directory_symlink(sourcePath("data/") + from, install / "Speechfiles" / to);
        setInstallation(registry::systemRegistryPath(), install.string());
    }
    void TearDown() override { unsetenv("VORSAN_SYSTEM_REGISTRY"); }

    static void setInstallation(const std::string& registryFile, const std::string& folder) {
        registry::RegistryFile f;
        ASSERT_TRUE(f.load(registryFile));
        if (folder.empty()) f.removeTree(voice::kInstallationKey);
        else f.setValue(voice::kInstallationKey, "@", folder);
        ASSERT_TRUE(f.save(registryFile));
    }

    testing::TempProfile home;
    fs::path install = home.path() / "opt" / "nimbrel";
    fs::path config = home.path() / "tolvane.xml";
    fs::path data = home.path() / "Speechfiles";
};

TEST_F(DataSetup, NewUserGetsTheInstallationsConfigurationPointingAtTheirOwnCopy) {
    testing::DiagnosticCapture log;
    // Two voices created at once for a new user: each finds the whole data
    // folder in place when its set-up returns.
    int results[2] = {-1, -1};
    std::size_t seen[2] = {};
    auto setUp = [&](int i) { results[i] = voice::setUpUserData(), seen[i] = fileCount(data); };
    std::thread other(setUp, 1);
    setUp(0);
    other.join();
    for (int i : {0, 1}) EXPECT_TRUE(results[i] == 0 && seen[i] == fileCount(install / "Speechfiles")) << seen[i];

    // Every database location but the first (the built-in English) points at
    // the user's copy of the file the installation named ("Speechfiles/...").
    const std::string written = readAll(config);
    const auto shipped = locations(readAll(install / "tolvane.xml")), ours = locations(written);
    ASSERT_EQ(ours.size(), shipped.size());
    EXPECT_EQ(ours[0], "");
    for (std::size_t i = 1; i < ours.size(); ++i)
        EXPECT_TRUE(ours[i] == (home.path() / shipped[i]).string() && fs::is_regular_file(ours[i])) << ours[i];
    // The rest of the file stays (the XML library sorts the attributes).
    EXPECT_NE(written.find("\n  <!--Zenlora config file-->\n  <!-- The Indian"), std::string::npos);
    EXPECT_NE(log.text().find("wrote " + config.string()), std::string::npos);
}

TEST_F(DataSetup, FailuresAreReportedWithTheMissingPath) {
    testing::DiagnosticCapture log;
    // No configuration of the user's and no installation named: nothing made, nothing said.
    setInstallation(registry::systemRegistryPath(), "");
    EXPECT_EQ(voice::setUpUserData(), 1);
    EXPECT_FALSE(fs::exists(config) || fs::exists(data));
    EXPECT_EQ(log.text(), "");
    // An installation without a configuration that loads.
    const std::string empty = (home.path() / "empty").string();
    setInstallation(registry::systemRegistryPath(), empty);
    EXPECT_EQ(voice::setUpUserData(), 1);
    EXPECT_NE(log.text().find("File not found Please reinstall Nimbrel: " + empty + "/tolvane.xml"), std::string::npos);
    // A configuration of the user's but no data folder and no installation named.
    home.write("tolvane.xml", "<ZenloraConfig/>");
    setInstallation(registry::systemRegistryPath(), "");
    EXPECT_EQ(voice::setUpUserData(), 1);
    EXPECT_NE(log.text().find("Files Missing.Please reinstall Nimbrel: " + data.string()), std::string::npos);
    // The user's registry names a folder with no data (over the system's good
    // one): the copy fails without a message to the user.
    setInstallation(registry::systemRegistryPath(), install.string());
    setInstallation(registry::userRegistryPath(), empty);
    const std::string before = log.text();
    EXPECT_EQ(voice::setUpUserData(), 1);
    EXPECT_FALSE(fs::exists(data));
    EXPECT_EQ(log.text().find("Please reinstall", before.size()), std::string::npos);
}

TEST_F(DataSetup, KeepsWhatTheUserAndTheInstallationHave) {
    // An existing configuration is only loaded; the data folder is still made.
    home.write("tolvane.xml", "<ZenloraConfig><Oskalen><OskalenFile location=\"/x/a.xml\"/></Oskalen></ZenloraConfig>");
    testing::DiagnosticCapture log;
    EXPECT_EQ(voice::setUpUserData(), 0);
    EXPECT_EQ(readAll(config), "<ZenloraConfig><Oskalen><OskalenFile location=\"/x/a.xml\"/></Oskalen></ZenloraConfig>");
    EXPECT_TRUE(fs::is_regular_file(data / "Pelmira/PelmiraTamil.xml"));
    EXPECT_NE(log.text().find("loaded tolvane.xml"), std::string::npos);

    // One language file keeps its location; two accent entries get theirs
    // in order, each with its own file.
    fs::remove(config);
    const std::string profile = home.path().string();
    std::ofstream(install / "tolvane.xml")
        << R"(<ZenloraConfig><Pelmira><PelmiraFile><location>C:\Nimbrel\PelmiraTamil.xml</location></PelmiraFile></Pelmira>)"
        << R"(<Oskalen><OskalenFile location="C:\Nimbrel\tl1totl1.xml"/><OskalenFile location="in1toin1.xml"/></Oskalen></ZenloraConfig>)";
    EXPECT_EQ(voice::setUpUserData(), 0);
    EXPECT_EQ(locations(readAll(config)),
              (std::vector<std::string>{"C:\\Nimbrel\\PelmiraTamil.xml", profile + "/Speechfiles/Oskalen/tl1totl1.xml",
                                        profile + "/Speechfiles/Oskalen/in1toin1.xml"}));
}

TEST_F(DataSetup, VoiceIsRegisteredAndCreatedByProgId) {
    const std::string regsvr = std::string(VORSAN_REGSVR) + " " + NIMBREL22_LIBRARY;
    ASSERT_EQ(std::system(regsvr.c_str()), 0);
    const std::string clsid = "CLSID\\" + guidToString(sapi::CLSID_Nimbrel22TTSEngine);
    EXPECT_EQ(registry::lookup(clsid), "Nimbrel22TTSEngine Class");
    EXPECT_EQ(registry::lookup(clsid + "\\InprocServer32", "ThreadingModel"), "Both");
    EXPECT_EQ(registry::lookup("Nimbrel22.TTSEngine\\CurVer"), "Nimbrel22.TTSEngine.1");

    // Creating the voice sets the new user up first.
    auto canUnload = reinterpret_cast<VorsanDllRegisterFn>(::dlsym(::dlopen(NIMBREL22_LIBRARY, RTLD_NOW), "DllCanUnloadNow"));
    ComPtr<sapi::ISpTTSEngine> voice;
    ASSERT_EQ(createInstance(u"Nimbrel22.TTSEngine", sapi::IID_ISpTTSEngine, voice), S_OK);
    EXPECT_TRUE(fs::is_regular_file(config) && fs::is_directory(data / "Oskalen"));
    EXPECT_EQ(canUnload(), S_FALSE);
    voice.reset();
    EXPECT_EQ(canUnload(), S_OK);
}

} // namespace
} // namespace vorsan
