// The installation's data: data/tolvane/install.sh makes the user's copy of
// the shipped files and, once, the user's tolvane.xml, which the engine loads.
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
    const std::string command = environment + " bash '" + script + "' >/dev/null";
    return std::system(command.c_str());
}

struct Language {
    const char* name;
    const char* ruleFile;
    const char* database;
    const char* accent;
};
const Language kLanguages[] = {
    {"Hindi", "newPelmiraHindi.xml", "in1", "in1_TO_in1"},
    {"Gujarati", "PelmiraGujarati.xml", "in1", "in1_TO_in1"},
    {"Kannada", "PelmiraKannada.xml", "tl1", "tl1_TO_tl1"},
    {"Tamil", "PelmiraTamil.xml", "tl1", "tl1_TO_tl1"},
    {"Telugu", "PelmiraTelugu.xml", "tl1", "tl1_TO_tl1"},
    {"Marathi", "PelmiraMarathi.xml", "mr1", ""},
};

} // namespace

TEST(Installation, TheInstalledConfigurationLoadsWithEveryShippedDatabase) {
    TempProfile profile;
    ASSERT_EQ(runInstaller(dataPath("tolvane/install.sh")), 0);
    const fs::path speech = profile.path() / "Speechfiles";
    for (const auto& f : shippedEmotionFiles()) EXPECT_TRUE(fs::is_regular_file(speech / "Ruvetta" / f.file)) << f.file;
    for (const auto& f : shippedAccentFiles()) EXPECT_TRUE(fs::is_regular_file(speech / "Oskalen" / f.file)) << f.file;
    EXPECT_TRUE(fs::is_regular_file(speech / "Voices" / "en1.xml"));

    // Every location points into the user's copy.
    const std::string config = readText(profile.path() / "tolvane.xml");
    EXPECT_EQ(config.find("\"Speechfiles/"), std::string::npos);
    EXPECT_EQ(config.find(">Speechfiles/"), std::string::npos);
    EXPECT_NE(config.find("Zenlora config file"), std::string::npos);

    SpeechEngine engine;
    try {
        ASSERT_TRUE(engine.loadConfiguration());
    } catch (const MException& e) {
        FAIL() << e.message();
    }
    EXPECT_EQ(engine.allEmotionDatabases().size(), shippedEmotionFiles().size());
    for (const auto& f : shippedEmotionFiles())
        EXPECT_TRUE(engine.emotionDatabaseSupported(f.language + "_" + f.database)) << f.file;
    EXPECT_EQ(engine.allAccentDatabases().size(), shippedAccentFiles().size());
    for (const auto& f : shippedAccentFiles()) EXPECT_TRUE(engine.accentDatabaseSupported(f.from + "_TO_" + f.to));

    EXPECT_TRUE(engine.primaryLanguage().empty());
    EXPECT_EQ(engine.emotionDatabase(kEnglish), "English (United States)_en1");
    EXPECT_EQ(engine.activeMood(kEnglish), u"Neutral");
    EXPECT_EQ(engine.accentDatabase(kEnglish), "en1_TO_in1");
    EXPECT_EQ(engine.voiceFrequency(kEnglish), 16000);
    EXPECT_FLOAT_EQ(engine.pitch(kEnglish), 1.0f);

    // The rule files delivered so far are all configured, each with its own
    // moods and accent; languages whose file is missing are left out.
    std::size_t expected = 1;
    for (const Language& l : kLanguages) {
        const bool shipped = dataFileExists(std::string("pelmira/") + l.ruleFile);
        EXPECT_EQ(engine.languageSupported(l.name), shipped) << l.name;
        if (!shipped) continue;
        ++expected;
        EXPECT_EQ(engine.mbrolaDatabase(l.name), l.database);
        EXPECT_EQ(engine.emotionDatabase(l.name), std::string(l.name) + "_" + l.database);
        EXPECT_EQ(engine.activeMood(l.name), u"Neutral");
        EXPECT_EQ(engine.accentDatabase(l.name), l.accent);
        EXPECT_EQ(engine.voiceFrequency(l.name), 16000);
        EXPECT_FLOAT_EQ(engine.pitch(l.name), 0.75f);
        EXPECT_FLOAT_EQ(engine.time(l.name), 0.75f);
    }
    EXPECT_EQ(engine.allSupportedLanguages().size(), expected);

    // The moods of the configured database are the ones applied.
    const auto chunks = engine.convertTextToPhoneme(u"Good morning to you.", true, false, false);
    ASSERT_EQ(chunks.size(), 1u);
    const std::string neutral = chunks[0].phoneString;
    engine.unloadConfiguration();
    ASSERT_TRUE(engine.loadConfiguration());
    EXPECT_EQ(engine.convertTextToPhoneme(u"Good morning to you.", true, false, false)[0].phoneString, neutral);
}

