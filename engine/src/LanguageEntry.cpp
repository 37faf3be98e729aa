#include "LanguageEntry.h"

namespace vorsan {

LanguageEntry::LanguageEntry(std::unique_ptr<LanguageRuleBase> language, bool builtInEnglish)
    : pitch(builtInEnglish ? 1.0f : 0.75f),
      time(builtInEnglish ? 1.0f : 0.75f),
      language_(std::move(language)),
      builtInEnglish_(builtInEnglish) {}

bool LanguageEntry::claims(char16_t c) const {
    if (builtInEnglish_) return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    return language_->claims(c);
}

} // namespace vorsan
