#pragma once
// Small text helpers shared by the parts of the English normaliser: ASCII
// character classes on UTF-16, number parsing, and the table look-ups.
#include <algorithm>
#include <string>
#include <string_view>

#include "EnglishReader.h"
#include "Common.h"
#include "EnglishTables.h"

namespace vorsan::normtext {

namespace nt = normtables;


using U16 = std::u16string_view;

inline bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
inline bool isUpper(char16_t c) { return c >= u'A' && c <= u'Z'; }
inline bool isLower(char16_t c) { return c >= u'a' && c <= u'z'; }
inline bool isLetter(char16_t c) { return isUpper(c) || isLower(c); }
inline bool allDigits(U16 s) { return !s.empty() && std::all_of(s.begin(), s.end(), isDigit); }
inline bool allUpper(U16 s) { return !s.empty() && std::all_of(s.begin(), s.end(), isUpper); }

inline bool isBlank(char16_t c) {
    return c <= u' ' || c == 0xA0 || (c >= 0x2000 && c <= 0x200B) || c == 0x202F || c == 0x3000 || c == 0xFEFF;
}
// Characters that stand for a pause wherever they are: dashes and the ellipsis.
inline bool isBreak(char16_t c) { return c == 0x2014 || c == 0x2015 || c == 0x2026; }
// A hyphen or a dash (not the minus sign): alone, a pause.
inline bool isDash(char16_t c) { return c == u'-' || (c != 0x2212 && normalise::asciiOf(c) == u"-"); }
inline bool isOpening(char16_t c) {
    return c == u'(' || c == u'[' || c == u'{' || c == u'"' || c == u'\'' || c == u'`' || c == 0x2018 ||
           c == 0x201C || c == 0xAB || c == 0xBF || c == 0xA1;
}
inline bool isClosing(char16_t c) {
    return c == u'.' || c == u',' || c == u';' || c == u':' || c == u'!' || c == u'?' || c == u')' || c == u']' ||
           c == u'}' || c == u'"' || c == u'\'' || c == 0x2019 || c == 0x201D || c == 0xBB;
}

// ASCII lower case of a token part; other characters become '?'.
inline std::string lower(U16 s) {
    std::string out;
    out.reserve(s.size());
    for (char16_t c : s) out.push_back(isUpper(c) ? static_cast<char>(c - u'A' + u'a') : c < 128 ? static_cast<char>(c) : '?');
    return out;
}

inline bool equalsAscii(U16 s, std::string_view a) {
    return s.size() == a.size() && std::equal(s.begin(), s.end(), a.begin(), [](char16_t c, char d) {
               return c == static_cast<unsigned char>(d);
           });
}

template <typename List> inline bool inList(const List& list, std::string_view w) {
    return std::find(list.begin(), list.end(), w) != list.end();
}

// A number at the start of `s`: an optional sign, digits with comma groups
// (1,234,567 or the Indian 12,34,567), an optional decimal part.
struct Number {
    bool negative = false;
    bool fits = true;
    bool grouped = false;
    bool indian = false; // a group of two digits
    uint64_t value = 0;
    U16 whole;    // digits and commas
    U16 fraction; // digits after the point
    std::size_t length = 0;
    int digits = 0;
};

inline bool parseNumber(U16 s, Number& n) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == u'-' || s[i] == 0x2212)) {
        n.negative = true;
        ++i;
    } else if (i < s.size() && s[i] == u'+') {
        ++i;
    }
    const std::size_t start = i;
    if (i >= s.size() || !isDigit(s[i])) return false;
    auto addDigit = [&](char16_t c) {
        const uint64_t d = static_cast<uint64_t>(c - u'0');
        if (n.value > (UINT64_MAX - d) / 10) n.fits = false;
        n.value = n.value * 10 + d;
        ++n.digits;
    };
    while (i < s.size() && isDigit(s[i])) addDigit(s[i++]);
    // Comma groups of two or three digits, the last of three.
    std::size_t lead = i - start;
    while (lead <= 3 && i + 3 < s.size() + 1 && i < s.size() && s[i] == u',') {
        std::size_t j = i + 1;
        while (j < s.size() && isDigit(s[j])) ++j;
        const std::size_t size = j - i - 1;
        const bool last = j >= s.size() || s[j] != u',';
        if (!(size == 3 || (size == 2 && !last))) break;
        if (last && size != 3) break;
        for (std::size_t k = i + 1; k < j; ++k) addDigit(s[k]);
        n.grouped = true;
        n.indian = n.indian || size == 2;
        i = j;
    }
    n.whole = s.substr(start, i - start);
    if (i + 1 < s.size() && s[i] == u'.' && isDigit(s[i + 1])) {
        std::size_t j = i + 1;
        while (j < s.size() && isDigit(s[j])) ++j;
        n.fraction = s.substr(i + 1, j - i - 1);
        i = j;
    }
    n.length = i;
    return true;
}

