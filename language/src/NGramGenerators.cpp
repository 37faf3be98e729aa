#include "vorsan/language/NGramGenerators.h"

#include <array>

#include "PatternParts.h"
#include "vorsan/core/MException.h"

namespace vorsan {

using namespace unit_type;

namespace {

bool isUnitType(char t) { return t == kVowel || t == kConsonant || t == kConsonantUnit || t == kVowelUnit; }

std::u16string cat(std::u16string_view a, std::u16string_view b) {
    std::u16string s;
    s.reserve(a.size() + b.size());
    s.append(a).append(b);
    return s;
}

// Writes patterns into a string list, reusing the strings and storage it has.
class StringWriter {
public:
    explicit StringWriter(PatternList& list) : list_(list) {}
    ~StringWriter() { list_.resize(n_); }
    StringWriter(const StringWriter&) = delete;
    StringWriter& operator=(const StringWriter&) = delete;
    void push_back(const HashedView& a, const HashedView& b, const HashedView& c) {
        if (n_ == list_.size()) list_.emplace_back();
        std::u16string& s = list_[n_++];
        s.clear();
        s.append(a.text).append(b.text).append(c.text);
    }

private:
    PatternList& list_;
    std::size_t n_ = 0;
};

// Writes patterns as views.
class PartsWriter {
public:
    explicit PartsWriter(PartsList& list) : list_(list) { list_.clear(); }
    void push_back(const HashedView& a, const HashedView& b, const HashedView& c) {
        const uint64_t h = (a.hash * patternPower(b.text.size()) + b.hash) * patternPower(c.text.size()) + c.hash;
        list_.push_back(PatternParts{a.text, b.text, c.text, h});
    }

private:
    PartsList& list_;
};

template <class Lists>
struct WriterFor;
template <>
struct WriterFor<PossibleRules> {
    using type = StringWriter;
};
template <>
struct WriterFor<PossiblePatterns> {
    using type = PartsWriter;
};

// Runs `build(writer, form)` for the unit itself, then for its base and
// dependent forms when it splits; lists left from earlier use are emptied.
template <class Lists, class Build>
void fillForms(Lists& out, const UnitInfo& unit, Build build) {
    using Writer = typename WriterFor<Lists>::type;
    Writer whole(out.whole), base(out.base), dependent(out.dependent);
    build(whole, HashedView{unit.text, unit.textHash});
    if (unit.splits) {
        build(base, HashedView{unit.baseForm, unit.baseFormHash});
        build(dependent, HashedView{unit.dependentForm, unit.dependentFormHash});
    }
}

template <class Lists>
void clearLists(Lists& out) {
    out.whole.clear();
    out.base.clear();
    out.dependent.clear();
}

constexpr HashedView kS{u"S", u'S'}, kA{u"A", u'A'}, kE{u"E", u'E'};
HashedView textOf(const UnitInfo& u) { return {u.text, u.textHash}; }
HashedView contextOf(const UnitInfo& u) { return {u.context, u.contextHash}; }
HashedView baseOf(const UnitInfo& u) { return {u.baseForm, u.baseFormHash}; }
HashedView dependentOf(const UnitInfo& u) { return {u.dependentForm, u.dependentFormHash}; }

void checkFlag(int32_t flag, const char* message) {
    if (flag != kStart && flag != kEnd && flag != kMiddle) throw MException(message);
}

template <class Lists>
void buildSingle(const UnitInfo& unit, Lists& out) {
    if (!isUnitType(unit.type)) return clearLists(out);
    fillForms(out, unit, [](auto& l, const HashedView& u) {
        l.push_back(kS, u, kE);
        l.push_back(kS, u, kA);
        l.push_back(kA, u, kE);
        l.push_back(kA, u, kA);
    });
}

template <class Lists>
void build1(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next, int32_t flag, Lists& out) {
    if (!isUnitType(unit.type)) return clearLists(out);
    const HashedView P = contextOf(previous), N = contextOf(next);
    fillForms(out, unit, [&](auto& l, const HashedView& u) {
        switch (flag) {
        case kStart:
            if (!N.text.empty()) {
                l.push_back(kS, u, N);
                l.push_back(kA, u, N);
            }
            l.push_back(kS, u, kA);
            l.push_back(kA, u, kA);
            break;
        case kEnd:
            if (!P.text.empty()) {
                l.push_back(P, u, kE);
                l.push_back(P, u, kA);
            }
            l.push_back(kA, u, kE);
            l.push_back(kA, u, kA);
            break;
        default:
            if (!P.text.empty()) l.push_back(P, u, kA);
            if (!N.text.empty()) l.push_back(kA, u, N);
            l.push_back(kA, u, kA);
            break;
        }
    });
}

template <class Lists>
void build2(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next, int32_t flag, Lists& out) {
    if (!isUnitType(unit.type)) return clearLists(out);
    const HashedView P = contextOf(previous), N = contextOf(next);
    const HashedView p = textOf(previous), n = textOf(next);
    const HashedView pb = baseOf(previous), pr = dependentOf(previous);
    const HashedView nb = baseOf(next), nr = dependentOf(next);
    fillForms(out, unit, [&](auto& l, const HashedView& u) {
        switch (flag) {
        case kStart:
            l.push_back(kS, u, n);
            l.push_back(kA, u, n);
            if (next.splits) {
                l.push_back(kS, u, nb);
                l.push_back(kA, u, nb);
                l.push_back(kS, u, nr);
                l.push_back(kA, u, nr);
            }
            break;
        case kEnd:
            l.push_back(p, u, kE);
            l.push_back(p, u, kA);
            if (previous.splits) {
                l.push_back(pb, u, kE);
                l.push_back(pb, u, kA);
                l.push_back(pr, u, kE);
                l.push_back(pr, u, kA);
            }
            break;
        default:
            if (!P.text.empty()) {
                if (!N.text.empty()) l.push_back(p, u, N);
                l.push_back(p, u, kA);
            }
            if (!N.text.empty()) {
                if (!P.text.empty()) l.push_back(P, u, n);
                l.push_back(kA, u, n);
            }
            if (previous.splits) {
                if (!N.text.empty()) l.push_back(pb, u, N);
                l.push_back(pb, u, kA);
                if (!N.text.empty()) l.push_back(pr, u, N);
                l.push_back(pr, u, kA);
            }
            if (next.splits) {
                if (!P.text.empty()) l.push_back(P, u, nb);
                l.push_back(kA, u, nb);
                if (!P.text.empty()) l.push_back(P, u, nr);
                l.push_back(kA, u, nr);
            }
            break;
        }
    });
}

template <class Lists>
void build3(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next, Lists& out) {
    const HashedView p = textOf(previous), n = textOf(next);
    const HashedView pb = baseOf(previous), pr = dependentOf(previous);
    const HashedView nb = baseOf(next), nr = dependentOf(next);
    fillForms(out, unit, [&](auto& l, const HashedView& u) {
        l.push_back(p, u, n);
        if (previous.splits) {
            l.push_back(pb, u, n);
            l.push_back(pr, u, n);
        }
        if (next.splits) {
            l.push_back(p, u, nb);
            l.push_back(p, u, nr);
        }
        if (previous.splits && next.splits) {
            l.push_back(pb, u, nb);
            l.push_back(pr, u, nb);
            l.push_back(pr, u, nr);
        }
    });
}

} // namespace

uint64_t patternPower(std::size_t length) {
    static const auto powers = [] {
        std::array<uint64_t, 64> p{};
        p[0] = 1;
        for (std::size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * kPatternHashBase;
        return p;
    }();
    if (length < powers.size()) return powers[length];
    uint64_t r = powers[powers.size() - 1];
    for (std::size_t i = powers.size() - 1; i < length; ++i) r *= kPatternHashBase;
    return r;
}

UnitInfo UnitInfo::describe(const CharacterTable& table, std::u16string_view unit) {
    UnitInfo info;
    info.text = unit;
    info.type = table.classify(unit);
    info.context = contextString(info.type);
    if (info.type == kConsonantUnit || info.type == kVowelUnit) {
        if (auto parts = table.split(unit)) {
            info.splits = true;
            info.baseForm = cat(parts->base, u"M");
            info.dependentForm = cat(info.type == kConsonantUnit ? u"C" : u"V", parts->rest);
            info.baseFormHash = patternHash(info.baseForm);
            info.dependentFormHash = patternHash(info.dependentForm);
        }
    }
    info.textHash = patternHash(info.text);
    info.contextHash = patternHash(info.context);
    return info;
}

namespace patterns {
void single(const UnitInfo& unit, PossiblePatterns& out) { buildSingle(unit, out); }
void generator1(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next, int32_t flag,
                PossiblePatterns& out) {
    build1(unit, previous, next, flag, out);
}
void generator2(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next, int32_t flag,
                PossiblePatterns& out) {
    build2(unit, previous, next, flag, out);
}
void generator3(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next, PossiblePatterns& out) {
    build3(unit, previous, next, out);
}
} // namespace patterns

PossibleRules NGramGeneratorForSingleCharacter::getPossibleRules(std::u16string_view unit) const {
    if (unit.empty()) throw MException("invalid argument in NGramGeneratorForSingleCharacter::getPossibleRules");
    return getPossibleRules(UnitInfo::describe(table_, unit));
}

PossibleRules NGramGeneratorForSingleCharacter::getPossibleRules(const UnitInfo& unit) const {
    PossibleRules out;
    getPossibleRules(unit, out);
    return out;
}

void NGramGeneratorForSingleCharacter::getPossibleRules(const UnitInfo& unit, PossibleRules& out) const {
    if (unit.text.empty()) throw MException("invalid argument in NGramGeneratorForSingleCharacter::getPossibleRules");
    buildSingle(unit, out);
}

PossibleRules NGramGenerator1::getPossibleRules(std::u16string_view unit, std::u16string_view previous,
                                                std::u16string_view next, int32_t flag) const {
    if (unit.empty()) throw MException("invalid argument in NGramGenerator1::getPossibleRules");
    return getPossibleRules(UnitInfo::describe(table_, unit), UnitInfo::describe(table_, previous),
                            UnitInfo::describe(table_, next), flag);
}

PossibleRules NGramGenerator1::getPossibleRules(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next,
                                                int32_t flag) const {
    PossibleRules out;
    getPossibleRules(unit, previous, next, flag, out);
    return out;
}

void NGramGenerator1::getPossibleRules(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next,
                                       int32_t flag, PossibleRules& out) const {
    if (unit.text.empty()) throw MException("invalid argument in NGramGenerator1::getPossibleRules");
    checkFlag(flag, "Illegal flag passed to NGramGenerator1");
    build1(unit, previous, next, flag, out);
}

PossibleRules NGramGenerator2::getPossibleRules(std::u16string_view unit, std::u16string_view previous,
                                                std::u16string_view next, int32_t flag) const {
    if (unit.empty() || (previous.empty() && next.empty()))
        throw MException("invalid argument in NGramGenerator2::getPossibleRules");
    return getPossibleRules(UnitInfo::describe(table_, unit), UnitInfo::describe(table_, previous),
                            UnitInfo::describe(table_, next), flag);
}

PossibleRules NGramGenerator2::getPossibleRules(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next,
                                                int32_t flag) const {
    PossibleRules out;
    getPossibleRules(unit, previous, next, flag, out);
    return out;
}

void NGramGenerator2::getPossibleRules(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next,
                                       int32_t flag, PossibleRules& out) const {
    if (unit.text.empty() || (previous.text.empty() && next.text.empty()))
        throw MException("invalid argument in NGramGenerator2::getPossibleRules");
    checkFlag(flag, "Illegal flag passed to NGramGenerator2");
    build2(unit, previous, next, flag, out);
}

PossibleRules NGramGenerator3::getPossibleRules(std::u16string_view unit, std::u16string_view previous,
                                                std::u16string_view next) const {
    if (unit.empty() && previous.empty() && next.empty())
        throw MException("Invalid argument in NGramGenerator3::getPossibleRules");
    return getPossibleRules(UnitInfo::describe(table_, unit), UnitInfo::describe(table_, previous),
                            UnitInfo::describe(table_, next));
}

PossibleRules NGramGenerator3::getPossibleRules(const UnitInfo& unit, const UnitInfo& previous,
                                                const UnitInfo& next) const {
    PossibleRules out;
    getPossibleRules(unit, previous, next, out);
    return out;
}

void NGramGenerator3::getPossibleRules(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next,
                                       PossibleRules& out) const {
    if (unit.text.empty() && previous.text.empty() && next.text.empty())
        throw MException("Invalid argument in NGramGenerator3::getPossibleRules");
    build3(unit, previous, next, out);
}

} // namespace vorsan