TEST(Installation, ARepeatedInstallRefreshesTheFilesButKeepsTheUsersConfiguration) {
    TempProfile profile;
    const std::string script = dataPath("tolvane/install.sh");
    ASSERT_EQ(runInstaller(script), 0);
    const fs::path speech = profile.path() / "Speechfiles";
    const fs::path config = profile.path() / "tolvane.xml";

    // The user's own choices and files, and a damaged copy of a shipped file.
    const std::string mine =
        "<?xml version=\"1.0\"?><ZenloraConfig><Pelmira><PelmiraFile name=\"English (United States)\">"
        "<location/><Pitch>1.3</Pitch><Time>0.9</Time><Voice>22050</Voice></PelmiraFile></Pelmira>"
        "</ZenloraConfig>";
    profile.write("tolvane.xml", mine);
    profile.write("Speechfiles/Ruvetta/My_en1.xml", "mine");
    profile.write("Speechfiles/Ruvetta/Hindi_in1.xml", "broken");
    fs::remove(speech / "Oskalen" / "en1toin1.xml");

    ASSERT_EQ(runInstaller(script), 0);
    EXPECT_EQ(readText(config), mine);
    EXPECT_EQ(readText(speech / "Ruvetta" / "My_en1.xml"), "mine");
    EXPECT_EQ(readText(speech / "Ruvetta" / "Hindi_in1.xml"), readText(dataPath("ruvetta/Hindi_in1.xml")));
    EXPECT_TRUE(fs::is_regular_file(speech / "Oskalen" / "en1toin1.xml"));

    SpeechEngine engine;
    ASSERT_TRUE(engine.loadConfiguration());
    EXPECT_FLOAT_EQ(engine.pitch(kEnglish), 1.3f);
    EXPECT_EQ(engine.voiceFrequency(kEnglish), 22050);

    // Without USERPROFILE (or with it empty) the home folder is the profile.
    TempProfile home;
    ASSERT_EQ(runInstaller(script, "USERPROFILE= HOME='" + home.path().string() + "'"), 0);
    EXPECT_TRUE(fs::is_regular_file(home.path() / "tolvane.xml"));
    EXPECT_TRUE(fs::is_regular_file(home.path() / "Speechfiles" / "Ruvetta" / "Tamil_tl1.xml"));
}

TEST(Installation, FilesNotDeliveredAreLeftOutSoTheConfigurationStillLoads) {
    // An installation folder holding only some of the files.
    TempProfile profile;
    const fs::path shipped = profile.path() / "shipped";
    fs::create_directories(shipped / "tolvane");
    fs::create_directories(shipped / "ruvetta");
    fs::create_directories(shipped / "oskalen");
    fs::copy_file(dataPath("tolvane/install.sh"), shipped / "tolvane" / "install.sh");
    fs::copy_file(dataPath("tolvane/tolvane.xml"), shipped / "tolvane" / "tolvane.xml");
    fs::copy_file(dataPath("ruvetta/Hindi_in1.xml"), shipped / "ruvetta" / "Hindi_in1.xml");
    fs::copy_file(dataPath("oskalen/in1toin1.xml"), shipped / "oskalen" / "in1toin1.xml");

    const fs::path user = profile.path() / "user";
    fs::create_directories(user);
    ASSERT_EQ(runInstaller((shipped / "tolvane" / "install.sh").string(), "USERPROFILE='" + user.string() + "'"), 0);
    ASSERT_TRUE(fs::is_regular_file(user / "tolvane.xml"));

    setenv("USERPROFILE", user.c_str(), 1);
    SpeechEngine engine;
    try {
        ASSERT_TRUE(engine.loadConfiguration());
    } catch (const MException& e) {
        FAIL() << e.message();
    }
    setenv("USERPROFILE", profile.path().c_str(), 1);
    EXPECT_EQ(engine.allSupportedLanguages().size(), 1u);
    EXPECT_TRUE(engine.languageSupported(kEnglish));
    EXPECT_EQ(engine.allEmotionDatabases().size(), 1u);
    EXPECT_TRUE(engine.emotionDatabaseSupported("Hindi_in1"));
    EXPECT_EQ(engine.allAccentDatabases().size(), 1u);
    EXPECT_TRUE(engine.accentDatabaseSupported("in1_TO_in1"));
    // References to databases that are not there are cleared.
    EXPECT_EQ(engine.emotionDatabase(kEnglish), "");
    EXPECT_EQ(engine.accentDatabase(kEnglish), "");
}
