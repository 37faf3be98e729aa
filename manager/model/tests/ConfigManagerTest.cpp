// The manager's model on real files: the setup script's configuration, a
// configuration made from nothing, discovery and dropping of database files,
// every refusal (which must leave the model as it was), saving that is
// byte-stable, survives failures, and gives files the engine loads.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/resource.h>
#include <sys/stat.h>

#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/manager/ConfigManager.h"
#include "vorsan/core/Xml.h"
#include "vorsan/manager/DatabaseReaders.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::manager;
using namespace vorsan::testing;
namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Model {
    std::vector<std::string> messages;
    ConfigManager config{[this](const std::string& m) { messages.push_back(m); }};
};

// Copies a shipped database file into the profile's data folder.
std::string ship(const TempProfile& profile, const std::string& from, const std::string& to) {
    return profile.write("Speechfiles/" + to, slurp(sourcePath("data/" + from)));
}

} // namespace

TEST(ConfigManager, SetupFileLoadsEditsAndSavesForTheEngine) {
    TempProfile profile;
    ASSERT_EQ(std::system(("bash '" + sourcePath("data/tolvane/install.sh") + "' >/dev/null").c_str()), 0);
    const fs::path file = profile.path() / "tolvane.xml";
    Model m;
    ASSERT_TRUE(m.config.LoadConfig());
    EXPECT_TRUE(m.messages.empty()) << m.messages.front();
    EXPECT_EQ(m.config.AllPelmiraFiles().size(), 7u);
    EXPECT_EQ(m.config.AllRuvettaFiles().size(), 7u);
    EXPECT_EQ(m.config.AllOskalenFiles().size(), 6u);
    EXPECT_FALSE(m.config.Changed()); // every shipped file is already listed
    PelmiraConfig* hindi = m.config.PelmiraConfigRef("Hindi");
    ASSERT_NE(hindi, nullptr);
    EXPECT_EQ(hindi->PelmiraMbrolaDatabase(), "in1");
    EXPECT_DOUBLE_EQ(hindi->PelmiraPitchRatio(), 0.75);
    EXPECT_EQ(m.config.RuvettaConfigRef("Hindi_in1")->RuvettaMoods(),
              (std::vector<std::string>{"Neutral", "Happy", "Sad", "Angry", "Fear", "Bored"}));
    EXPECT_EQ(m.config.SuitableRuvettaFiles("in1").size(), 2u);
    EXPECT_EQ(m.config.SuitableOskalenFiles("in1").size(), 3u);

    // Edits reach the engine through the saved file.
    ASSERT_TRUE(m.config.ApplyLanguage("Hindi", {1.2, 0.9, 22050, "Gujarati_in1", "Sad", "in1_TO_en1"}));
    m.config.SetPrimaryLanguage("Tamil");
    ASSERT_TRUE(m.config.SaveConfig());
    EXPECT_FALSE(m.config.Changed());
    SpeechEngine engine;
    ASSERT_EQ(messageOf([&] { engine.loadConfiguration(); }), "no failure");
    EXPECT_EQ(engine.allSupportedLanguages().size(), 7u);
    EXPECT_EQ(engine.primaryLanguage(), "Tamil");
    EXPECT_FLOAT_EQ(engine.pitch("Hindi"), 1.2f);
    EXPECT_FLOAT_EQ(engine.time("Hindi"), 0.9f);
    EXPECT_EQ(engine.voiceFrequency("Hindi"), 22050);
    EXPECT_EQ(engine.emotionDatabase("Hindi"), "Gujarati_in1");
    EXPECT_EQ(engine.activeMood("Hindi"), u"Sad");
    EXPECT_EQ(engine.accentDatabase("Hindi"), "in1_TO_en1");
    EXPECT_FLOAT_EQ(engine.pitch("English (United States)"), 1.0f);

    // Loading and saving again gives the same bytes; the comments stay.
    const std::string saved = slurp(file);
    EXPECT_NE(saved.find("<!--Zenlora config file-->"), std::string::npos);
    Model again;
    ASSERT_TRUE(again.config.LoadConfig());
    EXPECT_DOUBLE_EQ(again.config.PelmiraConfigRef("Hindi")->PelmiraPitchRatio(), 1.2);
    ASSERT_TRUE(again.config.SaveConfig());
    EXPECT_EQ(slurp(file), saved);
}

