#pragma once
// The compiled form of a language rule file (internal to the loader): its
// parts in a compact binary encoding, kept in the profile's
// "Speechfiles/Cache" folder so that later loads need no XML parsing.
//
// A cache file holds a magic, the format version, the size and a 64-bit hash
// of the XML file's bytes it was made from, a checksum of the payload, and
// the payload (every part of LanguageParts). It is trusted only when all of
// these agree with the present XML bytes and the payload decodes exactly;
// anything else counts as no cache.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vorsan/language/LanguageRuleBase.h"

namespace vorsan::rulecache {

// Bump whenever the encoding or the layout of LanguageParts changes.
inline constexpr uint32_t kFormatVersion = 1;

// Fast 64-bit hash of bytes; detects edits and damage, not forgery.
uint64_t hash64(std::string_view bytes);

// The cache file of a rule file: "<profile>/Speechfiles/Cache/<base name>-
// <hash of the absolute path>.rules".
std::string cachePath(const std::string& ruleFile);

// The cache file's bytes for parts loaded from the XML bytes `xml`.
std::string encode(const LanguageParts& parts, std::string_view xml);
// The parts held by a cache file's bytes, when they are intact and were made
// from exactly the bytes `xml`; nullopt otherwise.
std::optional<LanguageParts> decode(std::string_view cache, std::string_view xml);

// A whole file's bytes, or nullopt when it cannot be read.
std::optional<std::string> readFile(const std::string& path);

// The parts from the rule file's cache when it is valid for `xml`. Never
// raises.
std::optional<LanguageParts> load(const std::string& ruleFile, std::string_view xml);
// Writes the rule file's cache under a unique temporary name and renames it
// into place, so concurrent writers each leave a complete file. Failures are
// ignored: the cache is only an accelerator. Never raises.
void store(const std::string& ruleFile, std::string_view xml, const LanguageParts& parts) noexcept;

} // namespace vorsan::rulecache
