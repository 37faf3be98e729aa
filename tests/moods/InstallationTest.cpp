// The installation's data: data/tolvane/install.sh makes the user's copy of
// the shipped files and the user's tolvane.xml, which the engine loads.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ShippedData.h"
#include "vorsan/core/MException.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;
namespace fs = std::filesystem;

namespace {

const std::string kEnglish = SpeechEngine::kEnglishName;

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs an install script with the given environment assignments in front.
int runInstaller(const std::string& script, const std::string& environment = "") {
    return std::system((environment + " bash '" + script + "' >/dev/null").c_str());
}

} // namespace

TEST(Installation, TheInstalledConfigurationLoadsWithEveryShippedDatabase) {
    TempProfile profile;
    ASSERT_EQ(runInstaller(dataPath("tolvane/install.sh")), 0);
    // Every location points into the user's copy.
    const std::string config = readText(profile.path() / "tolvane.xml");
    EXPECT_EQ(config.find("\"Speechfiles/"), std::string::npos);
    EXPECT_EQ(config.find(">Speechfiles/"), std::string::npos);

    SpeechEngine engine;
    try {
        ASSERT_TRUE(engine.loadConfiguration());
    } catch (const MException& e) {
        FAIL() << e.message();
    }
    EXPECT_EQ(engine.allAccentDatabases().size(), shippedAccents().size());
    for (const auto& [from, to] : shippedAccents()) EXPECT_TRUE(engine.accentDatabaseSupported(from + "_TO_" + to));
    EXPECT_EQ(engine.allEmotionDatabases().size(), shippedLanguages().size());
    EXPECT_EQ(engine.allSupportedLanguages().size(), shippedLanguages().size());
    EXPECT_TRUE(engine.primaryLanguage().empty());
    // Every language with its voice, its own moods (Neutral active) and its
    // accent; the Indian languages slower and lower than the voices' own.
    for (const ShippedLanguage& l : shippedLanguages()) {
        SCOPED_TRACE(l.name);
        ASSERT_TRUE(engine.languageSupported(l.name));
        EXPECT_EQ(engine.mbrolaDatabase(l.name), l.database);
        EXPECT_EQ(engine.emotionDatabase(l.name), l.name + "_" + l.database);
        EXPECT_EQ(engine.activeMood(l.name), u"Neutral");
        EXPECT_EQ(engine.accentDatabase(l.name), l.accent);
        EXPECT_EQ(engine.voiceFrequency(l.name), 16000);
        EXPECT_FLOAT_EQ(engine.pitch(l.name), l.name == kEnglish ? 1.0f : 0.75f);
        EXPECT_FLOAT_EQ(engine.time(l.name), l.name == kEnglish ? 1.0f : 0.75f);
    }
    // The configured mood is applied, the same after unloading and loading again.
    const std::string neutral = engine.convertTextToPhoneme(u"Good morning to you.", true, false, false).at(0).phoneString;
    engine.unloadConfiguration();
    ASSERT_TRUE(engine.loadConfiguration());
    EXPECT_EQ(engine.convertTextToPhoneme(u"Good morning to you.", true, false, false).at(0).phoneString, neutral);
}

TEST(Installation, WithoutAProfileVariableTheHomeFolderIsTheProfile) {
    // (What a repeated set-up keeps and refreshes: cli/tests/UserSetupTest.cpp.)
    TempProfile home;
    ASSERT_EQ(runInstaller(dataPath("tolvane/install.sh"), "USERPROFILE= HOME='" + home.path().string() + "'"), 0);
    EXPECT_TRUE(fs::is_regular_file(home.path() / "tolvane.xml"));
    EXPECT_TRUE(fs::is_regular_file(home.path() / "Speechfiles" / "Ruvetta" / "Tamil_tl1.xml"));
}
