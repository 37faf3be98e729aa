// The shipped emotion and accent files: they load, are filed under the keys
// the configuration refers to, class or map every phone of their voice
// databases, and every mood and accent works on phoneme text.
#include <gtest/gtest.h>

#include "ShippedData.h"
#include "vorsan/accent/AccentDatabase.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/PhonemeText.h"
#include "vorsan/emotion/EmotionDatabase.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

namespace {

// Phoneme text with every phone of the set, each in a few contexts (before a
// vowel, a consonant and a pause), with falling pitch targets, so every mood
// setting and every context rule meets it.
std::string everyPhoneText(const std::string& database) {
    const std::string vowel = database == "en1" ? "A:" : "aa";
    const std::string consonant = database == "en1" ? "t" : "k";
    std::string text = "_ 100 \n";
    int pitch = 160;
    for (const std::string& p : phoneSet(database)) {
        if (p == "_") continue;
        for (const std::string& name : {p, vowel, p, consonant, p}) {
            text += name + " 80 0 " + std::to_string(pitch) + " 100 " + std::to_string(pitch - 4) + " \n";
            pitch = pitch > 90 ? pitch - 1 : 160;
        }
        text += "_ 150 \n";
    }
    return text;
}

} // namespace

TEST(ShippedMoods, EveryEmotionFileLoadsClassesItsPhonesAndAppliesEveryMood) {
    TempProfile profile;
    const std::vector<std::string> moods = {"Angry", "Bored", "Fear", "Happy", "Neutral", "Sad"};
    for (const ShippedLanguage& language : shippedLanguages()) {
        SCOPED_TRACE(language.emotionFile());
        std::unique_ptr<EmotionDatabase> db;
        ASSERT_EQ(messageOf([&] { db = EmotionDatabase::load(dataPath(language.emotionFile())); }), "no failure");
        EXPECT_EQ(db->key(), language.name + "_" + language.database);
        EXPECT_EQ(db->emotionNames(), moods);

        // Every phone of the database is classed, vowels as vowels, and
        // nothing else is (a misspelt phone would leave the real one unclassed).
        const auto& classes = db->soundClasses();
        for (const std::string& p : phoneSet(language.database)) {
            auto it = classes.find(p);
            ASSERT_NE(it, classes.end()) << p << " is not classed";
            EXPECT_NE(it->second, -1) << p;
            EXPECT_EQ(it->second == 0 || it->second == 2, isVowelOf(language.database, p)) << p;
        }
        EXPECT_EQ(classes.size(), phoneSet(language.database).size());
        EXPECT_EQ(classes.at("_"), 9);
        // Sadness and boredom narrow the pitch range; anger, fear and joy widen it.
        for (const auto& [mood, wide] : {std::pair{"Sad", false}, {"Bored", false}, {"Happy", true}, {"Angry", true},
                                         {"Fear", true}}) {
            const int32_t range = (*db->findEmotion(mood))[EmotionProfile::Range].rate;
            EXPECT_TRUE(wide ? range > 100 : range < 100) << mood << " range " << range;
        }

        // Neutral changes nothing; every other mood changes the text and
        // raises no contour error on any phone or context.
        const std::string text = everyPhoneText(language.database);
        PhonemeRecordList canonical;
        canonical.read(text);
        for (const std::string& mood : moods) {
            std::string out;
            EXPECT_EQ(messageOf([&] { out = db->applyEmotion(text, mood); }), "no failure") << mood;
            EXPECT_EQ(out == canonical.write(), mood == "Neutral") << mood;
        }
    }
}

TEST(ShippedAccents, EveryAccentFileLoadsAndMapsEveryPhoneOntoItsTargetVoice) {
    TempProfile profile;
    for (const auto& [from, to] : shippedAccents()) {
        const std::string path = dataPath("oskalen/" + from + "to" + to + ".xml");
        SCOPED_TRACE(path);
        std::unique_ptr<AccentDatabase> db;
        ASSERT_EQ(messageOf([&] { db = AccentDatabase::load(path); }), "no failure");
        EXPECT_EQ(db->key(), from + "_TO_" + to);
        EXPECT_EQ(db->fileInfo().fromMbroladb + " " + db->fileInfo().toMbroladb, from + " " + to);
        EXPECT_GE(db->mbrolaInfo().voice, 8000);
        EXPECT_GT(db->mbrolaInfo().pitch, 0.5f);
        EXPECT_GT(db->mbrolaInfo().time, 0.5f);

        // The inventories list exactly the two voices' phones, vowels as V.
        for (auto [list, database] : {std::pair{"fromMbrolaPhone", from}, std::pair{"toMbrolaPhone", to}}) {
            std::set<std::string> names;
            for (const auto& [phone, type] : accentInventory(path, list)) {
                names.insert(phone);
                EXPECT_EQ(type == 'V' || type == 'v', isVowelOf(database, phone)) << list << " " << phone;
            }
            EXPECT_EQ(names, phoneSet(database)) << list;
        }
        // Nothing the file writes lies outside the target voice's phones.
        for (const std::string& p : accentOutputPhones(path))
            EXPECT_TRUE(phoneSet(to).count(p)) << p << " is not a phone of " << to;

        // Every source phone in every context maps; the result holds only
        // target phones and keeps the pitch targets.
        std::string out;
        EXPECT_EQ(messageOf([&] { out = db->mapPhonemes(everyPhoneText(from)); }), "no failure");
        PhonemeRecordList records;
        records.read(out);
        ASSERT_FALSE(records.empty());
        for (const auto& r : records) {
            EXPECT_TRUE(phoneSet(to).count(r.name)) << r.name;
            EXPECT_EQ(r.pitches.size(), r.name == "_" ? 0u : 2u) << r.name;
        }
    }
}
