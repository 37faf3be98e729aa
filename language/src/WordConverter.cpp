// Conversion of one word into phones: numbers become number words, then each
// piece is looked up whole among the exact matches or walked unit by unit,
// every unit pronounced by the best context rule or by its default phones (a
// compound's first member on its own, then its second member's phones).
#include <optional>

#include "Compounds.h"
#include "RuleIndex.h"

#include "vorsan/core/MException.h"
#include "vorsan/language/LanguageRuleBase.h"

namespace vorsan {

namespace {

const ExactMatchTable kNoExactMatches;
const DigitMap kNoDigitMap{};
const DigitWords kNoDigitWords;

bool isAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isPieceBreak(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f'; }

// Quotes and brackets that may be attached to a word without being part of
// it, and the sentence marks after it: a word is looked up without them, so
// "(हलचल)" and "वह)" find the entries of हलचल and वह.
bool isOpeningMark(char16_t c) {
    return c == u'(' || c == u'[' || c == u'{' || c == u'"' || c == u'\'' || c == 0x2018 || c == 0x201C;
}
bool isClosingMark(char16_t c) {
    return c == u')' || c == u']' || c == u'}' || c == u'"' || c == u'\'' || c == u'.' || c == u',' || c == u';' ||
           c == u':' || c == u'!' || c == u'?' || c == 0x0964 || c == 0x0965 || c == 0x2019 || c == 0x201D;
}
std::u16string_view withoutAttachedMarks(std::u16string_view s) {
    while (!s.empty() && isOpeningMark(s.front())) s.remove_prefix(1);
    while (!s.empty() && isClosingMark(s.back())) s.remove_suffix(1);
    return s;
}

std::u16string_view trimView(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
    return s;
}

void appendPhones(std::vector<PhonemeUnit>& out, const std::vector<PhonemeUnit>& phones) {
    out.insert(out.end(), phones.begin(), phones.end());
}

// Candidate lists of one generator for the current unit, made only when a
// rule group asks for them. The lists' storage is kept per thread and
// reused from unit to unit and word to word.
class LazyRules {
public:
    explicit LazyRules(PossiblePatterns& storage) : storage_(storage) {}
    template <class Make>
    const PossiblePatterns& get(Make make) {
        if (!made_) {
            make(storage_);
            made_ = true;
        }
        return storage_;
    }
    void reset() { made_ = false; }

private:
    PossiblePatterns& storage_;
    bool made_ = false;
};

struct Scratch {
    PossiblePatterns single, c1, c2, c3;
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
    const RuleIndex& rules = ruleIndex();
#ifdef _WIN32
    // A thread-local object with a destructor, in a DLL that several threads
    // use, corrupts the heap under MinGW's emulated thread-local storage (a
    // voice decoding its tables while another spoke crashed): there each call
    // has its own scratch.
    Scratch scratch;
#else
    thread_local Scratch scratch;
#endif

    auto choose = [&](const RuleIndex::GroupSlot* g, std::initializer_list<const PartsList*> candidates) {
        return chooseRuleBy([&](const PatternParts& pattern) { return rules.rule(g, pattern); }, candidates);
    };
    // First rule found for the longest prefix of `unit` that has a group at
    // `priority`; n receives the prefix length.
    auto unitRule = [&](std::u16string_view unit, int32_t priority, LazyRules& lazy, auto make,
                        std::size_t& n) -> const Rule* {
        for (n = std::min(unit.size(), rules.longestGlyph()); n >= 1; --n) {
            const RuleIndex::GroupSlot* g = rules.group(unit.substr(0, n), priority);
            if (!g) continue;
            const PossiblePatterns& c = lazy.get(make);
            if (const Rule* r = choose(g, {&c.whole, &c.base})) return r;
        }
        return nullptr;
    };
    auto dependentRule = [&](std::u16string_view rest, int32_t priority, LazyRules& lazy, auto make) -> const Rule* {
        const RuleIndex::GroupSlot* g = rules.group(rest, priority);
        return g ? choose(g, {&lazy.get(make).dependent}) : nullptr;
    };

    std::size_t pos = 0;
    UnitInfo prev, cur, next;
    int32_t flag = kStart;
    LazyRules c1(scratch.c1), c2(scratch.c2), c3(scratch.c3);
    do {
        if (cur.text.empty()) cur = UnitInfo::describe(t, t.nextUnit(piece, pos));
        pos += cur.text.size();
        if (pos >= piece.size()) {
            if (flag == kStart) {
                // A word of one unit: priority-1 rules with the single-character patterns.
                LazyRules single(scratch.single);
                auto make = [&](PossiblePatterns& r) { patterns::single(cur, r); };
                std::size_t n = 0;
                if (const Rule* r = unitRule(cur.text, 1, single, make, n)) {
                    appendPhones(out, r->phones);
                    if (r->match.find(cur.text) == std::u16string::npos) {
                        std::u16string_view rest = cur.text.substr(n);
                        if (const Rule* d = dependentRule(rest, 1, single, make)) appendPhones(out, d->phones);
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

        c1.reset();
        c2.reset();
        c3.reset();
        // The walk only passes valid arguments, so the generators' checks are skipped.
        auto make1 = [&](PossiblePatterns& r) { patterns::generator1(cur, prev, next, flag, r); };
        auto make2 = [&](PossiblePatterns& r) { patterns::generator2(cur, prev, next, flag, r); };
        auto make3 = [&](PossiblePatterns& r) { patterns::generator3(cur, prev, next, r); };
        std::size_t n = 0;
        const Rule* r = unitRule(cur.text, 2, c2, make2, n);
        if (!r) r = unitRule(cur.text, 1, c1, make1, n);
        if (r) {
            appendPhones(out, r->phones);
            if (r->match.find(cur.text) == std::u16string::npos) {
                // The rule covered only the base: the dependent part is said on its own.
                std::u16string_view rest = cur.text.substr(n);
                const Rule* d = dependentRule(rest, 3, c3, make3);
                if (!d) d = dependentRule(rest, 2, c2, make2);
                if (!d) d = dependentRule(rest, 1, c1, make1);
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
        const std::u16string_view core = withoutAttachedMarks(piece);
        if (exact == exactMatches.end() && !core.empty() && core.size() < piece.size()) exact = exactMatches.find(core);
        if (exact != exactMatches.end()) appendPhones(out, exact->second.phones);
        if (out.size() == mark) {
            if (auto split = splitCompound(core, exactMatches, t)) {
                const std::u16string_view first = core.substr(0, split->firstLength);
                auto whole = exactMatches.find(first);
                if (whole != exactMatches.end()) appendPhones(out, whole->second.phones);
                if (out.size() == mark) appendRulePhones(first, out);
                appendPhones(out, split->second->phones);
            } else if (auto cut = words_ ? splitListedCompound(core, *words_, t) : std::nullopt) {
                for (std::u16string_view member : {core.substr(0, *cut), core.substr(*cut)}) {
                    auto whole = exactMatches.find(member);
                    if (whole != exactMatches.end()) appendPhones(out, whole->second.phones);
                    else appendRulePhones(member, out);
                }
            } else {
                appendRulePhones(piece, out);
            }
        }
        if (out.size() > mark && !isWordBoundary(out.back())) out.push_back(PhonemeUnit{"_", 0, {}});
    }
    return out;
}

} // namespace vorsan
