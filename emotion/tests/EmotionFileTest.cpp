// Loading emotion files through Xerces: content, and the refusals.
#include <gtest/gtest.h>

#include <filesystem>

#include "EmotionFixture.h"
#include "vorsan/core/MException.h"
#include "vorsan/emotion/EmotionDatabase.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::emotiontest;
using vorsan::testing::CoutCapture;
using vorsan::testing::TempProfile;

namespace {

std::string loadError(const std::string& path) {
    return vorsan::testing::messageOf([&] { EmotionDatabase::load(path); }, "loaded");
}

int32_t classOf(const EmotionDatabase& db, const std::string& phoneme) {
    auto it = db.soundClasses().find(phoneme);
    return it == db.soundClasses().end() ? -100 : it->second;
}

} // namespace

TEST(EmotionFile, LoadsLanguageSoundsAndMoods) {
    TempProfile dir;
    const std::string sounds = "<SoundData>\n"
                               " <Nasal><p phonem=\"n\"/></Nasal>\n"
                               " <SemiVowel><p phonem=\"y\"/></SemiVowel>\n"
                               " <LongVowel><p phonem=\"a\"/><p phonem=\"n\"/></LongVowel>\n"
                               " <Glide><p phonem=\"w\"/></Glide>\n"
                               " <Silence><p phonem=\"_\"/><p/></Silence>\n"
                               "</SoundData>\n";
    // Children taken by position: the first two settings swapped by name
    // still land in positions 0 and 1; a nineteenth child is ignored.
    auto shuffled = neutralSettings();
    shuffled[0] = R"(<Range rate="120"/>)";
    shuffled[1] = R"(<AverageBaseFrequency rate="80"/>)";
    shuffled[5] = R"(<PitchContourStressed contour="flat" gradient=" -3 " forPhraseAndWordAlso="True"/>)";
    shuffled[8] = R"(<Stressed rate="90" forPhraseAndWordAlso="yes"/>)";
    shuffled[9] = R"(<NonStressed rate="110" forPhraseAndWordAlso="1"/>)";
    std::string happy = "  <Emotion name=\"Happy\">\n  <!-- settings -->\n";
    for (const auto& s : shuffled) happy += "    " + s + "\n  ";
    happy += "<Extra rate=\"x\"/></Emotion>\n";
    const std::string moods = mood("Sad", {{7, R"(<SpeechRate rate="130"/>)"}}) + happy +
                              mood("Sad", {{7, R"(<SpeechRate rate="70"/>)"}}) + mood("angry") + mood("Zorn");
    auto path = dir.write("Speechfiles/Ruvetta/hindi.xml", emotionFile(moods, sounds));

    auto db = EmotionDatabase::load(path);
    EXPECT_EQ(db->key(), "Hindi_in1");
    EXPECT_EQ(db->languageName(), "Hindi");
    EXPECT_EQ(db->mbrolaDatabase(), "in1");
    EXPECT_EQ(db->fileInformation().Title, "Test moods");
    EXPECT_EQ(db->fileInformation().Author, "Tester");
    EXPECT_EQ(db->fileInformation().Comment, "");

    EXPECT_EQ(db->emotionNames(), (std::vector<std::string>{"Happy", "Sad", "Zorn", "angry"}));
    EXPECT_TRUE(db->hasEmotion("Sad"));
    EXPECT_FALSE(db->hasEmotion("sad"));
    EXPECT_FALSE(db->hasEmotion(""));
    // The first of two moods with one name stays.
    EXPECT_EQ((*db->findEmotion("Sad"))[EmotionProfile::SpeechRate].rate, 130);

    const EmotionProfile& p = *db->findEmotion("Happy");
    EXPECT_EQ(p[EmotionProfile::AverageBaseFrequency].rate, 120);
    EXPECT_EQ(p[EmotionProfile::Range].rate, 80);
    EXPECT_EQ(p[EmotionProfile::PitchContourStressed].contour, Contour::Invalid); // lower case loads
    EXPECT_EQ(p[EmotionProfile::PitchContourStressed].gradient, -3);
    EXPECT_TRUE(p[EmotionProfile::PitchContourStressed].forPhraseAndWordAlso);
    EXPECT_FALSE(p[EmotionProfile::Stressed].forPhraseAndWordAlso);
    EXPECT_FALSE(p[EmotionProfile::NonStressed].forPhraseAndWordAlso);
    EXPECT_EQ(p[EmotionProfile::PhraseContour].contour, Contour::Raising);

    EXPECT_EQ(classOf(*db, "n"), 4); // listed twice: the first class stays
    EXPECT_EQ(classOf(*db, "y"), 5); // semivowels are voiced fricatives
    EXPECT_EQ(classOf(*db, "a"), 0);
    EXPECT_EQ(classOf(*db, "w"), -1); // unknown class element still contributes
    EXPECT_EQ(classOf(*db, "_"), 9);
    EXPECT_EQ(db->soundClasses().size(), 5u);
}

