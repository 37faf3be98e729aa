// Text to speech chunks: cutting mixed-script text into runs of one language,
// converting each run sentence by sentence (rules with prosody, or the
// English front end), then each sentence's mood and accent.
#include <algorithm>
#include <optional>

#include "MarathiEvidence.h"
#include "Registries.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
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

namespace {

// A piece of a run of one language: the text from `start` to `end`, which
// either begins a run or goes on with the run of the piece before it.
struct RunPiece {
    std::size_t start, end;
    const LanguageEntry* entry;
    bool continuesRun;
    bool unsayable; // holds characters no loaded language can say
};

// Cuts text into runs of one language as it is read, a piece at a time: a
// run longer than a piece comes in several, cut after a sentence, so the
// first sentence of a long text is spoken before the rest is looked at. A
// token longer than kLongestToken is cut into pieces of about that length,
// so no front end holds more than that of one word whatever the text.
class RunCutter {
public:
    using Languages = std::map<std::string, std::unique_ptr<LanguageEntry>>;
    // `primary`: the whole text is one run of that language.
    RunCutter(std::u16string_view text, const Languages& languages, const LanguageEntry* preferred,
              const LanguageEntry* primary, bool chooseBySentence)
        : text_(text), languages_(languages), preferred_(preferred), lang_(primary), forced_(primary != nullptr) {
        // Marathi and Hindi share Devanagari: unless the caller prefers one,
        // each sentence is read as the one its words show (when they show
        // neither, as the sentence before; Hindi at first), so Marathi text needs no primary language and the
        // Latin words inside it stay English.
        hindi_ = entryNamed(languages, "Hindi");
        marathi_ = entryNamed(languages, "Marathi");
        bySentence_ = chooseBySentence && hindi_ && marathi_ && preferred != hindi_ && preferred != marathi_;
    }

    std::optional<RunPiece> next() {
        const std::size_t n = text_.size();
        for (; i_ < n; ++i_) {
            const bool blank = isBlankUnit(text_[i_]);
            if (blank) tokenStart_ = i_ + 1;
            const bool tooLong = !blank && i_ - std::max(tokenStart_, start_) >= kLongestToken && cutsCleanly();
            if (i_ == cutAt_ || tooLong)
                if (auto piece = cutPending()) return piece;
            if (forced_) continue;
            const LanguageEntry* c = classOf(text_[i_], languages_, preferred_);
            if (c == kUnsayable) {
                unsayable_ = true;
                continue;
            }
            if (c == kNeutral) {
                sayable_ = sayable_ || isSayableAlone(text_[i_]);
                continue;
            }
            if (bySentence_ && (c == hindi_ || c == marathi_)) {
                if (i_ >= sentenceStop_) {
                    const std::size_t from = i_;
                    sentenceStop_ = sentenceEnd(text_, i_);
                    const int evidence = marathiEvidence(text_.substr(from, sentenceStop_ - from),
                                                         &marathi_->language(), &hindi_->language());
                    // A sentence that tells neither follows the one before it.
                    if (evidence != 0 || !sentenceLanguage_)
                        sentenceLanguage_ = evidence > 0 ? marathi_ : hindi_;
                }
                if (sentenceLanguage_->claims(text_[i_])) c = sentenceLanguage_;
            }
            if (!lang_) {
                lang_ = c; // the neutral characters before it join its run
            } else if (c != lang_) {
                const LanguageEntry* now = c;
                auto piece = emit(i_, false); // neutral characters after a run stay in it
                lang_ = now;
                ++i_;
                return piece;
            }
        }
        if (start_ < n) {
            if (lang_) return emit(n, false);
            if (sayable_) {
                lang_ = readerOfNeutralText();
                if (lang_) return emit(n, false);
            }
        }
        return std::nullopt;
    }

private:
    // Nothing but digits, signs and punctuation: read by the preferred
    // language, else English, else the first loaded one.
    const LanguageEntry* readerOfNeutralText() const {
        const LanguageEntry* reader = preferred_ ? preferred_ : entryNamed(languages_, SpeechEngine::kEnglishName);
        if (!reader && !languages_.empty()) reader = languages_.begin()->second.get();
        return reader;
    }

