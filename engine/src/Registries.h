#pragma once
// The engine's three registries and its primary language, kept together so a
// configuration can be loaded into a fresh set and swapped in only when the
// whole file loaded.
#include <map>
#include <memory>
#include <string>

#include "vorsan/accent/AccentDatabase.h"
#include "vorsan/emotion/EmotionDatabase.h"
#include "LanguageEntry.h"
#include "vorsan/engine/SpeechEngine.h"

namespace vorsan {

struct SpeechEngine::Registries {
    std::map<std::string, std::unique_ptr<LanguageEntry>> languages;
    std::map<std::string, std::unique_ptr<EmotionDatabase>> emotions;
    std::map<std::string, std::unique_ptr<AccentDatabase>> accents;
    LanguageEntry* primary = nullptr;
    // Devanagari read as Marathi or Hindi by the words of each sentence
    // (configuration element ChooseLanguageBySentence); off, it is Hindi.
    bool chooseLanguageBySentence = true;
};

// "Language " L " not\tloaded in Vorsan"
std::string notLoadedMessage(const std::string& language);

} // namespace vorsan
