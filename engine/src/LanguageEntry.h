#pragma once
// A loaded language and the voice settings it is spoken with.
#include <cstdint>
#include <memory>
#include <string>

#include "vorsan/english/EnglishWord.h"
#include "vorsan/language/LanguageRuleBase.h"

namespace vorsan {

class LanguageEntry {
public:
    // A language loaded from a rule file starts with ratios of 0.75; the
    // built-in English entry with 1.0.
    LanguageEntry(std::unique_ptr<LanguageRuleBase> language, bool builtInEnglish);

    const LanguageRuleBase& language() const { return *language_; }
    const std::string& name() const { return language_->name(); }
    bool isBuiltInEnglish() const { return builtInEnglish_; }
    // The built-in English entry claims exactly A-Z and a-z; a rule-file
    // language claims its script's code range.
    bool claims(char16_t c) const;

    float pitch;
    float time;
    int32_t voiceFrequency = 16000;
    std::string emotionDatabase;
    std::string accentDatabase;
    std::u16string activeMood;
    // How the built-in English times its phones (the configuration's
    // "Rhythm"); the phone table unless the configuration asks otherwise.
    EnglishRhythm englishRhythm = EnglishRhythm::Table;

private:
    std::unique_ptr<LanguageRuleBase> language_;
    bool builtInEnglish_;
};

} // namespace vorsan
