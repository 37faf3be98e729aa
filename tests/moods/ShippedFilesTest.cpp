// The shipped emotion and accent files: they load, are filed under the keys
// the configuration refers to, class or map every phone of their voice
// databases, and every mood and accent works on phoneme text.
#include <gtest/gtest.h>

#include <algorithm>

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
    auto line = [&](const std::string& name, int ms) {
        text += name + " " + std::to_string(ms) + " 0 " + std::to_string(pitch) + " 100 " +
                std::to_string(pitch - 4) + " \n";
        pitch = pitch > 90 ? pitch - 1 : 160;
    };
    for (const std::string& p : phoneSet(database)) {
        if (p == "_") continue;
        line(p, 80);
        line(vowel, 120);
        line(p, 80);
        line(consonant, 70);
        line(p, 80);
        text += "_ 150 \n";
    }
    return text;
}

std::string message(const MException& e) { return e.message(); }

} // namespace

TEST(ShippedMoods, EveryEmotionFileLoadsClassesItsPhonesAndAppliesEveryMood) {
    TempProfile profile;
    const std::vector<std::string> moods = {"Angry", "Bored", "Fear", "Happy", "Neutral", "Sad"};
    for (const ShippedEmotionFile& f : shippedEmotionFiles()) {
        SCOPED_TRACE(f.file);
        std::unique_ptr<EmotionDatabase> db;
        try {
            db = EmotionDatabase::load(dataPath("ruvetta/" + f.file));
        } catch (const MException& e) {
            FAIL() << message(e);
        }
        EXPECT_EQ(db->key(), f.language + "_" + f.database);
        EXPECT_EQ(db->emotionNames(), moods);

        // Every phone of the database is classed, and nothing else is (a
        // misspelt phone would leave the real one unclassed).
        const auto& classes = db->soundClasses();
        for (const std::string& p : phoneSet(f.database)) {
            auto it = classes.find(p);
            ASSERT_NE(it, classes.end()) << p << " is not classed";
            EXPECT_NE(it->second, -1) << p;
            EXPECT_EQ(it->second == 0 || it->second == 2, isVowelOf(f.database, p)) << p;
        }
        EXPECT_EQ(classes.size(), phoneSet(f.database).size());
        EXPECT_EQ(classes.at("_"), 9);

        // Neutral changes nothing; every other mood changes the text and
        // raises no contour error on any phone or context.
        const std::string text = everyPhoneText(f.database);
        PhonemeRecordList canonical;
        canonical.read(text);
        for (const std::string& mood : moods) {
            std::string out;
            try {
                out = db->applyEmotion(text, mood);
            } catch (const MException& e) {
                ADD_FAILURE() << mood << ": " << message(e);
                continue;
            }
            if (mood == "Neutral") {
                EXPECT_EQ(out, canonical.write());
            } else {
                EXPECT_NE(out, canonical.write()) << mood;
            }
        }
    }
}

