#include "vorsan/language/LanguageRuleBase.h"

#include "Compounds.h"
#include "RuleCache.h"
#include "RuleFileReader.h"
#include "RuleIndex.h"
#include "WordListFile.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Xml.h"

namespace vorsan {

namespace {
const std::string kEmpty;
const RuleCharacterTable kNoRules;
}

struct LanguageRuleBase::Tables {
    Tables(const CharacterTable& t, const RuleCharacterTable& rules)
        : single(t), first(t), second(t), third(t), index(rules) {}
    NGramGeneratorForSingleCharacter single;
    NGramGenerator1 first;
    NGramGenerator2 second;
    NGramGenerator3 third;
    RuleIndex index; // fast lookups over ruleCharacters
};

LanguageRuleBase::LanguageRuleBase(LanguageParts parts, std::optional<compiledcache::Stamp> deferred, std::string path)
    : parts_(std::move(parts)), path_(std::move(path)), deferred_(std::move(deferred)) {}

LanguageRuleBase::~LanguageRuleBase() = default;

const LanguageRuleBase::Tables& LanguageRuleBase::complete() const {
    std::call_once(completed_, [this] { finishLoading(); });
    return *tables_;
}

void LanguageRuleBase::finishLoading() const {
    if (deferred_) {
        // The tables are read from the compiled copy only now, when the
        // language is first used (most loaded languages never are). The copy
        // fails only when it was replaced or removed since (the rule file was
        // edited) or memory runs out; the rule file itself then supplies the
        // tables (a failure of that raises from the use that needed them).
        if (!rulecache::loadTables(path_, *deferred_, parts_)) {
            LanguageParts fromXml;
            xml::parseFile(path_, xml::GuardStyle{}, [&](const xml::DOMElement& root) { fromXml = rulefile::read(root); });
            fromXml.fileInfo = parts_.fileInfo;
            fromXml.language = parts_.language;
            parts_ = std::move(fromXml);
        }
        deferred_.reset();
    }
    if (!path_.empty()) words_ = WordListFile::forRuleFile(path_);
    tables_ = std::make_unique<Tables>(parts_.characters ? *parts_.characters : emptyTable_,
                                       parts_.ruleCharacters ? *parts_.ruleCharacters : kNoRules);
    // Indexed once, in place: moving an indexed table would rebuild its indexes.
    if (parts_.characters) parts_.characters->finish();
}

const RuleIndex& LanguageRuleBase::ruleIndex() const { return complete().index; }
const NGramGeneratorForSingleCharacter& LanguageRuleBase::singleGenerator() const { return complete().single; }
const NGramGenerator1& LanguageRuleBase::generator1() const { return complete().first; }
const NGramGenerator2& LanguageRuleBase::generator2() const { return complete().second; }
const NGramGenerator3& LanguageRuleBase::generator3() const { return complete().third; }

std::unique_ptr<LanguageRuleBase> LanguageRuleBase::load(const std::string& path) {
    if (path.empty()) throw MException("FileName is NULL");
    if (!xml::isReadableFile(path)) throw MException("File '" + path + "' not found/corrupted");
    xml::checkSize(path, xml::kMaxRuleFileBytes); // before the whole file is read
    // The compiled copy, when one was made from exactly these bytes, spares
    // the XML parsing. The bytes are only hashed, piece by piece: copying
    // every rule file of a configuration into fresh memory was a fifth of a
    // process's start-up.
    const std::optional<compiledcache::Stamp> xmlStamp = compiledcache::stampFile(path);
    if (xmlStamp)
        if (auto head = rulecache::loadHead(path, *xmlStamp))
            return std::unique_ptr<LanguageRuleBase>(
                new LanguageRuleBase(std::move(head->parts), xmlStamp, path));
    // Everything is built into local objects; only a complete database is
    // returned, and only a file that loaded gets a compiled copy.
    LanguageParts parts;
    xml::parseFile(path, xml::GuardStyle{}, [&](const xml::DOMElement& root) { parts = rulefile::read(root); });
    auto base = std::unique_ptr<LanguageRuleBase>(new LanguageRuleBase(std::move(parts), {}, path));
    base->complete();
    if (xmlStamp) rulecache::store(path, *xmlStamp, base->parts());
    return base;
}

std::unique_ptr<LanguageRuleBase> LanguageRuleBase::fromParts(LanguageParts parts) {
    auto base = std::unique_ptr<LanguageRuleBase>(new LanguageRuleBase(std::move(parts), {}, {}));
    base->complete();
    return base;
}

std::unique_ptr<LanguageRuleBase> LanguageRuleBase::builtInEnglish() {
    LanguageParts parts;
    parts.language = LanguageInfo{"English (United States)", "INDIAN", "en", "US", "en1", 0, 0, false, 0x0409,
                                  u"Hello, this is how I sound with these settings."};
    auto base = fromParts(std::move(parts));
    base->builtInEnglish_ = true;
    return base;
}

const std::string& LanguageRuleBase::name() const { return parts_.language ? parts_.language->languageName : kEmpty; }
const std::string& LanguageRuleBase::mbrolaDatabase() const {
    return parts_.language ? parts_.language->mbrolaDatabase : kEmpty;
}
const std::string& LanguageRuleBase::dialect() const { return parts_.language ? parts_.language->dialect : kEmpty; }

bool LanguageRuleBase::isOwnWord(std::u16string_view word) const {
    complete();
    return words_ && words_->contains('=', word);
}

bool LanguageRuleBase::claims(char32_t code) const {
    if (builtInEnglish_) return (code >= U'A' && code <= U'Z') || (code >= U'a' && code <= U'z');
    if (!parts_.language) return false;
    const int64_t c = code;
    return parts_.language->unicodeStart <= c && c <= parts_.language->unicodeEnd;
}

} // namespace vorsan
