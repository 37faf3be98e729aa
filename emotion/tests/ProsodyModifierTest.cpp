// Applying moods: syllable roles and stress, each setting on a short text,
// the contour errors and hostile phoneme text.
#include <gtest/gtest.h>

#include "EmotionFixture.h"
#include "vorsan/core/MException.h"
#include "vorsan/emotion/EmotionDatabase.h"
#include "vorsan/emotion/ProsodyModifier.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::emotiontest;
using vorsan::testing::messageOf;
using vorsan::testing::TempProfile;

namespace {

// t unvoiced, n voiced consonant, a vowel.
const SoundClassMap kSounds{{"t", 8}, {"n", 4}, {"l", 3}, {"a", 0}, {"i", 2}, {"_", 9}};

std::vector<int32_t> rolesOf(const std::string& text) {
    ProsodyModifier m;
    m.classify(text, kSounds);
    std::vector<int32_t> roles;
    for (const auto& r : m.records()) roles.push_back(r.emotionValue);
    return roles;
}

// A database of moods, each the neutral mood with some settings replaced
// (position -> element); loaded through the real file reader.
std::unique_ptr<EmotionDatabase> moodDatabase(const TempProfile& profile,
                                              const std::vector<std::pair<std::string, std::map<int, std::string>>>& moods) {
    std::string all;
    for (const auto& [name, overrides] : moods) all += mood(name, overrides);
    return EmotionDatabase::load(profile.write("Speechfiles/Ruvetta/moods.xml", emotionFile(all)));
}

// A stressed syllable "n a" between unvoiced plosives: the consonant's
// leading mark 3 is kept and makes the syllable count as stressed.
const std::string kStressedSyllable = "t 50 \n3 n 200 0 100 50 100 \na 300 0 100 50 100 \nt 50 \n";

} // namespace

TEST(SyllableRoles, SixSequencesAndStress) {
    // u = unvoiced t, C = voiced consonant n, V = vowel a, one 50 ms line each.
    const std::pair<const char*, std::vector<int32_t>> sequences[] = {
        {"uCVu", {0, 1, 3, 0}}, {"uCVCVu", {0, 1, 3, 1, 3, 0}}, {"uCVCu", {0, 1, 2, 3, 0}},
        {"uCCVu", {0, 4, 1, 3, 0}}, {"uVVu", {0, 1, 3, 0}}, {"uCVVu", {0, 1, 3, 4, 0}}};
    for (const auto& [letters, roles] : sequences) {
        std::string text;
        for (const char* c = letters; *c; ++c) text += std::string(*c == 'u' ? "t" : *c == 'C' ? "n" : "a") + " 50 0 100 \n";
        EXPECT_EQ(rolesOf(text), roles) << letters;
    }
    EXPECT_EQ(rolesOf("a 50 \nt 50 \nn 50 \n"), (std::vector<int32_t>{1, 0, 4}));
    EXPECT_EQ(rolesOf("x 50 \nn 50 \n"), (std::vector<int32_t>{0, 4})); // unknown phones are outside

    // Silences count in the utterance mean with pitch 0, pulling it down:
    // mean (0 + 150 + 0 + 150 + 0 + 90) / 6 = 65. The long vowel is above
    // the mean and longer than its class average (125 ms): 3; the shorter
    // one and the lone short vowel (not longer than its own average): 2; a
    // vowel not above the mean: 1. A vowel's leading mark is replaced, a
    // consonant's is kept.
    ProsodyModifier m;
    m.classify("_ 100 \n1 a 200 0 150 \nt 100 \n3 a 50 0 150 \n2 n 100 \ni 70 0 90 \n", kSounds);
    EXPECT_EQ(m.utteranceMeanPitch(), 65.0);
    EXPECT_EQ(m.classAverageDuration(SoundClass::LongVowel), 125);
    EXPECT_EQ(m.classCount(SoundClass::LongVowel), 2);
    std::vector<int32_t> marks;
    for (const auto& r : m.records()) marks.push_back(r.contourMark);
    EXPECT_EQ(marks, (std::vector<int32_t>{0, 3, 0, 2, 2, 2}));
    m.classify("i 70 0 40 \n", kSounds);
    EXPECT_EQ(m.records()[0].contourMark, 1);
}

