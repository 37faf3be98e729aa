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

SpeechChunk SpeechEngine::convertRun(std::u16string_view run, const LanguageEntry& entry, bool withEmotion,
                                     bool withAccent) {
    SpeechChunk chunk;
    chunk.mbrolaDatabase = entry.language().mbrolaDatabase();
    chunk.time = entry.time;
    chunk.pitch = entry.pitch;
    chunk.voiceFrequency = entry.voiceFrequency;
    if (entry.isBuiltInEnglish())
        chunk.phoneString = english_->Convert(narrowLatin1(run));
    else
        chunk.phoneString = prosodyConversion(run, &entry.language(), false);

    // A failing mood or accent leaves the speech as it was: the listener
    // still hears the text, only without that colouring.
    if (withEmotion) {
        try {
            std::string moody = applyMood(chunk.phoneString, entry.activeMood, entry.emotionDatabase);
            if (!moody.empty()) chunk.phoneString = std::move(moody);
        } catch (const MException&) {
        }
    }
    if (withAccent) {
        try {
            SpeechChunk accented = changeAccent(chunk.phoneString, entry.accentDatabase);
            if (!accented.phoneString.empty()) chunk = std::move(accented);
        } catch (const MException&) {
        }
    }
    return chunk;
}

ChunkList SpeechEngine::convertTextToPhoneme(std::u16string_view text, bool withEmotion, bool withAccent,
                                             bool onlyTranscription) {
    ChunkList chunks;
    if (text.empty()) return chunks;
    if (onlyTranscription) withEmotion = false;
    if (reg_->primary) {
        chunks.push_back(convertRun(text, *reg_->primary, withEmotion, withAccent));
        return chunks;
    }
    for (const Run& run : cutIntoRuns(text)) chunks.push_back(convertRun(run.text, *run.entry, withEmotion, withAccent));
    return chunks;
}

} // namespace vorsan
