#pragma once
// Rules of a language file: whole-word pronunciations and the context rules
// filed under each character by priority, and the choice between several
// rules that match one unit.
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "vorsan/core/MException.h"
#include "vorsan/core/PhonemeText.h"

namespace vorsan {

struct Rule {
    std::u16string match; // context pattern, or the whole word for an exact match
    int32_t rank = -1;    // -1 when the rule gives no rank
    std::vector<PhonemeUnit> phones;
    bool operator==(const Rule&) const = default;
};

using RuleMap = std::map<std::u16string, Rule, std::less<>>;
using ExactMatchTable = RuleMap;

struct PriorityGroup {
    int32_t no = 0;
    RuleMap rules;
    bool operator==(const PriorityGroup&) const = default;
};

struct RuleCharacter {
    std::u16string glyph;
    char type = ' ';
    std::map<int32_t, PriorityGroup> priorities;
    bool operator==(const RuleCharacter&) const = default;
};

using RuleCharacterTable = std::map<std::u16string, RuleCharacter, std::less<>>;
using PatternList = std::vector<std::u16string>;

// The rule choice over candidate patterns, with `lookup(pattern)` giving the
// group's rule stored under a pattern (or null). Among several matches the
// highest rank wins, the last of equal highest ranks in candidate order; a
// later match with the rank of the first one is a fault of the rule file.
template <class Lookup, class List = PatternList>
const Rule* chooseRuleBy(Lookup&& lookup, std::initializer_list<const List*> candidates) {
    const Rule* first = nullptr;
    const Rule* best = nullptr;
    for (const List* list : candidates) {
        for (const auto& pattern : *list) {
            const Rule* r = lookup(pattern);
            if (!r) continue;
            if (!first) {
                first = best = r;
                continue;
            }
            if (r->rank == first->rank) throw MException("Two rules matched but having same rank. CHANGE Rank");
            if (r->rank >= best->rank) best = r;
        }
    }
    return best;
}

// The rule of the group chosen for the candidate patterns, taken from the
// lists in order; null when none is listed. Raises "Two rules matched but
// having same rank. CHANGE Rank" when a later match has the rank of the
// first one.
const Rule* chooseRule(const PriorityGroup& group, std::initializer_list<const PatternList*> candidates);

// The rule for a glyph at a priority: its RuleCharacter, that priority's
// group, then chooseRule. Null when any of them is missing.
const Rule* getRule(const RuleCharacterTable& table, std::u16string_view glyph, int32_t priority,
                    std::initializer_list<const PatternList*> candidates);

} // namespace vorsan