TEST(Moods, EachSettingOnAShortText) {
    // Utterance mean (150 + 200 + 250 + 60) / 4 = 165.
    const std::string four = "a 100 0 150 \ni 100 0 200 \na 100 0 250 \ni 100 0 60 \n";
    // Phrase n a l closed by the stress carried from the consonant's mark.
    const std::string phrase = "t 50 \n3 n 50 0 100 \na 100 0 100 \nl 50 0 100 \nt 50 \n";
    const std::string uneven = "t 50 \n3 n 200 0 100 50 120 \na 300 0 140 50 161 \nt 50 \n";
    const std::string pitchStressed = "t 50 \n2 n 200 0 100 50 120 \na 300 0 140 50 161 \nt 50 \n";
    // Consonant marks are kept: n 3, m 2, l 1, r none.
    const std::string marked = "3 n 100 \n2 m 100 \n1 l 100 \nr 100 \n";
    const char* flatStress = R"(<PitchContourStressed contour="Flat" gradient="0"/>)";
    const char* phrase30 = R"(<PhraseContour contour="Raising" rate="30"/>)";
    const struct Case {
        int setting; // -1: the neutral mood
        const char* element;
        std::string text, expected;
    } cases[] = {
        // Neutral writes the canonical form: marks dropped, pitch clamped, blank lines gone.
        {-1, "", "3 a 100 0 30 50 900\n   t   50\n\n  \n_ 200\n", "a 100 0 50 50 500 \nt 50 \n_ 200 \n"},
        {-1, "", "", ""},
        // Jitter alternates up and down within one voiced phone only.
        {6, R"(<Jitter rate="10"/>)", "a 100 0 100 50 100 100 100 \nt 50 0 100 \n",
         "a 100 0 110 50 90 100 110 \nt 50 0 100 \n"},
        // (29 x 0.01) x 200 = 57.99999999999999 truncates to 57.
        {0, R"(<AverageBaseFrequency rate="29"/>)", "a 100 0 200 50 400 \n", "a 100 0 57 50 115 \n"},
        {1, R"(<Range rate="0"/>)", four, "a 100 0 165 \ni 100 0 165 \na 100 0 165 \ni 100 0 165 \n"},
        {1, R"(<Range rate="50"/>)", four, "a 100 0 157 \ni 100 0 183 \na 100 0 208 \ni 100 0 112 \n"},
        {1, R"(<Range rate="200"/>)", four, "a 100 0 135 \ni 100 0 235 \na 100 0 335 \ni 100 0 50 \n"},
        {3, phrase30, phrase, "t 50 \nn 50 0 100 \na 100 0 110 \nl 50 0 120 \nt 50 \n"},
        {3, R"(<PhraseContour contour="Falling" rate="30"/>)", phrase,
         "t 50 \nn 50 0 100 \na 100 0 90 \nl 50 0 80 \nt 50 \n"},
        // Falling by more than 100 % stops at the floor, never wraps upwards.
        {3, R"(<PhraseContour contour="Falling" rate="300"/>)", phrase,
         "t 50 \nn 50 0 100 \na 100 0 50 \nl 50 0 50 \nt 50 \n"},
        // Without a stressed record the phrase never completes: nothing changes.
        {3, phrase30, "t 50 \nn 50 0 100 \na 100 0 100 \nt 50 \n", "t 50 \nn 50 0 100 \na 100 0 100 \nt 50 \n"},
        // Raising 12 semitones/s over 500 ms from 100 Hz aims at 141 Hz: step 41/4.
        {5, R"(<PitchContourStressed contour="Raising" gradient="12"/>)", kStressedSyllable,
         "t 50 \nn 200 0 100 50 110 \na 300 0 120 50 130 \nt 50 \n"},
        {5, R"(<PitchContourStressed contour="Falling" gradient="12"/>)", kStressedSyllable,
         "t 50 \nn 200 0 100 50 90 \na 300 0 80 50 70 \nt 50 \n"},
        // Two octaves down would end below zero: the end point is the floor.
        {5, R"(<PitchContourStressed contour="Falling" gradient="24"/>)",
         "t 50 \n3 n 500 0 100 50 100 \na 500 0 100 50 100 \nt 50 \n",
         "t 50 \nn 500 0 100 50 88 \na 500 0 76 50 64 \nt 50 \n"},
        {5, flatStress, uneven, "t 50 \nn 200 0 130 50 130 \na 300 0 130 50 130 \nt 50 \n"},
        // A mark 2 counts only when the contour's flag says so.
        {5, flatStress, pitchStressed, "t 50 \nn 200 0 100 50 120 \na 300 0 140 50 161 \nt 50 \n"},
        {5, R"(<PitchContourStressed contour="Flat" gradient="0" forPhraseAndWordAlso="true"/>)", pitchStressed,
         "t 50 \nn 200 0 130 50 130 \na 300 0 130 50 130 \nt 50 \n"},
        // Stressed syllables only are raised; the unstressed one keeps its pitch.
        {4, R"(<StressedAVRF rate="150"/>)", "t 50 \nn 50 0 100 \na 50 0 100 \nt 50 \n3 n 50 0 100 \na 50 0 100 \nt 50 \n",
         "t 50 \nn 50 0 100 \na 50 0 100 \nt 50 \nn 50 0 150 \na 50 0 150 \nt 50 \n"},
        // Variability doubles distances from each syllable's own mean.
        {2, R"(<Vairability rate="200"/>)", "t 50 \nn 50 0 100 \na 50 0 200 \nt 50 \ni 50 0 140 50 160 \nt 50 \n",
         "t 50 \nn 50 0 50 \na 50 0 250 \nt 50 \ni 50 0 130 50 170 \nt 50 \n"},
        {7, R"(<SpeechRate rate="50"/>)", "t 75 \n", "t 37 \n"},
        {8, R"(<Stressed rate="50"/>)", marked, "n 50 \nm 100 \nl 100 \nr 100 \n"},
        {8, R"(<Stressed rate="50" forPhraseAndWordAlso="true"/>)", marked, "n 50 \nm 50 \nl 100 \nr 100 \n"},
        {9, R"(<NonStressed rate="50"/>)", marked, "n 100 \nm 50 \nl 50 \nr 50 \n"},
        {9, R"(<NonStressed rate="50" forPhraseAndWordAlso="true"/>)", marked, "n 100 \nm 100 \nl 50 \nr 50 \n"},
    };
    // Each class setting halves its own phones only; the semivowel y follows
    // the voiced fricatives.
    const std::string allClasses = "a 100 \ni 100 \nl 100 \nn 100 \nz 100 \ny 100 \ns 100 \nd 100 \nt 100 \n_ 100 \n";
    const std::map<int, std::string> halved{{10, "ai"}, {11, "l"}, {12, "n"}, {13, "zy"},
                                            {14, "s"},  {15, "d"}, {16, "t"}, {17, "_"}};
    std::vector<std::pair<std::string, std::map<int, std::string>>> moods;
    for (const Case& c : cases)
        moods.push_back({"M" + std::to_string(moods.size()), c.setting < 0 ? std::map<int, std::string>{}
                                                                          : std::map<int, std::string>{{c.setting, c.element}}});
    for (const auto& [setting, phones] : halved) moods.push_back({"Class" + std::to_string(setting), {{setting, "<X rate=\"50\"/>"}}});
    TempProfile profile;
    const auto db = moodDatabase(profile, moods);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(db->applyEmotion(cases[i].text, moods[i].first), cases[i].expected) << cases[i].element << "\n" << cases[i].text;
    EXPECT_EQ(db->applyEmotion("a 100 \n", ""), "");
    for (const auto& [setting, phones] : halved) {
        std::string expected;
        for (const std::string name : {"a", "i", "l", "n", "z", "y", "s", "d", "t", "_"})
            expected += name + (phones.find(name) != std::string::npos ? " 50 \n" : " 100 \n");
        EXPECT_EQ(db->applyEmotion(allClasses, "Class" + std::to_string(setting)), expected) << "setting " << setting;
    }
}

