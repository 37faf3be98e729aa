// Numbers and symbols read as English words. Every word said goes through
// ProcessWord, so through the dictionary.
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "WordCursor.h"
#include "vorsan/english/EnglishFrontEnd.h"
#include "vorsan/normalise/NumberWords.h"

namespace vorsan {
namespace {

// Comma groups are read as part of a number only up to this many; a 64-bit
// value has at most seven groups of three.
constexpr std::size_t kMaxGroups = 8;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

void EnglishFrontEnd::SayNumber(int64_t value) {
    if (value < 0) {
        say("minus");
        if (value == std::numeric_limits<int64_t>::min()) {
            say("infinity");
            return;
        }
        value = -value;
    }
    for (const std::string_view w : numberwords::cardinal(static_cast<uint64_t>(value), numberwords::kBillion)) say(w);
}

void EnglishFrontEnd::SaySymbol(char c) {
    switch (c) {
    case '*': say("asterisk"); break;
    case '#': say("hash"); break;
    case '$': say("dollars"); break;
    case '%': say("percent"); break;
    case '&': say("and"); break;
    case '+': say("plus"); break;
    case '-': say("minus"); break;
    case '/': say("slash"); break;
    case '=': say("equals"); break;
    default: break;
    }
}

void EnglishFrontEnd::sayDigit(char digit) { say(numberwords::unitWord(static_cast<uint64_t>(digit - '0'))); }

// Reads the number at the start of the word and moves the cursor past it:
// the leading digits, comma groups of a grouped number (1,000 and
// 12,345,678, or the Indian 1,00,000), and a decimal part after a point,
// said digit by digit. A value too large for 64 bits is said digit by digit.
void EnglishFrontEnd::readNumber(WordCursor& w) {
    const std::size_t end = w.end();
    auto digitRun = [&](std::size_t from, std::string& digits) {
        std::size_t i = from;
        while (i < end && isDigit(w.at(i))) {
            digits.push_back(w.at(i));
            i = w.next(i);
        }
        return i;
    };

    std::string digits;
    std::size_t pos = digitRun(w.first(), digits);

    // Comma groups: all of three digits after a lead of one to three, or
    // (Indian) of two digits after a lead of one or two, closed by a group of
    // three. Anything else leaves the comma to be read as a pause.
    struct Group {
        std::string digits;
        std::size_t after;
    };
    std::vector<Group> groups;
    for (std::size_t p = pos; groups.size() < kMaxGroups && p < end && w.at(p) == ',';) {
        Group g;
        g.after = digitRun(w.next(p), g.digits);
        if (g.digits.size() != 2 && g.digits.size() != 3) break;
        groups.push_back(std::move(g));
        p = groups.back().after;
    }
    auto leadingGroupsOf = [&](std::size_t size) {
        std::size_t k = 0;
        while (k < groups.size() && groups[k].digits.size() == size) ++k;
        return k;
    };
    std::size_t accepted = 0;
    if (digits.size() <= 3) accepted = leadingGroupsOf(3);
    if (digits.size() <= 2) {
        const std::size_t twos = leadingGroupsOf(2);
        if (twos > 0 && twos < groups.size() && groups[twos].digits.size() == 3) accepted = twos + 1;
    }
    for (std::size_t k = 0; k < accepted; ++k) digits += groups[k].digits;
    if (accepted > 0) pos = groups[accepted - 1].after;

    // The value, or digit by digit when it does not fit in 64 bits.
    int64_t value = 0;
    bool fits = true;
    for (const char d : digits) {
        const int v = d - '0';
        if (value > (std::numeric_limits<int64_t>::max() - v) / 10) {
            fits = false;
            break;
        }
        value = value * 10 + v;
    }
    if (fits) SayNumber(value);
    else
        for (const char d : digits) sayDigit(d);

    // A decimal point between digits.
    if (pos < end && w.at(pos) == '.') {
        const std::size_t fraction = w.next(pos);
        if (fraction < end && isDigit(w.at(fraction))) {
            say("point");
            std::string decimals;
            pos = digitRun(fraction, decimals);
            for (const char d : decimals) sayDigit(d);
        }
    }
    w.startAt(pos);
}

} // namespace vorsan
