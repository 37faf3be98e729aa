#pragma once
// The speech engine: registries of loaded languages, emotion databases and
// accent databases, the per-language voice settings, the text-to-phoneme
// pipeline, the master configuration file and sound output.
//
// Names are UTF-8 strings; text, moods and file lists are UTF-16. Every
// failure raises MException with the message the operation documents.
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "vorsan/core/PhonemeText.h"
#include "vorsan/engine/LanguageEntry.h"

namespace vorsan {

class EmotionDatabase;
class AccentDatabase;
class EnglishFrontEnd;

// Sound file types accepted by convertTextToSoundFile.
enum SoundFileType : int16_t { kSoundAU = 0, kSoundAIFF = 1, kSoundWAVE = 2 };

class SpeechEngine {
public:
    static constexpr const char* kEnglishName = "English (United States)";

    SpeechEngine();
    ~SpeechEngine();
    SpeechEngine(const SpeechEngine&) = delete;
    SpeechEngine& operator=(const SpeechEngine&) = delete;

    // --- queries -----------------------------------------------------------
    bool languageSupported(const std::string& language) const;
    bool emotionDatabaseSupported(const std::string& db) const;
    bool accentDatabaseSupported(const std::string& db) const;
    bool emotionSet(const std::string& language) const;
    bool accentSet(const std::string& language) const;
    bool moodExistsInDatabase(const std::u16string& mood, const std::string& db) const;
    std::string primaryLanguage() const;
    StringList allSupportedLanguages() const;
    std::string dialect(const std::string& language) const;
    std::string mbrolaDatabase(const std::string& language) const;
    float pitch(const std::string& language) const;
    float time(const std::string& language) const;
    int32_t voiceFrequency(const std::string& language) const;
    StringList suitableEmotionDatabase(const std::string& language) const;
    StringList suitableAccentDatabase(const std::string& language) const;
    std::string emotionDatabase(const std::string& language) const;
    std::string accentDatabase(const std::string& language) const;
    StringList allEmotionDatabases() const;
    StringList allAccentDatabases() const;
    StringList allMoodsInDatabase(const std::string& language) const;
    std::u16string activeMood(const std::string& language) const;

    // --- changes -----------------------------------------------------------
    void setPrimaryLanguage(const std::string& language);
    void setPitch(const std::string& language, float value);
    void setTime(const std::string& language, float value);
    void setVoiceFrequency(const std::string& language, int32_t value);
    void setEmotionDatabase(const std::string& language, const std::string& db);
    void setAccentDatabase(const std::string& language, const std::string& db);
    void setActiveMood(const std::string& language, const std::u16string& mood);
    std::string addLanguageDatabase(const std::string& path);
    std::string addEmotionDatabase(const std::string& path);
    std::string addAccentDatabase(const std::string& path);
    void removeLanguageDatabase(const std::string& language);
    void removeEmotionDatabase(const std::string& db);
    void removeAccentDatabase(const std::string& db);

    // --- configuration file ------------------------------------------------
    bool loadConfiguration();   // from configurationPath()
    bool unloadConfiguration();
    bool configuredFromFile() const { return locked_; }
    const std::string& configurationPath() const { return configPath_; }
    const std::string& outputFolder() const { return outputFolder_; }

    // --- speech ------------------------------------------------------------
    std::string applyMood(const std::string& phonemes, const std::u16string& mood, const std::string& db);
    SpeechChunk changeAccent(const std::string& phonemes, const std::string& db);
    ChunkList convertTextToPhoneme(std::u16string_view text, bool withEmotion, bool withAccent,
                                   bool onlyTranscription);
    void speakText(std::u16string_view text, bool withEmotion, bool withAccent);
    void speakChunk(const SpeechChunk& chunk);
    StringList convertTextToSoundFile(std::u16string_view text, bool withEmotion, bool withAccent,
                                      int16_t fileType);
    // Safe to call from another thread while speakText or speakChunk runs:
    // ends the current chunk and every chunk still to come.
    void stopSpeaking();

    // Called before each chunk of speakText or convertTextToSoundFile is
    // synthesised, with its index and the number of chunks (for progress).
    using ChunkObserver = std::function<void(std::size_t index, std::size_t count)>;
    void setChunkObserver(ChunkObserver observer) { observer_ = std::move(observer); }

    // The registries' storage (opaque outside the engine's own sources).
    struct Registries;

private:
    struct Run {
        std::u16string text;
        const LanguageEntry* entry;
    };

    LanguageEntry& entryOrThrow(const std::string& language) const;
    std::vector<Run> cutIntoRuns(std::u16string_view text) const;
    std::string scriptClass(char16_t c) const;
    SpeechChunk convertRun(std::u16string_view run, const LanguageEntry& entry, bool withEmotion,
                           bool withAccent);
    void synthesise(const SpeechChunk& chunk, int32_t flags, const std::string& path);
    void registerEnglish(Registries& r) const;

    std::unique_ptr<Registries> reg_;
    std::unique_ptr<EnglishFrontEnd> english_;
    bool locked_ = false;
    std::atomic<bool> stopRequested_{false};
    ChunkObserver observer_;
    std::string configPath_;
    std::string outputFolder_;
};

} // namespace vorsan
