// Loading accent files through Xerces: the settings, their defaults, and
// every refusal with its message.
#include <gtest/gtest.h>

#include <filesystem>

#include "AccentFixtures.h"

using namespace vorsan;
using namespace vorsan::accenttest;
using vorsan::testing::DiagnosticCapture;
using vorsan::testing::messageOf;
using vorsan::testing::TempProfile;

TEST(AccentFile, LoadsSettingsOrKeepsTheirDefaults) {
    TempProfile dir;
    const std::string fi(kFileInfo);
    auto db = loadAccent(dir, fi + std::string(kMbrolaInfo) + "<mapping/><dbrules/>");
    // The key comes from the MBROLA information, not from the file information.
    EXPECT_EQ(db->key(), "hn1_TO_en1");
    EXPECT_EQ(db->mbrolaInfo().voice, 16000);
    EXPECT_FLOAT_EQ(db->mbrolaInfo().pitch, 1.25f);
    EXPECT_FLOAT_EQ(db->mbrolaInfo().time, 0.5f);
    EXPECT_EQ(db->fileInfo().Title, "Hindi to English");
    EXPECT_EQ(db->fileInfo().fromMbroladb, "fileFrom");

    const struct Case {
        const char* mbrola;
        const char* key;
        int voice;
        float pitch, time;
    } cases[] = {
        {"<Mbrola_Information><toMbroladb>en1</toMbroladb></Mbrola_Information>", "_TO_en1", 22050, 1, 1},
        // Empty elements contribute nothing; ratios that are not numbers (or
        // not finite) keep 1.0; a number prefix is read like C's "%f".
        {"<Mbrola_Information><Voice/><Pitch>fast</Pitch><Time> 0.75x</Time></Mbrola_Information>", "_TO_", 22050, 1,
         0.75f},
        {"<Mbrola_Information><Pitch>nan</Pitch><Time>1e999</Time><Voice> 8000 </Voice></Mbrola_Information>", "_TO_",
         8000, 1, 1},
        // A repeated element replaces the earlier one as a whole.
        {"<Mbrola_Information><Voice>8000</Voice><toMbroladb>a</toMbroladb></Mbrola_Information>"
         "<Mbrola_Information><toMbroladb>b</toMbroladb></Mbrola_Information>",
         "_TO_b", 22050, 1, 1},
    };
    for (const Case& c : cases) {
        db = loadAccent(dir, fi + c.mbrola + "<mapping/><dbrules/>");
        EXPECT_EQ(db->key(), c.key) << c.mbrola;
        EXPECT_EQ(db->mbrolaInfo().voice, c.voice) << c.mbrola;
        EXPECT_FLOAT_EQ(db->mbrolaInfo().pitch, c.pitch) << c.mbrola;
        EXPECT_FLOAT_EQ(db->mbrolaInfo().time, c.time) << c.mbrola;
    }
    // Loading only reads, so a read-only file is fine; blanks around an integer attribute too.
    const std::string path = dir.write("ro.xml", "<dbMapper>" + fi + std::string(kMbrolaInfo) +
                                                     "<mapping><fromPhonem fromPhonemName='a'><toPhonem toPhonemName='e'"
                                                     " toPhonemDuration=' 60 '/></fromPhonem></mapping><dbrules/></dbMapper>");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    EXPECT_EQ(messageOf([&] { AccentDatabase::load(path); }), "no failure");
}

TEST(AccentFile, ReportsTheFirstProblemInOrder) {
    TempProfile dir;
    const std::string fi(kFileInfo), mi(kMbrolaInfo), rules = "<dbrules/>";
    {
        // The loader's own errors print nothing.
        DiagnosticCapture out;
        const std::string missing = dir.path().string() + "/none.xml";
        EXPECT_EQ(messageOf([&] { AccentDatabase::load(missing); }), "File '" + missing + "' not found/corrupted");
        EXPECT_EQ(messageOf([&] { AccentDatabase::load(dir.write("r.xml", "<MoodBase>" + fi + "</MoodBase>")); }),
                  "Not a Oskalen file");
        EXPECT_EQ(messageOf([&] { loadAccent(dir, fi + mi + rules); }), "Error in Mapping data");
        EXPECT_EQ(messageOf([&] { loadAccent(dir, "<mapping/>" + rules); }), "Error in fileInfo data");
        EXPECT_EQ(messageOf([&] { loadAccent(dir, "<mapping/>" + fi + rules); }), "Error in mbrolaInfo data");
        EXPECT_EQ(messageOf([&] { loadAccent(dir, mi + "<mapping/>" + fi); }), "Error in dbrules data");
        EXPECT_EQ(out.text(), "");
    }
    {
        DiagnosticCapture out;
        const std::string path = dir.write("bad.xml", "<dbMapper><mapping></dbMapper>");
        const std::string msg = messageOf([&] { AccentDatabase::load(path); });
        EXPECT_NE(msg, "no failure");
        EXPECT_EQ(out.text(), "XMLException during parsing: '" + path + "'\n" + msg + "\n");
    }
    DiagnosticCapture quiet;
    // Integers go through the XML library's parser: junk or absence fails the load.
    const std::string refused[] = {
        fi + "<Mbrola_Information><Voice>fast</Voice></Mbrola_Information><mapping/>" + rules,
        fi + mi + rules + "<mapping><fromPhonem fromPhonemName='a'><toPhonem toPhonemName='e' "
                          "toPhonemDuration='6O'/></fromPhonem></mapping>",
        fi + mi + "<mapping/><dbrules><Sound soundName='t'><Priority/></Sound></dbrules>",
    };
    for (const std::string& body : refused) EXPECT_NE(messageOf([&] { loadAccent(dir, body); }), "no failure") << body;
}
