// Conversion of one word into phones: numbers become number words, then each
// piece is looked up whole among the exact matches or walked unit by unit,
// every unit pronounced by the best context rule or by its default phones.
#include <optional>

#include "vorsan/core/MException.h"
#include "vorsan/language/LanguageRuleBase.h"

namespace vorsan {

namespace {

const RuleCharacterTable kNoRules;
const ExactMatchTable kNoExactMatches;
const DigitMap kNoDigitMap{};
const DigitWords kNoDigitWords;

bool isAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isPieceBreak(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f'; }

std::u16string_view trimView(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
    return s;
}

void appendPhones(std::vector<PhonemeUnit>& out, const std::vector<PhonemeUnit>& phones) {
    out.insert(out.end(), phones.begin(), phones.end());
}

// The rule group of a glyph at one priority, or null.
const PriorityGroup* groupOf(const RuleCharacterTable& rules, std::u16string_view glyph, int32_t priority) {
    auto ch = rules.find(glyph);
    if (ch == rules.end()) return nullptr;
    auto g = ch->second.priorities.find(priority);
    return g == ch->second.priorities.end() ? nullptr : &g->second;
}

// Candidate lists of one generator, made only when a rule group asks for them.
template <class Make>
class LazyRules {
public:
    explicit LazyRules(Make make) : make_(std::move(make)) {}
    const PossibleRules& get() {
        if (!rules_) rules_ = make_();
        return *rules_;
    }

private:
    Make make_;
    std::optional<PossibleRules> rules_;
};

} // namespace

std::vector<PhonemeUnit> LanguageRuleBase::exactPhones(std::u16string_view piece) const {
    const ExactMatchTable& exact = parts_.exactMatches ? *parts_.exactMatches : kNoExactMatches;
    auto it = exact.find(piece);
    return it == exact.end() ? std::vector<PhonemeUnit>{} : it->second.phones;
}

std::vector<PhonemeUnit> LanguageRuleBase::rulePhones(std::u16string_view piece) const {
    std::vector<PhonemeUnit> out;
    appendRulePhones(piece, out);
    return out;
}

void LanguageRuleBase::appendRulePhones(std::u16string_view piece, std::vector<PhonemeUnit>& out) const {
    piece = trimView(piece);
    if (piece.empty()) return;
    const CharacterTable& t = table();
    const RuleCharacterTable& rules = parts_.ruleCharacters ? *parts_.ruleCharacters : kNoRules;

    // First rule found for the longest prefix of `unit` that has a group at
    // `priority`; n receives the prefix length.
    auto unitRule = [&](std::u16string_view unit, int32_t priority, auto& candidates, std::size_t& n) -> const Rule* {
        for (n = std::min(unit.size(), longestRuleGlyph_); n >= 1; --n) {
            const PriorityGroup* g = groupOf(rules, unit.substr(0, n), priority);
            if (!g) continue;
            const PossibleRules& c = candidates.get();
            if (const Rule* r = chooseRule(*g, {&c.whole, &c.base})) return r;
        }
        return nullptr;
    };
    auto dependentRule = [&](std::u16string_view rest, int32_t priority, auto& candidates) -> const Rule* {
        const PriorityGroup* g = groupOf(rules, rest, priority);
        return g ? chooseRule(*g, {&candidates.get().dependent}) : nullptr;
    };

    std::size_t pos = 0;
    UnitInfo prev, cur, next;
    int32_t flag = kStart;
    do {
        if (cur.text.empty()) cur = UnitInfo::describe(t, t.nextUnit(piece, pos));
        pos += cur.text.size();
        if (pos >= piece.size()) {
            if (flag == kStart) {
                // A word of one unit: priority-1 rules with the single-character patterns.
                LazyRules single([&] { return singleGenerator_.getPossibleRules(cur); });
                std::size_t n = 0;
                if (const Rule* r = unitRule(cur.text, 1, single, n)) {
                    appendPhones(out, r->phones);
                    if (r->match.find(cur.text) == std::u16string::npos) {
                        std::u16string_view rest = cur.text.substr(n);
                        if (const Rule* d = dependentRule(rest, 1, single)) appendPhones(out, d->phones);
                        else t.appendDefaultPhones(rest, out);
                    }
                } else {
                    t.appendDefaultPhones(cur.text, out);
                }
                return;
            }
            flag = kEnd;
        }
        if (flag != kEnd) next = UnitInfo::describe(t, t.nextUnit(piece, pos));

        LazyRules c1([&] { return generator1_.getPossibleRules(cur, prev, next, flag); });
        LazyRules c2([&] { return generator2_.getPossibleRules(cur, prev, next, flag); });
        LazyRules c3([&] { return generator3_.getPossibleRules(cur, prev, next); });
        std::size_t n = 0;
        const Rule* r = unitRule(cur.text, 2, c2, n);
        if (!r) r = unitRule(cur.text, 1, c1, n);
        if (r) {
            appendPhones(out, r->phones);
            if (r->match.find(cur.text) == std::u16string::npos) {
                // The rule covered only the base: the dependent part is said on its own.
                std::u16string_view rest = cur.text.substr(n);
                const Rule* d = dependentRule(rest, 3, c3);
                if (!d) d = dependentRule(rest, 2, c2);
                if (!d) d = dependentRule(rest, 1, c1);
                if (d) appendPhones(out, d->phones);
                else t.appendDefaultPhones(rest, out);
            }
        } else {
            t.appendDefaultPhones(cur.text, out);
        }

        if (flag == kStart) flag = kMiddle;
        prev = std::move(cur);
        cur = std::move(next);
        next = UnitInfo{};
    } while (pos < piece.size());
}

std::vector<PhonemeUnit> LanguageRuleBase::convertWord(std::u16string_view word) const {
    const CharacterTable& t = table();
    bool hasDigits = false;
    for (char16_t c : word)
        if (isAsciiDigit(c) || t.isDigit(c)) {
            hasDigits = true;
            break;
        }

    std::u16string spoken;
    std::u16string_view text = word;
    if (hasDigits) {
        // Script digits become ASCII digits (or vanish without a map entry),
        // then every run of ASCII digits becomes the number's words.
        const DigitMap& map = parts_.digitMap ? *parts_.digitMap : kNoDigitMap;
        std::u16string ascii;
        ascii.reserve(word.size());
        for (char16_t c : word) {
            if (t.isDigit(c)) ascii += toAsciiDigit(map, c);
            else ascii.push_back(c);
        }
        const DigitWords& numbers = parts_.digitWords ? *parts_.digitWords : kNoDigitWords;
        for (std::size_t i = 0; i < ascii.size();) {
            if (!isAsciiDigit(ascii[i])) {
                spoken.push_back(ascii[i++]);
                continue;
            }
            std::string run;
            while (i < ascii.size() && isAsciiDigit(ascii[i])) run.push_back(static_cast<char>(ascii[i++]));
            spoken.push_back(u' ');
            spoken += numbers.numberToWords(run);
            spoken.push_back(u' ');
        }
        text = spoken;
    }

    const ExactMatchTable& exactMatches = parts_.exactMatches ? *parts_.exactMatches : kNoExactMatches;
    std::vector<PhonemeUnit> out;
    for (std::size_t i = 0; i < text.size();) {
        while (i < text.size() && isPieceBreak(text[i])) ++i;
        const std::size_t b = i;
        while (i < text.size() && !isPieceBreak(text[i])) ++i;
        if (i == b) break;
        const std::u16string_view piece = text.substr(b, i - b);
        const std::size_t mark = out.size();
        auto exact = exactMatches.find(piece);
        if (exact != exactMatches.end()) appendPhones(out, exact->second.phones);
        if (out.size() == mark) appendRulePhones(piece, out);
        if (out.size() > mark && !isWordBoundary(out.back())) out.push_back(PhonemeUnit{"_", 0, {}});
    }
    return out;
}

} // namespace vorsan
