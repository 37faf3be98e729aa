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
#include <vector>

#include "vorsan/core/PhonemeText.h"
#include "vorsan/synth/AudioSink.h"

namespace vorsan {

namespace synth {
class SynthChannel;
} // namespace synth

class EmotionDatabase;
class AccentDatabase;
class EnglishFrontEnd;
class LanguageEntry;

// Sound file types accepted by convertTextToSoundFile (synth::SoundFileType's
// numbers, as plain integers for the automation layer).
inline constexpr int16_t kSoundAU = static_cast<int16_t>(synth::SoundFileType::Au);
inline constexpr int16_t kSoundAIFF = static_cast<int16_t>(synth::SoundFileType::Aiff);
inline constexpr int16_t kSoundWAVE = static_cast<int16_t>(synth::SoundFileType::Wave);

// What a loaded language says of itself, from its rule file (the built-in
// English from the engine). Every front door (the CLI, the system voice,
// the speech-dispatcher module, the manager, Python) asks for these rather
// than keeping a table of its own, so a language added by file appears
// everywhere.
struct LanguageDescription {
    std::string name;          // the engine's language name: "Hindi"
    std::string dialect;
    std::string code;          // lower-case ISO 639 code ("hi", "tcy"); "" when the file names none
    std::string country;       // "IN"
    uint16_t windowsId = 0;    // Windows language identifier (0x0439); 0 when it has none
    char16_t scriptStart = 0;  // the code range whose characters it reads (both ends included);
    char16_t scriptEnd = 0;    // 0 and 0 for the built-in English, which reads A-Z and a-z
    std::u16string sample;     // a sentence to try its voice with
    std::string voiceDatabase; // the diphone database it is spoken with
};

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
    // Every loaded language, in the order of their names.
    std::vector<LanguageDescription> describeLanguages() const;
    // Raises the engine's "not loaded" message for an unknown language.
    LanguageDescription describeLanguage(const std::string& language) const;
    // The loaded language of a language tag ("hi", "hi-IN", "HI_in"), by its
    // primary subtag; "" when no loaded language has that code.
    std::string languageOfCode(std::string_view tag) const;
    // The loaded language of a Windows language identifier, by its primary
    // language (the low ten bits); "" when none.
    std::string languageOfWindowsId(uint16_t langId) const;
    // A rule file's description without loading it into an engine (the
    // manager's view of a file). Raises the rule file's loading messages.
    static LanguageDescription describeLanguageFile(const std::string& path);
    // The built-in English language's description.
    static LanguageDescription describeBuiltInEnglish();
    // A punctuation mark's or symbol's name in the language, from its rule
    // file (a screen reader naming punctuation); "" when the file names none
    // or the language is not loaded.
    std::u16string symbolName(const std::string& language, char32_t symbol) const;

    // --- changes -----------------------------------------------------------
    void setPrimaryLanguage(const std::string& language);
    // Text of this language's script is read as this language even where
    // another loaded language claims the same script (Marathi rather than
    // Hindi for Devanagari); "" restores the usual choice. Raises the
    // engine's "not loaded" message for an unknown language.
    void setPreferredLanguage(const std::string& language);
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
    // How one call speaks, over what the configuration gives each language
    // (its mood, accent, time and pitch ratios, which are left as they are).
    struct RenderOptions {
        bool withEmotion = true;
        bool withAccent = true;
        float rate = 1.0f;  // speaking rate: 2 speaks twice as fast as the configuration
        float pitch = 1.0f; // multiplies every pitch of the configuration
        // The rate the sink gets: 0, each run at its voice's own rate;
        // kFirstRunRate, every run at the first run's; else this rate (4000
        // to 192000 Hz). Runs are converted where they differ, and word
        // starts count samples at the rate the sink gets.
        int32_t outputRate = 0;
        // For measurement: a seed (0: none) with which every phone's duration
        // is changed at random by up to a tenth, the same way for the same
        // seed and sentence.
        uint32_t durationJitter = 0;
    };
    static constexpr int32_t kFirstRunRate = -1;
    void speakText(std::u16string_view text, bool withEmotion, bool withAccent);
    // The same with a call's options (their outputRate is not used: the
    // device plays every run at the rate it was opened at).
    void speakText(std::u16string_view text, const RenderOptions& options);
    void speakChunk(const SpeechChunk& chunk);
    // One file per run, "temp<n>" in the output folder; each file appears
    // only when complete. A stopped conversion returns the files completed
    // before the stop (and stopped() is true); a failed one removes the
    // files it wrote before raising.
    StringList convertTextToSoundFile(std::u16string_view text, bool withEmotion, bool withAccent,
                                      int16_t fileType);
    // The whole text, every run, into the one file `path` (runs at other
    // rates converted to the first run's), which appears only when complete.
    // Returns false when stopped (and then nothing is written). Raises
    // "The text has nothing to speak ..." when no part of the text belongs to
    // a loaded language (nothing is written then either). A failure leaves an
    // older file at `path` as it was.
    bool convertTextToNamedFile(std::u16string_view text, bool withEmotion, bool withAccent, int16_t fileType,
                                const std::string& path);
    // The same with a call's options (the file takes the first run's rate
    // unless they name one).
    bool convertTextToNamedFile(std::u16string_view text, const RenderOptions& options, int16_t fileType,
                                const std::string& path);
    // Where a word of the text begins in a run of speech (a run is a sentence
    // or a piece of the text as it reaches the sink).
    struct WordStart {
        std::size_t offset; // in the text, UTF-16 code units
        std::size_t length;
        int64_t sample;     // from the run's start, at the run's rate
    };
    using WordStartObserver = std::function<void(const std::vector<WordStart>&)>;
    // The text's speech, sentence by sentence as each is ready, into the
    // caller's sink. The sink and `words` are called only on the calling
    // thread, from inside this call; `words`, when given, right after each
    // run's beginRun. Returns false when stopped.
    bool renderText(std::u16string_view text, bool withEmotion, bool withAccent, synth::AudioSink& sink,
                    const WordStartObserver& words = {});
    bool renderText(std::u16string_view text, const RenderOptions& options, synth::AudioSink& sink,
                    const WordStartObserver& words = {});
    // Safe to call from another thread while this engine speaks or writes:
    // ends its current chunk and every chunk still to come. Other engines
    // in the process go on.
    void stopSpeaking();
    // True when the last speak or convert operation ended by stopSpeaking.
    bool stopped() const { return stopRequested_; }

