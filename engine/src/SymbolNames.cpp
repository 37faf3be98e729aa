// Names of punctuation marks and symbols in each language: the rule file's
// number words (DigitData) carry them as entries keyed "@sym:U+<hex>".
#include <cstdio>

#include "Registries.h"
#include "vorsan/language/Digits.h"

namespace vorsan {

std::u16string SpeechEngine::symbolName(const std::string& language, char32_t symbol) const {
    const auto found = reg_->languages.find(language);
    if (found == reg_->languages.end()) return {};
    const DigitWords* words = found->second->language().digitWords();
    if (!words) return {};
    char key[24];
    std::snprintf(key, sizeof key, "@sym:U+%04X", static_cast<unsigned>(symbol));
    const auto name = words->words.find(std::string_view(key));
    return name == words->words.end() ? std::u16string() : name->second;
}

} // namespace vorsan
