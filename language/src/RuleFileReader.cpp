#include "RuleFileReader.h"

#include <algorithm>
#include <limits>

#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"

namespace vorsan::rulefile {

using xercesc::DOMNode;
using xml::DOMElement;

namespace {

std::string narrow(std::u16string_view s) { return utf16ToUtf8(s); }

// Longest phone or pause a rule file may ask for, in ms.
constexpr int32_t kMaxDurationMs = 10000;

// Calls f(text) when the element has a first child node.
template <class F>
void withText(const DOMElement& e, F f) {
    if (auto t = xml::text(e)) f(*t);
}

// Pieces of s between `sep` characters; empty pieces are dropped.
template <class Pred>
std::vector<std::u16string_view> splitAt(std::u16string_view s, Pred isSep) {
    std::vector<std::u16string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isSep(s[i])) ++i;
        std::size_t b = i;
        while (i < s.size() && !isSep(s[i])) ++i;
        if (i > b) out.push_back(s.substr(b, i - b));
    }
    return out;
}

bool isSpace(char16_t c) { return c == u' '; }
bool isWhite(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v'; }

std::vector<int32_t> intsAtSpaces(std::u16string_view s) {
    std::vector<int32_t> out;
    for (auto piece : splitAt(s, isSpace)) out.push_back(xml::parseInt(piece));
    return out;
}

char firstByte(const std::u16string& s) { return s.empty() ? '\0' : narrow(s.substr(0, 1))[0]; }

// Durations and names of a Character element, paired in order.
std::vector<PhonemeUnit> characterPhones(const DOMElement& e) {
    std::vector<PhonemeUnit> phones;
    const std::u16string names = xml::attr(e, u"phonem");
    const std::u16string durations = xml::attr(e, u"duration");
    auto nameList = splitAt(names, isSpace);
    std::vector<int32_t> durationList;
    for (auto d : splitAt(durations, isWhite)) durationList.push_back(xml::intIn(e, u"duration", d, 0, kMaxDurationMs));
    for (std::size_t i = 0; i < nameList.size() && i < durationList.size(); ++i)
        phones.push_back(PhonemeUnit{narrow(nameList[i]), durationList[i], {}});
    return phones;
}

CharacterEntry characterEntry(const DOMElement& e, char type) {
    CharacterEntry c;
    c.glyph = xml::attr(e, u"glyph");
    c.type = type;
    c.isCombined = xml::parseBool(xml::attr(e, u"isCombined"));
    c.phones = characterPhones(e);
    return c;
}

CharacterTable readCharacters(const DOMElement& data) {
    CharacterTable t;
    for (const DOMElement* group : xml::childElements(data)) {
        const std::u16string_view name = xml::nodeName(*group);
        const char letter = typeLetterOfGroup(name);
        CharacterMap* target = nullptr;
        switch (letter) {
        case unit_type::kConsonant: target = &t.consonants; break;
        case unit_type::kVowel: target = &t.vowels; break;
        case unit_type::kSign: target = &t.signs; break;
        case unit_type::kDigit: target = &t.digits; break;
        case unit_type::kDependent:
        case unit_type::kHalant:
        case unit_type::kBaseFormCorrection: break;
        default: continue;
        }
        for (const DOMElement* e : xml::childElements(*group)) {
            if (target) {
                if (!xml::nameIs(*e, u"Character")) continue;
                CharacterEntry c = characterEntry(*e, letter);
                target->try_emplace(c.glyph, std::move(c));
            } else if (xml::nameIs(*e, u"Character")) {
                CharacterEntry c = characterEntry(*e, letter);
                t.dependents.try_emplace(c.glyph, std::move(c));
            } else if (xml::nameIs(*e, u"BaseFormCorrection")) {
                CharacterEntry c = characterEntry(*e, unit_type::kBaseFormCorrection);
                c.glyph.assign(1, u'&');
                t.baseFormCorrection = std::move(c);
            } else if (xml::nameIs(*e, u"Halant")) {
                t.halant = characterEntry(*e, unit_type::kHalant);
            }
        }
    }
    return t;
}

Rule readRule(const DOMElement& e) {
    Rule r;
    r.match = xml::attr(e, u"match");
    const std::string rank = trimBlanks(narrow(xml::attr(e, u"rank")));
    r.rank = rank.empty() ? -1 : scanInt(rank);
    const DOMNode* list = e.getFirstChild();
    if (!list || list->getNodeType() != DOMNode::ELEMENT_NODE || !xml::nameIs(*list, u"PhonemList")) return r;
    for (const DOMElement* p : xml::childElements(*list)) {
        if (!xml::nameIs(*p, u"Phonem")) continue;
        PhonemeUnit unit{narrow(xml::attr(*p, u"phoneString")), xml::intIn(*p, u"Duration", 0, kMaxDurationMs), {}};
        const DOMNode* child = p->getFirstChild();
        const DOMNode* grandchild = child ? child->getFirstChild() : nullptr;
        if (grandchild) {
            const XMLCh* v = grandchild->getNodeValue();
            auto values = intsAtSpaces(v ? std::u16string_view(v) : std::u16string_view());
            for (std::size_t i = 0; i + 1 < values.size(); i += 2) unit.pitchPoints.emplace_back(values[i], values[i + 1]);
        }
        r.phones.push_back(std::move(unit));
    }
    return r;
}

RuleMap readRules(const DOMElement& parent) {
    RuleMap rules;
    for (const DOMElement* e : xml::childElements(parent)) {
        if (!xml::nameIs(*e, u"Rule")) continue;
        Rule r = readRule(*e);
        rules.try_emplace(r.match, std::move(r));
    }
    return rules;
}

RuleCharacterTable readRuleCharacters(const DOMElement& parent) {
    RuleCharacterTable table;
    for (const DOMElement* e : xml::childElements(parent)) {
        if (!xml::nameIs(*e, u"Character")) continue;
        RuleCharacter c;
        c.glyph = xml::attr(*e, u"glyph");
        c.type = firstByte(xml::attr(*e, u"type"));
        for (const DOMElement* p : xml::childElements(*e)) {
            if (!xml::nameIs(*p, u"Priority")) continue;
            PriorityGroup g;
            g.no = xml::parseInt(xml::attr(*p, u"no"));
            g.rules = readRules(*p);
            c.priorities.try_emplace(g.no, std::move(g));
        }
        table.try_emplace(c.glyph, std::move(c));
    }
    return table;
}

// Element children of a list whose children are all items; stray text
// (such as indentation) between items is ignored.
std::vector<const DOMElement*> items(const DOMElement& list) { return xml::childElements(list); }

// Fields shared by sentence and clause types.
template <class T>
void readTypeCommon(const DOMElement& e, T& type) {
    type.name = narrow(xml::attr(e, u"name"));
    type.pause = xml::intIn(e, u"pause", 0, kMaxDurationMs);
    for (const DOMElement* c : xml::childElements(e)) {
        if (xml::nameIs(*c, u"Description")) {
            withText(*c, [&](const std::u16string& t) { type.description = narrow(t); });
        } else if (xml::nameIs(*c, u"IdentifierList")) {
            for (const DOMElement* id : items(*c)) {
                withText(*id, [&](const std::u16string& t) {
                    type.identifiers.push_back(Identifier{t, xml::parseInt(xml::attr(*id, u"rank"))});
                });
            }
        } else if (xml::nameIs(*c, u"PitchPattern")) {
            withText(*c, [&](const std::u16string& t) {
                // 500 frames of 250 Hz, overwritten from the start by the listed values.
                const std::size_t start = type.pitchPattern.size();
                type.pitchPattern.resize(start + 500, 250);
                auto values = intsAtSpaces(t);
                for (std::size_t i = 0; i < values.size() && i < 500; ++i) type.pitchPattern[start + i] = values[i];
            });
        }
    }
}

SentenceTypeTable readSentenceTypes(const DOMElement& parent) {
    SentenceTypeTable table;
    for (const DOMElement* e : xml::childElements(parent)) {
        if (!xml::nameIs(*e, u"Sentence")) continue;
        SentenceType st;
        readTypeCommon(*e, st);
        for (const DOMElement* c : xml::childElements(*e)) {
            if (!xml::nameIs(*c, u"ClauseTypes")) continue;
            for (const DOMElement* ce : items(*c)) {
                ClauseType ct;
                readTypeCommon(*ce, ct);
                st.clauseTypes.try_emplace(ct.name, std::move(ct));
            }
        }
        table.try_emplace(st.name, std::move(st));
    }
    return table;
}

LanguageInfo readLanguage(const DOMElement& parent) {
    LanguageInfo info;
    for (const DOMElement* e : xml::childElements(parent)) {
        withText(*e, [&](const std::u16string& t) {
            if (xml::nameIs(*e, u"LanguageName")) info.languageName = narrow(t);
            else if (xml::nameIs(*e, u"Dialect")) info.dialect = narrow(t);
            else if (xml::nameIs(*e, u"LanguageCode")) info.languageCode = narrow(t);
            else if (xml::nameIs(*e, u"CountryCode")) info.countryCode = narrow(t);
            else if (xml::nameIs(*e, u"MbrolaDatabase")) info.mbrolaDatabase = narrow(t);
            else if (xml::nameIs(*e, u"UnicodeStart")) info.unicodeStart = scanHex(t);
            else if (xml::nameIs(*e, u"UnicodeEnd")) info.unicodeEnd = scanHex(t);
            else if (xml::nameIs(*e, u"HalantBased")) info.halantBased = xml::parseBool(t);
            else if (xml::nameIs(*e, u"WindowsLanguageId")) info.windowsLanguageId = scanHex(t) & 0xFFFF;
            else if (xml::nameIs(*e, u"SampleText")) info.sampleText = t;
        });
    }
    return info;
}

LanguageFileInfo readFileInfo(const DOMElement& parent) {
    LanguageFileInfo info;
    const std::pair<std::u16string_view, std::string LanguageFileInfo::*> fields[] = {
        {u"Title", &LanguageFileInfo::title},
        {u"Author", &LanguageFileInfo::author},
        {u"LastModifiedBy", &LanguageFileInfo::lastModifiedBy},
        {u"Version", &LanguageFileInfo::version},
        {u"Description", &LanguageFileInfo::description},
        {u"Comment", &LanguageFileInfo::comment},
        {u"CreatedOn", &LanguageFileInfo::createdOn},
        {u"LastModified", &LanguageFileInfo::lastModified},
    };
    for (const DOMElement* e : xml::childElements(parent))
        for (const auto& [name, member] : fields)
            if (xml::nameIs(*e, name)) withText(*e, [&, member = member](const std::u16string& t) { info.*member = narrow(t); });
    return info;
}

SoundTable readSounds(const DOMElement& parent) {
    SoundTable table;
    for (const DOMElement* e : xml::childElements(parent)) {
        if (!xml::nameIs(*e, u"Sound")) continue;
        SoundEntry s{narrow(xml::attr(*e, u"phonem")), firstByte(xml::attr(*e, u"type")),
                     narrow(xml::attr(*e, u"usage"))};
        table.try_emplace(s.phonem, std::move(s));
    }
    return table;
}

DigitMap readDigitMap(const DOMElement& parent) {
    DigitMap map{};
    for (const DOMElement* e : xml::childElements(parent)) {
        if (!xml::nameIs(*e, u"map")) continue;
        const int32_t digit = xml::parseInt(xml::attr(*e, u"englishDigit"));
        const std::u16string glyph = xml::attr(*e, u"langaugeDigit");
        // Entries for anything but 0-9 have no slot and are ignored.
        if (digit < 0 || digit > 9) continue;
        map[static_cast<std::size_t>(digit)] = glyph.empty() ? u'\0' : glyph[0];
    }
    return map;
}

DigitWords readDigitWords(const DOMElement& parent) {
    DigitWords words;
    for (const DOMElement* e : xml::childElements(parent)) {
        if (!xml::nameIs(*e, u"Digit")) continue;
        words.words.try_emplace(narrow(xml::attr(*e, u"value")), xml::attr(*e, u"words"));
    }
    return words;
}

} // namespace