TEST(EmotionFile, RefusesMissingAndMalformedFiles) {
    TempProfile dir;
    const std::string missing = (dir.path() / "nope.xml").string();
    EXPECT_EQ(loadError(missing), "File '" + missing + "' not found/corrupted");
    EXPECT_EQ(loadError(dir.path().string()), "File '" + dir.path().string() + "' not found/corrupted");

    // A read-only file is only read, so it loads.
    auto readOnly = dir.write("ro.xml", emotionFile(mood("Calm")));
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    EXPECT_EQ(EmotionDatabase::load(readOnly)->emotionNames(), std::vector<std::string>{"Calm"});

    {
        CoutCapture out;
        auto bad = dir.write("bad.xml", "<MoodBase><Language></MoodBase>");
        const std::string msg = loadError(bad);
        EXPECT_NE(msg, "loaded");
        EXPECT_EQ(out.text(), "XMLException during parsing: '" + bad + "'\n" + msg + "\n");
    }
    {
        CoutCapture out;
        auto rate = dir.write("rate.xml", emotionFile(mood("Calm", {{1, R"(<Range rate="wide"/>)"}})));
        EXPECT_NE(loadError(rate), "loaded");
        EXPECT_EQ(out.text().rfind("XMLException during parsing: '" + rate + "'\n", 0), 0u);
        // A missing integer attribute is refused the same way.
        auto gradient = dir.write("gradient.xml",
                                  emotionFile(mood("Calm", {{5, R"(<PitchContourStressed contour="Flat"/>)"}})));
        EXPECT_NE(loadError(gradient), "loaded");
    }
    // Nothing outside the file is fetched: a DOCTYPE is refused.
    auto entity = dir.write("entity.xml", "<!DOCTYPE MoodBase [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                                          "<MoodBase>&x;</MoodBase>");
    {
        CoutCapture out;
        EXPECT_NE(loadError(entity), "loaded");
    }
}

TEST(EmotionFile, RefusesMissingSectionsAndShortMoods) {
    TempProfile dir;
    const std::string full = emotionFile(mood("Calm"));
    auto without = [&](const std::string& tag) {
        std::string text = full;
        const auto open = text.find("<" + tag + ">");
        const auto close = text.find("</" + tag + ">") + tag.size() + 3;
        return text.erase(open, close - open);
    };
    for (const std::string tag : {"File_Information", "Language", "SoundData", "EmotionData"}) {
        CoutCapture out;
        EXPECT_EQ(loadError(dir.write(tag + ".xml", without(tag))), tag + " tag not found");
        EXPECT_EQ(out.text(), "");
    }
    // The root's name is not checked, and the sections may come in any order.
    std::string otherRoot = full;
    otherRoot.replace(otherRoot.find("<MoodBase>"), 10, "<Moods>");
    otherRoot.replace(otherRoot.find("</MoodBase>"), 11, "</Moods>");
    EXPECT_EQ(EmotionDatabase::load(dir.write("root.xml", otherRoot))->key(), "Hindi_in1");

    std::string shortMood = mood("Happy");
    shortMood.erase(shortMood.find("    <Silence"), shortMood.find("</Emotion>") - shortMood.find("    <Silence"));
    EXPECT_EQ(loadError(dir.write("short.xml", emotionFile(mood("Calm") + shortMood))),
              "Emotion 'Happy' has 17 settings, 18 needed");
    EXPECT_EQ(loadError(dir.write("empty.xml", emotionFile("<Emotion name=\"Void\"> text </Emotion>"))),
              "Emotion 'Void' has 0 settings, 18 needed");
}
