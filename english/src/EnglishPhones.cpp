// The English phone set: names and default durations, numbered 33 to 76.
#include "vorsan/english/EnglishWord.h"

#include <array>

namespace vorsan::englishphones {
namespace {

// Two characters a phone; a one-character name carries a trailing space.
constexpr std::string_view kCells =
    "p b t d k m n l r f v s z h w g tSdZN T D S Z j i:A:O:u:3:I e { V Q U @ eIaIOI@UaUI@e@U@";
static_assert(kCells.size() == 2 * (kLast - kFirst + 1));

constexpr std::array<int, kLast - kFirst + 1> kDurations = {
    97, 65, 67, 48, 87, 64, 59, 54, 59, 88, 54,  104, 72,  48,  61,  64,  124, 84,  61,  92, 21, 108,
    91, 35, 78, 166, 127, 88, 127, 59, 84, 106, 90, 89, 58, 41, 128, 131, 112, 132, 134, 119, 86, 134,
};

bool inSet(int phone) { return phone >= kFirst && phone <= kLast; }

} // namespace

std::string_view cell(int phone) {
    return inSet(phone) ? kCells.substr(static_cast<std::size_t>(2 * phone - 66), 2) : std::string_view{};
}

std::string_view name(int phone) {
    std::string_view c = cell(phone);
    if (!c.empty() && c[1] == ' ') c.remove_suffix(1);
    return c;
}

int duration(int phone) { return inSet(phone) ? kDurations[static_cast<std::size_t>(phone - kFirst)] : 0; }

int number(std::string_view phoneName) {
    for (int p = kFirst; p <= kLast; ++p)
        if (name(p) == phoneName) return p;
    return 0;
}

} // namespace vorsan::englishphones
