#include "vorsan/language/LanguageRuleBase.h"

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
      ruleIndex_(std::make_unique<RuleIndex>(parts_.ruleCharacters ? *parts_.ruleCharacters : kNoRules)) {}

LanguageRuleBase::~LanguageRuleBase() = default;

std::unique_ptr<LanguageRuleBase> LanguageRuleBase::load(const std::string& path) {
    if (path.empty()) throw MException("FileName is NULL");
    if (!xml::isReadableFile(path)) throw MException("File '" + path + "' not found/corrupted");
    // Everything is built into local objects; only a complete database is returned.
    LanguageParts parts;
    xml::parseFile(path, xml::GuardStyle{}, [&](const xml::DOMElement& root) { parts = rulefile::read(root); });
    return fromParts(std::move(parts));
}

std::unique_ptr<LanguageRuleBase> LanguageRuleBase::fromParts(LanguageParts parts) {
    if (parts.characters) parts.characters->finish();
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
