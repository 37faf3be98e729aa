#include "vorsan/normalise/NumberWords.h"

#include <array>

#include "EnglishTables.h"

namespace vorsan::numberwords {
namespace {

using normtables::kTens;
using normtables::kUnits;

struct Scale {
    uint64_t value;
    std::string_view word, ordinal;
};
constexpr std::array<Scale, 4> kScales = {{{1000000000000ULL, "trillion", "trillionth"},
                                           {1000000000ULL, "billion", "billionth"},
                                           {1000000ULL, "million", "millionth"},
                                           {1000ULL, "thousand", "thousandth"}}};

void belowHundred(uint64_t v, Words& out) {
    if (v < 20) {
        out.push_back(kUnits[v]);
        return;
    }
    out.push_back(kTens[v / 10]);
    if (v % 10 != 0) out.push_back(kUnits[v % 10]);
}


void addCardinal(uint64_t value, Words& out, uint64_t largest) {
    bool said = false;
    for (const Scale& s : kScales) {
        if (value < s.value || s.value > largest) continue;
        addCardinal(value / s.value, out, largest);
        out.push_back(s.word);
        value %= s.value;
        said = true;
        if (value == 0) return;
    }
    if (value >= 100) {
        out.push_back(kUnits[value / 100]);
        out.push_back("hundred");
        value %= 100;
        said = true;
        if (value == 0) return;
    }
    if (said) out.push_back("and");
    belowHundred(value, out);
}

void addIndian(uint64_t value, Words& out) {
    if (value >= 10000000) {
        addIndian(value / 10000000, out);
        out.push_back("crore");
        value %= 10000000;
        if (value == 0) return;
    }
    if (value >= 100000) {
        belowHundred(value / 100000, out);
        out.push_back("lakh");
        value %= 100000;
        if (value == 0) return;
    }
    addCardinal(value, out, kTrillion);
}

} // namespace

std::string_view unitWord(uint64_t value) { return kUnits[value]; }

Words cardinal(uint64_t value, uint64_t largest) {
    Words out;
    addCardinal(value, out, largest);
    return out;
}

Words indian(uint64_t value) {
    Words out;
    addIndian(value, out);
    return out;
}

Words ordinal(uint64_t value) {
    Words out = cardinal(value);
    std::string_view& last = out.back();
    for (std::size_t i = 0; i < kUnits.size(); ++i)
        if (last == kUnits[i]) last = normtables::kUnitOrdinals[i];
    for (std::size_t i = 2; i < kTens.size(); ++i)
        if (last == kTens[i]) last = normtables::kTensOrdinals[i];
    if (last == "hundred") last = "hundredth";
    for (const Scale& s : kScales)
        if (last == s.word) last = s.ordinal;
    return out;
}

Words year(uint64_t value) {
    if (value < 1000 || value > 9999 || (value >= 2000 && value < 2010) || value % 1000 == 0) return cardinal(value);
    Words out;
    belowHundred(value / 100, out);
    const uint64_t low = value % 100;
    if (low == 0) {
        out.push_back("hundred");
        return out;
    }
    if (low < 10) out.push_back("oh");
    belowHundred(low, out);
    return out;
}

Words plural(Words words) {
    words.back() = pluralOf(words.back());
    return words;
}

std::string_view pluralOf(std::string_view word) {
    static constexpr std::array<std::string_view, 10> kPlurals = {
        "tens", "twenties", "thirties", "forties", "fifties", "sixties", "seventies", "eighties", "nineties", ""};
    for (std::size_t i = 2; i < kTens.size(); ++i)
        if (word == kTens[i]) return kPlurals[i - 1];
    if (word == "ten") return "tens";
    if (word == "hundred") return "hundreds";
    if (word == "thousand") return "thousands";
    return word;
}

} // namespace vorsan::numberwords
