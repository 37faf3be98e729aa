#include <gtest/gtest.h>

#include <array>
#include <string>

#include "vorsan/english/LetterToSoundRules.h"

namespace vorsan {
namespace {

TEST(LetterToSoundRules, ListsHaveTheirRuleCountsAndBelongToTheirLetter) {
    constexpr std::array<std::size_t, LetterToSoundRules::kListCount> counts = {
        11, 33, 6, 11, 10, 52, 2, 10, 6, 28, 1, 2, 5, 2, 8, 48, 5, 3, 2, 23, 26, 35, 2, 12, 1, 11, 1};
    std::size_t total = 0;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const auto rules = LetterToSoundRules::list(i);
        EXPECT_EQ(rules.size(), counts[i]) << "list " << i;
        total += rules.size();
        for (const auto& rule : rules) {
            const std::string match = rule.match;
            ASSERT_FALSE(match.empty());
            if (i == 0) EXPECT_FALSE(match[0] >= 'A' && match[0] <= 'Z') << match;
            else EXPECT_EQ(match[0], static_cast<char>('A' + i - 1)) << match;
        }
        // Every letter list ends with the letter's context-free default.
        if (i > 0) {
            EXPECT_STREQ(rules.back().left, "") << "list " << i;
            EXPECT_STREQ(rules.back().right, "") << "list " << i;
            EXPECT_EQ(std::string(rules.back().match), std::string(1, static_cast<char>('A' + i - 1)));
        }
    }
    EXPECT_EQ(total, 356u);
    EXPECT_TRUE(LetterToSoundRules::list(27).empty());
}

TEST(LetterToSoundRules, ConvertsWordsByTheFirstApplicableRule) {
    const LetterToSoundRules rules;
    const std::pair<const char*, const char*> cases[] = {
        {"A", "AX"},          {"THE", "DHAX"},     {"THEM", "DHEHm"},   {"YES", "yEHs"},
        {"EYE", "AY"},        {"CAT", "kAEt"},     {"cat", "kAEt"},     {"MAKE", "mEYk"},
        {"SHIP", "SHIHp"},    {"NIGHT", "nAYt"},   {"PHONE", "fOWn"},   {"BOOK", "bUHk"},
        {"WATCH", "wAAtCH"},  {"SIX", "sIHks"},    {"HELLO", "hEHlOW"}, {"DON'T", "dOWnt"},
        {"CATS", "kAEts"},    {"DOGS", "dAAgz"},   {"Hello", "hEHlOW"}, {"ONE", "wAHn"},
        {"TWO", "tUW"},       {"THEY", "DHEY"},    {"YOU", "yUW"},      {"QUIT", "kwIHt"},
        {"FULL", "fUHl"},     {"ABLE", "EYbAXl"},  {"BEING", "bIYIHNG"}, {"ANY", "EHnIY"},
        {"PEOPLE", "pIYpl"}, {"THROUGH", "THrUW"}, {"KNOW", "nOW"},    {"WHAT", "WHAAt"},
    };
    for (const auto& [word, codes] : cases) EXPECT_EQ(rules.Convert(word), codes) << word;
}

TEST(LetterToSoundRules, OddInputGivesCodesWithoutFailing) {
    const LetterToSoundRules rules;
    EXPECT_EQ(rules.Convert(""), "");
    EXPECT_EQ(rules.Convert("123"), "");                         // digits match no rule
    EXPECT_EQ(rules.Convert(".,?!"), "    ");                     // pauses
    EXPECT_EQ(rules.Convert(std::string("\xe9\xff\x80", 3)), ""); // bytes above 127
    EXPECT_EQ(rules.Convert(std::string("C\0AT", 4)), "kAEt");
    // Every byte value, alone and between letters.
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
