#pragma once
// One loaded language rule file: an immutable database that names the
// language and its script, holds its characters, rules, number words and
// sentence/clause types, and converts words of the language into phones.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vorsan/core/CompiledCache.h"
#include "vorsan/core/PhonemeText.h"
#include "vorsan/language/CharacterTable.h"
#include "vorsan/language/Digits.h"
#include "vorsan/language/NGramGenerators.h"
#include "vorsan/language/RuleTables.h"

namespace vorsan {

class RuleIndex;
class WordListFile;

struct Identifier {
    std::u16string text;
    int32_t rank = 0;
    bool operator==(const Identifier&) const = default;
};

struct ClauseType {
    std::string name, description;
    std::vector<Identifier> identifiers;
    int32_t pause = 0;
    std::vector<int32_t> pitchPattern;
    bool operator==(const ClauseType&) const = default;
};

struct SentenceType {
    std::string name, description;
    std::vector<Identifier> identifiers;
    int32_t pause = 0;
    std::vector<int32_t> pitchPattern;
    std::map<std::string, ClauseType> clauseTypes;
    bool operator==(const SentenceType&) const = default;
};

using SentenceTypeTable = std::map<std::string, SentenceType>;

struct LanguageInfo {
    std::string languageName, dialect, languageCode, countryCode, mbrolaDatabase;
    int32_t unicodeStart = 0, unicodeEnd = 0;
    bool halantBased = false;
    // Optional: the Windows language identifier (hexadecimal in the file; 0
    // when absent, then the one of the language code is used) and a sentence
    // to try the voice with.
    int32_t windowsLanguageId = 0;
    std::u16string sampleText;
    bool operator==(const LanguageInfo&) const = default;
};

struct LanguageFileInfo {
    std::string title, author, lastModifiedBy, version, description, comment, createdOn, lastModified;
    bool operator==(const LanguageFileInfo&) const = default;
};

struct SoundEntry {
    std::string phonem;
    char type = 0;
    std::string usage;
    bool operator==(const SoundEntry&) const = default;
};

using SoundTable = std::map<std::string, SoundEntry, std::less<>>;

// Everything a rule file can hold; absent parts stay empty optionals.
// Loading keeps a compiled copy of these parts (RuleCache.cpp): a change of
// their layout, here or in the records they hold, must change that file's
// encoding and its format version.
struct LanguageParts {
    std::optional<LanguageFileInfo> fileInfo;
    std::optional<LanguageInfo> language;
    std::optional<SoundTable> sounds;
    std::optional<CharacterTable> characters;
    std::optional<DigitMap> digitMap;
    std::optional<DigitWords> digitWords;
    std::optional<ExactMatchTable> exactMatches;
    std::optional<RuleCharacterTable> ruleCharacters;
    std::optional<SentenceTypeTable> sentenceTypes;
    bool operator==(const LanguageParts&) const = default;
};

class LanguageRuleBase {
public:
    // Loads a rule file; raises MException on any failure and then leaves
    // nothing behind. A compiled copy of the file in the profile's
    // "Speechfiles/Cache" folder is used when it was made from exactly the
    // file's present bytes; otherwise the XML is parsed and the copy
    // (re)written, when the folder can be written. From a compiled copy only
    // the file and language information are decoded at once (all a
    // configuration needs to name the language and its script); the tables
    // follow the first time anything else is asked for, so a language the
    // text never uses costs little more than reading its copy.
    static std::unique_ptr<LanguageRuleBase> load(const std::string& path);
    // The built-in English entry: only its LanguageInfo ("English (United
    // States)", dialect "INDIAN", code "en", country "US", database "en1").
    static std::unique_ptr<LanguageRuleBase> builtInEnglish();
    // A database made from parts already in memory (tools and tests).
    static std::unique_ptr<LanguageRuleBase> fromParts(LanguageParts parts);

    ~LanguageRuleBase();
    LanguageRuleBase(const LanguageRuleBase&) = delete;
    LanguageRuleBase& operator=(const LanguageRuleBase&) = delete;

    const LanguageParts& parts() const { return complete(), parts_; }
    const LanguageInfo* language() const { return opt(parts_.language); }
    const std::string& name() const;
    const std::string& mbrolaDatabase() const;
    const std::string& dialect() const;
    // True when the code lies in the script's range; the built-in English
    // entry claims exactly the letters A-Z and a-z.
    bool claims(char32_t code) const;
    const SentenceTypeTable* sentenceTypes() const { return complete(), opt(parts_.sentenceTypes); }

    const LanguageFileInfo* fileInfo() const { return opt(parts_.fileInfo); }
    const SoundTable* sounds() const { return complete(), opt(parts_.sounds); }
    const CharacterTable* characters() const { return complete(), opt(parts_.characters); }
    const DigitMap* digitMap() const { return complete(), opt(parts_.digitMap); }
    const DigitWords* digitWords() const { return complete(), opt(parts_.digitWords); }
    const ExactMatchTable* exactMatches() const { return complete(), opt(parts_.exactMatches); }
    const RuleCharacterTable* ruleCharacters() const { return complete(), opt(parts_.ruleCharacters); }

    const NGramGeneratorForSingleCharacter& singleGenerator() const;
    const NGramGenerator1& generator1() const;
    const NGramGenerator2& generator2() const;
    const NGramGenerator3& generator3() const;

    // Phones of one word (no delimiters inside): script digits and numbers
    // become number words, each white-space separated piece is looked up as
    // an exact match, else converted by the context rules; every piece that
    // yields phones ends with a word-boundary unit "_" of 0 ms. Missing
    // parts of the database count as empty. Raises MException on a rank tie
    // in the rule file.
    std::vector<PhonemeUnit> convertWord(std::u16string_view word) const;
    // Phones of an exact-match entry for the piece, or empty.
    std::vector<PhonemeUnit> exactPhones(std::u16string_view piece) const;
    // Rule-driven phones of one piece.
    std::vector<PhonemeUnit> rulePhones(std::u16string_view piece) const;
    // Whether the word (as written, without punctuation) is one of the
    // language's own words: listed in its word list as a word the list of
    // another language of its script lacks.
    bool isOwnWord(std::u16string_view word) const;

private:
    // What is built over the complete parts: the pattern generators and the
    // rule index.
    struct Tables;
    // `deferred`: the stamp of the rule file's bytes whose compiled copy holds
    // the parts after the language information, decoded from that copy on
    // first use; none when `parts` is already complete.
    LanguageRuleBase(LanguageParts parts, std::optional<compiledcache::Stamp> deferred, std::string path);

    template <class T>
    static const T* opt(const std::optional<T>& o) { return o ? &*o : nullptr; }
    // Decodes the deferred parts (once, thread-safe) and builds the tables.
    const Tables& complete() const;
    void finishLoading() const;
    const CharacterTable& table() const { return complete(), parts_.characters ? *parts_.characters : emptyTable_; }
    const RuleIndex& ruleIndex() const;
    void appendRulePhones(std::u16string_view piece, std::vector<PhonemeUnit>& out) const;

    mutable LanguageParts parts_;
    CharacterTable emptyTable_;
    bool builtInEnglish_ = false;
    std::string path_; // the rule file: for a deferred part that cannot be decoded, and its word list
    mutable std::optional<compiledcache::Stamp> deferred_; // parts still to decode from the compiled copy
    mutable std::once_flag completed_;
    mutable std::unique_ptr<const Tables> tables_;
    // The language's word list, read on first use from beside the rule file
    // ("<rule file without .xml>.words"); null without one.
    mutable std::unique_ptr<const WordListFile> words_;
};

} // namespace vorsan
