// The configuration file: every section loaded, the registries locked while
// it is in force, its edge cases, and broken files that change nothing.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "EngineFixtures.h"
#include "vorsan/core/PhonemeText.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

namespace {
struct ConfigFixture {
    TempProfile profile;
    std::string hindi, marathi, emotion, accent;
    ConfigFixture() {
        hindi = profile.write("Speechfiles/Pelmira/hi.xml", hindiRuleFile("Hindi", "en1"));
        marathi = profile.write("Speechfiles/Pelmira/mr.xml", hindiRuleFile("Marathi", "mr1"));
        emotion = profile.write("Speechfiles/Ruvetta/hi.xml", emotionFile("Hindi", "en1"));
        accent = profile.write("Speechfiles/Oskalen/en1.xml", accentFile("en1", "en1"));
    }
    void config(const std::string& body) const {
        profile.write("tolvane.xml", "<?xml version=\"1.0\"?>\n<ZenloraConfig><!--Zenlora config file-->" + body +
                                         "</ZenloraConfig>");
    }
    std::string language(const std::string& location, const std::string& extra = "") const {
        return "<PelmiraFile name=\"x\" Dialect=\"y\"><location>" + location +
               "</location><MbrolaDatabase>zz</MbrolaDatabase><Voice>22050</Voice><Pitch>0.9</Pitch><Time>1.1</Time>" +
               extra + "</PelmiraFile>";
    }
};
} // namespace

TEST(Configuration, LoadsEverySectionAndLocks) {
    ConfigFixture f;
    // The primary language comes before the languages; it is found anyway.
    f.config("<PrimaryLanguage>Hindi</PrimaryLanguage><Pelmira>" + f.language("") +
             f.language(f.hindi, "<RuvettaRef name=\"Hindi_en1\" preferredEmotion=\"Sad\"/><OskalenRef name=\"en1_TO_en1\"/>") +
             f.language(f.marathi) + "</Pelmira><Ruvetta><RuvettaFile name=\"a\" location=\"" + f.emotion +
             "\" MbrolaDatabase=\"en1\"/></Ruvetta><Oskalen><OskalenFile name=\"b\" location=\"" + f.accent +
             "\"/></Oskalen>");
    SpeechEngine engine;
    EXPECT_TRUE(engine.loadConfiguration());
    EXPECT_TRUE(engine.configuredFromFile());
    EXPECT_EQ(engine.allSupportedLanguages(), (StringList{u"English (United States)", u"Hindi", u"Marathi"}));
    EXPECT_EQ(engine.primaryLanguage(), "Hindi");
    EXPECT_EQ(engine.voiceFrequency("Hindi"), 22050);
    EXPECT_FLOAT_EQ(engine.time("English (United States)"), 1.1f);
    EXPECT_EQ(engine.activeMood("Hindi"), u"Sad");
    EXPECT_EQ(engine.accentDatabase("Hindi"), "en1_TO_en1");
    // Adding and removing one by one is locked; settings are not.
    const std::string locked = "Vorsan loaded by tolvane config file, so can't ";
    EXPECT_EQ(messageOf([&] { engine.addLanguageDatabase(f.hindi); }), locked + "add Language Database");
    EXPECT_EQ(messageOf([&] { engine.addEmotionDatabase(f.emotion); }), locked + "set Emotion Database");
    EXPECT_EQ(messageOf([&] { engine.addAccentDatabase(f.accent); }), locked + "add Accent Database");
    EXPECT_EQ(messageOf([&] { engine.removeLanguageDatabase("Hindi"); }), locked + "remove Language Database");
    EXPECT_EQ(messageOf([&] { engine.removeEmotionDatabase("Hindi_en1"); }), locked + "remove Emotion Database");
    EXPECT_EQ(messageOf([&] { engine.removeAccentDatabase("en1_TO_en1"); }), locked + "remove DBMapper Database");
    engine.setPitch("Hindi", 1.2f);

    // Loading again gives the same registries; unloading leaves English only.
    engine.loadConfiguration();
    EXPECT_EQ(engine.allSupportedLanguages().size(), 3u);
    EXPECT_FLOAT_EQ(engine.pitch("Hindi"), 0.9f);
    engine.unloadConfiguration();
    EXPECT_EQ(engine.allSupportedLanguages(), StringList{u"English (United States)"});
    EXPECT_EQ(engine.primaryLanguage(), "");
    EXPECT_EQ(engine.addLanguageDatabase(f.hindi), "Hindi");
}

TEST(Configuration, EdgeCasesOfTheFile) {
    ConfigFixture f;
    SpeechEngine engine;
    // No English entry: English letters then belong to no language.
    f.config("<Pelmira>" + f.language(f.hindi) + f.language(f.hindi) + "</Pelmira><PrimaryLanguage>Tamil</PrimaryLanguage>");
    engine.loadConfiguration();
    EXPECT_EQ(engine.allSupportedLanguages(), StringList{u"Hindi"});
    EXPECT_EQ(engine.primaryLanguage(), "");
    EXPECT_TRUE(engine.convertTextToPhoneme(u"Hello", false, false, false).empty());

    // Missing or unparsable numbers keep a fresh language's values.
    f.config("<Pelmira><PelmiraFile><location>" + f.hindi + "</location><Pitch>fast</Pitch></PelmiraFile></Pelmira>");
    engine.loadConfiguration();
    EXPECT_FLOAT_EQ(engine.pitch("Hindi"), 0.75f);
    EXPECT_EQ(engine.voiceFrequency("Hindi"), 16000);

    // A read-only configuration loads.
    std::filesystem::permissions(f.profile.path() / "tolvane.xml", std::filesystem::perms::owner_read);
    EXPECT_TRUE(engine.loadConfiguration());
}

