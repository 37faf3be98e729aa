// Text to speech chunks: cutting mixed-script text into runs of one language,
// converting each run sentence by sentence (rules with prosody, or the
// English front end), then each sentence's mood and accent.
#include <algorithm>
#include <optional>

#include "MarathiEvidence.h"
#include "Registries.h"
#include "vorsan/core/MException.h"
#include "vorsan/english/EnglishFrontEnd.h"
#include "vorsan/prosody/Prosody.h"

namespace vorsan {

namespace {
// Classes of a character besides the loaded languages. Neutral characters
// (digits, spaces, punctuation and symbols that no language claims) join the
// run around them and are read by its language; unsayable ones (letters of a
// script no loaded language claims, emoji) are skipped one by one: a run
// holds a space in their place, so its neighbours and every offset stay.
const LanguageEntry* const kNeutral = reinterpret_cast<const LanguageEntry*>(1);
const LanguageEntry* const kUnsayable = reinterpret_cast<const LanguageEntry*>(2);

// Punctuation, symbols and spaces above Latin-1 that a language can read:
// the dandas outside a Devanagari language's text, typographic punctuation,
// the no-break and other spaces and the joiners inside Indian words, currency
// signs (₹, €), letter-like symbols and number forms (℃, №, ™, ⅓), the minus
// sign.
bool isNeutralAbove255(char16_t c) { return c == 0x0964 || c == 0x0965 || (c >= 0x2000 && c <= 0x218F) || c == 0x2212; }

// What can be said on its own, with no language's letters near: digits,
// signs and symbols, Latin-1 letters (punctuation and spaces alone say
// nothing).
bool isSayableAlone(char16_t c) {
    static constexpr std::u16string_view kSigns = u"#$%&+<=>@\u00A2\u00A3\u00A4\u00A5\u00A7\u00A9\u00AE\u00B0\u00B5";
    return (c >= u'0' && c <= u'9') || kSigns.find(c) != std::u16string_view::npos ||
           (c >= 0x00C0 && c <= 0x00FF && c != 0x00D7 && c != 0x00F7) || (c >= 0x20A0 && c <= 0x218F) ||
           c == 0x2030 || c == 0x2212;
}

const LanguageEntry* classOf(char16_t c, const std::map<std::string, std::unique_ptr<LanguageEntry>>& languages,
                             const LanguageEntry* preferred = nullptr) {
    if (preferred && preferred->claims(c)) return preferred;
    for (const auto& [name, entry] : languages)
        if (entry->claims(c)) return entry.get();
    if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) return kUnsayable; // English is not loaded
    return c <= 255 || isNeutralAbove255(c) ? kNeutral : kUnsayable;
}

const LanguageEntry* entryNamed(const std::map<std::string, std::unique_ptr<LanguageEntry>>& languages,
                                const std::string& name) {
    auto it = name.empty() ? languages.end() : languages.find(name);
    return it == languages.end() ? nullptr : it->second.get();
}
} // namespace

std::string SpeechEngine::scriptClass(char16_t c) const {
    const LanguageEntry* cls = classOf(c, reg_->languages);
    if (cls == kNeutral) return "ENGLISH";
    if (cls == kUnsayable) return "UNKNOWN";
    return cls->name();
}

std::vector<SpeechEngine::Run> SpeechEngine::cutIntoRuns(std::u16string_view text) const {
    std::vector<Run> runs;
    const auto& languages = reg_->languages;
    const LanguageEntry* preferred = entryNamed(languages, preferred_);
    // Marathi and Hindi share Devanagari: unless the caller prefers one, each
    // sentence is read as the one its words show (Hindi when they show
    // neither), so Marathi text needs no primary language and the Latin
    // words inside it stay English.
    const LanguageEntry* hindi = entryNamed(languages, "Hindi");
    const LanguageEntry* marathi = entryNamed(languages, "Marathi");
    const bool bySentence =
        reg_->chooseLanguageBySentence && hindi && marathi && preferred != hindi && preferred != marathi;
    const LanguageEntry* sentenceLanguage = nullptr;
    std::size_t sentenceStop = 0;

    const std::size_t n = text.size();
    std::size_t start = 0;              // of the pending run
    const LanguageEntry* lang = nullptr; // of the pending run, once a character shows it
    bool unsayable = false;             // the pending run holds unsayable characters
    bool sayable = false;               // the text holds something to say on its own
    auto keep = [&](std::size_t end, const LanguageEntry* entry) {
        Run run{std::u16string(text.substr(start, end - start)), entry, start};
        if (unsayable)
            for (char16_t& c : run.text)
                if (classOf(c, languages, preferred) == kUnsayable) c = u' ';
        runs.push_back(std::move(run));
        start = end;
        unsayable = false;
    };
    for (std::size_t i = 0; i < n; ++i) {
        const LanguageEntry* c = classOf(text[i], languages, preferred);
        if (c == kUnsayable) {
            unsayable = true;
            continue;
        }
        if (c == kNeutral) {
            sayable = sayable || isSayableAlone(text[i]);
            continue;
        }
        if (bySentence && (c == hindi || c == marathi)) {
            if (i >= sentenceStop) {
                const std::size_t from = i;
                sentenceStop = sentenceEnd(text, i);
                sentenceLanguage = marathiEvidence(text.substr(from, sentenceStop - from)) > 0 ? marathi : hindi;
            }
            if (sentenceLanguage->claims(text[i])) c = sentenceLanguage;
        }
        if (!lang) lang = c; // the neutral characters before it join its run
        else if (c != lang) {
            keep(i, lang); // neutral characters after a run stay in it
            lang = c;
        }
    }
    if (lang) keep(n, lang);
    else if (sayable) {
        // Nothing but digits, signs and punctuation: read by the preferred
        // language, else English, else the first loaded language.
        const LanguageEntry* fallback = preferred ? preferred : entryNamed(languages, kEnglishName);
        if (!fallback && !languages.empty()) fallback = languages.begin()->second.get();
        if (fallback) keep(n, fallback);
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
            english_->ConvertSentences(runText, sentence);
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
