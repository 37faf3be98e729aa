#include "RuleIndex.h"

#include <algorithm>

namespace vorsan {

namespace {

// Spreads the bits of a hash mixed with a second value (splitmix64 finaliser).
inline uint64_t mix(uint64_t h, uint64_t other) {
    uint64_t z = h ^ (other * 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

inline uint64_t groupKey(std::u16string_view glyph, int32_t priority) {
    return mix(patternHash(glyph), static_cast<uint32_t>(priority));
}
inline uint64_t ruleKey(uint64_t matchHash, const PriorityGroup* group) {
    return mix(matchHash, reinterpret_cast<std::uintptr_t>(group));
}

// Table size: a power of two at least four times the entry count, so that
// the mostly unsuccessful lookups stop at a free slot at once.
std::size_t tableSize(std::size_t entries) {
    std::size_t n = 16;
    while (n < entries * 4) n *= 2;
    return n;
}

bool equalsParts(std::u16string_view match, const PatternParts& p) {
    return match.size() == p.size() && match.substr(0, p.left.size()) == p.left &&
           match.substr(p.left.size(), p.unit.size()) == p.unit && match.substr(p.left.size() + p.unit.size()) == p.right;
}

} // namespace

RuleIndex::RuleIndex(const RuleCharacterTable& table) {
    std::size_t groupCount = 0, ruleCount = 0;
    for (const auto& [glyph, character] : table) {
        longestGlyph_ = std::max(longestGlyph_, glyph.size());
        for (const auto& [no, group] : character.priorities) {
            ++groupCount;
            ruleCount += group.rules.size();
        }
    }
    groups_.resize(tableSize(groupCount));
    rules_.resize(tableSize(ruleCount));
    groupMask_ = groups_.size() - 1;
    ruleMask_ = rules_.size() - 1;
    for (const auto& [glyph, character] : table) {
        for (const auto& [no, group] : character.priorities) {
            if (group.rules.empty()) continue; // a group without rules never chooses one
            const uint64_t gk = groupKey(glyph, no);
            std::size_t i = gk & groupMask_;
            while (groups_[i].group) i = (i + 1) & groupMask_;
            groups_[i] = GroupSlot{gk, &group, glyph, no, {0, 0, 0, 0}};
            for (const auto& [match, rule] : group.rules) {
                const uint64_t rk = ruleKey(patternHash(match), &group);
                groups_[i].filter[(rk >> 62) & 3] |= uint64_t(1) << ((rk >> 56) & 63);
                std::size_t j = rk & ruleMask_;
                while (rules_[j].group) j = (j + 1) & ruleMask_;
                rules_[j] = RuleSlot{rk, &group, &rule};
            }
        }
    }
}

const RuleIndex::GroupSlot* RuleIndex::group(std::u16string_view glyph, int32_t priority) const {
    const uint64_t key = groupKey(glyph, priority);
    for (std::size_t i = key & groupMask_; groups_[i].group; i = (i + 1) & groupMask_)
        if (groups_[i].key == key && groups_[i].glyph == glyph && groups_[i].priority == priority)
            return &groups_[i];
    return nullptr;
}

const Rule* RuleIndex::rule(const GroupSlot* slot, const PatternParts& p) const {
    const PriorityGroup* group = slot->group;
    const uint64_t key = ruleKey(p.hash, group);
    if (!(slot->filter[(key >> 62) & 3] & (uint64_t(1) << ((key >> 56) & 63)))) return nullptr;
    for (std::size_t i = key & ruleMask_; rules_[i].group; i = (i + 1) & ruleMask_)
        if (rules_[i].key == key && rules_[i].group == group && equalsParts(rules_[i].rule->match, p))
            return rules_[i].rule;
    return nullptr;
}

} // namespace vorsan