TEST(Moods, ErrorsOnlyWhereTheContourIsNeeded) {
    TempProfile profile;
    const auto db = moodDatabase(profile, {{"BadContour", {{5, R"(<PitchContourStressed contour="raising" gradient="5"/>)"}}},
                                           {"PhraseFlat", {{3, R"(<PhraseContour contour="Flat" rate="30"/>)"}}},
                                           {"Rate50", {{7, R"(<SpeechRate rate="50"/>)"}}}});
    auto failure = [&](const std::string& text, const std::string& name) {
        return messageOf([&] { db->applyEmotion(text, name); }, "applied");
    };
    EXPECT_EQ(failure("a 100 \n", "Furious"), "Emotion not found");
    EXPECT_EQ(failure(kStressedSyllable, "BadContour"), "wrong pitch Contour");
    EXPECT_EQ(failure("t 50 \nn 50 0 100 \na 50 0 100 \nt 50 \n", "BadContour"), "applied");
    // A vowel marked 3: above the mean and longer than its class average.
    EXPECT_EQ(failure("t 100 \na 200 0 150 \n_ 100 \na 50 0 150 \nt 100 \n", "PhraseFlat"),
              "phraseContour: wrong Contour type");
    EXPECT_EQ(failure("t 100 \na 50 0 150 \nt 100 \n", "PhraseFlat"), "applied");
    // A failed call leaves nothing behind for the next one.
    EXPECT_EQ(db->applyEmotion("t 75 \n", "Rate50"), "t 37 \n");
}

