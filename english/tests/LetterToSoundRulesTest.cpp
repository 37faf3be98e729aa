#include <gtest/gtest.h>

#include <string>

#include "vorsan/english/LetterToSoundRules.h"

namespace vorsan {
namespace {

TEST(LetterToSoundRules, ConvertsWordsByTheFirstApplicableRule) {
    const LetterToSoundRules rules;
    const std::pair<std::string, const char*> cases[] = {
        {"A", "AX"},          {"THE", "DHAX"},     {"THEM", "DHEHm"},   {"YES", "yEHs"},
        {"EYE", "AY"},        {"CAT", "kAEt"},     {"cat", "kAEt"},     {"MAKE", "mEYk"},
        {"SHIP", "SHIHp"},    {"NIGHT", "nAYt"},   {"PHONE", "fOWn"},   {"BOOK", "bUHk"},
        {"WATCH", "wAAtCH"},  {"SIX", "sIHks"},    {"HELLO", "hEHlOW"}, {"DON'T", "dOWnt"},
        {"CATS", "kAEts"},    {"DOGS", "dAAgz"},   {"Hello", "hEHlOW"}, {"ONE", "wAHn"},
        {"TWO", "tUW"},       {"THEY", "DHEY"},    {"YOU", "yUW"},      {"QUIT", "kwIHt"},
        {"FULL", "fUHl"},     {"ABLE", "EYbAXl"},  {"BEING", "bIYIHNG"}, {"ANY", "EHnIY"},
        {"PEOPLE", "pIYpl"}, {"THROUGH", "THrUW"}, {"KNOW", "nOW"},    {"WHAT", "WHAAt"},
        // Odd input: digits and bytes above 127 match no rule, punctuation
        // gives pauses, a zero byte is skipped.
        {"", ""},             {"123", ""},         {".,?!", "    "},    {"\xe9\xff\x80", ""},
        {std::string("C\0AT", 4), "kAEt"},
    };
    for (const auto& [word, codes] : cases) EXPECT_EQ(rules.Convert(word), codes) << word;
    // Every byte value, alone and between letters, converts without failing.
    for (int c = 0; c < 256; ++c) {
        const std::string one(1, static_cast<char>(c));
        (void)rules.Convert(one);
        (void)rules.Convert("A" + one + "E");
    }
    const std::string longWord(100000, 'A');
    EXPECT_EQ(rules.Convert(longWord).size(), 2u * longWord.size());
}

} // namespace
} // namespace vorsan
