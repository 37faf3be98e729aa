#include "vorsan/language/NGramGenerators.h"

#include "vorsan/core/MException.h"

namespace vorsan {

using namespace unit_type;

namespace {

bool isUnitType(char t) { return t == kVowel || t == kConsonant || t == kConsonantUnit || t == kVowelUnit; }

std::u16string cat(std::u16string_view a, std::u16string_view b, std::u16string_view c) {
    std::u16string s;
    s.reserve(a.size() + b.size() + c.size());
    s.append(a).append(b).append(c);
    return s;
}

// Runs `build(list, form)` for the unit itself, then for its base and
// dependent forms when it splits.
template <class Build>
PossibleRules forEachForm(const UnitInfo& unit, Build build) {
    PossibleRules out;
    build(out.whole, unit.text);
    if (unit.splits) {
        build(out.base, std::u16string_view(unit.baseForm));
        build(out.dependent, std::u16string_view(unit.dependentForm));
    }
    return out;
}

void checkFlag(int32_t flag, const char* message) {
    if (flag != kStart && flag != kEnd && flag != kMiddle) throw MException(message);
}

} // namespace

UnitInfo UnitInfo::describe(const CharacterTable& table, std::u16string_view unit) {
    UnitInfo info;
    info.text = unit;
    info.type = table.classify(unit);
    info.context = contextString(info.type);
    if (info.type == kConsonantUnit || info.type == kVowelUnit) {
        if (auto parts = table.split(unit)) {
            info.splits = true;
            info.baseForm = cat(parts->base, u"M", {});
            info.dependentForm = cat(info.type == kConsonantUnit ? u"C" : u"V", parts->rest, {});
        }
    }
    return info;
}

PossibleRules NGramGeneratorForSingleCharacter::getPossibleRules(std::u16string_view unit) const {
    if (unit.empty()) throw MException("invalid argument in NGramGeneratorForSingleCharacter::getPossibleRules");
    return getPossibleRules(UnitInfo::describe(table_, unit));
}

PossibleRules NGramGeneratorForSingleCharacter::getPossibleRules(const UnitInfo& unit) const {
    if (unit.text.empty()) throw MException("invalid argument in NGramGeneratorForSingleCharacter::getPossibleRules");
    if (!isUnitType(unit.type)) return {};
    return forEachForm(unit, [](PatternList& l, std::u16string_view u) {
        l.push_back(cat(u"S", u, u"E"));
        l.push_back(cat(u"S", u, u"A"));
        l.push_back(cat(u"A", u, u"E"));
        l.push_back(cat(u"A", u, u"A"));
    });
}

PossibleRules NGramGenerator1::getPossibleRules(std::u16string_view unit, std::u16string_view previous,
                                                std::u16string_view next, int32_t flag) const {
    if (unit.empty()) throw MException("invalid argument in NGramGenerator1::getPossibleRules");
    return getPossibleRules(UnitInfo::describe(table_, unit), UnitInfo::describe(table_, previous),
                            UnitInfo::describe(table_, next), flag);
}

PossibleRules NGramGenerator1::getPossibleRules(const UnitInfo& unit, const UnitInfo& previous, const UnitInfo& next,
                                                int32_t flag) const {
    if (unit.text.empty()) throw MException("invalid argument in NGramGenerator1::getPossibleRules");
    checkFlag(flag, "Illegal flag passed to NGramGenerator1");
    if (!isUnitType(unit.type)) return {};
    const std::u16string_view P = previous.context, N = next.context;
    return forEachForm(unit, [&](PatternList& l, std::u16string_view u) {
        switch (flag) {
        case kStart:
            if (!N.empty()) {
                l.push_back(cat(u"S", u, N));
                l.push_back(cat(u"A", u, N));
            }
            l.push_back(cat(u"S", u, u"A"));
            l.push_back(cat(u"A", u, u"A"));
            break;
        case kEnd:
            if (!P.empty()) {
                l.push_back(cat(P, u, u"E"));
                l.push_back(cat(P, u, u"A"));
            }
            l.push_back(cat(u"A", u, u"E"));
            l.push_back(cat(u"A", u, u"A"));
            break;
        default:
            if (!P.empty()) l.push_back(cat(P, u, u"A"));
            if (!N.empty()) l.push_back(cat(u"A", u, N));
            l.push_back(cat(u"A", u, u"A"));
            break;
        }
    });
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
    if (unit.text.empty() || (previous.text.empty() && next.text.empty()))
        throw MException("invalid argument in NGramGenerator2::getPossibleRules");
    checkFlag(flag, "Illegal flag passed to NGramGenerator2");
    if (!isUnitType(unit.type)) return {};
    const std::u16string_view P = previous.context, N = next.context;
    const std::u16string_view p = previous.text, n = next.text;
    const std::u16string_view pb = previous.baseForm, pr = previous.dependentForm;
    const std::u16string_view nb = next.baseForm, nr = next.dependentForm;
    return forEachForm(unit, [&](PatternList& l, std::u16string_view u) {
        switch (flag) {
        case kStart:
            l.push_back(cat(u"S", u, n));
            l.push_back(cat(u"A", u, n));
            if (next.splits) {
                l.push_back(cat(u"S", u, nb));
                l.push_back(cat(u"A", u, nb));
                l.push_back(cat(u"S", u, nr));
                l.push_back(cat(u"A", u, nr));
            }
            break;
        case kEnd:
            l.push_back(cat(p, u, u"E"));
            l.push_back(cat(p, u, u"A"));
            if (previous.splits) {
                l.push_back(cat(pb, u, u"E"));
                l.push_back(cat(pb, u, u"A"));
                l.push_back(cat(pr, u, u"E"));
                l.push_back(cat(pr, u, u"A"));
            }
            break;
        default:
            if (!P.empty()) {
                if (!N.empty()) l.push_back(cat(p, u, N));
                l.push_back(cat(p, u, u"A"));
            }
            if (!N.empty()) {
                if (!P.empty()) l.push_back(cat(P, u, n));
                l.push_back(cat(u"A", u, n));
            }
            if (previous.splits) {
                if (!N.empty()) l.push_back(cat(pb, u, N));
                l.push_back(cat(pb, u, u"A"));
                if (!N.empty()) l.push_back(cat(pr, u, N));
                l.push_back(cat(pr, u, u"A"));
            }
            if (next.splits) {
                if (!P.empty()) l.push_back(cat(P, u, nb));
                l.push_back(cat(u"A", u, nb));
                if (!P.empty()) l.push_back(cat(P, u, nr));
                l.push_back(cat(u"A", u, nr));
            }
            break;
        }
    });
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
    if (unit.text.empty() && previous.text.empty() && next.text.empty())
        throw MException("Invalid argument in NGramGenerator3::getPossibleRules");
    const std::u16string_view p = previous.text, n = next.text;
    const std::u16string_view pb = previous.baseForm, pr = previous.dependentForm;
    const std::u16string_view nb = next.baseForm, nr = next.dependentForm;
    return forEachForm(unit, [&](PatternList& l, std::u16string_view u) {
        l.push_back(cat(p, u, n));
        if (previous.splits) {
            l.push_back(cat(pb, u, n));
            l.push_back(cat(pr, u, n));
        }
        if (next.splits) {
            l.push_back(cat(p, u, nb));
            l.push_back(cat(p, u, nr));
        }
        if (previous.splits && next.splits) {
            l.push_back(cat(pb, u, nb));
            l.push_back(cat(pr, u, nb));
            l.push_back(cat(pr, u, nr));
        }
    });
}

} // namespace vorsan