TEST(Moods, HostilePhonemeTextIsSurvived) {
    // Every setting changed at once, and single settings at their extremes.
    TempProfile profile;
    const auto db = moodDatabase(
        profile,
        {{"Everything",
          {{0, R"(<AverageBaseFrequency rate="110"/>)"}, {1, R"(<Range rate="120"/>)"}, {2, R"(<Vairability rate="90"/>)"},
           {3, R"(<PhraseContour contour="Falling" rate="20"/>)"}, {4, R"(<StressedAVRF rate="105"/>)"},
           {5, R"(<PitchContourStressed contour="Raising" gradient="6" forPhraseAndWordAlso="true"/>)"},
           {6, R"(<Jitter rate="3"/>)"}, {7, R"(<SpeechRate rate="90"/>)"},
           {8, R"(<Stressed rate="120" forPhraseAndWordAlso="true"/>)"}, {9, R"(<NonStressed rate="95"/>)"},
           {10, R"(<Vowels rate="110"/>)"}, {13, R"(<FricativeVoiced rate="95"/>)"},
           {16, R"(<PlosiveVoiceless rate="80"/>)"}, {17, R"(<Silence rate="130"/>)"}}},
         {"Fall24", {{5, R"(<PitchContourStressed contour="Falling" gradient="24"/>)"}}},
         {"Range200", {{1, R"(<Range rate="200"/>)"}}},
         {"PhraseFall300", {{3, R"(<PhraseContour contour="Falling" rate="300"/>)"}}}});
    static constexpr char kBinary[] = "\r\t\x01\xff a \x80 0 7\x00 9";
    const std::vector<std::string> texts = {
        "a 99999999999999999999 0 99999999999999 -5 -99999999999 \n",
        "3 a -2147483648 0 -2147483648 \nn 2147483647 0 2147483647 \n",
        "a -75 0 100 \ni 4294967296 0 100 \n",
        "a 100 " + std::string(30000, '7') + " 1 \n",
        std::string(kBinary, sizeof kBinary - 1), // no line feed at all
        "1\n2\n3\n 3 \n",
        "_ 200\n_ 200",
    };
    std::string manyTargets = "3 n 100 ";
    for (int k = 0; k < 5000; ++k) manyTargets += std::to_string(k % 101) + " " + std::to_string(k * 37 % 900) + " ";
    const std::string longLine = manyTargets + "\na 2000 " + manyTargets.substr(8) + "\nt 10 \n";

    for (const std::string name : {"Everything", "Fall24", "Range200", "PhraseFall300"}) {
        for (const auto& text : texts) EXPECT_NO_THROW(db->applyEmotion(text, name));
        const std::string out = db->applyEmotion(longLine, name);
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3);
        // Calls do not influence each other, and every pitch written stays within 50..500.
        EXPECT_EQ(db->applyEmotion(longLine, name), out);
        PhonemeRecordList back;
        back.read(out);
        for (const auto& r : back)
            for (auto p : r.pitches) EXPECT_TRUE(p >= 50 && p <= 500) << name;
    }
}
