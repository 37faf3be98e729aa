#include "Common.h"

#include <array>

namespace vorsan::normalise {

std::u16string_view asciiOf(char16_t c) {
    switch (c) {
    case 0x2018: case 0x2019: case 0x201A: case 0x201B: case 0x2032: case 0x02BC: return u"'";
    case 0x201C: case 0x201D: case 0x201E: case 0x2033: return u"\"";
    case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2014: case 0x2015: case 0x2212: return u"-";
    case 0x2026: return u"...";
    case 0x00A0: case 0x2007: case 0x2009: case 0x202F: return u" ";
    default: return {};
    }
}

namespace {

struct Month {
    std::string_view shortForm, fullForm, name;
};
constexpr std::array<Month, 12> kMonths = {{{"jan", "january", "January"},
                                            {"feb", "february", "February"},
                                            {"mar", "march", "March"},
                                            {"apr", "april", "April"},
                                            {"may", "may", "May"},
                                            {"jun", "june", "June"},
                                            {"jul", "july", "July"},
                                            {"aug", "august", "August"},
                                            {"sep", "september", "September"},
                                            {"oct", "october", "October"},
                                            {"nov", "november", "November"},
                                            {"dec", "december", "December"}}};

} // namespace

int monthNumber(std::string_view lowerName) {
    if (lowerName == "sept") return 9;
    for (std::size_t m = 0; m < kMonths.size(); ++m)
        if (lowerName == kMonths[m].shortForm || lowerName == kMonths[m].fullForm) return static_cast<int>(m) + 1;
    return 0;
}

std::string_view monthName(int month) { return kMonths[static_cast<std::size_t>(month - 1)].name; }

} // namespace vorsan::normalise
