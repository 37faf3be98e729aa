// Text to speech chunks: cutting mixed-script text into runs of one language,
// converting each run sentence by sentence (rules with prosody, or the
// English front end), then each sentence's mood and accent.
#include <algorithm>
#include <optional>

#include "Registries.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/english/EnglishFrontEnd.h"
#include "vorsan/prosody/Prosody.h"

namespace vorsan {

namespace {
// Classes of a character besides the loaded languages: neutral characters
// (code 255 or below, claimed by no language) join the run around them;
// unknown ones (above 255, claimed by no language) are dropped.
const LanguageEntry* const kNeutral = reinterpret_cast<const LanguageEntry*>(1);
const LanguageEntry* const kUnknown = reinterpret_cast<const LanguageEntry*>(2);

const LanguageEntry* classOf(char16_t c, const std::map<std::string, std::unique_ptr<LanguageEntry>>& languages,
                             const LanguageEntry* preferred = nullptr) {
    if (preferred && preferred->claims(c)) return preferred;
    for (const auto& [name, entry] : languages)
        if (entry->claims(c)) return entry.get();
    return c <= 255 ? kNeutral : kUnknown;
}
} // namespace

std::string SpeechEngine::scriptClass(char16_t c) const {
    const LanguageEntry* cls = classOf(c, reg_->languages);
    if (cls == kNeutral) return "ENGLISH";
    if (cls == kUnknown) return "UNKNOWN";
    return cls->name();
}

std::vector<SpeechEngine::Run> SpeechEngine::cutIntoRuns(std::u16string_view text) const {
    std::vector<Run> runs;
    const auto& languages = reg_->languages;
    auto found = preferred_.empty() ? languages.end() : languages.find(preferred_);
    const LanguageEntry* preferred = found == languages.end() ? nullptr : found->second.get();
    auto classOf = [&](char16_t c, const auto&) { return vorsan::classOf(c, languages, preferred); };
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (true) {
        const std::size_t start = i;
        while (i < n && classOf(text[i], languages) == kNeutral) ++i;
        if (i == n) break; // a trailing run of neutral characters has no language
        const LanguageEntry* lang = classOf(text[i], languages);
        ++i;
        if (lang == kUnknown) continue; // dropped together with the neutral prefix
        while (i < n) {
            const LanguageEntry* c = classOf(text[i], languages);
            if (c != lang && c != kNeutral) break;
            ++i;
        }
        runs.push_back(Run{std::u16string(text.substr(start, i - start)), lang, start});
    }
    return runs;
}

// What one sentence carries through the stages.
struct SpeechEngine::SentenceWork {
    const LanguageEntry& entry;
    bool withEmotion;
    bool withAccent;
    SpeechChunk chunk;
};

// A failing mood or accent leaves the speech as it was: the listener still
// hears the text, only without that colouring.
void SpeechEngine::moodStage(SentenceWork& work) {
    if (!work.withEmotion) return;
    try {
        std::string moody = applyMood(work.chunk.phoneString, work.entry.activeMood, work.entry.emotionDatabase);
        if (!moody.empty()) work.chunk.phoneString = std::move(moody);
    } catch (const MException&) {
    }
}

void SpeechEngine::accentStage(SentenceWork& work) {
    if (!work.withAccent) return;
    try {
        std::vector<std::size_t> origin;
        SpeechChunk accented = mapAccent(work.chunk.phoneString, work.entry.accentDatabase, &origin);
        if (accented.phoneString.empty()) return;
        // A word now begins at the first line made from its first line (or
        // from a later one, when that line mapped to nothing).
        for (WordMark& w : work.chunk.words)
            w.line = static_cast<std::size_t>(std::lower_bound(origin.begin(), origin.end(), w.line) - origin.begin());
        accented.words = std::move(work.chunk.words);
        work.chunk = std::move(accented);
    } catch (const MException&) {
    }
}

namespace {
// Ends the sentence walk early from inside a converter's callback.
struct WalkEnded {};
} // namespace

void SpeechEngine::forEachSentence(std::u16string_view text, bool withEmotion, bool withAccent,
                                   bool onlyTranscription, const SentenceHandler& each) {
    if (text.empty()) return;
    if (onlyTranscription) withEmotion = false;
    // The stages of the pipeline, in order:
    //   1. the text is cut into runs of one language (or is one run of the
    //      primary language);
    //   2. each run's words become phoneme text, sentence by sentence: by the
    //      language's rules with sentence and clause prosody, or by the
    //      English front end;
    //   3. then each sentence passes the stages of this table;
    //   4. the chunks go to the synthesiser and from it to a sink: the sound
    //      device, a file, or the caller's own (SoundOutput.cpp).
    using Stage = void (SpeechEngine::*)(SentenceWork&);
    static constexpr Stage kStages[] = {&SpeechEngine::moodStage, &SpeechEngine::accentStage};

    auto runOne = [&](std::u16string_view runText, const LanguageEntry& entry, std::size_t runStart, std::size_t run,
                      std::size_t runs) {
        // One sentence is held back, so that the run's last can be marked.
        std::optional<SpeechChunk> held;
        auto release = [&](bool last) {
            if (held && !each(std::move(*held), SentencePlace{run, runs, last})) throw WalkEnded{};
            held.reset();
        };
        auto sentence = [&](std::string&& phonemes, std::vector<WordMark>&& words) {
            SentenceWork work{entry, withEmotion, withAccent, {}};
            work.chunk.phoneString = std::move(phonemes);
            work.chunk.words = std::move(words);
            for (WordMark& w : work.chunk.words) w.offset += runStart;
            work.chunk.mbrolaDatabase = entry.language().mbrolaDatabase();
            work.chunk.time = entry.time;
            work.chunk.pitch = entry.pitch;
            work.chunk.voiceFrequency = entry.voiceFrequency;
            for (Stage stage : kStages) (this->*stage)(work);
            release(false);
            held = std::move(work.chunk);
        };
        if (entry.isBuiltInEnglish())
            english_->ConvertSentences(narrowLatin1(runText), sentence);
        else
            prosodySentences(runText, &entry.language(), false, sentence);
        release(true);
    };
    try {
        if (reg_->primary) {
            runOne(text, *reg_->primary, 0, 0, 1);
            return;
        }
        const std::vector<Run> runs = cutIntoRuns(text);
        for (std::size_t i = 0; i < runs.size(); ++i)
            runOne(runs[i].text, *runs[i].entry, runs[i].start, i, runs.size());
    } catch (const WalkEnded&) {
    }
}

ChunkList SpeechEngine::convertTextToPhoneme(std::u16string_view text, bool withEmotion, bool withAccent,
                                             bool onlyTranscription) {
    ChunkList chunks;
    bool startRun = true;
    forEachSentence(text, withEmotion, withAccent, onlyTranscription, [&](SpeechChunk&& chunk, const SentencePlace& at) {
        if (startRun) chunks.push_back(std::move(chunk));
        else chunks.back().phoneString += chunk.phoneString;
        startRun = at.lastOfRun;
        return true;
    });
    return chunks;
}

} // namespace vorsan