    // Ends the pending piece before `i_`, its run going on after it. A piece
    // that no language has claimed yet is read by the reader of neutral text
    // when it holds something to say, else (blanks and punctuation alone)
    // left out.
    std::optional<RunPiece> cutPending() {
        if (!lang_ && sayable_) lang_ = readerOfNeutralText();
        if (lang_) return emit(i_, true);
        start_ = i_;
        unsayable_ = false;
        cutAt_ = pieceEnd(text_, start_);
        return std::nullopt;
    }

    // Whether a token longer than kLongestToken may be cut before `i_`: not
    // inside a surrogate pair or next to a joiner, and not before a
    // combining mark or a dependent sign of a script (the language's
    // character table tells a letter or digit, which begins a unit, from
    // its matras, halant and signs). Past kTokenCutReach it is cut anyway,
    // though never inside a surrogate pair.
    bool cutsCleanly() const {
        const char16_t c = text_[i_], before = text_[i_ - 1];
        const bool lowSurrogate = c >= 0xDC00 && c <= 0xDFFF && before >= 0xD800 && before <= 0xDBFF;
        if (lowSurrogate) return false;
        if (i_ - std::max(tokenStart_, start_) >= kLongestToken + kTokenCutReach) return true;
        auto joiner = [](char16_t u) { return u == 0x200C || u == 0x200D; };
        if (joiner(c) || joiner(before) || (c >= 0x0300 && c <= 0x036F)) return false;
        const LanguageEntry* owner = classOf(c, languages_, preferred_);
        if (owner == kNeutral || owner == kUnsayable || owner->isBuiltInEnglish()) return true;
        const CharacterTable* table = owner->language().characters();
        if (!table) return true;
        const char type = table->classifyEntry(std::u16string_view(&c, 1));
        return type == unit_type::kVowel || type == unit_type::kConsonant || type == unit_type::kDigit;
    }

    // The pending piece up to `end`; with `continued`, the run goes on after it.
    RunPiece emit(std::size_t end, bool continued) {
        RunPiece piece{start_, end, lang_, continuing_, unsayable_};
        start_ = end;
        unsayable_ = false;
        continuing_ = continued;
        cutAt_ = pieceEnd(text_, start_);
        return piece;
    }

    std::u16string_view text_;
    const Languages& languages_;
    const LanguageEntry* preferred_;
    const LanguageEntry* hindi_ = nullptr;
    const LanguageEntry* marathi_ = nullptr;
    bool bySentence_ = false;
    const LanguageEntry* lang_;         // of the pending piece, once a character shows it
    bool forced_;
    std::size_t i_ = 0;                  // next character to look at
    std::size_t start_ = 0;              // of the pending piece
    std::size_t tokenStart_ = 0;         // of the unbroken token `i_` is in
    std::size_t cutAt_ = pieceEnd(text_, 0); // where the pending piece ends if its run goes on
    bool continuing_ = false;            // the pending piece goes on with the run before it
    bool unsayable_ = false;             // the pending piece holds unsayable characters
    bool sayable_ = false;               // the text holds something to say on its own
    std::size_t sentenceStop_ = 0;
    const LanguageEntry* sentenceLanguage_ = nullptr;
};

} // namespace

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
    if (!work.withEmotion || work.chunk.phones.empty()) return;
    try {
        // The mood works on a copy: one that fails part-way leaves nothing.
        PhonemeRecordList moody = work.chunk.phones;
        const std::u16string& mood = work.entry.activeMood;
        emotionFor(mood, work.entry.emotionDatabase).applyEmotion(moody, utf16ToUtf8(mood));
        if (!moody.empty()) work.chunk.phones = std::move(moody);
    } catch (const MException&) {
    }
}

