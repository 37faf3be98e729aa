// Loading emotion files through Xerces: content, the refusals, and the
// compiled copies that spare later loads the parsing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "EmotionFixture.h"
#include "vorsan/core/CompiledCache.h"
#include "vorsan/core/MException.h"
#include "vorsan/emotion/EmotionDatabase.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::emotiontest;
using vorsan::testing::DiagnosticCapture;
using vorsan::testing::TempProfile;

namespace fs = std::filesystem;

namespace {
std::string loadError(const std::string& path) {
    return vorsan::testing::messageOf([&] { EmotionDatabase::load(path); }, "loaded");
}
std::string cacheOf(const std::string& path) { return compiledcache::cachePath(path, "moods"); }
std::string bytesOf(const std::string& path) { return compiledcache::readFile(path).value_or("(unreadable)"); }
void overwrite(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
} // namespace

TEST(EmotionFile, LoadsLanguageSoundsAndMoods) {
    TempProfile dir;
    const std::string sounds = "<SoundData><Nasal><p phonem=\"n\"/></Nasal><SemiVowel><p phonem=\"y\"/></SemiVowel>"
                               "<LongVowel><p phonem=\"a\"/><p phonem=\"n\"/></LongVowel><Glide><p phonem=\"w\"/></Glide>"
                               "<Silence><p phonem=\"_\"/><p/></Silence></SoundData>\n";
    // Children taken by position: the first two settings swapped by name
    // still land in positions 0 and 1; a nineteenth child is ignored.
    auto shuffled = neutralSettings();
    shuffled[0] = R"(<Range rate="120"/>)";
    shuffled[1] = R"(<AverageBaseFrequency rate="80"/>)";
    shuffled[5] = R"(<PitchContourStressed contour="flat" gradient=" 3 " forPhraseAndWordAlso="True"/>)";
    shuffled[8] = R"(<Stressed rate="90" forPhraseAndWordAlso="yes"/>)";
    std::string happy = "  <Emotion name=\"Happy\">\n  <!-- settings -->\n";
    for (const auto& s : shuffled) happy += "    " + s + "\n  ";
    happy += "<Extra rate=\"x\"/></Emotion>\n";
    const std::string moods = mood("Sad", {{7, R"(<SpeechRate rate="130"/>)"}}) + happy +
                              mood("Sad", {{7, R"(<SpeechRate rate="70"/>)"}}) + mood("angry") + mood("Zorn");
    // A read-only file is only read, so it loads.
    auto path = dir.write("Speechfiles/Ruvetta/hindi.xml", emotionFile(moods, sounds));
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);

    auto db = EmotionDatabase::load(path);
    EXPECT_EQ(db->key(), "Hindi_in1");
    EXPECT_EQ(db->fileInformation().Title, "Test moods");
    EXPECT_EQ(db->fileInformation().Author, "Tester");
    // Names in byte order, case-sensitive; the first of two moods with one name stays.
    EXPECT_EQ(db->emotionNames(), (std::vector<std::string>{"Happy", "Sad", "Zorn", "angry"}));
    EXPECT_FALSE(db->hasEmotion("sad") || db->hasEmotion(""));
    EXPECT_EQ((*db->findEmotion("Sad"))[EmotionProfile::SpeechRate].rate, 130);

    const EmotionProfile& p = *db->findEmotion("Happy");
    EXPECT_EQ(p[EmotionProfile::AverageBaseFrequency].rate, 120);
    EXPECT_EQ(p[EmotionProfile::Range].rate, 80);
    EXPECT_EQ(p[EmotionProfile::PitchContourStressed].contour, Contour::Invalid); // lower case loads
    EXPECT_EQ(p[EmotionProfile::PitchContourStressed].gradient, 3);
    EXPECT_TRUE(p[EmotionProfile::PitchContourStressed].forPhraseAndWordAlso);
    EXPECT_FALSE(p[EmotionProfile::Stressed].forPhraseAndWordAlso); // only true, TRUE and True count
    EXPECT_EQ(p[EmotionProfile::PhraseContour].contour, Contour::Raising);

    // n listed twice keeps its first class (nasal 4); semivowels are voiced
    // fricatives (5); an unknown class element still contributes (-1).
    const SoundClassMap classes{{"_", 9}, {"a", 0}, {"n", 4}, {"w", -1}, {"y", 5}};
    EXPECT_EQ(db->soundClasses(), classes);
}

TEST(EmotionFile, RefusesMissingMalformedAndIncompleteFiles) {
    TempProfile dir;
    const std::string missing = (dir.path() / "nope.xml").string();
    EXPECT_EQ(loadError(missing), "File '" + missing + "' not found/corrupted");
    {
        DiagnosticCapture out;
        auto bad = dir.write("bad.xml", "<MoodBase><Language></MoodBase>");
        const std::string msg = loadError(bad);
        EXPECT_NE(msg, "loaded");
        EXPECT_EQ(out.text(), "XMLException during parsing: '" + bad + "'\n" + msg + "\n");
    }
    {
        DiagnosticCapture quiet;
        // A rate that is not a number and a missing integer attribute are refused.
        const std::string refused[] = {emotionFile(mood("Calm", {{1, R"(<Range rate="wide"/>)"}})),
                                       emotionFile(mood("Calm", {{5, R"(<PitchContourStressed contour="Flat"/>)"}}))};
        for (const std::string& text : refused) EXPECT_NE(loadError(dir.write("refused.xml", text)), "loaded") << text;
    }

    const std::string full = emotionFile(mood("Calm"));
    for (const std::string tag : {"File_Information", "Language", "SoundData", "EmotionData"}) {
        DiagnosticCapture out;
        std::string text = full;
        const auto open = text.find("<" + tag + ">");
        text.erase(open, text.find("</" + tag + ">") + tag.size() + 3 - open);
        EXPECT_EQ(loadError(dir.write(tag + ".xml", text)), tag + " tag not found");
        EXPECT_EQ(out.text(), "");
    }
    std::string shortMood = mood("Happy");
    shortMood.erase(shortMood.find("    <Silence"), shortMood.find("</Emotion>") - shortMood.find("    <Silence"));
    EXPECT_EQ(loadError(dir.write("short.xml", emotionFile(mood("Calm") + shortMood))),
              "Emotion 'Happy' has 17 settings, 18 needed");
    EXPECT_EQ(loadError(dir.write("empty.xml", emotionFile("<Emotion name=\"Void\"> text </Emotion>"))),
              "Emotion 'Void' has 0 settings, 18 needed");
}

