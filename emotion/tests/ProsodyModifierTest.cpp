// Applying moods: syllable roles and stress, each setting on a short text,
// the contour errors and hostile phoneme text.
#include <gtest/gtest.h>

#include <random>

#include "EmotionFixture.h"
#include "vorsan/core/MException.h"
#include "vorsan/emotion/EmotionDatabase.h"
#include "vorsan/emotion/ProsodyModifier.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::emotiontest;
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

// "u C V u" -> one 50 ms line per letter (u = t, C = n, V = a).
std::string sequence(const std::string& letters) {
    std::string text;
    for (char c : letters) {
        if (c == ' ') continue;
        text += c == 'u' ? "t" : c == 'C' ? "n" : "a";
        text += " 50 0 100 \n";
    }
    return text;
}

class Moods : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string moods =
            mood("Neutral") + mood("Jitter10", {{6, R"(<Jitter rate="10"/>)"}}) +
            mood("Rate50", {{7, R"(<SpeechRate rate="50"/>)"}}) +
            mood("Phrase30", {{3, R"(<PhraseContour contour="Raising" rate="30"/>)"}}) +
            mood("PhraseFall30", {{3, R"(<PhraseContour contour="Falling" rate="30"/>)"}}) +
            mood("PhraseFall300", {{3, R"(<PhraseContour contour="Falling" rate="300"/>)"}}) +
            mood("PhraseFlat", {{3, R"(<PhraseContour contour="Flat" rate="30"/>)"}}) +
            mood("Range0", {{1, R"(<Range rate="0"/>)"}}) + mood("Range50", {{1, R"(<Range rate="50"/>)"}}) +
            mood("Range100", {{1, R"(<Range rate="100"/>)"}}) + mood("Range200", {{1, R"(<Range rate="200"/>)"}}) +
            mood("Base29", {{0, R"(<AverageBaseFrequency rate="29"/>)"}}) +
            mood("Rise12", {{5, R"(<PitchContourStressed contour="Raising" gradient="12"/>)"}}) +
            mood("Fall12", {{5, R"(<PitchContourStressed contour="Falling" gradient="12"/>)"}}) +
            mood("Fall24", {{5, R"(<PitchContourStressed contour="Falling" gradient="24"/>)"}}) +
            mood("FlatStress", {{5, R"(<PitchContourStressed contour="Flat" gradient="0"/>)"}}) +
            mood("FlatPitchToo",
                 {{5, R"(<PitchContourStressed contour="Flat" gradient="0" forPhraseAndWordAlso="true"/>)"}}) +
            mood("BadContour", {{5, R"(<PitchContourStressed contour="raising" gradient="5"/>)"}}) +
            mood("Stressed150", {{4, R"(<StressedAVRF rate="150"/>)"}}) +
            mood("Vary200", {{2, R"(<Vairability rate="200"/>)"}}) +
            mood("Stress50", {{8, R"(<Stressed rate="50"/>)"}}) +
            mood("Stress50Too", {{8, R"(<Stressed rate="50" forPhraseAndWordAlso="true"/>)"}}) +
            mood("NonStress50", {{9, R"(<NonStressed rate="50"/>)"}}) +
            mood("NonStress50Too", {{9, R"(<NonStressed rate="50" forPhraseAndWordAlso="true"/>)"}}) +
            mood("Everything", {{0, R"(<AverageBaseFrequency rate="110"/>)"},
                                {1, R"(<Range rate="120"/>)"},
                                {2, R"(<Vairability rate="90"/>)"},
                                {3, R"(<PhraseContour contour="Falling" rate="20"/>)"},
                                {4, R"(<StressedAVRF rate="105"/>)"},
                                {5, R"(<PitchContourStressed contour="Raising" gradient="6" forPhraseAndWordAlso="true"/>)"},
                                {6, R"(<Jitter rate="3"/>)"},
                                {7, R"(<SpeechRate rate="90"/>)"},
                                {8, R"(<Stressed rate="120" forPhraseAndWordAlso="true"/>)"},
                                {9, R"(<NonStressed rate="95"/>)"},
                                {10, R"(<Vowels rate="110"/>)"},
                                {11, R"(<Liquides rate="90"/>)"},
                                {12, R"(<Nasals rate="105"/>)"},
                                {13, R"(<FricativeVoiced rate="95"/>)"},
                                {14, R"(<FricativeVoiceless rate="85"/>)"},
                                {15, R"(<PlosiveVoiced rate="115"/>)"},
                                {16, R"(<PlosiveVoiceless rate="80"/>)"},
                                {17, R"(<Silence rate="130"/>)"}});
        for (int s = 10; s <= 17; ++s)
            classMoods += mood("Class" + std::to_string(s), {{s, "<X rate=\"50\"/>"}});
        db = EmotionDatabase::load(profile.write("Speechfiles/Ruvetta/moods.xml", emotionFile(moods + classMoods)));
    }

    std::string apply(const std::string& text, const std::string& name) { return db->applyEmotion(text, name); }

    TempProfile profile;
    std::string classMoods;
    std::unique_ptr<EmotionDatabase> db;
};

