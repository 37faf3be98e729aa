#pragma once
// What the English and the rule-based languages' readings share: the ASCII
// forms of typographic marks, the English month names and the currency signs.
#include <array>
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

// A currency sign, symbol or code as written, and the ISO code of its
// currency; each language has its own words for the currencies.
struct CurrencySign {
    std::u16string_view sign;
    std::string_view code;
};
inline constexpr std::array<CurrencySign, 14> kCurrencySigns = {{
    {u"$", "USD"},
    {u"US$", "USD"},
    {u"USD", "USD"},
    {u"\u00A3", "GBP"},
    {u"GBP", "GBP"},
    {u"\u20AC", "EUR"},
    {u"EUR", "EUR"},
    {u"\u20B9", "INR"},
    {u"INR", "INR"},
    {u"Rs.", "INR"},
    {u"Rs", "INR"},
    {u"\u0930\u0941.", "INR"}, // the Devanagari abbreviation of rupee
    {u"\u00A5", "JPY"},
    {u"JPY", "JPY"},
}};

} // namespace vorsan::normalise
