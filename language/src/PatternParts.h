#pragma once
// Candidate patterns as three views (left context, unit form, right
// context) instead of concatenated strings: the word converter's hot path
// builds these without allocating and concatenates only the few that may
// name a rule.
#include <cstdint>
#include <string_view>
#include <vector>

#include "vorsan/language/NGramGenerators.h"

namespace vorsan {

// A piece of a pattern with its patternHash.
struct HashedView {
    std::u16string_view text;
    uint64_t hash = 0;
};

struct PatternParts {
    std::u16string_view left, unit, right;
    uint64_t hash = 0; // patternHash of the whole pattern
    std::size_t size() const { return left.size() + unit.size() + right.size(); }
};

using PartsList = std::vector<PatternParts>;

struct PossiblePatterns {
    PartsList whole, base, dependent;
};

// The patterns of the four generators, without the argument checks (the
// word walk never passes invalid arguments). The views point into the
// UnitInfos and static markers.
namespace patterns {
void single(const UnitInfo& unit, PossiblePatterns& out);
void generator1(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next, int32_t flag,
                PossiblePatterns& out);
void generator2(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next, int32_t flag,
                PossiblePatterns& out);
void generator3(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next, PossiblePatterns& out);
} // namespace patterns

} // namespace vorsan
