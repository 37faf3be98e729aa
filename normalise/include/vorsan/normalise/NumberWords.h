#pragma once
// English number words for the normaliser: cardinals ("one hundred and
// five"), ordinals ("twenty first"), years ("nineteen oh five") and their
// plurals ("the nineties").
#include <cstdint>
#include <string_view>
#include <vector>

namespace vorsan::numberwords {

using Words = std::vector<std::string_view>;

void cardinal(uint64_t value, Words& out);
// The Indian way: crores (ten million) and lakhs (hundred thousand).
void indian(uint64_t value, Words& out);
// The cardinal with its last word made ordinal.
void ordinal(uint64_t value, Words& out);
// A year as it is said: 1947 nineteen forty seven, 1905 nineteen oh five,
// 1900 nineteen hundred, 2005 two thousand five, 2019 twenty nineteen.
void year(uint64_t value, Words& out);
// The plural of a number's last word ("nineties", "hundreds"), for decades.
std::string_view pluralOf(std::string_view word);

} // namespace vorsan::numberwords
