// The engine's registries of languages, emotion and accent files: what each
// call refuses and with which message, and what a refusal leaves in place.
#include <gtest/gtest.h>

#include "EngineFixtures.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

TEST(EngineRegistry, AddingAndRemovingLanguages) {
    TempProfile profile;
    SpeechEngine engine;
    EXPECT_FALSE(engine.languageSupported("ENGLISH"));
    EXPECT_EQ(engine.allSupportedLanguages(), StringList{u"English (United States)"});
    EXPECT_EQ(messageOf([&] { engine.dialect("Klingon"); }), "Language Klingon not\tloaded in Vorsan");
    EXPECT_EQ(messageOf([&] { engine.removeLanguageDatabase(SpeechEngine::kEnglishName); }),
              "Can't remove English Database");
    EXPECT_EQ(messageOf([&] { engine.removeLanguageDatabase("Klingon"); }), "no failure");
    EXPECT_EQ(messageOf([&] { engine.emotionSet(""); }), "Invalid language name");

    std::string path = profile.write("hi.xml", hindiRuleFile());
    EXPECT_EQ(engine.addLanguageDatabase(path), "Hindi");
    EXPECT_EQ(messageOf([&] { engine.addLanguageDatabase(path); }), "Hindi already loaded");
    EXPECT_EQ(engine.allSupportedLanguages(), (StringList{u"English (United States)", u"Hindi"}));
    EXPECT_FLOAT_EQ(engine.pitch("Hindi"), 0.75f);
    engine.setPrimaryLanguage("Hindi");
    engine.removeLanguageDatabase("Hindi");
    EXPECT_EQ(engine.primaryLanguage(), "");
    EXPECT_FALSE(engine.languageSupported("Hindi"));
    // A file that fails to load registers nothing.
    EXPECT_EQ(messageOf([&] { engine.addLanguageDatabase(profile.path().string() + "/none.xml"); }),
              "File '" + profile.path().string() + "/none.xml' not found/corrupted");
    EXPECT_EQ(engine.allSupportedLanguages().size(), 1u);
}

TEST(EngineRegistry, EmotionAndAccentAssignmentChecksInOrder) {
    TempProfile profile;
    SpeechEngine engine;
    engine.addLanguageDatabase(profile.write("hi.xml", hindiRuleFile()));
    engine.addLanguageDatabase(profile.write("mr.xml", hindiRuleFile("Marathi", "mr1")));
    std::string emo = engine.addEmotionDatabase(profile.write("emo.xml", emotionFile()));
    std::string acc = engine.addAccentDatabase(profile.write("acc.xml", accentFile()));
    EXPECT_EQ(emo, "Hindi_en1");
    EXPECT_EQ(acc, "en1_TO_en1");

    EXPECT_EQ(messageOf([&] { engine.setEmotionDatabase("Hindi", ""); }), "Invalid emotion database name");
    EXPECT_EQ(messageOf([&] { engine.setEmotionDatabase("Urdu", emo); }), "Language Urdu not loaded");
    EXPECT_EQ(messageOf([&] { engine.setEmotionDatabase("Hindi", "x"); }), "Emotion database x not loaded");
    EXPECT_EQ(messageOf([&] { engine.setEmotionDatabase("Marathi", emo); }),
              "Mbrola Database is not same in emotion file and language file");
    EXPECT_EQ(messageOf([&] { engine.setAccentDatabase("Urdu", acc); }), "Langauge Urdu not loaded");
    EXPECT_EQ(messageOf([&] { engine.setAccentDatabase("Hindi", "y"); }), "Accent database y not loaded");
    EXPECT_EQ(messageOf([&] { engine.setAccentDatabase("Marathi", acc); }),
              "Mbrola Database is not same in accent file and language file");

    EXPECT_EQ(messageOf([&] { engine.setActiveMood("Hindi", u"Sad"); }), "Emotion not set for language Hindi");
    EXPECT_EQ(messageOf([&] { engine.activeMood("Hindi"); }), "Emotion database not set for language Hindi");
    EXPECT_EQ(messageOf([&] { engine.activeMood("Urdu"); }), "Urdu language not available in Vorsan");
    engine.setEmotionDatabase("Hindi", emo);
    engine.setAccentDatabase("Hindi", acc);
    EXPECT_EQ(messageOf([&] { engine.setActiveMood("Hindi", u"Joy"); }), "Mood not found in Emotion database Hindi_en1");
    engine.setActiveMood("Hindi", u"Sad");
    EXPECT_EQ(engine.activeMood("Hindi"), u"Sad");
    EXPECT_EQ(engine.allMoodsInDatabase("Hindi"), (StringList{u"Neutral", u"Sad"}));
    EXPECT_EQ(engine.suitableEmotionDatabase("Marathi"), StringList{});
    EXPECT_EQ(engine.suitableAccentDatabase(SpeechEngine::kEnglishName), StringList{u"en1_TO_en1"});

    // Removing a file unsets it from every language.
    engine.removeEmotionDatabase(emo);
    engine.removeAccentDatabase(acc);
    EXPECT_FALSE(engine.emotionSet("Hindi"));
    EXPECT_FALSE(engine.accentSet("Hindi"));
}

TEST(EngineRegistry, MoodAndAccentOnRequest) {
    TempProfile profile;
    SpeechEngine engine;
    std::string emo = engine.addEmotionDatabase(profile.write("emo.xml", emotionFile()));
    std::string acc = engine.addAccentDatabase(profile.write("acc.xml", accentFile()));
    EXPECT_EQ(messageOf([&] { engine.applyMood("", u"Sad", emo); }), "Invalid argument - phoneString");
    EXPECT_EQ(messageOf([&] { engine.applyMood("a 10\n", u"Sad", ""); }), "Invalid argument - emotionDBName");
    EXPECT_EQ(messageOf([&] { engine.applyMood("a 10\n", u"", emo); }), "Invalid argument - moodName");
    EXPECT_EQ(messageOf([&] { engine.applyMood("a 10\n", u"Joy", emo); }), "Mood not found");
    EXPECT_EQ(engine.applyMood("A: 100 50 120 \n", u"Sad", emo), "A: 150 50 120 \n");

    EXPECT_EQ(messageOf([&] { engine.changeAccent("k 10\n", ""); }), "Invalid argument - accentDBName");
    EXPECT_EQ(engine.changeAccent("k 100 50 120 \n", acc).phoneString, "g 100 50 120 \n");
}
