#include <gtest/gtest.h>

#include "vorsan/core/Text.h"

using namespace vorsan;

TEST(Text, ConversionsRepairBadInputAndNumbersReadLeniently) {
    std::u16string hindi = u"नमस्ते राम 😀";
    EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(hindi)), hindi);
    EXPECT_EQ(utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");                 // lone surrogate
    EXPECT_EQ(utf8ToUtf16("\xC3(\xE0"), u"\xFFFD(\xFFFD");               // broken sequences
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\xFFFD");                   // encoded surrogate: one bad sequence
    EXPECT_EQ(utf8ToUtf16("a\xE0\xA4"), u"a\xFFFD");                     // cut short at the end
    EXPECT_EQ(utf8ToUtf16("\xC0\xAFx"), u"\xFFFDx");                      // overlong "/"
    std::string appended;
    for (char32_t c : {U'\u0915', U'\0', char32_t(0xD800), char32_t(0x110000), U'😀'}) appendUtf8(appended, c);
    EXPECT_EQ(appended, "\u0915\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xF0\x9F\x98\x80");
    EXPECT_EQ(narrowLatin1(u"aé\u0915b"), std::string("a\xE9 b"));       // outside Latin-1: a space
    EXPECT_EQ(widenLatin1("a\xE9"), u"aé");
    EXPECT_EQ(trimBlanks(" \t x y\t "), "x y");
    EXPECT_EQ(trimBlanks(u"\t\t"), u"");

    const std::pair<const char*, int32_t> leading[] = {
        {"120abc", 120}, {"-7", -7}, {"x12", 0}, {" 12", 0}, {"-99999999999", INT32_MIN}};
    for (const auto& [text, value] : leading) EXPECT_EQ(readLeadingInt(text), value) << text;
    EXPECT_EQ(scanInt("  12"), 12);
}
