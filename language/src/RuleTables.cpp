#include "vorsan/language/RuleTables.h"


namespace vorsan {

const Rule* chooseRule(const PriorityGroup& group, std::initializer_list<const PatternList*> candidates) {
    if (group.rules.empty()) return nullptr;
    return chooseRuleBy(
        [&](const std::u16string& pattern) -> const Rule* {
            auto it = group.rules.find(pattern);
            return it == group.rules.end() ? nullptr : &it->second;
        },
        candidates);
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
