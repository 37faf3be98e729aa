// What each loaded language says of itself, for the front doors: their voice
// lists, language choices and samples come from here rather than from tables
// of their own.
#include <algorithm>

#include "Registries.h"
#include "vorsan/core/Text.h"
#include "vorsan/language/LanguageCodes.h"

namespace vorsan {

namespace {

LanguageDescription describe(const LanguageRuleBase& base, bool builtInEnglish) {
    LanguageDescription d;
    const LanguageInfo* info = base.language();
    if (!info) return d;
    d.name = info->languageName;
    d.dialect = info->dialect;
    d.code = primaryLanguageTag(info->languageCode);
    d.country = info->countryCode;
    d.windowsId = info->windowsLanguageId > 0 ? static_cast<uint16_t>(info->windowsLanguageId)
                                              : windowsLanguageIdOfCode(d.code);
    if (!builtInEnglish) {
        d.scriptStart = static_cast<char16_t>(std::clamp<int32_t>(info->unicodeStart, 0, 0xFFFF));
        d.scriptEnd = static_cast<char16_t>(std::clamp<int32_t>(info->unicodeEnd, 0, 0xFFFF));
    }
    d.sample = info->sampleText;
    d.voiceDatabase = info->mbrolaDatabase;
    return d;
}

} // namespace

std::vector<LanguageDescription> SpeechEngine::describeLanguages() const {
    std::vector<LanguageDescription> out;
    for (const auto& [name, entry] : reg_->languages) {
        out.push_back(describe(entry->language(), entry->isBuiltInEnglish()));
        out.back().name = name; // the key it is filed under
    }
    return out;
}

LanguageDescription SpeechEngine::describeLanguage(const std::string& language) const {
    const LanguageEntry& entry = entryOrThrow(language);
    LanguageDescription d = describe(entry.language(), entry.isBuiltInEnglish());
    d.name = language;
    return d;
}

std::string SpeechEngine::languageOfCode(std::string_view tag) const {
    const std::string wanted = primaryLanguageTag(tag);
    if (wanted.empty()) return {};
    for (const auto& [name, entry] : reg_->languages) {
        const LanguageInfo* info = entry->language().language();
        if (info && primaryLanguageTag(info->languageCode) == wanted) return name;
    }
    return {};
}

std::string SpeechEngine::languageOfWindowsId(uint16_t langId) const {
    const uint16_t primary = langId & 0x3FF;
    if (primary == 0) return {};
    for (const LanguageDescription& d : describeLanguages())
        if (d.windowsId != 0 && (d.windowsId & 0x3FF) == primary) return d.name;
    return {};
}

LanguageDescription SpeechEngine::describeLanguageFile(const std::string& path) {
    return describe(*LanguageRuleBase::load(path), false);
}

LanguageDescription SpeechEngine::describeBuiltInEnglish() { return describe(*LanguageRuleBase::builtInEnglish(), true); }

} // namespace vorsan
