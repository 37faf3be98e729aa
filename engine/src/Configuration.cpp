// Loading and unloading the master configuration file (tolvane.xml).
#include "ConfigurationFile.h"
#include "Registries.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/core/Xml.h"

namespace vorsan {

namespace {

// A language entry of the file: its rule file (none: the built-in English)
// with the voice settings the file gives it.
std::unique_ptr<LanguageEntry> languageEntry(const configfile::Item& item) {
    std::unique_ptr<LanguageEntry> entry;
    if (trimBlanks(item.location).empty())
        entry = std::make_unique<LanguageEntry>(LanguageRuleBase::builtInEnglish(), true);
    else
        entry = std::make_unique<LanguageEntry>(LanguageRuleBase::load(item.location), false);
    if (item.pitch) entry->pitch = *item.pitch;
    if (item.time) entry->time = *item.time;
    if (item.voice) entry->voiceFrequency = *item.voice;
    entry->emotionDatabase = item.emotionDatabase;
    entry->accentDatabase = item.accentDatabase;
    entry->activeMood = item.mood;
    if (item.naturalRhythm) entry->englishRhythm = EnglishRhythm::Natural;
    return entry;
}

} // namespace

bool SpeechEngine::loadConfiguration() {
    if (!xml::isReadableFile(configPath_)) throw MException(configPath_ + " Config file not found");

    // Everything is loaded into fresh registries and swapped in only when the
    // whole file loaded, so a broken file leaves the engine as it was.
    auto fresh = std::make_unique<Registries>();
    std::string pendingPrimary;
    using Kind = configfile::Item::Kind;
    for (const configfile::Item& item : configfile::read(configPath_)) {
        switch (item.kind) {
        case Kind::Language: {
            auto entry = languageEntry(item);
            std::string name = entry->name();
            fresh->languages.emplace(name, std::move(entry)); // an earlier entry of that name stays
            break;
        }
        case Kind::Emotion: {
            auto db = EmotionDatabase::load(item.location);
            std::string key = db->key();
            fresh->emotions.emplace(key, std::move(db));
            break;
        }
        case Kind::Accent: {
            auto db = AccentDatabase::load(item.location);
            std::string key = db->key();
            fresh->accents.emplace(key, std::move(db));
            break;
        }
        case Kind::Primary: pendingPrimary = item.location; break;
        case Kind::ChooseBySentence: fresh->chooseLanguageBySentence = item.on; break;
        }
        auto it = fresh->languages.find(pendingPrimary);
        if (!pendingPrimary.empty() && it != fresh->languages.end()) fresh->primary = it->second.get();
    }
    reg_ = std::move(fresh);
    locked_ = true;
    return true;
}

bool SpeechEngine::unloadConfiguration() {
    auto fresh = std::make_unique<Registries>();
    registerEnglish(*fresh);
    reg_ = std::move(fresh);
    locked_ = false;
    return true;
}

} // namespace vorsan
