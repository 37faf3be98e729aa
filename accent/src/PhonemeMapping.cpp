// Converting phoneme text between voice databases: a substitution pass that
// replaces each source phoneme by its target phonemes, then a context pass
// that rewrites each phoneme according to the one that follows it. Both
// passes work on the text line by line without building phoneme records.
#include <algorithm>
#include <charconv>
#include <limits>

#include "vorsan/accent/AccentDatabase.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/PhoneLines.h"
#include "vorsan/core/PhonemeText.h"
#include "vorsan/core/Text.h"

namespace vorsan {

namespace {

// percent x duration / 100, truncating toward zero, kept inside 32 bits.
int32_t scaleDuration(int32_t percent, int32_t duration) {
    int64_t scaled = static_cast<int64_t>(percent) * duration / 100;
    scaled = std::clamp<int64_t>(scaled, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(scaled);
}

} // namespace

std::string AccentDatabase::mapPhonemes(std::string_view phonemeText) const {
    return applyContextRules(substitute(phonemeText, nullptr), nullptr);
}

std::string AccentDatabase::mapPhonemes(std::string_view phonemeText, std::vector<std::size_t>& lineOrigin) const {
    std::vector<std::size_t> first, second;
    std::string out = applyContextRules(substitute(phonemeText, &first), &second);
    lineOrigin.clear();
    for (std::size_t k : second) lineOrigin.push_back(k < first.size() ? first[k] : first.empty() ? 0 : first.back());
    return out;
}

std::string AccentDatabase::substitute(std::string_view text, std::vector<std::size_t>* origin) const {
    std::string out;
    out.reserve(text.size() + text.size() / 4 + 16);
    std::string tail;
    LineCursor lines(text);
    std::string_view line;
    std::size_t index = 0; // of the next non-blank source line
    while (lines.next(line)) {
        if (isBlankLine(line)) continue;
        const std::size_t from = index++;
        PhoneLine phone = cutPhoneLine(line, tail);
        if (phone.tokens < 2) throw MException("Phonem/Duration missing");
        if (fromInventory_.find(phone.name) == fromInventory_.end()) throw MException("Sound does not exist");
        auto mapped = mapping_.find(phone.name);
        if (mapped != mapping_.end() && !mapped->second.targets.empty()) {
            for (const ToPhonem& target : mapped->second.targets) {
                appendPhoneLine(out, target.name, scaleDuration(target.durationPercent, phone.duration), tail);
                if (origin) origin->push_back(from);
            }
        } else {
            appendPhoneLine(out, phone.name, phone.duration, tail);
            if (origin) origin->push_back(from);
        }
    }
    return out;
}

const ContextRule* AccentDatabase::findContextRule(std::string_view name, std::string_view successor,
                                                   std::string& scratch) const {
    auto sound = rules_.find(name);
    if (sound == rules_.end()) return nullptr;
    const auto& priorities = sound->second.priorities;
    scratch.assign(name);
    scratch.push_back('+');
    // Priority 2: a rule for exactly this successor, used even when empty.
    if (auto p2 = priorities.find(2); p2 != priorities.end()) {
        scratch.append(successor);
        auto rule = p2->second.rules.find(scratch);
        if (rule != p2->second.rules.end()) return &rule->second;
        scratch.resize(name.size() + 1);
    }
    // Priority 1: a rule for the successor's class; a successor the target
    // inventory does not list as a vowel counts as a consonant.
    auto p1 = priorities.find(1);
    if (p1 == priorities.end()) return nullptr;
    auto listed = toInventory_.find(successor);
    scratch.push_back(listed != toInventory_.end() && listed->second.isVowel() ? 'V' : 'C');
    auto rule = p1->second.rules.find(scratch);
    return rule != p1->second.rules.end() ? &rule->second : nullptr;
}

std::string AccentDatabase::applyContextRules(std::string_view text, std::vector<std::size_t>* origin) const {
    std::string out;
    out.reserve(text.size() + text.size() / 4 + 16);
    std::string tail, scratch;
    LineCursor lines(text);

    // Pieces without any token (possible only when a target name holds line
    // feeds) carry no phoneme and are dropped.
    auto nextPhoneLine = [&lines](std::string_view& line) {
        while (lines.next(line)) {
            std::string_view probe = line, token;
            if (nextToken(probe, token)) return true;
        }
        return false;
    };

    std::string_view current, successorLine;
    bool haveCurrent = nextPhoneLine(current);
    for (std::size_t index = 0; haveCurrent; ++index) {
        bool haveSuccessor = nextPhoneLine(successorLine);
        PhoneLine phone = cutPhoneLine(current, tail);
        const ContextRule* rule = nullptr;
        if (haveSuccessor) {
            std::string_view probe = successorLine, successor;
            nextToken(probe, successor);
            rule = findContextRule(phone.name, successor, scratch);
        }
        if (rule) {
            for (const RulePhonem& p : rule->phonemes) {
                appendPhoneLine(out, p.name, scaleDuration(p.durationPercent, phone.duration), tail);
                if (origin) origin->push_back(index);
            }
        } else {
            appendPhoneLine(out, phone.name, phone.duration, tail);
            if (origin) origin->push_back(index);
        }
        current = successorLine;
        haveCurrent = haveSuccessor;
    }
    return out;
}

} // namespace vorsan