TEST(ShippedMoods, MoodSettingsPointTheWayTheLiteratureDescribes) {
    // The settings as numbers: level and rate against Neutral, per mood. The
    // audio tests measure the result; this catches a file edited by hand.
    struct Direction {
        const char* mood;
        int pitch; // +1 higher, -1 lower than neutral
        int rate;  // +1 faster (shorter), -1 slower
    };
    const Direction directions[] = {
        {"Happy", +1, +1}, {"Sad", -1, -1}, {"Angry", +1, +1}, {"Fear", +1, +1}, {"Bored", -1, -1}};
    for (const ShippedEmotionFile& f : shippedEmotionFiles()) {
        SCOPED_TRACE(f.file);
        auto db = EmotionDatabase::load(dataPath("ruvetta/" + f.file));
        const EmotionProfile* neutral = db->findEmotion("Neutral");
        ASSERT_NE(neutral, nullptr);
        for (std::size_t s = 0; s < EmotionProfile::SettingCount; ++s) {
            const auto setting = static_cast<EmotionProfile::Setting>(s);
            const int32_t rate = (*neutral)[setting].rate;
            if (setting == EmotionProfile::PitchContourStressed) EXPECT_EQ((*neutral)[setting].gradient, 0);
            else if (setting == EmotionProfile::PhraseContour || setting == EmotionProfile::Jitter) EXPECT_EQ(rate, 0);
            else EXPECT_EQ(rate, 100) << "setting " << s;
        }
        for (const Direction& d : directions) {
            const EmotionProfile* m = db->findEmotion(d.mood);
            ASSERT_NE(m, nullptr) << d.mood;
            const int32_t level = (*m)[EmotionProfile::AverageBaseFrequency].rate;
            const int32_t speed = (*m)[EmotionProfile::SpeechRate].rate;
            EXPECT_EQ(level > 100, d.pitch > 0) << d.mood;
            EXPECT_NE(level, 100) << d.mood;
            EXPECT_EQ(speed < 100, d.rate > 0) << d.mood;
            EXPECT_NE(speed, 100) << d.mood;
            EXPECT_GE((*m)[EmotionProfile::PitchContourStressed].gradient, 0) << d.mood;
            // A falling stressed contour stays above zero only below an octave.
            EXPECT_LT((*m)[EmotionProfile::PitchContourStressed].gradient, 24) << d.mood;
        }
        // Sadness and boredom narrow the range; anger, fear and joy widen it.
        EXPECT_LT((*db->findEmotion("Sad"))[EmotionProfile::Range].rate, 100);
        EXPECT_LT((*db->findEmotion("Bored"))[EmotionProfile::Range].rate, 100);
        for (const char* wide : {"Happy", "Angry", "Fear"})
            EXPECT_GT((*db->findEmotion(wide))[EmotionProfile::Range].rate, 100) << wide;
    }
}

TEST(ShippedAccents, EveryAccentFileLoadsAndMapsEveryPhoneOntoItsTargetVoice) {
    TempProfile profile;
    for (const ShippedAccentFile& f : shippedAccentFiles()) {
        SCOPED_TRACE(f.file);
        const std::string path = dataPath("oskalen/" + f.file);
        std::unique_ptr<AccentDatabase> db;
        try {
            db = AccentDatabase::load(path);
        } catch (const MException& e) {
            FAIL() << message(e);
        }
        EXPECT_EQ(db->key(), f.from + "_TO_" + f.to);
        EXPECT_EQ(db->fileInfo().fromMbroladb, f.from);
        EXPECT_EQ(db->fileInfo().toMbroladb, f.to);
        EXPECT_GE(db->mbrolaInfo().voice, 8000);
        EXPECT_GT(db->mbrolaInfo().pitch, 0.5f);
        EXPECT_GT(db->mbrolaInfo().time, 0.5f);

        // The inventories list exactly the two voices' phones, vowels as V.
        for (auto [list, database] : {std::pair{"fromMbrolaPhone", f.from}, std::pair{"toMbrolaPhone", f.to}}) {
            const auto inventory = accentInventory(path, list);
            std::set<std::string> names;
            for (const auto& [phone, type] : inventory) {
                names.insert(phone);
                EXPECT_EQ(type == 'V' || type == 'v', isVowelOf(database, phone)) << list << " " << phone;
            }
            EXPECT_EQ(names, phoneSet(database)) << list;
        }
        // Nothing the file writes lies outside the target voice's phones.
        for (const std::string& p : accentOutputPhones(path))
            EXPECT_TRUE(phoneSet(f.to).count(p)) << p << " is not a phone of " << f.to;

        // Every source phone in every context maps; the result holds only
        // target phones and keeps the pitch targets.
        std::string out;
        try {
            out = db->mapPhonemes(everyPhoneText(f.from));
        } catch (const MException& e) {
            FAIL() << message(e);
        }
        PhonemeRecordList records;
        records.read(out);
        ASSERT_FALSE(records.empty());
        for (const auto& r : records) {
            EXPECT_TRUE(phoneSet(f.to).count(r.name)) << r.name;
            if (r.name != "_") {
                EXPECT_EQ(r.pitches.size(), 2u) << r.name;
            }
        }
    }
}
