#pragma once
// The compiled form of a language rule file (internal to the loader): its
// parts in a compact binary encoding, kept through the shared compiled-cache
// mechanism (vorsan/core/CompiledCache.h) so that later loads need no XML
// parsing. Only the payload, every part of LanguageParts, is this file's.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vorsan/core/CompiledCache.h"
#include "vorsan/language/LanguageRuleBase.h"

namespace vorsan::rulecache {

// Bump whenever the encoding or the layout of LanguageParts changes.
// 2: made only from files whose numbers passed the range checks; 3: a
// language's Windows identifier and sample sentence.
inline constexpr uint32_t kFormatVersion = 3;
inline constexpr compiledcache::Kind kKind{"RULE", "rules", kFormatVersion};

using compiledcache::readFile;

// The cache file of a rule file: "<profile>/Speechfiles/Cache/<base name>-
// <hash of the absolute path>.rules".
std::string cachePath(const std::string& ruleFile);

// The cache file's bytes for parts loaded from the XML bytes `xml`.
std::string encode(const LanguageParts& parts, std::string_view xml);
// The parts held by a cache file's bytes, when they are intact and were made
// from exactly the bytes `xml`; nullopt otherwise.
std::optional<LanguageParts> decode(std::string_view cache, std::string_view xml);

// The parts from the rule file's cache when it is valid for `xml`. Never
// raises.
std::optional<LanguageParts> load(const std::string& ruleFile, std::string_view xml);

// The file and language information from the rule file's cache when it is
// valid for `xml` (its checksum covers the whole payload); the rest of the
// parts stays in the cache for loadTables. Never raises.
struct Head {
    LanguageParts parts; // only fileInfo and language
};
std::optional<Head> loadHead(const std::string& ruleFile, const compiledcache::Stamp& xml);
// Decodes the rest of the parts (every part but fileInfo and language) from
// the rule file's cache into `parts` when the cache is still valid for `xml`;
// false, with those parts left unspecified, when it is not (replaced after an
// edit, damaged, gone). Never raises.
bool loadTables(const std::string& ruleFile, const compiledcache::Stamp& xml, LanguageParts& parts) noexcept;
// Writes the rule file's cache (see compiledcache::store). Never raises.
void store(const std::string& ruleFile, std::string_view xml, const LanguageParts& parts) noexcept;
void store(const std::string& ruleFile, const compiledcache::Stamp& xml, const LanguageParts& parts) noexcept;

} // namespace vorsan::rulecache