TEST(EmotionFile, ShippedFilesLoadTheSameFromTheirCompiledCopy) {
    TempProfile profile;
    fs::create_directories(profile.path() / "Speechfiles"); // a set-up user's data folder
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(vorsan::testing::sourcePath("data/ruvetta"))) {
        if (entry.path().extension() != ".xml") continue;
        ++files;
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        const auto fromXml = EmotionDatabase::load(path);
        const std::string cache = cacheOf(path);
        ASSERT_TRUE(fs::is_regular_file(cache));
        // The second load takes the copy, so it does not write it again.
        const auto written = fs::last_write_time(cache) - std::chrono::hours(1);
        fs::last_write_time(cache, written);
        const auto fromCache = EmotionDatabase::load(path);
        EXPECT_EQ(fs::last_write_time(cache), written);

        EXPECT_EQ(fromCache->key(), fromXml->key());
        EXPECT_EQ(fromCache->fileInformation().Description, fromXml->fileInformation().Description);
        EXPECT_EQ(fromCache->soundClasses(), fromXml->soundClasses());
        ASSERT_EQ(fromCache->emotionNames(), fromXml->emotionNames());
        // Every phone of the sound table, with pitch targets that rise and fall.
        std::string text = "_ 50 \n";
        int i = 0;
        for (const auto& [phone, soundClass] : fromXml->soundClasses()) {
            ++i;
            text += phone + " 80 10 " + std::to_string(100 + 15 * (i % 5)) + " 90 " + std::to_string(120 - 10 * (i % 3)) + " \n";
        }
        for (const std::string& name : fromXml->emotionNames())
            EXPECT_EQ(fromCache->applyEmotion(text, name), fromXml->applyEmotion(text, name)) << name;
    }
    EXPECT_GE(files, 7u);
}

TEST(EmotionFile, CompiledCopyRebuiltWhenStaleOrDamagedAndNeverMadeForBrokenFiles) {
    TempProfile dir;
    const std::string xml = emotionFile(mood("Calm"));
    const std::string path = dir.write("Speechfiles/Ruvetta/test.xml", xml);
    const std::string cache = cacheOf(path);
    auto speechRate = [&] { return (*EmotionDatabase::load(path)->findEmotion("Calm"))[EmotionProfile::SpeechRate].rate; };
    EXPECT_EQ(speechRate(), 100);
    const std::string good = bytesOf(cache);

    // An edit that keeps the size and the time reaches the database.
    const auto time = fs::last_write_time(path);
    std::string edited = xml;
    edited.replace(edited.find(R"(<SpeechRate rate="100"/>)"), 24, R"(<SpeechRate rate="130"/>)");
    overwrite(path, edited);
    fs::last_write_time(path, time);
    EXPECT_EQ(speechRate(), 130);
    overwrite(path, xml);
    EXPECT_EQ(speechRate(), 100);
    EXPECT_TRUE(bytesOf(cache) == good);

    // Damage the checksum catches, and payloads with a valid checksum that
    // end early or run on.
    uint32_t version = 0;
    std::memcpy(&version, good.data() + 8, sizeof version);
    const compiledcache::Kind kind{std::string_view(good).substr(4, 4), "moods", version};
    const std::string payload(compiledcache::unwrap(kind, good, xml).value_or(""));
    ASSERT_GT(payload.size(), 100u);
    std::string flipped = good;
    flipped[good.size() - 5] ^= 0x10;
    for (const std::string& damaged : {good.substr(0, good.size() / 2), flipped, std::string(),
                                       compiledcache::wrap(kind, xml, payload.substr(0, payload.size() - 1)),
                                       compiledcache::wrap(kind, xml, payload + "x")}) {
        overwrite(cache, damaged);
        EXPECT_EQ(speechRate(), 100);
        EXPECT_TRUE(bytesOf(cache) == good) << "not rebuilt from " << damaged.size() << " bytes";
    }

    // A broken file reports as it always did, and broken files get no copy.
    DiagnosticCapture out;
    overwrite(path, "<MoodBase><Language></MoodBase>");
    const std::string msg = loadError(path);
    EXPECT_EQ(out.text(), "XMLException during parsing: '" + path + "'\n" + msg + "\n");
    const std::string incomplete = dir.write("incomplete.xml", emotionFile("<Emotion name=\"Void\"/>"));
    EXPECT_EQ(loadError(incomplete), "Emotion 'Void' has 0 settings, 18 needed");
    EXPECT_FALSE(fs::exists(cacheOf(incomplete)));
    fs::remove(cache);
    EXPECT_EQ(loadError(path), msg);
    EXPECT_FALSE(fs::exists(cache));
}
