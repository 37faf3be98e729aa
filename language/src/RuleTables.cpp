#include "vorsan/language/RuleTables.h"

#include "vorsan/core/MException.h"

namespace vorsan {

const Rule* chooseRule(const PriorityGroup& group, std::initializer_list<const PatternList*> candidates) {
    if (group.rules.empty()) return nullptr;
    const Rule* first = nullptr;
    const Rule* best = nullptr;
    for (const PatternList* list : candidates) {
        for (const auto& pattern : *list) {
            auto it = group.rules.find(pattern);
            if (it == group.rules.end()) continue;
            const Rule* r = &it->second;
            if (!first) {
                first = best = r;
                continue;
            }
            if (r->rank == first->rank) throw MException("Two rules matched but having same rank. CHANGE Rank");
            // Ties at the highest rank go to the later candidate.
            if (r->rank >= best->rank) best = r;
        }
    }
    return best;
}

const Rule* getRule(const RuleCharacterTable& table, std::u16string_view glyph, int32_t priority,
                    std::initializer_list<const PatternList*> candidates) {
    auto ch = table.find(glyph);
    if (ch == table.end()) return nullptr;
    auto group = ch->second.priorities.find(priority);
    if (group == ch->second.priorities.end()) return nullptr;
    return chooseRule(group->second, candidates);
}

} // namespace vorsan
