#pragma once
// Hash indexes over a language's rule characters, so that the many pattern
// lookups of one word cost one probe of a flat table each instead of
// ordered-map searches, and candidate patterns need not be concatenated to
// be looked up. Entries point into the rule tables, which never change after
// loading.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "PatternParts.h"
#include "vorsan/language/RuleTables.h"

namespace vorsan {

class RuleIndex {
public:
    explicit RuleIndex(const RuleCharacterTable& table);

    struct GroupSlot;
    // The group of rules for a glyph at a priority; null when missing or empty.
    const GroupSlot* group(std::u16string_view glyph, int32_t priority) const;
    // The group's rule whose match is left + unit + right, or null.
    const Rule* rule(const GroupSlot* group, const PatternParts& pattern) const;
    // No prefix longer than this has rules.
    std::size_t longestGlyph() const { return longestGlyph_; }

    struct GroupSlot {
        uint64_t key = 0;
        const PriorityGroup* group = nullptr; // null: free slot
        std::u16string_view glyph;
        int32_t priority = 0;
        // One bit per rule of the group, chosen by its match's hash: most
        // patterns that name no rule are turned away here without a probe.
        uint64_t filter[4] = {0, 0, 0, 0};
    };

private:
    struct RuleSlot {
        uint64_t key = 0;
        const PriorityGroup* group = nullptr; // null: free slot
        const Rule* rule = nullptr;
    };

    std::vector<GroupSlot> groups_;
    std::vector<RuleSlot> rules_;
    std::size_t groupMask_ = 0, ruleMask_ = 0;
    std::size_t longestGlyph_ = 0;
};

} // namespace vorsan
