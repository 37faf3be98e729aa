// What English and the rule-based languages read alike: typographic marks
// fold to the same ASCII marks, month names are known in every language, and
// the English number words serve both the normaliser and the front end.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "vorsan/core/Text.h"
#include "vorsan/normalise/Normalise.h"
#include "vorsan/normalise/NumberWords.h"
#include "vorsan/testing/TestSupport.h"

namespace vorsan {
namespace {

std::string english(std::u16string_view text) {
    EnglishNormaliser normaliser([](const std::string&) { return false; });
    NormalisedText out;
    normaliser.normalise(text, 0, out);
    return out.text;
}

std::string joined(const numberwords::Words& words) {
    std::string out;
    for (std::string_view w : words) out += (out.empty() ? "" : " ") + std::string(w);
    return out;
}

TEST(SharedReading, TypographicMarksAndMonthsReadAlikeInEveryLanguage) {
    testing::TempProfile profile;
    const char* root = std::getenv("VORSAN_TEST_DATA");
    ASSERT_NE(root, nullptr);
    auto hindi = LanguageRuleBase::load(std::string(root) + "/data/pelmira/newPelmiraHindi.xml");
    auto inHindi = [&](std::u16string_view text) { return utf16ToUtf8(normaliseText(text, *hindi)); };

    // Every quote, prime, hyphen and dash inside a word: its ASCII mark in both.
    const std::pair<char16_t, char> marks[] = {{0x2018, '\''}, {0x2019, '\''}, {0x201A, '\''}, {0x201B, '\''},
                                               {0x2032, '\''}, {0x02BC, '\''}, {0x201C, '"'},  {0x201D, '"'},
                                               {0x201E, '"'},  {0x2033, '"'},  {0x2010, '-'},  {0x2011, '-'},
                                               {0x2012, '-'}};
    for (const auto& [mark, ascii] : marks) {
        const std::u16string word = std::u16string(u"ab") + mark + u"cd";
        const std::string expected = std::string("ab") + ascii + "cd";
        EXPECT_EQ(english(word), " " + expected) << static_cast<int>(mark);
        EXPECT_EQ(inHindi(word), expected) << static_cast<int>(mark);
    }
    // A dash standing alone is a pause in English, never the word "minus";
    // the minus sign before a number is.
    EXPECT_EQ(english(u"yes \u2012 no \u2013 so \u2014 it"), " yes , no , so , it");
    EXPECT_EQ(english(u"\u22127"), " minus seven");

    // Month names and their short forms, "Sept" too, in both.
    EXPECT_EQ(english(u"15 Aug 1947, Sept. 3"), " the fifteenth of August nineteen forty seven , September third");
    EXPECT_NE(inHindi(u"15 Aug 1947").find("\u0905\u0917\u0938\u094D\u0924"), std::string::npos); // अगस्त
    EXPECT_NE(inHindi(u"3 Sept 2024").find("\u0938\u093F\u0924\u0902\u092C\u0930"), std::string::npos); // सितंबर
    EXPECT_EQ(inHindi(u"Septic 3"), "Septic \u0924\u0940\u0928 "); // not a month: left as written
}

TEST(SharedReading, EnglishNumberWordsUpToTheLargestScaleAsked) {
    EXPECT_EQ(joined(numberwords::cardinal(2000005)), "two million and five");
    EXPECT_EQ(joined(numberwords::cardinal(1000000000000ULL)), "one trillion");
    // The front end reads with scales up to billion.
    EXPECT_EQ(joined(numberwords::cardinal(1000000000105ULL, numberwords::kBillion)),
              "one thousand billion one hundred and five");
    EXPECT_EQ(joined(numberwords::cardinal(0, numberwords::kBillion)), "zero");
    EXPECT_EQ(joined(numberwords::plural(numberwords::year(1990))), "nineteen nineties");
}

} // namespace
} // namespace vorsan