// The whole of `s` is one number.
inline bool wholeNumber(U16 s, Number& n) { return parseNumber(s, n) && n.length == s.size(); }

// The longest currency sign at the start of `s`.
inline const normalise::CurrencySign* currencyAt(U16 s, std::size_t& length) {
    const normalise::CurrencySign* best = nullptr;
    length = 0;
    for (const normalise::CurrencySign& c : normalise::kCurrencySigns)
        if (s.substr(0, c.sign.size()) == c.sign && c.sign.size() > length) {
            best = &c;
            length = c.sign.size();
        }
    return best;
}

inline const normalise::CurrencySign* currencyIs(U16 s) {
    std::size_t length = 0;
    const normalise::CurrencySign* c = currencyAt(s, length);
    return c && length == s.size() ? c : nullptr;
}

inline const nt::Currency& currencyWords(std::string_view code) {
    for (const nt::Currency& c : nt::kCurrencies)
        if (c.code == code) return c;
    return nt::kCurrencies[0];
}

inline const nt::Unit* unitIs(U16 s) {
    for (const nt::Unit& u : nt::kUnitsOfMeasure)
        if (u.sign == s) return &u;
    return nullptr;
}

inline int monthOf(U16 core) { return normalise::monthNumber(lower(core)); }

// The value of a valid Roman numeral in upper case, or 0.
inline int romanValue(U16 s) {
    auto digit = [](char16_t c) {
        switch (c) {
        case u'I': return 1;
        case u'V': return 5;
        case u'X': return 10;
        case u'L': return 50;
        case u'C': return 100;
        case u'D': return 500;
        case u'M': return 1000;
        default: return 0;
        }
    };
    if (s.size() > 15) return 0; // longer than any numeral below 4000
    int total = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const int v = digit(s[i]);
        if (v == 0) return 0;
        const int next = i + 1 < s.size() ? digit(s[i + 1]) : 0;
        total += next > v ? -v : v;
    }
    // Only the canonical spelling counts (so "IIII" or "VX" is no numeral).
    static constexpr std::pair<int, std::u16string_view> kParts[] = {
        {1000, u"M"}, {900, u"CM"}, {500, u"D"}, {400, u"CD"}, {100, u"C"}, {90, u"XC"}, {50, u"L"},
        {40, u"XL"},  {10, u"X"},   {9, u"IX"},  {5, u"V"},    {4, u"IV"},  {1, u"I"}};
    std::u16string canonical;
    for (int v = total; v > 0;)
        for (const auto& [value, text] : kParts)
            if (v >= value) {
                canonical += text;
                v -= value;
                break;
            }
    return total > 0 && total < 4000 && canonical == s ? total : 0;
}

// "1st", "22nd", "3rd", "4th": the number, else 0.
inline uint64_t ordinalValue(U16 s) {
    if (s.size() < 3) return 0;
    const std::string suffix = lower(s.substr(s.size() - 2));
    if (suffix != "st" && suffix != "nd" && suffix != "rd" && suffix != "th") return 0;
    Number n;
    if (!wholeNumber(s.substr(0, s.size() - 2), n) || n.negative || !n.fraction.empty() || !n.fits) return 0;
    return n.value;
}

// The shape of a telephone number: digit groups joined by - . or space
// stand-ins, or in brackets, with at least seven digits in all (or the
// local form 555-0199).
inline bool phoneShape(U16 s) {
    int digits = 0, groups = 0, run = 0;
    bool previousDigit = false;
    std::size_t i = s.size() > 0 && s[0] == u'+' ? 1 : 0;
    int dots = 0;
    for (; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (isDigit(c)) {
            ++digits;
            ++run;
            if (!previousDigit) ++groups;
            previousDigit = true;
            continue;
        }
        if (c != u'-' && c != u'.' && c != u'(' && c != u')' && c != 0x2013) return false;
        if (c == u'.') ++dots;
        previousDigit = false;
        run = 0;
    }
    if (groups < 2 || (dots > 0 && groups < 3)) return false;
    if (digits >= 7) return true;
    return false;
}


inline bool startsUpper(const EnglishReader::Token& t) {
    const U16 s = t.core.empty() ? t.trail : t.core;
    return !s.empty() && isUpper(s[0]);
}

} // namespace vorsan::normtext
