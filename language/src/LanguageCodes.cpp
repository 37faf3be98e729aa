#include "vorsan/language/LanguageCodes.h"

#include <cctype>

namespace vorsan {

std::string primaryLanguageTag(std::string_view tag) {
    std::string p(tag.substr(0, tag.find_first_of("-_")));
    for (char& c : p) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return p;
}

uint16_t windowsLanguageIdOfCode(std::string_view code) {
    // Primary language numbers of Windows for the languages of India and
    // English; the sub-language (the country) is the default one, 1.
    struct Known {
        const char* code;
        uint16_t primary;
    };
    static constexpr Known kKnown[] = {
        {"en", 0x09},  {"hi", 0x39},  {"mr", 0x4E}, {"gu", 0x47}, {"te", 0x4A}, {"kn", 0x4B}, {"ta", 0x49},
        {"bn", 0x45},  {"pa", 0x46},  {"ml", 0x4C}, {"or", 0x48}, {"as", 0x4D}, {"sa", 0x4F}, {"kok", 0x57},
        {"ne", 0x61},  {"ur", 0x20},  {"sd", 0x59}, {"ks", 0x60}, {"mni", 0x58}, {"si", 0x5B},
    };
    const std::string p = primaryLanguageTag(code);
    for (const Known& k : kKnown)
        if (p == k.code) return static_cast<uint16_t>(0x0400 | k.primary);
    return 0;
}

} // namespace vorsan