    // Called before each chunk of speakText or convertTextToSoundFile is
    // synthesised, with its index and the number of chunks (for progress).
    using ChunkObserver = std::function<void(std::size_t index, std::size_t count)>;
    void setChunkObserver(ChunkObserver observer) { observer_ = std::move(observer); }
    // Share (0 to 1) of the chunk being synthesised that is already done.
    float chunkProgress() const;

    // The registries' storage (opaque outside the engine's own sources).
    struct Registries;

private:
    LanguageEntry& entryOrThrow(const std::string& language) const;
    std::string scriptClass(char16_t c) const;
    // The pipeline, sentence by sentence (its stages are in Pipeline.cpp).
    struct SentenceWork;
    void moodStage(SentenceWork& work);
    void accentStage(SentenceWork& work);
    // The emotion database `db` when it holds `mood`; raises applyMood's
    // messages otherwise.
    EmotionDatabase& emotionFor(const std::u16string& mood, const std::string& db) const;
    // changeAccent on records, also giving each result record's source record.
    SpeechChunk mapAccent(const PhonemeRecordList& phones, const std::string& db, std::vector<std::size_t>* origin);
    // Where a sentence stands: its run, the number of runs, and whether it is
    // the run's last sentence.
    struct SentencePlace {
        std::size_t run;
        std::size_t runs;
        bool lastOfRun;
    };
    using SentenceHandler = std::function<bool(SpeechChunk&&, const SentencePlace&)>;
    // Cuts the text into runs and each run into sentences, and hands every
    // sentence's chunk to `each` as soon as it is ready (every run gives at
    // least one); stops early when `each` returns false.
    void forEachSentence(std::u16string_view text, bool withEmotion, bool withAccent, bool onlyTranscription,
                         const SentenceHandler& each);
    // Hands the chunk's voice settings to the synthesiser (the engine's
    // messages when one is refused).
    void prepareVoice(const SpeechChunk& chunk);
    // Synthesises one chunk into the sink (its records handed over to the
    // synthesiser); false when stopped.
    bool synthesise(SpeechChunk& chunk, synth::AudioSink& sink, bool toFile);
    // The same into a caller's sink, delivered on this thread.
    // `begun` gets where each record of the chunk begins in its samples.
    bool synthesiseRelayed(SpeechChunk& chunk, synth::AudioSink& sink,
                           const std::function<void(const std::vector<int64_t>&)>& begun);
    void registerEnglish(Registries& r) const;
    // A call's rate and pitch on a chunk; raises for values out of range.
    static void checkOptions(const RenderOptions& options);
    static void applyOptions(SpeechChunk& chunk, const RenderOptions& options);

    std::unique_ptr<Registries> reg_;
    std::unique_ptr<EnglishFrontEnd> english_;
    std::unique_ptr<synth::SynthChannel> channel_;
    bool locked_ = false;
    std::atomic<bool> stopRequested_{false};
    ChunkObserver observer_;
    std::string preferred_;
    std::string configPath_;
    std::string outputFolder_;
};

} // namespace vorsan
