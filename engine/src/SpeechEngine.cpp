#include "vorsan/engine/SpeechEngine.h"

#include "Registries.h"
#include "vorsan/synth/SynthChannel.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Paths.h"
#include "vorsan/core/Text.h"
#include "vorsan/english/EnglishFrontEnd.h"

namespace vorsan {

std::string notLoadedMessage(const std::string& language) { return "Language " + language + " not\tloaded in Vorsan"; }

namespace {
constexpr const char* kLockedPrefix = "Vorsan loaded by tolvane config file, so can't ";

void requireUnlocked(bool locked, const char* what) {
    if (locked) throw MException(std::string(kLockedPrefix) + what);
}

template <class Map>
StringList keysOf(const Map& m) {
    StringList out;
    for (const auto& [name, value] : m) out.push_back(utf8ToUtf16(name));
    return out;
}
} // namespace

SpeechEngine::SpeechEngine()
    : reg_(std::make_unique<Registries>()),
      english_(std::make_unique<EnglishFrontEnd>(defaultEnglishDictionaryPath())),
      channel_(std::make_unique<synth::SynthChannel>()),
      configPath_(profileFolder() + "/tolvane.xml"),
      outputFolder_(profileFolder() + "/") {
    registerEnglish(*reg_);
}

SpeechEngine::~SpeechEngine() = default;

void SpeechEngine::registerEnglish(Registries& r) const {
    auto entry = std::make_unique<LanguageEntry>(LanguageRuleBase::builtInEnglish(), true);
    r.languages.emplace(kEnglishName, std::move(entry));
}

LanguageEntry& SpeechEngine::entryOrThrow(const std::string& language) const {
    auto it = reg_->languages.find(language);
    if (it == reg_->languages.end()) throw MException(notLoadedMessage(language));
    return *it->second;
}

// --- queries ---------------------------------------------------------------

bool SpeechEngine::languageSupported(const std::string& l) const { return reg_->languages.count(l) != 0; }
bool SpeechEngine::emotionDatabaseSupported(const std::string& d) const { return reg_->emotions.count(d) != 0; }
bool SpeechEngine::accentDatabaseSupported(const std::string& d) const { return reg_->accents.count(d) != 0; }

bool SpeechEngine::emotionSet(const std::string& l) const {
    if (l.empty()) throw MException("Invalid language name");
    return !entryOrThrow(l).emotionDatabase.empty();
}

bool SpeechEngine::accentSet(const std::string& l) const {
    if (l.empty()) throw MException("Invalid language name");
    return !entryOrThrow(l).accentDatabase.empty();
}

bool SpeechEngine::moodExistsInDatabase(const std::u16string& mood, const std::string& db) const {
    if (mood.empty()) throw MException("Invalid mood name");
    if (db.empty()) throw MException("Invalid emotion database name");
    auto it = reg_->emotions.find(db);
    if (it == reg_->emotions.end()) throw MException("Emotion database " + db + " not loaded");
    return it->second->hasEmotion(utf16ToUtf8(mood));
}

std::string SpeechEngine::primaryLanguage() const { return reg_->primary ? reg_->primary->name() : std::string(); }

StringList SpeechEngine::allSupportedLanguages() const { return keysOf(reg_->languages); }
std::string SpeechEngine::dialect(const std::string& l) const { return entryOrThrow(l).language().dialect(); }
std::string SpeechEngine::mbrolaDatabase(const std::string& l) const { return entryOrThrow(l).language().mbrolaDatabase(); }
float SpeechEngine::pitch(const std::string& l) const { return entryOrThrow(l).pitch; }
float SpeechEngine::time(const std::string& l) const { return entryOrThrow(l).time; }
int32_t SpeechEngine::voiceFrequency(const std::string& l) const { return entryOrThrow(l).voiceFrequency; }

StringList SpeechEngine::suitableEmotionDatabase(const std::string& l) const {
    const std::string& db = entryOrThrow(l).language().mbrolaDatabase();
    StringList out;
    for (const auto& [name, emotion] : reg_->emotions)
        if (emotion->mbrolaDatabase() == db) out.push_back(utf8ToUtf16(name));
    return out;
}

StringList SpeechEngine::suitableAccentDatabase(const std::string& l) const {
    const std::string& db = entryOrThrow(l).language().mbrolaDatabase();
    StringList out;
    for (const auto& [name, accent] : reg_->accents)
        if (accent->mbrolaInfo().fromMbroladb == db) out.push_back(utf8ToUtf16(name));
    return out;
}

std::string SpeechEngine::emotionDatabase(const std::string& l) const { return entryOrThrow(l).emotionDatabase; }
std::string SpeechEngine::accentDatabase(const std::string& l) const { return entryOrThrow(l).accentDatabase; }
StringList SpeechEngine::allEmotionDatabases() const { return keysOf(reg_->emotions); }
StringList SpeechEngine::allAccentDatabases() const { return keysOf(reg_->accents); }

StringList SpeechEngine::allMoodsInDatabase(const std::string& l) const {
    if (l.empty()) throw MException("Invalid language name");
    const LanguageEntry& e = entryOrThrow(l);
    auto it = reg_->emotions.find(e.emotionDatabase);
    if (e.emotionDatabase.empty() || it == reg_->emotions.end())
        throw MException("Emotion database not set for language " + l);
    StringList out;
    for (const auto& mood : it->second->emotionNames()) out.push_back(utf8ToUtf16(mood));
    return out;
}

std::u16string SpeechEngine::activeMood(const std::string& l) const {
    if (l.empty()) throw MException("Invalid language name");
    auto it = reg_->languages.find(l);
    if (it == reg_->languages.end()) throw MException(l + " language not available in Vorsan");
    if (it->second->emotionDatabase.empty()) throw MException("Emotion database not set for language " + l);
    return it->second->activeMood;
}

// --- changes ---------------------------------------------------------------

void SpeechEngine::setPrimaryLanguage(const std::string& l) {
    if (l.empty()) {
        reg_->primary = nullptr;
        return;
    }
    reg_->primary = &entryOrThrow(l);
}

void SpeechEngine::setPitch(const std::string& l, float v) { entryOrThrow(l).pitch = v; }
void SpeechEngine::setTime(const std::string& l, float v) { entryOrThrow(l).time = v; }
void SpeechEngine::setVoiceFrequency(const std::string& l, int32_t v) { entryOrThrow(l).voiceFrequency = v; }

void SpeechEngine::setEmotionDatabase(const std::string& l, const std::string& db) {
    if (l.empty()) throw MException("Invalid language name");
    if (db.empty()) throw MException("Invalid emotion database name");
    auto lit = reg_->languages.find(l);
    if (lit == reg_->languages.end()) throw MException("Language " + l + " not loaded");
    auto dit = reg_->emotions.find(db);
    if (dit == reg_->emotions.end()) throw MException("Emotion database " + db + " not loaded");
    if (dit->second->mbrolaDatabase() != lit->second->language().mbrolaDatabase())
        throw MException("Mbrola Database is not same in emotion file and language file");
    lit->second->emotionDatabase = db;
}

void SpeechEngine::setAccentDatabase(const std::string& l, const std::string& db) {
    if (l.empty()) throw MException("Invalid language name");
    if (db.empty()) throw MException("Invalid accent database name");
    auto lit = reg_->languages.find(l);
    if (lit == reg_->languages.end()) throw MException("Langauge " + l + " not loaded");
    auto dit = reg_->accents.find(db);
    if (dit == reg_->accents.end()) throw MException("Accent database " + db + " not loaded");
    if (dit->second->mbrolaInfo().fromMbroladb != lit->second->language().mbrolaDatabase())
        throw MException("Mbrola Database is not same in accent file and language file");
    lit->second->accentDatabase = db;
}

void SpeechEngine::setActiveMood(const std::string& l, const std::u16string& mood) {
    if (mood.empty()) throw MException("Invalid mood name");
    if (l.empty()) throw MException("Invalid language name");
    LanguageEntry& e = entryOrThrow(l);
    auto it = reg_->emotions.find(e.emotionDatabase);
    if (e.emotionDatabase.empty() || it == reg_->emotions.end())
        throw MException("Emotion not set for language " + l);
    if (!it->second->hasEmotion(utf16ToUtf8(mood)))
        throw MException("Mood not found in Emotion database " + e.emotionDatabase);
    e.activeMood = mood;
}

std::string SpeechEngine::addLanguageDatabase(const std::string& path) {
    requireUnlocked(locked_, "add Language Database");
    auto entry = std::make_unique<LanguageEntry>(LanguageRuleBase::load(path), false);
    std::string name = entry->name();
    if (reg_->languages.count(name)) throw MException(name + " already loaded");
    reg_->languages.emplace(name, std::move(entry));
    return name;
}

std::string SpeechEngine::addEmotionDatabase(const std::string& path) {
    requireUnlocked(locked_, "set Emotion Database");
    auto db = EmotionDatabase::load(path);
    std::string name = db->key();
    if (reg_->emotions.count(name)) throw MException(name + " already loaded");
    reg_->emotions.emplace(name, std::move(db));
    return name;
}

std::string SpeechEngine::addAccentDatabase(const std::string& path) {
    requireUnlocked(locked_, "add Accent Database");
    auto db = AccentDatabase::load(path);
    std::string name = db->key();
    if (reg_->accents.count(name)) throw MException(name + " already loaded");
    reg_->accents.emplace(name, std::move(db));
    return name;
}

void SpeechEngine::removeLanguageDatabase(const std::string& l) {
    requireUnlocked(locked_, "remove Language Database");
    if (l == kEnglishName) throw MException("Can't remove English Database");
    auto it = reg_->languages.find(l);
    if (it == reg_->languages.end()) return;
    if (reg_->primary == it->second.get()) reg_->primary = nullptr;
    reg_->languages.erase(it);
}

void SpeechEngine::removeEmotionDatabase(const std::string& db) {
    requireUnlocked(locked_, "remove Emotion Database");
    auto it = reg_->emotions.find(db);
    if (it == reg_->emotions.end()) return;
    for (auto& [name, entry] : reg_->languages)
        if (entry->emotionDatabase == db) entry->emotionDatabase.clear();
    reg_->emotions.erase(it);
}

void SpeechEngine::removeAccentDatabase(const std::string& db) {
    requireUnlocked(locked_, "remove DBMapper Database");
    auto it = reg_->accents.find(db);
    if (it == reg_->accents.end()) return;
    for (auto& [name, entry] : reg_->languages)
        if (entry->accentDatabase == db) entry->accentDatabase.clear();
    reg_->accents.erase(it);
}

// --- mood and accent on request --------------------------------------------

EmotionDatabase& SpeechEngine::emotionFor(const std::u16string& mood, const std::string& db) const {
    if (db.empty()) throw MException("Invalid argument - emotionDBName");
    if (mood.empty()) throw MException("Invalid argument - moodName");
    auto it = reg_->emotions.find(db);
    if (it == reg_->emotions.end()) throw MException("Emotion database " + db + " not loaded");
    if (!it->second->hasEmotion(utf16ToUtf8(mood))) throw MException("Mood not found");
    return *it->second;
}

std::string SpeechEngine::applyMood(const std::string& phonemes, const std::u16string& mood, const std::string& db) {
    if (phonemes.empty()) throw MException("Invalid argument - phoneString");
    return emotionFor(mood, db).applyEmotion(phonemes, utf16ToUtf8(mood));
}

void SpeechEngine::setPreferredLanguage(const std::string& language) {
    if (!language.empty()) entryOrThrow(language);
    preferred_ = language;
}

SpeechChunk SpeechEngine::changeAccent(const std::string& phonemes, const std::string& db) {
    if (phonemes.empty()) throw MException("Invalid argument - phoneString");
    PhonemeRecordList phones;
    phones.read(phonemes);
    SpeechChunk chunk = mapAccent(phones, db, nullptr);
    chunk.phones.writeTo(chunk.phoneString);
    chunk.phones.clear();
    return chunk;
}

SpeechChunk SpeechEngine::mapAccent(const PhonemeRecordList& phones, const std::string& db,
                                    std::vector<std::size_t>* origin) {
    if (db.empty()) throw MException("Invalid argument - accentDBName");
    auto it = reg_->accents.find(db);
    if (it == reg_->accents.end()) throw MException("Accent database " + db + " not loaded");
    const MbrolaInfo& info = it->second->mbrolaInfo();
    SpeechChunk chunk;
    chunk.phones = it->second->mapPhonemes(phones, origin);
    chunk.mbrolaDatabase = info.toMbroladb;
    chunk.pitch = info.pitch;
    chunk.time = info.time;
    chunk.voiceFrequency = info.voice;
    return chunk;
}

} // namespace vorsan
