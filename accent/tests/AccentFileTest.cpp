#include <gtest/gtest.h>

#include <filesystem>

#include "AccentFixtures.h"

using namespace vorsan;
using namespace vorsan::accenttest;
using vorsan::testing::CoutCapture;
using vorsan::testing::TempProfile;

TEST(AccentFile, LoadsSettingsKeyAndFileInformation) {
    TempProfile dir;
    std::string body = std::string(kFileInfo) + std::string(kMbrolaInfo) + "<mapping/>" + std::string(kNoRules);
    std::string path = dir.write("Speechfiles/Oskalen/ro.xml", accentXml(body));
    // Loading only reads, so a read-only file is fine.
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    auto db = AccentDatabase::load(path);
    // The key comes from the MBROLA information, not from the file information.
    EXPECT_EQ(db->key(), "hn1_TO_en1");
    EXPECT_EQ(db->mbrolaInfo().fromMbroladb, "hn1");
    EXPECT_EQ(db->mbrolaInfo().toMbroladb, "en1");
    EXPECT_EQ(db->mbrolaInfo().voice, 16000);
    EXPECT_FLOAT_EQ(db->mbrolaInfo().pitch, 1.25f);
    EXPECT_FLOAT_EQ(db->mbrolaInfo().time, 0.5f);
    EXPECT_EQ(db->fileInfo().Title, "Hindi to English");
    EXPECT_EQ(db->fileInfo().fromMbroladb, "fileFrom");
    EXPECT_EQ(db->fileInfo().Comment, "");
}

TEST(AccentFile, MissingOrUnreadableSettingsKeepTheirDefaults) {
    TempProfile dir;
    CoutCapture quiet;
    auto load = [&](std::string_view mbrola) {
        return loadAccent(dir, std::string(kFileInfo) + std::string(mbrola) + "<mapping/>" + std::string(kNoRules));
    };
    auto db = load("<Mbrola_Information><toMbroladb>en1</toMbroladb></Mbrola_Information>");
    EXPECT_EQ(db->key(), "_TO_en1");
    EXPECT_EQ(db->mbrolaInfo().voice, 22050);
    EXPECT_EQ(db->mbrolaInfo().pitch, 1.0f);
    EXPECT_EQ(db->mbrolaInfo().time, 1.0f);

    // Empty elements contribute nothing; ratios that are not numbers (or not
    // finite) keep 1.0; a number prefix is read like C's "%f".
    db = load("<Mbrola_Information><Voice/><Pitch>fast</Pitch><Time> 0.75x</Time></Mbrola_Information>");
    EXPECT_EQ(db->mbrolaInfo().voice, 22050);
    EXPECT_EQ(db->mbrolaInfo().pitch, 1.0f);
    EXPECT_FLOAT_EQ(db->mbrolaInfo().time, 0.75f);
    db = load("<Mbrola_Information><Pitch>nan</Pitch><Time>1e999</Time><Voice> 8000 </Voice></Mbrola_Information>");
    EXPECT_EQ(db->mbrolaInfo().pitch, 1.0f);
    EXPECT_EQ(db->mbrolaInfo().time, 1.0f);
    EXPECT_EQ(db->mbrolaInfo().voice, 8000);

    // A repeated element replaces the earlier one as a whole.
    db = load("<Mbrola_Information><Voice>8000</Voice><toMbroladb>a</toMbroladb></Mbrola_Information>"
              "<Mbrola_Information><toMbroladb>b</toMbroladb></Mbrola_Information>");
    EXPECT_EQ(db->key(), "_TO_b");
    EXPECT_EQ(db->mbrolaInfo().voice, 22050);

    // Voice goes through the XML library's integer parser: junk fails the load.
    EXPECT_NE(failure([&] { load("<Mbrola_Information><Voice>fast</Voice></Mbrola_Information>"); }),
              "no failure");
}

TEST(AccentFile, ReportsTheFirstProblemInOrder) {
    TempProfile dir;
    std::string fi(kFileInfo), mi(kMbrolaInfo), rules(kNoRules);
    CoutCapture out;
    std::string missing = dir.path().string() + "/none.xml";
    EXPECT_EQ(failure([&] { AccentDatabase::load(missing); }), "File '" + missing + "' not found/corrupted");
    std::string folder = dir.path().string();
    EXPECT_EQ(failure([&] { AccentDatabase::load(folder); }), "File '" + folder + "' not found/corrupted");
    EXPECT_EQ(failure([&] { AccentDatabase::load(dir.write("r.xml", "<MoodBase>" + fi + "</MoodBase>")); }),
              "Not a Oskalen file");
    EXPECT_EQ(failure([&] { loadAccent(dir, fi + mi + rules); }), "Error in Mapping data");
    EXPECT_EQ(failure([&] { loadAccent(dir, "<mapping/>" + rules); }), "Error in fileInfo data");
    EXPECT_EQ(failure([&] { loadAccent(dir, "<mapping/>" + fi + rules); }), "Error in mbrolaInfo data");
    EXPECT_EQ(failure([&] { loadAccent(dir, mi + "<mapping/>" + fi); }), "Error in dbrules data");
    // The loader's own errors print nothing.
    EXPECT_EQ(out.text(), "");
}

TEST(AccentFile, LibraryFailuresAreReportedWithTheirDiagnostic) {
    TempProfile dir;
    std::string parts = std::string(kFileInfo) + std::string(kMbrolaInfo) + std::string(kNoRules);
    {
        CoutCapture out;
        std::string path = dir.write("bad.xml", "<dbMapper><mapping></dbMapper>");
        std::string msg = failure([&] { AccentDatabase::load(path); });
        EXPECT_NE(msg, "no failure");
        EXPECT_EQ(out.text(), "XMLException during parsing: '" + path + "'\n" + msg + "\n");
    }
    CoutCapture quiet;
    // Integer attributes: junk or absence fails the load; blanks around are fine.
    EXPECT_NE(failure([&] {
                  loadAccent(dir, parts + "<mapping><fromPhonem fromPhonemName='a'>"
                                          "<toPhonem toPhonemName='e' toPhonemDuration='6O'/></fromPhonem></mapping>");
              }),
              "no failure");
    EXPECT_NE(failure([&] {
                  loadAccent(dir, std::string(kFileInfo) + std::string(kMbrolaInfo) + "<mapping/>" +
                                      "<dbrules><Sound soundName='t'><Priority/></Sound></dbrules>");
              }),
              "no failure");
    EXPECT_EQ(failure([&] {
                  loadAccent(dir, parts + "<mapping><fromPhonem fromPhonemName='a'>"
                                          "<toPhonem toPhonemName='e' toPhonemDuration=' 60 '/></fromPhonem></mapping>");
              }),
              "no failure");
    // No document type declarations, so nothing external is ever read.
    EXPECT_NE(failure([&] {
                  AccentDatabase::load(dir.write(
                      "ext.xml", "<!DOCTYPE dbMapper [<!ENTITY x SYSTEM 'file:///etc/passwd'>]><dbMapper>" + parts +
                                     "<mapping>&x;</mapping></dbMapper>"));
              }),
              "no failure");
}
