#pragma once
// English number words, for the normaliser and the front end: cardinals
// ("one hundred and five"), ordinals ("twenty first"), years ("nineteen oh
// five") and their plurals ("the nineties").
#include <cstdint>
#include <string_view>
#include <vector>

namespace vorsan::numberwords {

using Words = std::vector<std::string_view>;

// The words for `value`: "one hundred and five", "two million and five".
// Scales above `largest` are not used: with billion, 10^12 is "one thousand
// billion".
inline constexpr uint64_t kTrillion = 1000000000000ULL;
inline constexpr uint64_t kBillion = 1000000000ULL;
Words cardinal(uint64_t value, uint64_t largest = kTrillion);
// "zero" to "nineteen".
std::string_view unitWord(uint64_t value);
// The Indian way: crores (ten million) and lakhs (hundred thousand).
Words indian(uint64_t value);
// The cardinal with its last word made ordinal.
Words ordinal(uint64_t value);
// A year as it is said: 1947 nineteen forty seven, 1905 nineteen oh five,
// 1900 nineteen hundred, 2005 two thousand five, 2019 twenty nineteen.
Words year(uint64_t value);
// The plural of a number's last word ("nineties", "hundreds"), for decades;
// the word itself when it has none.
std::string_view pluralOf(std::string_view word);
// The words with the last made plural: "nineteen nineties".
Words plural(Words words);

} // namespace vorsan::numberwords