int32_t scanHex(std::u16string_view s) {
    auto digit = [](char16_t c) {
        return c >= u'0' && c <= u'9' ? c - u'0' : c >= u'a' && c <= u'f' ? c - u'a' + 10 : c >= u'A' && c <= u'F' ? c - u'A' + 10 : -1;
    };
    std::size_t i = 0;
    while (i < s.size() && isWhite(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
    if (i + 2 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X') && digit(s[i + 2]) >= 0) i += 2;
    int64_t v = 0;
    for (; i < s.size() && digit(s[i]) >= 0; ++i)
        v = std::min<int64_t>(v * 16 + digit(s[i]), std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(negative ? -v : v);
}

LanguageParts read(const DOMElement& root) {
    if (!xml::nameIs(root, u"Rule_Base")) throw MException("Not a Pelmira file");
    LanguageParts parts;
    for (const DOMElement* e : xml::childElements(root)) {
        if (xml::nameIs(*e, u"File_Information")) parts.fileInfo = readFileInfo(*e);
        else if (xml::nameIs(*e, u"Language")) parts.language = readLanguage(*e);
        else if (xml::nameIs(*e, u"SoundData")) parts.sounds = readSounds(*e);
        else if (xml::nameIs(*e, u"CharacterData")) parts.characters = readCharacters(*e);
        else if (xml::nameIs(*e, u"DigitMap")) parts.digitMap = readDigitMap(*e);
        else if (xml::nameIs(*e, u"DigitData")) parts.digitWords = readDigitWords(*e);
        else if (xml::nameIs(*e, u"ExactMatch")) parts.exactMatches = readRules(*e);
        else if (xml::nameIs(*e, u"Available_Characters")) parts.ruleCharacters = readRuleCharacters(*e);
        else if (xml::nameIs(*e, u"SentenceTypes")) parts.sentenceTypes = readSentenceTypes(*e);
    }
    return parts;
}

} // namespace vorsan::rulefile
