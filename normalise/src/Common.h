#pragma once
// What the English and the rule-based languages' readings share: the ASCII
// forms of typographic marks and the English month names.
#include <string_view>

namespace vorsan::normalise {

// The ASCII counterpart of a typographic character (curly quotes and primes,
// hyphens and dashes, the minus sign, the ellipsis, no-break and thin
// spaces); empty for any other character.
std::u16string_view asciiOf(char16_t c);

// 1 to 12 for a lower-case English month name or its short form ("aug",
// "sept"); 0 for any other word.
int monthNumber(std::string_view lowerName);

// The name of month 1 to 12 as it is written in full ("August").
std::string_view monthName(int month);

} // namespace vorsan::normalise