void SpeechEngine::accentStage(SentenceWork& work) {
    if (!work.withAccent || work.chunk.phones.empty()) return;
    try {
        std::vector<std::size_t> origin;
        SpeechChunk accented = mapAccent(work.chunk.phones, work.entry.accentDatabase, &origin);
        if (accented.phones.empty()) return;
        // A word now begins at the first record made from its first record
        // (or from a later one, when that record mapped to nothing).
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

// Pauses only ("_" records).
bool onlyPauses(const PhonemeRecordList& phones) {
    return std::all_of(phones.begin(), phones.end(), [](const PhonemeRecord& r) { return r.name == "_"; });
}

bool sameVoice(const SpeechChunk& a, const SpeechChunk& b) {
    return a.mbrolaDatabase == b.mbrolaDatabase && a.pitch == b.pitch && a.time == b.time &&
           a.voiceFrequency == b.voiceFrequency;
}
} // namespace

void SpeechEngine::forEachSentence(std::u16string_view text, bool withEmotion, bool withAccent,
                                   bool onlyTranscription, const SentenceHandler& each) {
    if (text.empty()) return;
    if (onlyTranscription) withEmotion = false;
    // The stages of the pipeline, in order:
    //   1. the text is cut into runs of one language (or is one run of the
    //      primary language), a piece at a time as it is read;
    //   2. each run's words become phone records, sentence by sentence: by the
    //      language's rules with sentence and clause prosody, or by the
    //      English front end;
    //   3. then each sentence passes the stages of this table;
    //   4. the chunks go to the synthesiser and from it to a sink: the sound
    //      device, a file, or the caller's own (SoundOutput.cpp).
    using Stage = void (SpeechEngine::*)(SentenceWork&);
    static constexpr Stage kStages[] = {&SpeechEngine::moodStage, &SpeechEngine::accentStage};
    const LanguageEntry* preferred = entryNamed(reg_->languages, preferred_);
    const auto cutter = [&] {
        return RunCutter(text, reg_->languages, preferred, reg_->primary, reg_->chooseLanguageBySentence);
    };
    // Only progress reports need the number of runs beforehand; counting them
    // is a pass over the whole text.
    std::size_t runs = 0;
    if (observer_)
        for (RunCutter counter = cutter(); auto piece = counter.next();) runs += piece->continuesRun ? 0 : 1;

    std::size_t run = 0;
    // One sentence is held back, so that a run's last can be marked.
    std::optional<SpeechChunk> held;
    auto release = [&](bool last) {
        if (held && !each(std::move(*held), SentencePlace{run, runs, last})) throw WalkEnded{};
        held.reset();
    };
    auto convertPiece = [&](const RunPiece& piece) {
        const LanguageEntry& entry = *piece.entry;
        std::u16string pieceText(text.substr(piece.start, piece.end - piece.start));
        if (piece.unsayable)
            for (char16_t& c : pieceText)
                if (classOf(c, reg_->languages, preferred) == kUnsayable) c = u' ';
        auto sentence = [&](PhonemeRecordList&& phones, std::vector<WordMark>&& words) {
            SentenceWork work{entry, withEmotion, withAccent, {}};
            work.chunk.phones = std::move(phones);
            work.chunk.words = std::move(words);
            for (WordMark& w : work.chunk.words) w.offset += piece.start;
            work.chunk.mbrolaDatabase = entry.language().mbrolaDatabase();
            work.chunk.time = entry.time;
            work.chunk.pitch = entry.pitch;
            work.chunk.voiceFrequency = entry.voiceFrequency;
            for (Stage stage : kStages) (this->*stage)(work);
            // A piece of silence alone (the pause after a run's last
            // sentence) is no sentence of its own: it ends the one before.
            if (held && work.chunk.words.empty() && onlyPauses(work.chunk.phones) && sameVoice(*held, work.chunk)) {
                held->phones.append(std::move(work.chunk.phones));
                return;
            }
            release(false);
            held = std::move(work.chunk);
        };
        if (entry.isBuiltInEnglish()) {
            english_->setRhythm(entry.englishRhythm);
            english_->ConvertSentences(pieceText, sentence);
        } else
            prosodySentences(pieceText, &entry.language(), false, sentence, !piece.continuesRun);
    };
    try {
        bool first = true;
        for (RunCutter pieces = cutter(); auto piece = pieces.next();) {
            if (!piece->continuesRun && !first) {
                release(true);
                ++run;
            }
            first = false;
            convertPiece(*piece);
        }
        release(true);
    } catch (const WalkEnded&) {
    }
}

ChunkList SpeechEngine::convertTextToPhoneme(std::u16string_view text, bool withEmotion, bool withAccent,
                                             bool onlyTranscription) {
    ChunkList chunks;
    bool startRun = true;
    forEachSentence(text, withEmotion, withAccent, onlyTranscription, [&](SpeechChunk&& chunk, const SentencePlace& at) {
        // Each run's sentences printed one after another as its phoneme text.
        PhonemeRecordList phones = std::move(chunk.phones);
        if (startRun) chunks.push_back(std::move(chunk));
        phones.writeTo(chunks.back().phoneString);
        startRun = at.lastOfRun;
        return true;
    });
    return chunks;
}

} // namespace vorsan
