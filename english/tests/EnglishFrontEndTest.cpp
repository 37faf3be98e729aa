#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DictionaryFixture.h"
#include "vorsan/english/EnglishFrontEnd.h"

namespace vorsan {
namespace {

// The words whose exact phones the tests check; every other word goes to the
// letter-to-sound rules, the same way on both sides of the comparisons.
const testing::DictionaryEntries kWords = {
    {"hello", "h@l'@U"}, {"Hello", "h@l'@U"}, {"world", "w'3:ld"}, {"yes", "j'es"},          {"is", "'Iz"},
    {"it", "'It"},       {"where", "w'e@"},   {"x", "'eks"},      {"kitchen", "k'ItS@n"}, {"don't", "d'@Unt"},
    {"the", "D@"},       {"The", "D@"},       {"apple", "'&p@l"}, {"hour", "'aU@"},    {"to", "t@"},
    {"eat", "'i:t"},     {"go", "g'@U"}};

class EnglishFrontEndTest : public ::testing::Test {
protected:
    std::string convert(std::string_view text) { return frontEnd_.Convert(text); }

    testing::TempProfile profile_;
    std::string dictionaryPath_ = testing::writeDictionary(profile_, kWords);
    EnglishFrontEnd frontEnd_{dictionaryPath_};
};

std::size_t countOf(const std::string& text, std::string_view piece) {
    std::size_t n = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

constexpr std::string_view kEnd = "_ 100 \n \n";

TEST_F(EnglishFrontEndTest, SentencesAreSentOutAtTheirEnd) {
    // Empty text: an empty sentence and the final pause.
    for (const char* empty : {"", " \t  ", "\n\n"}) EXPECT_EQ(convert(empty), "_ 75 \n_ 100 \n \n");
    EXPECT_EQ(defaultEnglishDictionaryPath(), profile_.path().string() + "/Speechfiles/English/english.dat");
    // hello (h @ l @U, stress on @U) world (w 3: l d, stress on 3:), falling to
    // 110 Hz; long vowels keep their length.
    EXPECT_EQ(convert("Hello world."),
              "_ 75 \nh  48 50 128 \n@  41 50 125 \nl  54 50 123 \n@U 192 50 145 \n"
              "w  61 50 118 \n3: 127 50 140 \nl  54 50 113 \nd  108 50 110 \n_ 600 \n"
              "_ 75 \n_ 100 \n \n");
    // Two sentences; the second has no punctuation and stays flat at 120 Hz.
    const std::string two = convert("yes. yes");
    EXPECT_EQ(countOf(two, "_ 75 \n"), 2u);
    EXPECT_NE(two.find("_ 600 \n_ 75 \nj  35 50 120 \ne  100 50 145 \ns  164 50 120 \n_ 100 \n \n"), std::string::npos)
        << two;
    // A colon pauses long without ending the sentence; a comma pauses short.
    const std::string colon = convert("yes: yes, yes");
    EXPECT_EQ(countOf(colon, "_ 75 \n"), 1u);
    EXPECT_EQ(countOf(colon, "_ 600 \n"), 1u);
    EXPECT_EQ(countOf(colon, "_ 300 \n"), 1u);
    // Yes/no questions rise, wh-questions fall, also with a space before the mark.
    EXPECT_NE(convert("is it?").find("t  127 50 130 \n_ 600 \n"), std::string::npos);
    EXPECT_NE(convert("where is it ?").find("t  127 50 110 \n_ 600 \n"), std::string::npos);
}

TEST_F(EnglishFrontEndTest, NumbersAndSymbolsAreReadAsWords) {
    const std::pair<const char*, const char*> same[] = {
        {"0", "zero"},
        {"105", "one hundred and five"},
        {"2000005", "two million and five"},
        {"3.5.", "three point five ."},
        {"0.25", "zero point two five"},
        {"-5,000", "minus five thousand"},
        {"--5", "minus five"},
        {"12,345,678", "twelve million three hundred and forty five thousand six hundred and seventy eight"},
        {"1,00,000", "one lakh"},
        {"10,00,000", "ten lakh"},
        {"1,234.56", "one thousand two hundred and thirty four point five six"},
        {"1,2", "one , two"},
        {"1,0000", "one , zero"},
        {"1,000,", "one thousand ,"},
        {"3-5", "three to five"},
        {"1.", "one ."},
        {"12abc", "twelve abc"},
        {"$5", "five dollars"},
        {"5%", "five percent"},
        {"a+b", "a plus b"},
        {"x=1/2", "x equals one slash two"},
        {"#1", "number one"},
        // Nine digits or more without grouping are read one by one.
        {"9223372036854775808", "nine two two three three seven two zero three six eight five four seven seven five "
                                "eight zero eight"},
        // Words are cleaned before they are looked up.
        {"well-known", "wellknown"},
        {"(cat", "cat"},
        {"cat)", "cat"},
        {"'hello'", "hello"},
        {"\"hello\"", "hello"},
        {"hello\r\nworld", "hello world"},
        {"[[[cat", "cat"},
        {"\xe9\xe9" "cat", "cat"},
        {"hello,world", "hello , world"},
    };
    for (const auto& [text, words] : same) EXPECT_EQ(convert(text), convert(words)) << text;
    // Whole words with an apostrophe come from the dictionary, with stress.
    EXPECT_NE(convert("don't").find("@U 132 50 145 \n"), std::string::npos);
    // Words the dictionary lacks go to the rules (no stress); capitals are
    // found in lower case; short capitals are spelled (C A T: s i: eI t i:).
    EXPECT_EQ(convert("cat"), "_ 75 \nk  87 50 120 \n{  106 50 120 \nt  127 50 120 \n_ 100 \n \n");
    EXPECT_EQ(convert("HELLO"), convert("hello"));
    EXPECT_NE(convert("CAT").find("s  104 50 120 \ni: 138 50 145 \neI 188 50 145 \n"), std::string::npos);
    // A single letter the dictionary lacks says nothing; one it has is said.
    EXPECT_EQ(convert("q"), "_ 75 \n_ 100 \n \n");
    EXPECT_NE(convert("x"), "_ 75 \n_ 100 \n \n");
    // tch spellings with tS from the dictionary get a t before it.
    EXPECT_NE(convert("kitchen").find("t  67 50 120 \ntS 124 50 120 \n"), std::string::npos);
}

TEST_F(EnglishFrontEndTest, HugeAndOddTextsConvertWithoutFailing) {
    // (Arbitrary bytes are the english fuzz target's; these are the shapes
    // that once ran away or overflowed.)
    std::string alternating, hyphenated, controls;
    for (int i = 0; i < 50000; ++i) {
        alternating += "a.";
        hyphenated += "a-";
    }
    for (int i = 0; i < 100000; ++i) controls.push_back(static_cast<char>(i % 32));
    const std::string inputs[] = {
        std::string(100000, 'a'), std::string(100000, '-'), std::string(100000, '('), std::string(100000, '\''),
        std::string(100000, '\xe9'), alternating, hyphenated, std::string(50000, '.') + hyphenated, controls,
        std::string("-\0-5\x01\x02", 6), "!!!???...,,,;;;:::",
    };
    for (const std::string& text : inputs) {
        const std::string out = convert(text);
        ASSERT_GE(out.size(), kEnd.size());
        EXPECT_EQ(out.substr(out.size() - kEnd.size()), kEnd);
        EXPECT_EQ(out.rfind("_ 75 \n", 0), 0u);
    }
    // A 100 KB word becomes one word record of at most 50 phones.
    EXPECT_EQ(countOf(convert(std::string(100000, 'b')), "\n"), 1u + 50u + 2u);
    // A long run of digits is said digit by digit.
    std::string sevens;
    for (int i = 0; i < 200; ++i) sevens += "seven ";
    EXPECT_EQ(convert(std::string(200, '7')), convert(sevens));
}

TEST_F(EnglishFrontEndTest, TheTakesTheVowelOfSeeBeforeAVowel) {
    // The phone lines of "the" (D, then its vowel) in the output.
    auto vowelOfThe = [&](std::string_view text) {
        const std::string out = convert(text);
        const std::size_t d = out.find("\nD ");
        if (d == std::string::npos) return std::string("no D");
        const std::size_t line = out.find('\n', d + 1) + 1;
        return out.substr(line, out.find(' ', line) - line);
    };
    EXPECT_EQ(vowelOfThe("the apple"), "i:");
    EXPECT_EQ(vowelOfThe("The hour."), "i:"); // h is not said: a vowel
    EXPECT_EQ(vowelOfThe("the kitchen"), "@");
    EXPECT_EQ(vowelOfThe("the world"), "@");
    EXPECT_EQ(vowelOfThe("the, apple"), "@"); // a pause between
    EXPECT_EQ(vowelOfThe("the"), "@");
}

TEST_F(EnglishFrontEndTest, ToTakesTheVowelOfTooBeforeAVowel) {
    auto vowelOfTo = [&](std::string_view text) {
        const std::string out = convert(text);
        const std::size_t t = out.find("\nt ");
        if (t == std::string::npos) return std::string("no t");
        const std::size_t line = out.find('\n', t + 1) + 1;
        return out.substr(line, out.find(' ', line) - line);
    };
    EXPECT_EQ(vowelOfTo("to eat"), "u:");
    EXPECT_EQ(vowelOfTo("to apple"), "u:");
    EXPECT_EQ(vowelOfTo("to go"), "@");
    EXPECT_EQ(vowelOfTo("to, eat"), "@");
}

TEST_F(EnglishFrontEndTest, TheNaturalRhythmIsChosenOnTheFrontEnd) {
    // The phone table until the natural rhythm is chosen, and again after.
    const std::string table = convert("go go go.");
    frontEnd_.setRhythm(EnglishRhythm::Natural);
    const std::string natural = convert("go go go.");
    EXPECT_NE(natural, table);
    // The vowel of the last "go", before the full stop, is held longer than
    // the same vowel inside the phrase; the table times them alike.
    auto vowels = [](const std::string& out) {
        PhonemeRecordList records;
        records.read(out);
        std::vector<int> d;
        for (const PhonemeRecord& r : records)
            if (r.name == "@U") d.push_back(r.duration);
        return d;
    };
    const std::vector<int> n = vowels(natural), t = vowels(table);
    ASSERT_EQ(n.size(), 3u);
    EXPECT_GE(n[2], n[0] * 13 / 10);
    EXPECT_EQ(t[0], t[2]);
    frontEnd_.setRhythm(EnglishRhythm::Table);
    EXPECT_EQ(convert("go go go."), table);
}

TEST(EnglishFrontEnd, WithoutADictionaryEveryWordGoesToTheRules) {
    testing::TempProfile profile;
    testing::DiagnosticCapture capture;
    EnglishFrontEnd frontEnd(defaultEnglishDictionaryPath());
    const std::string out = frontEnd.Convert("cat 12");
    EXPECT_EQ(frontEnd.Convert("cat"), "_ 75 \nk  87 50 120 \n{  106 50 120 \nt  127 50 120 \n_ 100 \n \n");
    // "twelve" by the rules: t w e l v.
    EXPECT_NE(out.find("t  67 50 120 \nw  61 50 120 \ne  84 50 120 \nl  54 50 120 \nv  114 50 120 \n"),
              std::string::npos)
        << out;
    frontEnd.Convert("more words here");
    EXPECT_EQ(capture.text(), "Error while opening dictionary file.\n");
}

// The normalised words keep the places of what they were said for.
TEST(EnglishFrontEndNormalised, WordPlacesAndTypographicMarks) {
    testing::TempProfile profile;
    const std::string path =
        testing::writeDictionary(profile, {{"don't", "d'@Unt"}, {"twenty", "tw'enti"}, {"dollars", "d'0l@z"}});
    EnglishFrontEnd frontEnd(path);
    // The typographic apostrophe reads as the ASCII one (from the dictionary).
    EXPECT_EQ(frontEnd.Convert(std::u16string_view(u"don\u2019t")), frontEnd.Convert(std::string_view("don't")));
    // "It costs $25." : "$25" is one word of the text though said as three.
    std::vector<WordMark> marks;
    frontEnd.ConvertSentences(std::u16string_view(u"It costs $25."),
                              [&](PhonemeRecordList&&, std::vector<WordMark>&& w) { marks.insert(marks.end(), w.begin(), w.end()); });
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(marks[2].offset, 9u);
    EXPECT_EQ(marks[2].length, 3u);
    // Letters said by name: "FBI" is three letters, each with its vowel.
    const std::string fbi = frontEnd.Convert(std::string_view("FBI"));
    EXPECT_NE(fbi.find("e  "), std::string::npos);
    EXPECT_NE(fbi.find("aI "), std::string::npos);
}

} // namespace
} // namespace vorsan
