// Loading accent files through Xerces: the settings, their defaults, every
// refusal with its message, and the compiled copies that spare later loads
// the parsing.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>

#include "AccentFixtures.h"
#include "vorsan/core/CompiledCache.h"

using namespace vorsan;
using namespace vorsan::accenttest;
using vorsan::testing::DiagnosticCapture;
using vorsan::testing::messageOf;
using vorsan::testing::TempProfile;
namespace fs = std::filesystem;

namespace {
std::string cacheOf(const std::string& path) { return compiledcache::cachePath(path, "accent"); }
std::string bytesOf(const std::string& path) { return compiledcache::readFile(path).value_or("(unreadable)"); }
void overwrite(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
} // namespace

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

TEST(AccentFile, ShippedFilesLoadTheSameFromTheirCompiledCopy) {
    TempProfile profile;
    fs::create_directories(profile.path() / "Speechfiles"); // a set-up user's data folder
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(vorsan::testing::sourcePath("data/oskalen"))) {
        if (entry.path().extension() != ".xml") continue;
        ++files;
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        const auto fromXml = AccentDatabase::load(path);
        const std::string cache = cacheOf(path);
        ASSERT_TRUE(fs::is_regular_file(cache));
        // The second load takes the copy, so it does not write it again.
        const auto written = fs::last_write_time(cache) - std::chrono::hours(1);
        fs::last_write_time(cache, written);
        const auto fromCache = AccentDatabase::load(path);
        EXPECT_EQ(fs::last_write_time(cache), written);

        EXPECT_EQ(fromCache->key(), fromXml->key());
        EXPECT_EQ(fromCache->mbrolaInfo().voice, fromXml->mbrolaInfo().voice);
        EXPECT_EQ(fromCache->mbrolaInfo().pitch, fromXml->mbrolaInfo().pitch);
        EXPECT_EQ(fromCache->mbrolaInfo().time, fromXml->mbrolaInfo().time);
        EXPECT_EQ(fromCache->fileInfo().Description, fromXml->fileInfo().Description);
        // Every source phone, followed by every other in turn (forward, then
        // backward, then each before and after each source vowel).
        const std::string xml = bytesOf(path);
        const std::string source = xml.substr(xml.find("<fromMbrolaPhone>"), xml.find("</fromMbrolaPhone>") - xml.find("<fromMbrolaPhone>"));
        const std::regex sound(R"re(mbrolaType="(.)" mbrolaPhonem="([^"]+)")re");
        std::vector<std::string> phones, vowels;
        for (std::sregex_iterator m(source.begin(), source.end(), sound), end; m != end; ++m) {
            phones.push_back((*m)[2]);
            if ((*m)[1] == "V") vowels.push_back((*m)[2]);
        }
        ASSERT_GT(phones.size(), 20u);
        std::string text;
        for (const std::string& p : phones) text += p + " 90 50 110 \n";
        for (auto p = phones.rbegin(); p != phones.rend(); ++p) text += *p + " 60 \n";
        for (const std::string& v : vowels)
            for (const std::string& p : phones) text += v + " 70 \n" + p + " 40 \n" + v + " 70 \n";
        EXPECT_EQ(fromCache->mapPhonemes(text), fromXml->mapPhonemes(text));
    }
    EXPECT_GE(files, 6u);
}

TEST(AccentFile, CompiledCopyRebuiltWhenStaleOrDamagedAndNeverMadeForBrokenFiles) {
    TempProfile dir;
    const std::string xml = "<dbMapper>" + std::string(kFileInfo) + std::string(kMbrolaInfo) + sourceInventory("a") +
                            "<mapping><fromPhonem fromPhonemName='a'><toPhonem toPhonemName='e' toPhonemDuration='60'/>"
                            "</fromPhonem></mapping><dbrules/></dbMapper>";
    const std::string path = dir.write("Speechfiles/Oskalen/test.xml", xml);
    const std::string cache = cacheOf(path);
    auto mapped = [&] { return AccentDatabase::load(path)->mapPhonemes("a 100 \n"); };
    EXPECT_EQ(mapped(), "e 60 \n");
    const std::string good = bytesOf(cache);

    // An edit that keeps the size and the time reaches the database.
    const auto time = fs::last_write_time(path);
    std::string edited = xml;
    edited.replace(edited.find("'60'"), 4, "'70'");
    overwrite(path, edited);
    fs::last_write_time(path, time);
    EXPECT_EQ(mapped(), "e 70 \n");
    overwrite(path, xml);
    EXPECT_EQ(mapped(), "e 60 \n");
    EXPECT_TRUE(bytesOf(cache) == good);

    std::string flipped = good;
    flipped[good.size() - 5] ^= 0x10;
    for (const std::string& damaged : {good.substr(0, good.size() - 1), flipped, std::string(40, 'x')}) {
        overwrite(cache, damaged);
        EXPECT_EQ(mapped(), "e 60 \n");
        EXPECT_TRUE(bytesOf(cache) == good) << "not rebuilt from " << damaged.size() << " bytes";
    }

    // A broken file reports as it always did, and broken files get no copy.
    DiagnosticCapture out;
    overwrite(path, "<dbMapper><mapping></dbMapper>");
    fs::remove(cache);
    const std::string msg = messageOf([&] { AccentDatabase::load(path); });
    EXPECT_EQ(out.text(), "XMLException during parsing: '" + path + "'\n" + msg + "\n");
    EXPECT_FALSE(fs::exists(cache));
    const std::string unmapped = dir.write("unmapped.xml", "<dbMapper>" + std::string(kFileInfo) + "</dbMapper>");
    EXPECT_EQ(messageOf([&] { AccentDatabase::load(unmapped); }), "Error in Mapping data");
    EXPECT_FALSE(fs::exists(cacheOf(unmapped)));
}