// A stressed syllable "n a" between unvoiced plosives: the consonant's
// leading mark 3 is kept and makes the syllable count as stressed.
const std::string kStressedSyllable = "t 50 \n3 n 200 0 100 50 100 \na 300 0 100 50 100 \nt 50 \n";

} // namespace

TEST(SyllableRoles, SixSequencesAndStress) {
    EXPECT_EQ(rolesOf(sequence("u C V u")), (std::vector<int32_t>{0, 1, 3, 0}));
    EXPECT_EQ(rolesOf(sequence("u C V C V u")), (std::vector<int32_t>{0, 1, 3, 1, 3, 0}));
    EXPECT_EQ(rolesOf(sequence("u C V C u")), (std::vector<int32_t>{0, 1, 2, 3, 0}));
    EXPECT_EQ(rolesOf(sequence("u C C V u")), (std::vector<int32_t>{0, 4, 1, 3, 0}));
    EXPECT_EQ(rolesOf(sequence("u V V u")), (std::vector<int32_t>{0, 1, 3, 0}));
    EXPECT_EQ(rolesOf(sequence("u C V V u")), (std::vector<int32_t>{0, 1, 3, 4, 0}));
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

TEST_F(Moods, NeutralMoodGivesCanonicalText) {
    EXPECT_EQ(apply("3 a 100 0 30 50 900\n   t   50\n\n  \n_ 200\n", "Neutral"), "a 100 0 50 50 500 \nt 50 \n_ 200 \n");
    EXPECT_EQ(apply("", "Neutral"), "");
    EXPECT_EQ(apply("a 100 \n", ""), "");
    try {
        apply("a 100 \n", "Furious");
        ADD_FAILURE() << "unknown mood accepted";
    } catch (const MException& e) {
        EXPECT_EQ(e.message(), "Emotion not found");
    }
}

TEST_F(Moods, PitchLevelSettings) {
    // Jitter alternates up and down within one voiced phone only.
    EXPECT_EQ(apply("a 100 0 100 50 100 100 100 \nt 50 0 100 \n", "Jitter10"),
              "a 100 0 110 50 90 100 110 \nt 50 0 100 \n");
    // (29 x 0.01) x 200 = 57.99999999999999 truncates to 57.
    EXPECT_EQ(apply("a 100 0 200 50 400 \n", "Base29"), "a 100 0 57 50 115 \n");

    // Utterance mean (150 + 200 + 250 + 60) / 4 = 165.
    const std::string text = "a 100 0 150 \ni 100 0 200 \na 100 0 250 \ni 100 0 60 \n";
    EXPECT_EQ(apply(text, "Range100"), text);
    EXPECT_EQ(apply(text, "Range0"), "a 100 0 165 \ni 100 0 165 \na 100 0 165 \ni 100 0 165 \n");
    EXPECT_EQ(apply(text, "Range50"), "a 100 0 157 \ni 100 0 183 \na 100 0 208 \ni 100 0 112 \n");
    EXPECT_EQ(apply(text, "Range200"), "a 100 0 135 \ni 100 0 235 \na 100 0 335 \ni 100 0 50 \n");
}

TEST_F(Moods, SyllableAndPhraseSettings) {
    // Phrase n a l closed by the stress carried from the consonant's mark.
    const std::string phrase = "t 50 \n3 n 50 0 100 \na 100 0 100 \nl 50 0 100 \nt 50 \n";
    EXPECT_EQ(apply(phrase, "Phrase30"), "t 50 \nn 50 0 100 \na 100 0 110 \nl 50 0 120 \nt 50 \n");
    EXPECT_EQ(apply(phrase, "PhraseFall30"), "t 50 \nn 50 0 100 \na 100 0 90 \nl 50 0 80 \nt 50 \n");
    // Falling by more than 100 % stops at the floor, never wraps upwards.
    EXPECT_EQ(apply(phrase, "PhraseFall300"), "t 50 \nn 50 0 100 \na 100 0 50 \nl 50 0 50 \nt 50 \n");
    // Without a stressed record the phrase never completes: nothing changes.
    EXPECT_EQ(apply("t 50 \nn 50 0 100 \na 100 0 100 \nt 50 \n", "Phrase30"), "t 50 \nn 50 0 100 \na 100 0 100 \nt 50 \n");

    // Raising 12 semitones/s over 500 ms from 100 Hz aims at 141 Hz: step 41/4.
    EXPECT_EQ(apply(kStressedSyllable, "Rise12"), "t 50 \nn 200 0 100 50 110 \na 300 0 120 50 130 \nt 50 \n");
    EXPECT_EQ(apply(kStressedSyllable, "Fall12"), "t 50 \nn 200 0 100 50 90 \na 300 0 80 50 70 \nt 50 \n");
    // Two octaves down would end below zero: the end point is the floor.
    const std::string longSyllable = "t 50 \n3 n 500 0 100 50 100 \na 500 0 100 50 100 \nt 50 \n";
    EXPECT_EQ(apply(longSyllable, "Fall24"), "t 50 \nn 500 0 100 50 88 \na 500 0 76 50 64 \nt 50 \n");
    const std::string uneven = "t 50 \n3 n 200 0 100 50 120 \na 300 0 140 50 161 \nt 50 \n";
    EXPECT_EQ(apply(uneven, "FlatStress"), "t 50 \nn 200 0 130 50 130 \na 300 0 130 50 130 \nt 50 \n");
    // A mark 2 counts only when the contour's flag says so.
    const std::string pitchStressed = "t 50 \n2 n 200 0 100 50 120 \na 300 0 140 50 161 \nt 50 \n";
    EXPECT_EQ(apply(pitchStressed, "FlatStress"), "t 50 \nn 200 0 100 50 120 \na 300 0 140 50 161 \nt 50 \n");
    EXPECT_EQ(apply(pitchStressed, "FlatPitchToo"), "t 50 \nn 200 0 130 50 130 \na 300 0 130 50 130 \nt 50 \n");

    // Stressed syllables only are raised; the unstressed one keeps its pitch.
    EXPECT_EQ(apply("t 50 \nn 50 0 100 \na 50 0 100 \nt 50 \n3 n 50 0 100 \na 50 0 100 \nt 50 \n", "Stressed150"),
              "t 50 \nn 50 0 100 \na 50 0 100 \nt 50 \nn 50 0 150 \na 50 0 150 \nt 50 \n");
    // Variability doubles distances from each syllable's own mean.
    EXPECT_EQ(apply("t 50 \nn 50 0 100 \na 50 0 200 \nt 50 \ni 50 0 140 50 160 \nt 50 \n", "Vary200"),
              "t 50 \nn 50 0 50 \na 50 0 250 \nt 50 \ni 50 0 130 50 170 \nt 50 \n");
}

TEST_F(Moods, DurationSettings) {
    EXPECT_EQ(apply("t 75 \n", "Rate50"), "t 37 \n");
    // Consonant marks are kept: n 3, m 2, l 1, r none.
    const std::string marked = "3 n 100 \n2 m 100 \n1 l 100 \nr 100 \n";
    EXPECT_EQ(apply(marked, "Stress50"), "n 50 \nm 100 \nl 100 \nr 100 \n");
    EXPECT_EQ(apply(marked, "Stress50Too"), "n 50 \nm 50 \nl 100 \nr 100 \n");
    EXPECT_EQ(apply(marked, "NonStress50"), "n 100 \nm 50 \nl 50 \nr 50 \n");
    EXPECT_EQ(apply(marked, "NonStress50Too"), "n 100 \nm 100 \nl 50 \nr 50 \n");

    // Each class setting halves its own phones only; the semivowel y
    // follows the voiced fricatives.
    const std::string allClasses = "a 100 \ni 100 \nl 100 \nn 100 \nz 100 \ny 100 \ns 100 \nd 100 \nt 100 \n_ 100 \n";
    const std::map<int, std::string> halved{{10, "ai"}, {11, "l"}, {12, "n"}, {13, "zy"},
                                            {14, "s"},  {15, "d"}, {16, "t"}, {17, "_"}};
    for (const auto& [setting, phones] : halved) {
        std::string expected;
        for (const std::string name : {"a", "i", "l", "n", "z", "y", "s", "d", "t", "_"})
            expected += name + (phones.find(name) != std::string::npos ? " 50 \n" : " 100 \n");
        EXPECT_EQ(apply(allClasses, "Class" + std::to_string(setting)), expected) << "setting " << setting;
    }
}

TEST_F(Moods, ContourErrorsOnlyWhereTheContourIsNeeded) {
    auto messageOf = [&](const std::string& text, const std::string& name) {
        try {
            apply(text, name);
        } catch (const MException& e) {
            return e.message();
        }
        return std::string("applied");
    };
    EXPECT_EQ(messageOf(kStressedSyllable, "BadContour"), "wrong pitch Contour");
    EXPECT_EQ(messageOf("t 50 \nn 50 0 100 \na 50 0 100 \nt 50 \n", "BadContour"), "applied");
    // A vowel marked 3: above the mean and longer than its class average.
    const std::string stressedVowel = "t 100 \na 200 0 150 \n_ 100 \na 50 0 150 \nt 100 \n";
    EXPECT_EQ(messageOf(stressedVowel, "PhraseFlat"), "phraseContour: wrong Contour type");
    EXPECT_EQ(messageOf("t 100 \na 50 0 150 \nt 100 \n", "PhraseFlat"), "applied");
    // A failed call leaves nothing behind for the next one.
    EXPECT_EQ(apply("t 75 \n", "Rate50"), "t 37 \n");
}

TEST_F(Moods, HostilePhonemeTextIsSurvived) {
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
    std::string longLine = manyTargets + "\na 2000 " + manyTargets.substr(8) + "\nt 10 \n";

    std::mt19937 rng(7);
    std::string junk;
    for (int k = 0; k < 20000; ++k) junk.push_back(static_cast<char>(rng() % 256));

    for (const char* name : {"Everything", "Fall24", "Range200", "PhraseFall300", "Class10"}) {
        for (const auto& text : texts) EXPECT_NO_THROW(apply(text, name));
        const std::string out = apply(longLine, name);
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3);
        EXPECT_NO_THROW(apply(junk, name));
        // Calls do not influence each other.
        EXPECT_EQ(apply(longLine, name), out);
    }
    // Every pitch written stays within 50..500.
    PhonemeRecordList back;
    back.read(apply(longLine, "Everything"));
    for (const auto& r : back)
        for (auto p : r.pitches) EXPECT_TRUE(p >= 50 && p <= 500);
}