TEST(Configuration, MarathiOrHindiBySentenceCanBeTurnedOff) {
    ConfigFixture f;
    // Older files lack the switch: on. Off, Devanagari is the first
    // language that claims it, as it used to be.
    for (const std::string value : {"", "true", "false"}) {
        f.config((value.empty() ? "" : "<ChooseLanguageBySentence>" + value + "</ChooseLanguageBySentence>") +
                 "<Pelmira>" + f.language(f.hindi) + f.language(f.marathi) + "</Pelmira>");
        SpeechEngine engine;
        ASSERT_TRUE(engine.loadConfiguration());
        EXPECT_EQ(engine.convertTextToPhoneme(u"मी घरी आहे.", false, false, false).at(0).mbrolaDatabase,
                  value == "false" ? "en1" : "mr1")
            << value;
    }
}

TEST(Configuration, TheEnglishEntryChoosesItsRhythm) {
    ConfigFixture f;
    const std::u16string text = u"Go go go.";
    auto phonemes = [&](const std::string& rhythm) {
        f.config("<Pelmira>" + f.language("", rhythm) + "</Pelmira>");
        SpeechEngine engine;
        EXPECT_TRUE(engine.loadConfiguration());
        return engine.convertTextToPhoneme(text, false, false, false).at(0).phoneString;
    };
    // A stored file without the setting (or naming the table) speaks as an
    // engine that loaded no file: by the phone table.
    const std::string table = SpeechEngine().convertTextToPhoneme(text, false, false, false).at(0).phoneString;
    EXPECT_EQ(phonemes(""), table);
    EXPECT_EQ(phonemes("<Rhythm>table</Rhythm>"), table);
    // The natural rhythm lengthens the end of the phrase: the last vowel
    // lasts clearly longer than the first, which the table times alike.
    auto lastOverFirst = [](const std::string& out) {
        PhonemeRecordList records;
        records.read(out);
        std::vector<int> vowels;
        for (const PhonemeRecord& r : records)
            if (r.name == "@U") vowels.push_back(r.duration);
        return vowels.size() == 3 ? static_cast<double>(vowels[2]) / vowels[0] : 0.0;
    };
    EXPECT_DOUBLE_EQ(lastOverFirst(table), 1.0);
    EXPECT_GE(lastOverFirst(phonemes(" <Rhythm> natural </Rhythm> ")), 1.3);
}

TEST(Configuration, ABrokenFileChangesNothing) {
    ConfigFixture f;
    SpeechEngine engine;
    f.config("<Pelmira>" + f.language("") + f.language(f.hindi) + "</Pelmira><PrimaryLanguage>Hindi</PrimaryLanguage>");
    engine.loadConfiguration();

    std::filesystem::remove(f.profile.path() / "tolvane.xml");
    EXPECT_EQ(messageOf([&] { engine.loadConfiguration(); }), engine.configurationPath() + " Config file not found");
    f.profile.write("tolvane.xml", "<Other/>");
    EXPECT_EQ(messageOf([&] { engine.loadConfiguration(); }), "Not a Tolvane file");
    f.config("<Pelmira>" + f.language("") + f.language(f.profile.path().string() + "/missing.xml") + "</Pelmira>");
    EXPECT_NE(messageOf([&] { engine.loadConfiguration(); }), "no failure");
    f.profile.write("tolvane.xml", "<ZenloraConfig><Pelmira>");
    {
        DiagnosticCapture out;
        EXPECT_NE(messageOf([&] { engine.loadConfiguration(); }), "no failure");
        EXPECT_EQ(out.text(), "XMLException during parsing: '" + engine.configurationPath() + "'\n");
    }
    f.profile.write("tolvane.xml", "<!DOCTYPE z [<!ENTITY a SYSTEM 'file:///etc/passwd'>]><ZenloraConfig>&a;</ZenloraConfig>");
    DiagnosticCapture quiet;
    EXPECT_NE(messageOf([&] { engine.loadConfiguration(); }), "no failure");
    // Every failure left the first configuration in force.
    EXPECT_EQ(engine.allSupportedLanguages().size(), 2u);
    EXPECT_EQ(engine.primaryLanguage(), "Hindi");
    EXPECT_TRUE(engine.configuredFromFile());
}

#ifndef _WIN32 // runs the shell install script and a program through the shell
TEST(Configuration, AStartWithCompiledCopiesParsesNoXml) {
    TempProfile profile;
    ASSERT_EQ(std::system(("bash " + sourcePath("data/tolvane/install.sh") + " >/dev/null").c_str()), 0);
    const std::string start = std::string(FRESH_START) + " 'Hello world. नमस्ते दुनिया। வணக்கம்.' " +
                              (profile.path() / "out.wav").string() + " 2>/dev/null";
    // The first start parses the files and makes their compiled copies; at
    // the next, configuration, languages, moods, accents and voices all come
    // from the copies, so the XML library is never set up (its set-up was a
    // quarter of a short sentence's cost).
    EXPECT_EQ(WEXITSTATUS(std::system(start.c_str())), 2);
    EXPECT_EQ(WEXITSTATUS(std::system(start.c_str())), 0);
    // An edit of the configuration is read from its XML again.
    std::ifstream in(profile.path() / "tolvane.xml");
    std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    xml.replace(xml.find("<Time>0.75</Time>"), 17, "<Time>1.5</Time>");
    profile.write("tolvane.xml", xml);
    SpeechEngine engine;
    engine.loadConfiguration();
    EXPECT_FLOAT_EQ(engine.time("Hindi"), 1.5f);
}
#endif