TEST(ConfigManager, NewConfigurationDiscoversFilesAndRefusesWrongOnes) {
    TempProfile profile;
    {
        Model m; // no data folder at all
        ASSERT_TRUE(m.config.LoadConfig());
        EXPECT_EQ(m.messages, std::vector<std::string>{m.config.DataFolder() + " folder not found"});
        fs::create_directories(profile.path() / "Speechfiles/Pelmira");
        Model n; // a sub-folder missing
        ASSERT_TRUE(n.config.LoadConfig());
        EXPECT_EQ(n.messages, std::vector<std::string>{n.config.DataFolder() + "Ruvetta folder not found"});
    }
    const std::string hindi = ship(profile, "pelmira/newPelmiraHindi.xml", "Pelmira/hi.xml");
    ship(profile, "ruvetta/Hindi_in1.xml", "Ruvetta/Hindi_in1.xml");
    ship(profile, "oskalen/in1toen1.xml", "Oskalen/in1toen1.xml");
    const std::string misplaced = ship(profile, "pelmira/PelmiraTamil.xml", "Ruvetta/tamil.xml");
    const std::string moods = ship(profile, "ruvetta/Tamil_tl1.xml", "Pelmira/moods.xml");
    const std::string broken = profile.write("Speechfiles/Oskalen/broken.xml", "<dbMapper><unclosed>");
    const std::string doctype = profile.write("Speechfiles/Oskalen/entity.xml",
        "<!DOCTYPE dbMapper [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><dbMapper>&x;</dbMapper>");
    const std::string accent = profile.write("Speechfiles/Oskalen/noinfo.xml", "<dbMapper/>");
    profile.write("Speechfiles/Oskalen/readme.txt", "not a database");

    DiagnosticCapture quiet;
    Model m;
    ASSERT_TRUE(m.config.LoadConfig());
    EXPECT_EQ(m.messages, (std::vector<std::string>{
                              "File " + moods + " is not an Pelmira file",
                              "File " + misplaced + " is not a Ruvetta file",
                              "Error during parsing " + broken,
                              "Error during parsing " + doctype,
                              "File " + accent + " is not an Oskalen file",
                          }));
    ASSERT_EQ(m.config.AllPelmiraFiles().size(), 1u);
    const PelmiraConfig& h = *m.config.AllPelmiraFiles()[0];
    EXPECT_EQ(h.PelmiraName(), "Hindi");
    EXPECT_EQ(h.PelmiraDialect(), "Standard");
    EXPECT_EQ(h.PelmiraFileLocation(), hindi);
    EXPECT_EQ(h.PelmiraVoiceFrequency(), 16000);
    ASSERT_EQ(m.config.AllRuvettaFiles().size(), 1u);
    EXPECT_EQ(m.config.AllRuvettaFiles()[0]->RuvettaName(), "Hindi_in1");
    ASSERT_EQ(m.config.AllOskalenFiles().size(), 1u);
    EXPECT_EQ(m.config.AllOskalenFiles()[0]->OskalenName(), "in1_TO_en1");
    EXPECT_EQ(m.config.AllOskalenFiles()[0]->ToMbrolaDatabase(), "en1");
    EXPECT_TRUE(m.config.Changed());

    ASSERT_TRUE(m.config.SaveConfig());
    const std::string saved = slurp(profile.path() / "tolvane.xml");
    for (const char* part : {"<ZenloraConfig>", "<!--Zenlora config file-->", "<Pelmira>", "<Ruvetta>", "<Oskalen>",
                             "<PrimaryLanguage/>", "Dialect=\"Standard\" name=\"Hindi\"", "<Pitch>0.75</Pitch>"})
        EXPECT_NE(saved.find(part), std::string::npos) << part;
    SpeechEngine engine;
    ASSERT_EQ(messageOf([&] { engine.loadConfiguration(); }), "no failure");
    EXPECT_EQ(engine.allSupportedLanguages(), StringList{u"Hindi"});
    EXPECT_TRUE(engine.emotionDatabaseSupported("Hindi_in1"));
    EXPECT_TRUE(engine.accentDatabaseSupported("in1_TO_en1"));
}

