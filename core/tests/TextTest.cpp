#include <gtest/gtest.h>

#include "vorsan/core/Text.h"

using namespace vorsan;

TEST(Text, Utf8AndUtf16RoundTripAndRepairBadInput) {
    std::u16string hindi = u"नमस्ते राम 😀";
    EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(hindi)), hindi);
    EXPECT_EQ(utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");     // lone surrogate
    EXPECT_EQ(utf8ToUtf16("\xC3(\xE0"), u"\xFFFD(\xFFFD");   // broken sequences
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\xFFFD\xFFFD\xFFFD"); // encoded surrogate
}

TEST(Text, LatinNarrowingAndTrimming) {
    EXPECT_EQ(narrowLatin1(u"aé\u0915b"), std::string("a\xE9 b"));
    EXPECT_EQ(widenLatin1("a\xE9"), u"aé");
    EXPECT_EQ(trimBlanks(" \t x y\t "), "x y");
    EXPECT_EQ(trimBlanks(u"\t\t"), u"");
}

TEST(Text, LenientIntegerReading) {
    EXPECT_EQ(readLeadingInt("120abc"), 120);
    EXPECT_EQ(readLeadingInt("-7"), -7);
    EXPECT_EQ(readLeadingInt("x12"), 0);
    EXPECT_EQ(readLeadingInt(" 12"), 0);
    EXPECT_EQ(scanInt("  12"), 12);
    EXPECT_EQ(readLeadingInt("-99999999999"), INT32_MIN);
}
