#include "vorsan/language/LanguageRuleBase.h"

#include "RuleCache.h"
#include "RuleFileReader.h"
#include "RuleIndex.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Xml.h"

namespace vorsan {

namespace {
const std::string kEmpty;
const RuleCharacterTable kNoRules;
}

LanguageRuleBase::LanguageRuleBase(LanguageParts parts)
    : parts_(std::move(parts)),
      singleGenerator_(table()),
      generator1_(table()),
      generator2_(table()),
      generator3_(table()),
      ruleIndex_(std::make_unique<RuleIndex>(parts_.ruleCharacters ? *parts_.ruleCharacters : kNoRules)) {
    // Indexed once, in place: moving an indexed table would rebuild its indexes.
    if (parts_.characters) parts_.characters->finish();
}

LanguageRuleBase::~LanguageRuleBase() = default;

std::unique_ptr<LanguageRuleBase> LanguageRuleBase::load(const std::string& path) {
    if (path.empty()) throw MException("FileName is NULL");
    if (!xml::isReadableFile(path)) throw MException("File '" + path + "' not found/corrupted");
    // The compiled copy, when one was made from exactly these bytes, spares
    // the XML parsing.
    const std::optional<std::string> xmlBytes = rulecache::readFile(path);
    if (xmlBytes)
        if (auto cached = rulecache::load(path, *xmlBytes)) return fromParts(std::move(*cached));
    // Everything is built into local objects; only a complete database is
    // returned, and only a file that loaded gets a compiled copy.
    LanguageParts parts;
    xml::parseFile(path, xml::GuardStyle{}, [&](const xml::DOMElement& root) { parts = rulefile::read(root); });
    auto base = fromParts(std::move(parts));
    if (xmlBytes) rulecache::store(path, *xmlBytes, base->parts_);
    return base;
}

std::unique_ptr<LanguageRuleBase> LanguageRuleBase::fromParts(LanguageParts parts) {
    return std::unique_ptr<LanguageRuleBase>(new LanguageRuleBase(std::move(parts)));
}

std::unique_ptr<LanguageRuleBase> LanguageRuleBase::builtInEnglish() {
    LanguageParts parts;
    parts.language = LanguageInfo{"English (United States)", "INDIAN", "en", "US", "en1", 0, 0, false};
    auto base = fromParts(std::move(parts));
    base->builtInEnglish_ = true;
    return base;
}

const std::string& LanguageRuleBase::name() const { return parts_.language ? parts_.language->languageName : kEmpty; }
const std::string& LanguageRuleBase::mbrolaDatabase() const {
    return parts_.language ? parts_.language->mbrolaDatabase : kEmpty;
}
const std::string& LanguageRuleBase::dialect() const { return parts_.language ? parts_.language->dialect : kEmpty; }

bool LanguageRuleBase::claims(char32_t code) const {
    if (builtInEnglish_) return (code >= U'A' && code <= U'Z') || (code >= U'a' && code <= U'z');
    if (!parts_.language) return false;
    const int64_t c = code;
    return parts_.language->unicodeStart <= c && c <= parts_.language->unicodeEnd;
}

} // namespace vorsan