TEST(ConfigManager, DropsMissingFilesAndAddsNewOnes) {
    TempProfile profile;
    const std::string hindi = ship(profile, "pelmira/newPelmiraHindi.xml", "Pelmira/hi.xml");
    const std::string emotion = ship(profile, "ruvetta/Hindi_in1.xml", "Ruvetta/Hindi_in1.xml");
    ship(profile, "oskalen/in1toen1.xml", "Oskalen/in1toen1.xml");
    const fs::path config = profile.path() / "tolvane.xml";
    profile.write("tolvane.xml", R"x(<?xml version="1.0"?>
<ZenloraConfig><Pelmira>
  <PelmiraFile name="English (United States)" Dialect="US"><location/><MbrolaDatabase>en1</MbrolaDatabase>
    <Pitch>1.0</Pitch><Time>1.0</Time><Voice>16000</Voice>
    <RuvettaRef name="Gone_en1" preferredEmotion="Sad"/><OskalenRef name="en1_TO_in1"/><Extra keep="yes"/></PelmiraFile>
  <PelmiraFile name="Tamil" Dialect="Standard"><location>/nowhere/Tamil.xml</location><MbrolaDatabase>tl1</MbrolaDatabase></PelmiraFile>
  <PelmiraFile name="Hindi" Dialect="Standard"><location>)x" + hindi + R"x(</location><MbrolaDatabase>in1</MbrolaDatabase>
    <Pitch>0.8</Pitch><Time>0.9</Time><Voice>16000</Voice><RuvettaRef name="Hindi_in1" preferredEmotion="Sad"/><OskalenRef name=""/></PelmiraFile>
</Pelmira><Ruvetta>
  <RuvettaFile name="Hindi_in1" location=")x" + emotion + R"x(" MbrolaDatabase="in1"/>
  <RuvettaFile name="Gone_en1" location="/nowhere/Gone.xml" MbrolaDatabase="en1"/>
</Ruvetta><Oskalen><OskalenFile name="en1_TO_in1" location="/nowhere/a.xml" fromMbroladb="en1" toMbroladb="in1"/></Oskalen>
<PrimaryLanguage>Tamil</PrimaryLanguage><PrimaryLanguage>Hindi</PrimaryLanguage></ZenloraConfig>
)x");
    const std::string before = slurp(config);
    Model m;
    ASSERT_TRUE(m.config.LoadConfig());
    EXPECT_TRUE(m.messages.empty());
    EXPECT_EQ(m.config.PrimaryLanguage(), "Hindi"); // the last one, as the engine reads it
    ASSERT_EQ(m.config.AllPelmiraFiles().size(), 2u); // Tamil's file is gone; English has none
    const PelmiraConfig* english = m.config.PelmiraConfigRef("English (United States)");
    ASSERT_NE(english, nullptr);
    EXPECT_EQ(english->RuvettaRef(), "");
    EXPECT_EQ(english->PreferredEmotion(), "");
    EXPECT_EQ(english->OskalenRef(), "");
    EXPECT_EQ(m.config.PelmiraConfigRef("Hindi")->PreferredEmotion(), "Sad");
    EXPECT_EQ(m.config.AllRuvettaFiles().size(), 1u);
    ASSERT_EQ(m.config.AllOskalenFiles().size(), 1u); // the gone one dropped, the new file found
    EXPECT_EQ(m.config.AllOskalenFiles()[0]->OskalenName(), "in1_TO_en1");
    EXPECT_TRUE(m.config.Changed());
    EXPECT_EQ(slurp(config), before); // nothing is written before a save

    // A new file in each sub-folder is appended on the next load.
    ASSERT_TRUE(m.config.SaveConfig());
    EXPECT_NE(slurp(config).find("<Extra keep=\"yes\"/>"), std::string::npos);
    ship(profile, "pelmira/PelmiraTamil.xml", "Pelmira/ta.xml");
    ship(profile, "ruvetta/Tamil_tl1.xml", "Ruvetta/Tamil_tl1.xml");
    ship(profile, "oskalen/tl1toin1.xml", "Oskalen/tl1toin1.xml");
    Model n;
    ASSERT_TRUE(n.config.LoadConfig());
    EXPECT_EQ(n.config.AllPelmiraFiles().back()->PelmiraName(), "Tamil");
    EXPECT_EQ(n.config.AllRuvettaFiles().back()->RuvettaName(), "Tamil_tl1");
    EXPECT_EQ(n.config.AllOskalenFiles().back()->OskalenName(), "tl1_TO_in1");
    EXPECT_EQ(n.config.SuitableRuvettaFiles("tl1").size(), 1u);
}

