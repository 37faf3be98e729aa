#pragma once
// The characters of a script by class, and what the rule matcher needs from
// them: classification of a character or short string, cutting a word into
// units (a vowel or consonant with the dependent signs written after it, or
// any other single character), splitting a unit into base and dependent part,
// and the default pronunciation used when no rule applies.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vorsan/core/PhonemeText.h"

namespace vorsan {

// Type letters of characters and units.
namespace unit_type {
inline constexpr char kVowel = 'V';
inline constexpr char kConsonant = 'C';
inline constexpr char kDependent = 'M';
inline constexpr char kHalant = 'H';
inline constexpr char kConsonantUnit = 'K';
inline constexpr char kVowelUnit = 'W';
inline constexpr char kSign = 'S';
inline constexpr char kDigit = 'D';
inline constexpr char kBaseFormCorrection = '&';
inline constexpr char kUnknown = ' ';
} // namespace unit_type

// The letter of a character group name of the rule file ("Consonent" C,
// "Vowel" V, "Matra" M, "Halant" H, "Sign" S, "Digit" D,
// "BaseFormCorrection" &, anything else a space).
char typeLetterOfGroup(std::u16string_view groupName);

// Context string of a type letter in rule patterns: "C", "K", "V" or "W" for
// those letters, empty for every other.
std::u16string_view contextString(char type);

struct CharacterEntry {
    std::u16string glyph;
    char type = unit_type::kUnknown;
    std::vector<PhonemeUnit> phones;
    bool isCombined = false;
    bool operator==(const CharacterEntry&) const = default;
};

using CharacterMap = std::map<std::u16string, CharacterEntry, std::less<>>;

struct UnitSplit {
    std::u16string_view base;
    std::u16string_view rest;
};

class CharacterTable {
public:
    CharacterMap vowels;
    CharacterMap consonants;
    CharacterMap dependents; // matras, and the Character children of the Halant and BaseFormCorrection groups
    CharacterMap signs;
    CharacterMap digits;
    std::optional<CharacterEntry> baseFormCorrection;
    std::optional<CharacterEntry> halant;

    CharacterTable() = default;
    // Copies and moves rebuild the lookup indexes, which point into the table.
    CharacterTable(const CharacterTable& o) { *this = o; }
    CharacterTable(CharacterTable&& o) { *this = std::move(o); }
    CharacterTable& operator=(const CharacterTable& o);
    CharacterTable& operator=(CharacterTable&& o);
    // Equal contents (the lookup indexes are derived from them).
    bool operator==(const CharacterTable& o) const;

    // Builds the lookup indexes; must be called once the maps are filled.
    void finish();

    // Type letter of s looked up as one table entry.
    char classifyEntry(std::u16string_view s) const;
    // Type letter of a string of any length (K and W for composed units).
    char classify(std::u16string_view s) const;
    // The unit starting at pos (a view into word). "Index out of range" when
    // pos is not inside the word.
    std::u16string_view nextUnit(std::u16string_view word, std::size_t pos) const;
    // Base (the longest listed vowel or consonant prefix) and the rest; none
    // for units shorter than two code units or without a listed base.
    std::optional<UnitSplit> split(std::u16string_view unit) const;
    const CharacterEntry* findEntry(std::u16string_view s) const;
    bool isDigit(std::u16string_view s) const;
    bool isDigit(char16_t c) const { return digitFlags_.empty() ? isDigit(std::u16string_view(&c, 1)) : digitFlags_[c]; }
    // Appends the default pronunciation of s to out.
    void appendDefaultPhones(std::u16string_view s, std::vector<PhonemeUnit>& out) const;
    std::vector<PhonemeUnit> defaultPhones(std::u16string_view s) const;

private:
    char classifySingle(char16_t c) const { return single_.empty() ? classifyEntrySlow(std::u16string_view(&c, 1)) : single_[c]; }
    char classifyEntrySlow(std::u16string_view s) const;
    void clearIndexes();

    const CharacterEntry* findSingle(char16_t c) const {
        const std::size_t i = static_cast<std::size_t>(c) - singleFirst_;
        return i < singleEntries_.size() ? singleEntries_[i] : nullptr;
    }
    bool isSingleBase(char16_t c) const {
        const std::size_t i = static_cast<std::size_t>(c) - singleFirst_;
        return i < singleBase_.size() && singleBase_[i];
    }

    // findEntry and "is a vowel or consonant" for one-unit glyphs, over the
    // range of code units that have entries (a script block, typically).
    bool indexed_ = false;
    std::size_t singleFirst_ = 0;
    std::vector<const CharacterEntry*> singleEntries_;
    std::vector<bool> singleBase_;
    std::vector<bool> digitFlags_; // code units that are one-unit digit entries
    std::vector<char> single_;     // type letter of every code unit as a one-unit entry
    std::size_t longestBase_ = 0;  // longest vowel or consonant glyph, in code units
};

} // namespace vorsan
