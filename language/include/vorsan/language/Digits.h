#pragma once
// Digits of a language: the script's digit characters, and the words that
// speak a number following the Indian place values (units, tens, hundreds,
// thousands, lakhs, crores).
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace vorsan {

// Index = digit value 0-9, element = the script's character for it (0: unset).
using DigitMap = std::array<char16_t, 10>;

// The ASCII digit ("0".."9") whose map entry is c, or "" when none is.
std::u16string toAsciiDigit(const DigitMap& map, char16_t c);

class DigitWords {
public:
    static constexpr std::array<int32_t, 6> kPlaces{1, 10, 100, 1000, 100000, 10000000};

    // Number written in ASCII digits -> its words in the script.
    std::map<std::string, std::u16string, std::less<>> words;
    bool operator==(const DigitWords&) const = default;

    // The words for a run of ASCII digits, each word preceded by one space;
    // empty when nothing could be said. A number that is zero is said with
    // the entry "0". Numbers beyond the 32-bit range (more
    // than ten significant digits, or above 2147483647) are said digit by
    // digit with the entries "0".."9".
    std::u16string numberToWords(std::string_view digits) const;
};

} // namespace vorsan
