// The voice's per-user set-up from the installation folder the registry
// names, and the voice library's registration and creation through the class
// registry (the set-up's rules are the engine's, tested with it).
#include <gtest/gtest.h>
#include <dlfcn.h>

#include <filesystem>
#include <fstream>

#include "DataSetup.h"
#include "vorsan/automation/Creation.h"
#include "vorsan/automation/Registry.h"
#include "vorsan/testing/TestSupport.h"
#include "vorsan/voice/Sapi.h"

namespace vorsan {
namespace {

namespace fs = std::filesystem;
using testing::sourcePath;

// A temporary profile, the system registry in a temporary file, and an
// installation folder as the installer leaves it, named by the system registry.
class DataSetup : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VORSAN_SYSTEM_REGISTRY", (home.path() / "etc-registry").c_str(), 1);
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

TEST_F(DataSetup, TheRegistryNamesTheInstallationAndEachStepIsReported) {
    testing::DiagnosticCapture log;
    // No configuration of the user's and no installation named: nothing made, nothing said.
    setInstallation(registry::systemRegistryPath(), "");
    EXPECT_EQ(voice::setUpUserData(), 1);
    EXPECT_FALSE(fs::exists(config) || fs::exists(data));
    EXPECT_EQ(log.text(), "");
    // Without a registry entry the fallback is used.
    EXPECT_EQ(voice::setUpUserData(install.string()), 0);
    EXPECT_NE(log.text().find("copied " + install.string() + "/Speechfiles to " + data.string()), std::string::npos);
    EXPECT_NE(log.text().find("wrote " + config.string()), std::string::npos);
    fs::remove_all(data);
    // A configuration of the user's but no data folder and no installation named.
    EXPECT_EQ(voice::setUpUserData(), 1);
    EXPECT_NE(log.text().find("loaded tolvane.xml"), std::string::npos);
    EXPECT_NE(log.text().find("Files Missing.Please reinstall Nimbrel: " + data.string()), std::string::npos);
    // The user's registry names a folder with no data, over the system's good one.
    setInstallation(registry::systemRegistryPath(), install.string());
    setInstallation(registry::userRegistryPath(), (home.path() / "empty").string());
    EXPECT_EQ(voice::setUpUserData(), 1);
    EXPECT_FALSE(fs::exists(data));
    setInstallation(registry::userRegistryPath(), "");
    EXPECT_EQ(voice::setUpUserData(), 0);
    EXPECT_TRUE(fs::is_regular_file(data / "Pelmira/PelmiraTamil.xml"));
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