TEST(ConfigManager, RefusalsLeaveModelAndFileAsTheyWere) {
    TempProfile profile;
    ship(profile, "pelmira/newPelmiraHindi.xml", "Pelmira/hi.xml");
    ship(profile, "ruvetta/Hindi_in1.xml", "Ruvetta/Hindi_in1.xml");
    ship(profile, "ruvetta/Tamil_tl1.xml", "Ruvetta/Tamil_tl1.xml");
    ship(profile, "oskalen/tl1toin1.xml", "Oskalen/tl1toin1.xml");
    Model m;
    ASSERT_TRUE(m.config.LoadConfig());
    ASSERT_TRUE(m.config.SaveConfig());
    const fs::path config = profile.path() / "tolvane.xml";
    const std::string saved = slurp(config);

    const LanguageSettings start{0.75, 0.75, 16000, "", "", ""};
    const std::vector<std::pair<LanguageSettings, std::string>> refused = {
        {{1.2, 1, 16000, "Hindi_in1", "", ""}, "Select Preferred Emotion"},
        {{1.2, 1, 16000, "Tamil_tl1", "Sad", ""}, "Ruvetta's Mbrola databases doesn't match with Pelmira"},
        {{1.2, 1, 16000, "Hindi_in1", "Sad", "tl1_TO_in1"}, "Oskalen's Mbrola databases doesn't match with Pelmira"},
        // Values the engine would refuse the whole file for.
        {{0, 1, 16000, "", "", ""}, "Pitch must be a ratio from 0.001 to 100"},
        {{1.2, std::nan(""), 16000, "", "", ""}, "Time must be a ratio from 0.001 to 100"},
        {{1.2, 1, 2000, "", "", ""}, "Voice must be a frequency from 4000 to 192000 Hz"},
    };
    for (const auto& [settings, message] : refused) {
        m.messages.clear();
        EXPECT_FALSE(m.config.ApplyLanguage("Hindi", settings));
        EXPECT_EQ(m.messages, std::vector<std::string>{message});
    }
    const PelmiraConfig& hindi = *m.config.PelmiraConfigRef("Hindi");
    EXPECT_DOUBLE_EQ(hindi.PelmiraPitchRatio(), start.pitch);
    EXPECT_EQ(hindi.RuvettaRef(), "");
    EXPECT_FALSE(m.config.Changed());
    // Applying the values it already has changes nothing either.
    EXPECT_TRUE(m.config.ApplyLanguage("Hindi", start));
    EXPECT_FALSE(m.config.Changed());

    // A broken or foreign file on a second load keeps the loaded model; the
    // failed save after it would not overwrite anything the model did not read.
    m.messages.clear();
    profile.write("tolvane.xml", "<ZenloraConfig><Pelmira>");
    EXPECT_FALSE(m.config.LoadConfig());
    profile.write("tolvane.xml", "<Config/>");
    EXPECT_FALSE(m.config.LoadConfig());
    ASSERT_EQ(m.messages.size(), 2u);
    EXPECT_TRUE(m.messages[0].starts_with("Error while parsing configuration file: '" + config.string() + "'"))
        << m.messages[0];
    EXPECT_EQ(m.messages[1], "Not a valid Tolvane file");
    EXPECT_EQ(m.config.AllPelmiraFiles().size(), 1u);
    Model unread;
    EXPECT_FALSE(unread.config.LoadConfig());
    EXPECT_FALSE(unread.config.SaveConfig());
    EXPECT_EQ(slurp(config), "<Config/>");

    // The readers' own refusals.
    std::vector<std::string> said;
    Language reader([&](const std::string& s) { said.push_back(s); });
    EXPECT_FALSE(reader.ParsePelmiraFile("/nowhere/x.xml"));
    EXPECT_EQ(said, std::vector<std::string>{"File /nowhere/x.xml not found"});
}

