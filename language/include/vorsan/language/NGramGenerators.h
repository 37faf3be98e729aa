#pragma once
// Candidate context patterns for one unit of a word. A pattern is left
// context + unit text + right context; rule files key their rules by such
// patterns. Markers: "S" word start, "E" word end, "A" any neighbour, "M" any
// dependent part, and the neighbour type strings "C", "K", "V", "W".
#include <cstdint>
#include <string>
#include <string_view>

#include "vorsan/language/CharacterTable.h"
#include "vorsan/language/RuleTables.h"

namespace vorsan {

// Position of a unit within a word of two or more units.
inline constexpr int32_t kStart = 1;
inline constexpr int32_t kEnd = 2;
inline constexpr int32_t kMiddle = 3;

struct PossibleRules {
    PatternList whole;     // patterns around the unit itself
    PatternList base;      // around its base form (base + "M"), K and W units only
    PatternList dependent; // around its dependent form ("C"/"V" + rest), K and W units only
};

// Polynomial hash of a pattern text, composable: the hash of a + b is
// patternHash(a) * patternPower(b.size()) + patternHash(b).
inline constexpr uint64_t kPatternHashBase = 0x100000001B3ull;
inline uint64_t patternHash(std::u16string_view s) {
    uint64_t h = 0;
    for (char16_t c : s) h = h * kPatternHashBase + c;
    return h;
}
uint64_t patternPower(std::size_t length);

// A unit with what the generators need to know about it.
struct UnitInfo {
    std::u16string_view text;
    char type = unit_type::kUnknown;
    std::u16string_view context;   // contextString(type)
    bool splits = false;           // K or W with a base/dependent split
    std::u16string baseForm;       // base + "M"
    std::u16string dependentForm;  // "C" or "V" + rest
    // Pattern hashes (patternHash) of text, context, baseForm, dependentForm.
    uint64_t textHash = 0, contextHash = 0, baseFormHash = 0, dependentFormHash = 0;

    static UnitInfo describe(const CharacterTable& table, std::u16string_view unit);
};

class NGramGeneratorForSingleCharacter {
public:
    explicit NGramGeneratorForSingleCharacter(const CharacterTable& table) : table_(table) {}
    PossibleRules getPossibleRules(std::u16string_view unit) const;
    PossibleRules getPossibleRules(const UnitInfo& unit) const;
    // Same, into `out`, reusing its storage.
    void getPossibleRules(const UnitInfo& unit, PossibleRules& out) const;

private:
    const CharacterTable& table_;
};

class NGramGenerator1 {
public:
    explicit NGramGenerator1(const CharacterTable& table) : table_(table) {}
    PossibleRules getPossibleRules(std::u16string_view unit, std::u16string_view previous,
                                   std::u16string_view next, int32_t flag) const;
    PossibleRules getPossibleRules(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next,
                                   int32_t flag) const;
    void getPossibleRules(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next, int32_t flag,
                          PossibleRules& out) const;

private:
    const CharacterTable& table_;
};

class NGramGenerator2 {
public:
    explicit NGramGenerator2(const CharacterTable& table) : table_(table) {}
    PossibleRules getPossibleRules(std::u16string_view unit, std::u16string_view previous,
                                   std::u16string_view next, int32_t flag) const;
    PossibleRules getPossibleRules(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next,
                                   int32_t flag) const;
    void getPossibleRules(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next, int32_t flag,
                          PossibleRules& out) const;

private:
    const CharacterTable& table_;
};

class NGramGenerator3 {
public:
    explicit NGramGenerator3(const CharacterTable& table) : table_(table) {}
    PossibleRules getPossibleRules(std::u16string_view unit, std::u16string_view previous,
                                   std::u16string_view next) const;
    PossibleRules getPossibleRules(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next) const;
    void getPossibleRules(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next,
                          PossibleRules& out) const;

private:
    const CharacterTable& table_;
};

} // namespace vorsan
