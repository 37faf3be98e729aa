#include "RuleCache.h"

#include <tuple>

namespace vorsan {

// The members of every record of a rule file, in encoding order; one list
// serves writing and reading.
VORSAN_CACHE_MEMBERS(PhonemeUnit, x.name, x.duration, x.pitchPoints)
VORSAN_CACHE_MEMBERS(CharacterEntry, x.glyph, x.type, x.phones, x.isCombined)
VORSAN_CACHE_MEMBERS(CharacterTable, x.vowels, x.consonants, x.dependents, x.signs, x.digits, x.baseFormCorrection,
                     x.halant)
VORSAN_CACHE_MEMBERS(Rule, x.match, x.rank, x.phones)
VORSAN_CACHE_MEMBERS(PriorityGroup, x.no, x.rules)
VORSAN_CACHE_MEMBERS(RuleCharacter, x.glyph, x.type, x.priorities)
VORSAN_CACHE_MEMBERS(DigitWords, x.words)
VORSAN_CACHE_MEMBERS(Identifier, x.text, x.rank)
VORSAN_CACHE_MEMBERS(ClauseType, x.name, x.description, x.identifiers, x.pause, x.pitchPattern)
VORSAN_CACHE_MEMBERS(SentenceType, x.name, x.description, x.identifiers, x.pause, x.pitchPattern, x.clauseTypes)
VORSAN_CACHE_MEMBERS(LanguageInfo, x.languageName, x.dialect, x.languageCode, x.countryCode, x.mbrolaDatabase,
                     x.unicodeStart, x.unicodeEnd, x.halantBased, x.windowsLanguageId, x.sampleText)
VORSAN_CACHE_MEMBERS(LanguageFileInfo, x.title, x.author, x.lastModifiedBy, x.version, x.description, x.comment,
                     x.createdOn, x.lastModified)
VORSAN_CACHE_MEMBERS(SoundEntry, x.phonem, x.type, x.usage)

// A rule file's parts in encoding order: first the head, all that naming the
// language and its script needs, then the tables, which may be decoded later.
template <class Parts>
static auto headOf(Parts& x) { return std::tie(x.fileInfo, x.language); }
template <class Parts>
static auto tablesOf(Parts& x) {
    return std::tie(x.sounds, x.characters, x.digitMap, x.digitWords, x.exactMatches, x.ruleCharacters,
                    x.sentenceTypes);
}
[[maybe_unused]] static auto members(LanguageParts& x) { return std::tuple_cat(headOf(x), tablesOf(x)); }
[[maybe_unused]] static auto members(const LanguageParts& x) { return std::tuple_cat(headOf(x), tablesOf(x)); }

namespace rulecache {

std::string cachePath(const std::string& ruleFile) { return compiledcache::cachePath(ruleFile, kKind.extension); }

std::string encode(const LanguageParts& parts, std::string_view xml) {
    compiledcache::Writer payload;
    compiledcache::put(payload, parts);
    return compiledcache::wrap(kKind, xml, payload.bytes);
}

std::optional<LanguageParts> decode(std::string_view cache, std::string_view xml) {
    try {
        const auto payload = compiledcache::unwrap(kKind, cache, xml);
        if (!payload) return std::nullopt;
        compiledcache::Reader r(*payload);
        LanguageParts parts;
        compiledcache::get(r, parts);
        if (!r.done()) return std::nullopt;
        return parts;
    } catch (const compiledcache::Damaged&) {
        return std::nullopt;
    }
}

std::optional<LanguageParts> load(const std::string& ruleFile, std::string_view xml) {
    try {
        LanguageParts parts;
        if (compiledcache::load(kKind, ruleFile, xml, [&parts](compiledcache::Reader& r) { compiledcache::get(r, parts); }))
            return parts;
    } catch (...) {
        // Out of memory while moving the parts out: load from the XML instead.
    }
    return std::nullopt;
}

std::optional<Head> loadHead(const std::string& ruleFile, const compiledcache::Stamp& xml) {
    try {
        Head head;
        const bool valid = compiledcache::load(kKind, ruleFile, xml, [&head](compiledcache::Reader& r) {
            std::apply([&r](auto&... m) { (compiledcache::get(r, m), ...); }, headOf(head.parts));
            r.takeRest(); // checked by its checksum; decoded by loadTables when needed
        });
        if (valid) return head;
    } catch (...) {
        // Out of memory: load from the XML instead.
    }
    return std::nullopt;
}

bool loadTables(const std::string& ruleFile, const compiledcache::Stamp& xml, LanguageParts& parts) noexcept {
    try {
        return compiledcache::load(kKind, ruleFile, xml, [&parts](compiledcache::Reader& r) {
            LanguageParts head;
            std::apply([&r](auto&... m) { (compiledcache::get(r, m), ...); }, headOf(head));
            std::apply([&r](auto&... m) { (compiledcache::get(r, m), ...); }, tablesOf(parts));
        });
    } catch (...) {
        return false;
    }
}

void store(const std::string& ruleFile, std::string_view xml, const LanguageParts& parts) noexcept {
    store(ruleFile, compiledcache::stampOf(xml), parts);
}

void store(const std::string& ruleFile, const compiledcache::Stamp& xml, const LanguageParts& parts) noexcept {
    compiledcache::store(kKind, ruleFile, xml, [&parts](compiledcache::Writer& w) { compiledcache::put(w, parts); });
}

} // namespace rulecache
} // namespace vorsan
