#pragma once
// The tables of an accent file: file information, the phoneme-to-phonemes
// substitution table, the context rules (sound -> priority -> rule ->
// phonemes) and the phoneme inventories of the source and target voice
// databases. Names are byte strings compared byte by byte.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vorsan {

// Descriptive header of an accent file; kept, not interpreted.
struct AccentFileInfo {
    std::string Title, Author, LastModifiedBy, Version, Description, Comment, CreatedOn, LastModified,
        fromMbroladb, toMbroladb;
};

// One target phoneme of a substitution, with its share of the source
// phoneme's duration in percent.
struct ToPhonem {
    std::string name;
    int32_t durationPercent = 0;
};

// A source phoneme and the target phonemes that replace it, in order.
struct FromPhonem {
    std::string name;
    std::vector<ToPhonem> targets;
};

// One phoneme written by a context rule, with its duration percentage.
struct RulePhonem {
    std::string name;
    int32_t durationPercent = 0;
};

// A named context rule ("a+b" or "a+V"/"a+C"); no phonemes deletes the phone.
struct ContextRule {
    std::string name;
    std::vector<RulePhonem> phonemes;
};

struct RulePriority {
    int32_t number = 0;
    std::map<std::string, ContextRule, std::less<>> rules;
};

struct RuleSound {
    std::string name;
    std::map<int32_t, RulePriority> priorities;
};

// A phoneme of a voice database's inventory. `type` is the first character of
// its type text ('\0' when empty); 'V' or 'v' marks a vowel.
struct InventorySound {
    std::string name;
    char type = '\0';
    std::string usage;
    bool isVowel() const { return type == 'V' || type == 'v'; }
};

using PhonemeMapping = std::map<std::string, FromPhonem, std::less<>>;
using ContextRules = std::map<std::string, RuleSound, std::less<>>;
using PhonemeInventory = std::map<std::string, InventorySound, std::less<>>;

} // namespace vorsan
