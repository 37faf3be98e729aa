#include "vorsan/language/CharacterTable.h"

#include <algorithm>

#include "vorsan/core/MException.h"

namespace vorsan {

using namespace unit_type;

char typeLetterOfGroup(std::u16string_view g) {
    if (g == u"Consonent") return kConsonant;
    if (g == u"Vowel") return kVowel;
    if (g == u"Matra") return kDependent;
    if (g == u"Halant") return kHalant;
    if (g == u"Sign") return kSign;
    if (g == u"Digit") return kDigit;
    if (g == u"BaseFormCorrection") return kBaseFormCorrection;
    return kUnknown;
}

std::u16string_view contextString(char type) {
    switch (type) {
    case kConsonant: return u"C";
    case kConsonantUnit: return u"K";
    case kVowel: return u"V";
    case kVowelUnit: return u"W";
    default: return {};
    }
}

namespace {
bool has(const CharacterMap& m, std::u16string_view s) { return m.find(s) != m.end(); }
const CharacterEntry* lookup(const CharacterMap& m, std::u16string_view s) {
    auto it = m.find(s);
    return it == m.end() ? nullptr : &it->second;
}
std::u16string_view trimView(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
    return s;
}
bool isDependentLetter(char t) { return t == kDependent || t == kHalant; }
} // namespace

CharacterTable& CharacterTable::operator=(const CharacterTable& o) {
    if (this == &o) return *this;
    vowels = o.vowels;
    consonants = o.consonants;
    dependents = o.dependents;
    signs = o.signs;
    digits = o.digits;
    baseFormCorrection = o.baseFormCorrection;
    halant = o.halant;
    if (o.indexed_) finish();
    else clearIndexes();
    return *this;
}

CharacterTable& CharacterTable::operator=(CharacterTable&& o) {
    if (this == &o) return *this;
    vowels = std::move(o.vowels);
    consonants = std::move(o.consonants);
    dependents = std::move(o.dependents);
    signs = std::move(o.signs);
    digits = std::move(o.digits);
    baseFormCorrection = std::move(o.baseFormCorrection);
    halant = std::move(o.halant);
    const bool indexed = o.indexed_;
    o.clearIndexes();
    clearIndexes();
    if (indexed) finish();
    return *this;
}

bool CharacterTable::operator==(const CharacterTable& o) const {
    return vowels == o.vowels && consonants == o.consonants && dependents == o.dependents && signs == o.signs &&
           digits == o.digits && baseFormCorrection == o.baseFormCorrection && halant == o.halant;
}

void CharacterTable::clearIndexes() {
    indexed_ = false;
    single_.clear();
    digitFlags_.clear();
    singleEntries_.clear();
    singleBase_.clear();
    singleFirst_ = 0;
    longestBase_ = 0;
}

void CharacterTable::finish() {
    single_.clear();
    std::vector<char> letters(0x10000, kUnknown);
    auto mark = [&](std::u16string_view key) {
        if (key.size() == 1) letters[key[0]] = classifyEntrySlow(key);
    };
    for (const CharacterMap* m : {&vowels, &consonants, &dependents, &signs, &digits})
        for (const auto& [key, entry] : *m) mark(key);
    if (halant) mark(halant->glyph);
    single_ = std::move(letters);
    digitFlags_.assign(0x10000, false);
    for (const auto& [key, entry] : digits)
        if (key.size() == 1) digitFlags_[key[0]] = true;
    longestBase_ = 0;
    for (const CharacterMap* m : {&vowels, &consonants})
        for (const auto& [key, entry] : *m) longestBase_ = std::max(longestBase_, key.size());

    indexed_ = false;
    std::size_t lo = 0x10000, hi = 0;
    for (const CharacterMap* m : {&vowels, &consonants, &dependents, &digits, &signs})
        for (const auto& [key, entry] : *m)
            if (key.size() == 1) lo = std::min<std::size_t>(lo, key[0]), hi = std::max<std::size_t>(hi, key[0]);
    if (halant && halant->glyph.size() == 1)
        lo = std::min<std::size_t>(lo, halant->glyph[0]), hi = std::max<std::size_t>(hi, halant->glyph[0]);
    singleFirst_ = lo;
    singleEntries_.assign(lo <= hi ? hi - lo + 1 : 0, nullptr);
    singleBase_.assign(singleEntries_.size(), false);
    // One-unit entries in the reverse of findEntry's order of preference, so
    // that the preferred entry of a code unit is stored last.
    auto store = [&](const std::u16string& key, const CharacterEntry& entry) {
        if (key.size() == 1) singleEntries_[key[0] - lo] = &entry;
    };
    for (const CharacterMap* m : {&signs, &digits})
        for (const auto& [key, entry] : *m) store(key, entry);
    if (halant) store(halant->glyph, *halant);
    for (const CharacterMap* m : {&dependents, &consonants, &vowels})
        for (const auto& [key, entry] : *m) store(key, entry);
    for (const CharacterMap* m : {&consonants, &vowels})
        for (const auto& [key, entry] : *m)
            if (key.size() == 1) singleBase_[key[0] - lo] = true;
    indexed_ = true;
}

char CharacterTable::classifyEntrySlow(std::u16string_view s) const {
    if (has(consonants, s)) return kConsonant;
    if (has(dependents, s)) return kDependent;
    if (has(vowels, s)) return kVowel;
    if (halant && s == halant->glyph) return kHalant;
    if (has(digits, s)) return kDigit;
    if (has(signs, s)) return kSign;
    return kUnknown;
}

char CharacterTable::classifyEntry(std::u16string_view s) const {
    if (s.size() == 1) return classifySingle(s[0]);
    return classifyEntrySlow(s);
}

char CharacterTable::classify(std::u16string_view s) const {
    s = trimView(s);
    if (s.empty()) return kUnknown;
    if (s.size() == 1) return classifySingle(s[0]);
    char whole = classifyEntrySlow(s);
    if (whole != kUnknown) return whole;
    char first = classifySingle(s[0]);
    if (first != kConsonant && first != kVowel) return kUnknown;
    for (std::size_t i = 1; i < s.size(); ++i)
        if (!isDependentLetter(classifySingle(s[i]))) return kUnknown;
    return first == kConsonant ? kConsonantUnit : kVowelUnit;
}

std::u16string_view CharacterTable::nextUnit(std::u16string_view word, std::size_t pos) const {
    if (pos >= word.size()) throw MException("Index out of range");
    std::size_t end = pos + 1;
    char first = classify(word.substr(pos, 1));
    if (first == kVowel || first == kConsonant)
        while (end < word.size() && isDependentLetter(classify(word.substr(end, 1)))) ++end;
    return word.substr(pos, end - pos);
}

std::optional<UnitSplit> CharacterTable::split(std::u16string_view unit) const {
    if (unit.size() < 2) return std::nullopt;
    // A prefix longer than the longest listed base cannot be one.
    for (std::size_t n = std::min(unit.size(), longestBase_); n >= 1; --n) {
        std::u16string_view head = unit.substr(0, n);
        if (n == 1 && indexed_ ? isSingleBase(head[0]) : (has(vowels, head) || has(consonants, head)))
            return UnitSplit{head, unit.substr(n)};
    }
    return std::nullopt;
}

const CharacterEntry* CharacterTable::findEntry(std::u16string_view s) const {
    if (s.size() == 1 && indexed_) return findSingle(s[0]);
    if (const auto* e = lookup(vowels, s)) return e;
    if (const auto* e = lookup(consonants, s)) return e;
    if (const auto* e = lookup(dependents, s)) return e;
    if (halant && s == halant->glyph) return &*halant;
    if (const auto* e = lookup(digits, s)) return e;
    return lookup(signs, s);
}

bool CharacterTable::isDigit(std::u16string_view s) const { return has(digits, s); }

void CharacterTable::appendDefaultPhones(std::u16string_view s, std::vector<PhonemeUnit>& out) const {
    if (s.empty()) return;
    if (const auto* e = findEntry(s)) {
        out.insert(out.end(), e->phones.begin(), e->phones.end());
        return;
    }
    auto parts = split(s);
    if (!parts) {
        for (std::size_t i = 0; i < s.size(); ++i)
            if (const auto* e = findEntry(s.substr(i, 1))) out.insert(out.end(), e->phones.begin(), e->phones.end());
        return;
    }
    const auto* base = findEntry(parts->base);
    if (!base) return;
    const std::size_t mark = out.size();
    out.insert(out.end(), base->phones.begin(), base->phones.end());
    if (const auto* dep = findEntry(parts->rest)) {
        out.insert(out.end(), dep->phones.begin(), dep->phones.end());
        return;
    }
    for (std::size_t i = 0; i < parts->rest.size(); ++i) {
        const auto* e = findEntry(parts->rest.substr(i, 1));
        if (!e) { // one unknown dependent sign silences the whole unit
            out.resize(mark);
            return;
        }
        out.insert(out.end(), e->phones.begin(), e->phones.end());
    }
}

std::vector<PhonemeUnit> CharacterTable::defaultPhones(std::u16string_view s) const {
    std::vector<PhonemeUnit> out;
    appendDefaultPhones(s, out);
    return out;
}

} // namespace vorsan
