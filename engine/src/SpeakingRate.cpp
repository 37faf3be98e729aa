#include "SpeakingRate.h"

#include <cmath>
#include <string_view>
#include <vector>

#include "vorsan/core/PhoneLines.h"

namespace vorsan {

namespace {

enum class PhoneClass { Pause, Vowel, Consonant };

// Phone names of every voice: "_" is a pause; vowels begin with a vowel
// letter (a, aa, ai, e, o, u of the Indian phone set) or are the English
// voice's vowel symbols (@, {, 3:, A:, E, I, O:, Q, U, V).
PhoneClass classOf(std::string_view name) {
    if (name.empty() || name == "_") return PhoneClass::Pause;
    static constexpr std::string_view kVowelStarts = "aeiouAEIOU@{3QV";
    return kVowelStarts.find(name.front()) != std::string_view::npos ? PhoneClass::Vowel : PhoneClass::Consonant;
}

// How much each class follows the rate: its duration is divided by
// rate^exponent, then all by one factor that brings the whole to the rate.
double exponentOf(PhoneClass c) {
    switch (c) {
    case PhoneClass::Pause: return 1.8;
    case PhoneClass::Vowel: return 1.2;
    case PhoneClass::Consonant: return 0.5;
    }
    return 1.0;
}

struct Line {
    std::string_view mark; // a contour mark before the phone, when there is one
    std::string_view name;
    int32_t duration;
    std::string tail;
    std::string_view raw; // a line that holds no phone, kept as it is
};

bool isNumber(std::string_view t) {
    return !t.empty() && t.find_first_not_of("0123456789") == std::string_view::npos;
}

} // namespace

std::string atSpeakingRate(const std::string& phonemes, float rate) {
    if (rate == 1.0f || !(rate > 0.0f)) return phonemes;
    std::vector<Line> lines;
    double asked = 0, shaped = 0;
    LineCursor cursor(phonemes);
    for (std::string_view text; cursor.next(text);) {
        Line l{};
        // A line of an odd number of tokens starts with a contour mark.
        std::size_t tokens = 0;
        for (std::string_view rest = text, t; nextToken(rest, t);) ++tokens;
        std::string_view body = text, first;
        if (tokens % 2 == 1 && nextToken(body, first) && isNumber(first)) l.mark = first;
        else body = text;
        if (isBlankLine(text)) {
            l.raw = text;
        } else {
            const PhoneLine p = cutPhoneLine(body, l.tail);
            if (p.tokens < 2) {
                l.raw = text;
            } else {
                l.name = p.name;
                l.duration = std::max(0, p.duration);
                asked += l.duration;
                shaped += l.duration / std::pow(static_cast<double>(rate), exponentOf(classOf(p.name)));
            }
        }
        lines.push_back(std::move(l));
    }
    const double whole = shaped > 0 ? asked / rate / shaped : 1.0;
    std::string out;
    out.reserve(phonemes.size());
    double carried = 0; // rounding carried from line to line, so the total stays
    for (const Line& l : lines) {
        if (!l.raw.empty() || l.name.empty()) {
            out.append(l.raw).push_back('\n');
            continue;
        }
        const double exact =
            l.duration / std::pow(static_cast<double>(rate), exponentOf(classOf(l.name))) * whole + carried;
        const long ms = std::lround(exact);
        carried = exact - static_cast<double>(ms);
        if (!l.mark.empty()) out.append(l.mark).push_back(' ');
        out.append(l.name).push_back(' ');
        out.append(std::to_string(ms)).push_back(' ');
        out.append(l.tail);
        out.push_back('\n');
    }
    return out;
}

} // namespace vorsan
