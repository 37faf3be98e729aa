// Text to speech chunks: cutting mixed-script text into runs of one language,
// converting each run (rules with prosody, or the English front end), then
// the run's mood and accent.
#include "Registries.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/prosody/Prosody.h"
#include "vorsan/english/EnglishFrontEnd.h"

namespace vorsan {

namespace {
// Classes of a character besides the loaded languages: neutral characters
// (code 255 or below, claimed by no language) join the run around them;
// unknown ones (above 255, claimed by no language) are dropped.
const LanguageEntry* const kNeutral = reinterpret_cast<const LanguageEntry*>(1);
const LanguageEntry* const kUnknown = reinterpret_cast<const LanguageEntry*>(2);

const LanguageEntry* classOf(char16_t c, const std::map<std::string, std::unique_ptr<LanguageEntry>>& languages) {
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
        runs.push_back(Run{std::u16string(text.substr(start, i - start)), lang});
    }
    return runs;
}

// What one run carries through the stages.
struct SpeechEngine::RunWork {
    std::u16string_view text;
    const LanguageEntry& entry;
    bool withEmotion;
    bool withAccent;
    SpeechChunk chunk;
};

void SpeechEngine::wordsToPhonemes(RunWork& work) {
    const LanguageEntry& entry = work.entry;
    work.chunk.mbrolaDatabase = entry.language().mbrolaDatabase();
    work.chunk.time = entry.time;
    work.chunk.pitch = entry.pitch;
    work.chunk.voiceFrequency = entry.voiceFrequency;
    // Rules with sentence and clause prosody, or the English front end.
    if (entry.isBuiltInEnglish())
        work.chunk.phoneString = english_->Convert(narrowLatin1(work.text));
    else
        work.chunk.phoneString = prosodyConversion(work.text, &entry.language(), false);
}

// A failing mood or accent leaves the speech as it was: the listener still
// hears the text, only without that colouring.
void SpeechEngine::moodStage(RunWork& work) {
    if (!work.withEmotion) return;
    try {
        std::string moody = applyMood(work.chunk.phoneString, work.entry.activeMood, work.entry.emotionDatabase);
        if (!moody.empty()) work.chunk.phoneString = std::move(moody);
    } catch (const MException&) {
    }
}

void SpeechEngine::accentStage(RunWork& work) {
    if (!work.withAccent) return;
    try {
        SpeechChunk accented = changeAccent(work.chunk.phoneString, work.entry.accentDatabase);
        if (!accented.phoneString.empty()) work.chunk = std::move(accented);
    } catch (const MException&) {
    }
}

SpeechChunk SpeechEngine::convertRun(std::u16string_view run, const LanguageEntry& entry, bool withEmotion,
                                     bool withAccent) {
    // The stages every run goes through, in order. The runs come from
    // cutting the text by script (or the whole text is one run of the
    // primary language, forEachChunk); the chunks they end as go to the
    // synthesiser and from it to a sink: the sound device, a file, or the
    // caller's own (SoundOutput.cpp).
    using Stage = void (SpeechEngine::*)(RunWork&);
    static constexpr Stage kStages[] = {&SpeechEngine::wordsToPhonemes, &SpeechEngine::moodStage,
                                        &SpeechEngine::accentStage};
    RunWork work{run, entry, withEmotion, withAccent, {}};
    for (Stage stage : kStages) (this->*stage)(work);
    return std::move(work.chunk);
}

void SpeechEngine::forEachChunk(std::u16string_view text, bool withEmotion, bool withAccent, bool onlyTranscription,
                                const std::function<bool(SpeechChunk&&, std::size_t, std::size_t)>& each) {
    if (text.empty()) return;
    if (onlyTranscription) withEmotion = false;
    if (reg_->primary) {
        each(convertRun(text, *reg_->primary, withEmotion, withAccent), 0, 1);
        return;
    }
    const std::vector<Run> runs = cutIntoRuns(text);
    for (std::size_t i = 0; i < runs.size(); ++i)
        if (!each(convertRun(runs[i].text, *runs[i].entry, withEmotion, withAccent), i, runs.size())) return;
}

ChunkList SpeechEngine::convertTextToPhoneme(std::u16string_view text, bool withEmotion, bool withAccent,
                                             bool onlyTranscription) {
    ChunkList chunks;
    forEachChunk(text, withEmotion, withAccent, onlyTranscription, [&](SpeechChunk&& chunk, std::size_t, std::size_t) {
        chunks.push_back(std::move(chunk));
        return true;
    });
    return chunks;
}

} // namespace vorsan
