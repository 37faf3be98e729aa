// Converting phone records between voice databases: a substitution pass
// that replaces each source phoneme by its target phonemes, then a context
// pass that rewrites each phoneme according to the one that follows it.
#include <algorithm>
#include <limits>

#include "vorsan/accent/AccentDatabase.h"
#include "vorsan/core/MException.h"

namespace vorsan {

namespace {

// percent x duration / 100, truncating toward zero, kept inside 32 bits.
int32_t scaleDuration(int32_t percent, int32_t duration) {
    int64_t scaled = static_cast<int64_t>(percent) * duration / 100;
    scaled = std::clamp<int64_t>(scaled, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(scaled);
}

// A record named `name` lasting `percent` of the source's duration, with
// the source's pitch targets.
PhonemeRecord madeFrom(const PhonemeRecord& source, const std::string& name, int32_t percent) {
    PhonemeRecord r;
    r.name = name;
    r.duration = scaleDuration(percent, source.duration);
    r.positions = source.positions;
    r.pitches = source.pitches;
    return r;
}

} // namespace

std::string AccentDatabase::mapPhonemes(std::string_view phonemeText) const {
    PhonemeRecordList phones;
    phones.read(phonemeText);
    return mapPhonemes(phones).write();
}

PhonemeRecordList AccentDatabase::mapPhonemes(const PhonemeRecordList& phones, std::vector<std::size_t>* origin) const {
    if (!origin) return applyContextRules(substitute(phones, nullptr), nullptr);
    std::vector<std::size_t> first, second;
    PhonemeRecordList out = applyContextRules(substitute(phones, &first), &second);
    origin->clear();
    for (std::size_t k : second) origin->push_back(k < first.size() ? first[k] : first.empty() ? 0 : first.back());
    return out;
}

PhonemeRecordList AccentDatabase::substitute(const PhonemeRecordList& phones, std::vector<std::size_t>* origin) const {
    PhonemeRecordList out;
    for (std::size_t from = 0; from < phones.size(); ++from) {
        const PhonemeRecord& phone = phones[from];
        if (phone.name.empty()) throw MException("Phonem/Duration missing");
        if (fromInventory_.find(phone.name) == fromInventory_.end()) throw MException("Sound does not exist");
        auto mapped = mapping_.find(phone.name);
        if (mapped != mapping_.end() && !mapped->second.targets.empty()) {
            for (const ToPhonem& target : mapped->second.targets) {
                out.push_back(madeFrom(phone, target.name, target.durationPercent));
                if (origin) origin->push_back(from);
            }
        } else {
            out.push_back(madeFrom(phone, phone.name, 100));
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

PhonemeRecordList AccentDatabase::applyContextRules(const PhonemeRecordList& phones,
                                                    std::vector<std::size_t>* origin) const {
    PhonemeRecordList out;
    std::string scratch;
    for (std::size_t index = 0; index < phones.size(); ++index) {
        const PhonemeRecord& phone = phones[index];
        const ContextRule* rule =
            index + 1 < phones.size() ? findContextRule(phone.name, phones[index + 1].name, scratch) : nullptr;
        if (!rule) {
            out.push_back(madeFrom(phone, phone.name, 100));
            if (origin) origin->push_back(index);
            continue;
        }
        for (const RulePhonem& p : rule->phonemes) {
            out.push_back(madeFrom(phone, p.name, p.durationPercent));
            if (origin) origin->push_back(index);
        }
    }
    return out;
}

} // namespace vorsan