TEST(ConfigManager, FailedSaveSaysSoAndKeepsEdits) {
    TempProfile profile;
    ship(profile, "pelmira/newPelmiraHindi.xml", "Pelmira/hi.xml");
    fs::create_directories(profile.path() / "Speechfiles/Ruvetta");
    fs::create_directories(profile.path() / "Speechfiles/Oskalen");
    Model m;
    ASSERT_TRUE(m.config.LoadConfig());
    ASSERT_TRUE(m.config.SaveConfig());
    const fs::path config = profile.path() / "tolvane.xml";
    const std::string saved = slurp(config);
    ASSERT_TRUE(m.config.ApplyLanguage("Hindi", {1.5, 1.25, 8000, "", "", ""}));

    fs::permissions(config, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_FALSE(m.config.SaveConfig());
    EXPECT_EQ(m.messages, std::vector<std::string>{"Could not save the configuration (" + config.string() +
                                                   " is read-only); your changes are kept"});
    EXPECT_EQ(slurp(config), saved);
    EXPECT_TRUE(m.config.Changed());
    EXPECT_DOUBLE_EQ(m.config.PelmiraConfigRef("Hindi")->PelmiraPitchRatio(), 1.5);

    // Something that cannot be replaced by a file: the save fails, no
    // temporary file is left behind, and a later save succeeds.
    fs::remove(config);
    fs::create_directories(config / "inside");
    m.messages.clear();
    EXPECT_FALSE(m.config.SaveConfig());
    ASSERT_EQ(m.messages.size(), 1u);
    EXPECT_NE(m.messages[0].find("cannot replace"), std::string::npos) << m.messages[0];
    for (const auto& e : fs::directory_iterator(profile.path()))
        EXPECT_EQ(e.path().filename().string().rfind(".tolvane", 0), std::string::npos) << e.path();
    // A configuration kept elsewhere behind a link stays linked.
    fs::remove_all(config);
    const fs::path kept = profile.path() / "dotfiles/tolvane.xml";
    fs::create_directories(kept.parent_path());
    std::ofstream(kept) << saved;
    fs::create_symlink(kept, config);
    EXPECT_TRUE(m.config.SaveConfig());
    EXPECT_TRUE(fs::is_symlink(config));
    EXPECT_NE(slurp(kept).find("<Pitch>1.5</Pitch>"), std::string::npos);
}

TEST(ConfigManager, HostileConfigurationNamesAreReportedNotThrown) {
    TempProfile profile;
    ship(profile, "pelmira/newPelmiraHindi.xml", "Pelmira/hi.xml");
    fs::create_directories(profile.path() / "Speechfiles/Ruvetta");
    fs::create_directories(profile.path() / "Speechfiles/Oskalen");
    const fs::path config = profile.path() / "tolvane.xml";
    const auto loadSays = [](const std::string& start) {
        Model m;
        EXPECT_FALSE(m.config.LoadConfig()) << start;
        EXPECT_FALSE(m.config.SaveConfig()); // nothing read, nothing written
        ASSERT_FALSE(m.messages.empty()) << start;
        EXPECT_TRUE(m.messages.front().starts_with(start)) << m.messages.front();
    };

    // A folder, a loop of links, a FIFO (which would block a plain open)
    // and a file beyond the engine's limit: each is a message, none aborts.
    fs::create_directories(config / "inside");
    loadSays("Cannot read " + config.string() + ": not a regular file");
    fs::remove_all(config);
    fs::create_symlink("loop", profile.path() / "loop");
    fs::create_symlink(profile.path() / "loop", config);
    loadSays("Cannot read " + config.string() + ": ");
    fs::remove(config);
    ASSERT_EQ(::mkfifo(config.c_str(), 0600), 0);
    loadSays("Cannot read " + config.string() + ": not a regular file");
    fs::remove(config);
    std::string big = "<ZenloraConfig>";
    big.append(xml::kMaxConfigurationBytes, ' ');
    profile.write("tolvane.xml", big + "</ZenloraConfig>");
    loadSays("Error while parsing configuration file: File '" + config.string() + "' is ");
    fs::remove(config);

    // Saving over a FIFO or through a dangling link is refused, leaving
    // both as they were and no temporary file behind.
    Model m;
    ASSERT_TRUE(m.config.LoadConfig());
    ASSERT_EQ(::mkfifo(config.c_str(), 0600), 0);
    EXPECT_FALSE(m.config.SaveConfig());
    EXPECT_TRUE(fs::is_fifo(config));
    fs::remove(config);
    fs::create_symlink(profile.path() / "gone/tolvane.xml", config);
    EXPECT_FALSE(m.config.SaveConfig());
    EXPECT_TRUE(fs::is_symlink(config));
    fs::remove(config);
    ASSERT_EQ(m.messages.size(), 2u);
    EXPECT_NE(m.messages[0].find("cannot replace " + config.string() + ": not a regular file"), std::string::npos)
        << m.messages[0];
    EXPECT_NE(m.messages[1].find("cannot replace " + config.string() + ": "), std::string::npos) << m.messages[1];

    // A file-size limit smaller than the file: the write fails (no signal
    // ends the program), the temporary file goes, a later save succeeds.
    m.messages.clear();
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = m.config.SaveConfig();
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &before), 0);
    EXPECT_FALSE(saved);
    ASSERT_EQ(m.messages.size(), 1u);
    EXPECT_NE(m.messages[0].find("File too large"), std::string::npos) << m.messages[0];
    for (const auto& e : fs::directory_iterator(profile.path()))
        EXPECT_EQ(e.path().filename().string().rfind(".tolvane", 0), std::string::npos) << e.path();
    EXPECT_FALSE(fs::exists(config));
    EXPECT_TRUE(m.config.SaveConfig());
    Model again;
    EXPECT_TRUE(again.config.LoadConfig());
}
