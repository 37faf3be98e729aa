#include "TtsEngine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <mutex>
#include <string>
#include <vector>

#include "SentenceWalk.h"
#include "vorsan/automation/Creation.h"
#include "vorsan/automation/ErrorInfo.h"
#include "vorsan/automation/Interfaces.h"
#include "vorsan/automation/ServerSupport.h"
#include "vorsan/automation/SpeechStream.h"
#include "vorsan/core/Diagnostics.h"
#include "vorsan/core/Text.h"

namespace vorsan::voice {

using namespace sapi;

namespace {

constexpr ULONG kBytesPerSample = 2;
constexpr ULONG kBytesPerSecond = kVoiceRate * kBytesPerSample;
// Audio goes to the site in pieces of at most 100 ms, so an abort is seen
// promptly; silence in pieces of at most 1000 bytes.
constexpr ULONG kPieceBytes = kBytesPerSecond / 10;
constexpr ULONG kSilencePieceBytes = 1000;
constexpr HRESULT kAborted = E_ABORT; // internal: the site asked for an abort

// A bookmark's numeric value: its text read as a decimal number, else 0.
WPARAM bookmarkValue(std::u16string_view text) {
    const std::string narrow = utf16ToUtf8(text);
    long long v = 0;
    const auto r = std::from_chars(narrow.data(), narrow.data() + narrow.size(), v);
    return r.ec == std::errc() ? static_cast<WPARAM>(v) : 0;
}

// One request's output: the audio offset, the writes to the site, and the
// events waiting for the audio in which they take place (each goes out just
// before that audio, in the order of their offsets).
class Output {
public:
    explicit Output(ISpTTSEngineSite* site) : site_(site) {}

    ULONGLONG offset() const { return offset_; }
    bool aborting() const { return (site_->GetActions() & SPVES_ABORT) != 0; }

    HRESULT event(SPEVENTENUM id, ULONGLONG at, WPARAM w, LPARAM l, SPEVENTLPARAMTYPE type = SPET_LPARAM_IS_UNDEFINED) {
        SPEVENT e{static_cast<uint16_t>(id), static_cast<uint16_t>(type), 0, std::max(at, offset_), w, l};
        return site_->AddEvents(&e, 1);
    }
    void schedule(const SPEVENT& e) {
        auto it = std::upper_bound(pending_.begin(), pending_.end(), e.ullAudioStreamOffset,
                                   [](ULONGLONG at, const SPEVENT& p) { return at < p.ullAudioStreamOffset; });
        pending_.insert(it, e);
    }
    // Sends the events that take place before `upTo`.
    HRESULT flushEvents(ULONGLONG upTo) {
        while (!pending_.empty() && pending_.front().ullAudioStreamOffset < upTo) {
            SPEVENT e = pending_.front();
            pending_.erase(pending_.begin());
            e.ullAudioStreamOffset = std::max(e.ullAudioStreamOffset, offset_);
            if (HRESULT h = site_->AddEvents(&e, 1); FAILED(h)) return h;
        }
        return S_OK;
    }
    HRESULT flushAllEvents() { return flushEvents(~ULONGLONG{0}); }

    HRESULT write(const void* data, ULONG bytes) {
        const auto* p = static_cast<const unsigned char*>(data);
        while (bytes > 0) {
            if (aborting()) return kAborted;
            const ULONG n = std::min(bytes, kPieceBytes);
            if (HRESULT h = flushEvents(offset_ + n); FAILED(h)) return h;
            ULONG written = 0;
            if (HRESULT h = site_->Write(p, n, &written); FAILED(h)) return h;
            offset_ += n;
            p += n;
            bytes -= n;
        }
        return S_OK;
    }

    HRESULT silence(ULONG ms) {
        static const unsigned char zeros[kSilencePieceBytes] = {};
        ULONGLONG bytes = static_cast<ULONGLONG>(ms) * kBytesPerSecond / 1000;
        bytes -= bytes % kBytesPerSample;
        while (bytes > 0) {
            const ULONG n = static_cast<ULONG>(std::min<ULONGLONG>(bytes, kSilencePieceBytes));
            if (HRESULT h = write(zeros, n); FAILED(h)) return h;
            bytes -= n;
        }
        return S_OK;
    }

private:
    ISpTTSEngineSite* site_;
    ULONGLONG offset_ = 0;
    std::vector<SPEVENT> pending_;
};

// A stretch of a sentence between silences: the text the engine speaks, its
// word items with their places in that text, and the bookmarks with the
// word they stand before.
struct Stretch {
    std::u16string text;
    std::vector<std::pair<std::size_t, const SentenceItem*>> words; // (place in text, item)
    std::vector<std::pair<std::size_t, std::u16string>> bookmarks;  // (word index, text)

    bool empty() const { return text.empty() && bookmarks.empty(); }

    void add(const SentenceItem& item, const SentenceItem* previous) {
        if (item.action() == SPVA_Bookmark) {
            bookmarks.emplace_back(words.size(), std::u16string(item.text));
            return;
        }
        // Items of one fragment keep the spacing between them; others are
        // joined by a space.
        if (previous && previous->action() == SPVA_Speak && previous->fragment == item.fragment &&
            item.sourceLength > 0 && previous->sourceLength > 0) {
            const std::size_t gap = item.sourceOffset - (previous->sourceOffset + previous->sourceLength);
            text.append(std::min<std::size_t>(gap, 1), u' ');
        } else if (!text.empty()) {
            text += u' ';
        }
        if (isWordItem(item)) words.emplace_back(text.size(), &item);
        text += item.text;
    }
};

// Receives the engine's speech for a stretch, placing each word's and
// bookmark's event where the word's audio starts.
class StretchSink final : public IVorsanSpeechSink {
public:
    // volume: percent of the engine's level (above 100 amplifies, clipped).
    StretchSink(Output& out, const Stretch& stretch, ULONG volume) : out_(out), stretch_(stretch), volume_(volume) {}

    HRESULT BeginRun(LONG) override {
        runStart_ = out_.offset();
        return S_OK;
    }
    HRESULT WordStarts(const VorsanWordStart* starts, LONG count) override {
        for (LONG i = 0; i < count; ++i) {
            const ULONGLONG at = runStart_ + static_cast<ULONGLONG>(std::max<int64_t>(0, starts[i].sample)) * kBytesPerSample;
            const std::size_t from = static_cast<std::size_t>(starts[i].textOffset);
            const std::size_t to = from + static_cast<std::size_t>(std::max<LONG>(1, starts[i].textLength));
            for (std::size_t k = next_; k < stretch_.words.size(); ++k)
                if (stretch_.words[k].first >= from && stretch_.words[k].first < to) placeUpTo(k, at);
        }
        return S_OK;
    }
    HRESULT Samples(const SHORT* samples, LONG count) override {
        if (volume_ == 100 || count <= 0) return out_.write(samples, static_cast<ULONG>(count) * kBytesPerSample);
        scaled_.resize(static_cast<std::size_t>(count));
        for (LONG i = 0; i < count; ++i)
            scaled_[static_cast<std::size_t>(i)] =
                static_cast<SHORT>(std::clamp<long>(long{samples[i]} * static_cast<long>(volume_) / 100, -32768, 32767));
        return out_.write(scaled_.data(), static_cast<ULONG>(count) * kBytesPerSample);
    }
    HRESULT EndRun() override { return S_OK; }

    // Words that got no audio of their own, and bookmarks after the last
    // word, take the end of the stretch.
    void placeRest() {
        if (!stretch_.words.empty()) placeUpTo(stretch_.words.size() - 1, out_.offset());
        placeBookmarks(stretch_.words.size(), out_.offset());
    }

private:
    // Schedules the events of every word up to k (and the bookmarks before
    // them) at `at`: a word the engine said nothing for shares the place of
    // the next one, so events stay in text order.
    void placeUpTo(std::size_t k, ULONGLONG at) {
        for (; next_ <= k; ++next_) {
            placeBookmarks(next_, at);
            const SentenceItem& item = *stretch_.words[next_].second;
            out_.schedule(SPEVENT{SPEI_WORD_BOUNDARY, SPET_LPARAM_IS_UNDEFINED, 0, at, item.sourceLength,
                                  static_cast<LPARAM>(item.sourceOffset)});
        }
    }
    void placeBookmarks(std::size_t word, ULONGLONG at) {
        for (; bookmark_ < stretch_.bookmarks.size() && stretch_.bookmarks[bookmark_].first <= word; ++bookmark_) {
            const std::u16string& text = stretch_.bookmarks[bookmark_].second;
            out_.schedule(SPEVENT{SPEI_TTS_BOOKMARK, SPET_LPARAM_IS_STRING, 0, at, bookmarkValue(text),
                                  reinterpret_cast<LPARAM>(text.c_str())});
        }
    }

    Output& out_;
    const Stretch& stretch_;
    ULONG volume_;
    std::vector<SHORT> scaled_;
    ULONGLONG runStart_ = 0;
    std::size_t next_ = 0;     // first word not yet placed
    std::size_t bookmark_ = 0; // first bookmark not yet placed
};

class Nimbrel22TTSEngine final
    : public serversupport::ServerObject<Implements<ISpTTSEngine, IID_ISpTTSEngine>,
                                         Implements<ISpObjectWithToken, IID_ISpObjectWithToken>> {
public:
    HRESULT SetObjectToken(ISpObjectToken* token) override {
        std::lock_guard lock(mutex_);
        if (token_) diagnose("Nimbrel22: a token is already set");
        else token_ = ComPtr<ISpObjectToken>(token);
        HRESULT created = CoCreateInstance(CLSID_VorsanAPI, nullptr, CLSCTX_INPROC_SERVER, IID_IVorsanAPI,
                                           engine_.putVoid());
        if (FAILED(created)) {
            diagnose("Nimbrel22: cannot create the engine (" + hex(created) + ")");
            return created;
        }
        if (!engine_) return S_FALSE;
        engine_->LoadConfiguration(); // a missing or broken configuration leaves the built-in English
        engine_.as(IID_IVorsanSpeechStream, stream_);
        readLanguages();
        if (token_) applyMood();
        return created;
    }
    HRESULT GetObjectToken(ISpObjectToken** token) override {
        if (!token) return E_POINTER;
        std::lock_guard lock(mutex_);
        *token = token_.get();
        if (*token) (*token)->AddRef();
        return S_OK;
    }

    HRESULT GetOutputFormat(const GUID*, const WAVEFORMATEX*, GUID* formatId, WAVEFORMATEX** waveFormat) override {
        if (!formatId || !waveFormat) return E_POINTER;
        auto* f = static_cast<WAVEFORMATEX*>(CoTaskMemAlloc(sizeof(WAVEFORMATEX)));
        if (!f) return E_OUTOFMEMORY;
        *f = WAVEFORMATEX{WAVE_FORMAT_PCM, 1, kVoiceRate, kBytesPerSecond, kBytesPerSample, 16, 0};
        *formatId = SPDFID_WaveFormatEx;
        *waveFormat = f;
        return S_OK;
    }

    HRESULT Speak(DWORD, REFGUID, const WAVEFORMATEX*, const SPVTEXTFRAG* fragments, ISpTTSEngineSite* site) override {
        if (!site || !fragments) return E_INVALIDARG;
        std::lock_guard lock(speaking_); // one request at a time per voice
        ComPtr<IVorsanSpeechStream> stream;
        {
            std::lock_guard state(mutex_);
            stream = stream_;
        }
        if (!stream) return SPERR_UNINITIALIZED;
        applyState(fragments->State);
        Output out(site);
        SentenceWalk walk(fragments);
        std::vector<SentenceItem> items;
        HRESULT result = S_OK;
        while (SUCCEEDED(result)) {
            const DWORD actions = site->GetActions();
            if (actions & SPVES_ABORT) break;
            if (actions & SPVES_SKIP) {
                SPVSKIPTYPE type{};
                LONG count = 0;
                if (FAILED(result = site->GetSkipInfo(&type, &count))) break;
                if (FAILED(result = site->CompleteSkip(0))) break; // nothing is skipped
            }
            if (!walk.next(items)) break;
            const SentenceItem& first = items.front();
            const SentenceItem& last = items.back();
            result = out.event(SPEI_SENTENCE_BOUNDARY, out.offset(), last.sourceOffset + last.sourceLength - first.sourceOffset,
                               static_cast<LPARAM>(first.sourceOffset));
            if (SUCCEEDED(result)) result = speakSentence(*stream.get(), out, items);
        }
        if (result == kAborted) result = S_OK;
        if (SUCCEEDED(result)) {
            const HRESULT h = out.flushAllEvents();
            if (FAILED(h)) result = h;
        }
        return result == S_FALSE ? S_OK : result;
    }

private:
    ~Nimbrel22TTSEngine() override = default;

    static std::string hex(HRESULT h) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(h));
        return buf;
    }

    // The items of one sentence: speech stretches go to the engine, silences
    // are written as zeros, bookmarks ride with the word after them.
    HRESULT speakSentence(IVorsanSpeechStream& stream, Output& out, const std::vector<SentenceItem>& items) {
        Stretch stretch;
        const SentenceItem* previous = nullptr;
        for (const SentenceItem& item : items) {
            switch (item.action()) {
            case SPVA_Speak:
            case SPVA_Bookmark:
                stretch.add(item, previous);
                break;
            case SPVA_Silence:
                if (HRESULT h = speakStretch(stream, out, stretch); FAILED(h)) return h;
                stretch = Stretch{};
                if (HRESULT h = out.silence(item.state->SilenceMSecs); FAILED(h)) return h;
                break;
            default:
                break; // other actions are passed over
            }
            previous = &item;
        }
        return speakStretch(stream, out, stretch);
    }

    HRESULT speakStretch(IVorsanSpeechStream& stream, Output& out, const Stretch& stretch) {
        if (stretch.empty()) return S_OK;
        StretchSink sink(out, stretch, volume_);
        HRESULT h = S_OK;
        if (!stretch.text.empty()) {
            BSTR text = SysAllocStringLen(stretch.text.data(), static_cast<UINT>(stretch.text.size()));
            h = stream.RenderText(text, 1, 1, static_cast<LONG>(kVoiceRate), &sink);
            SysFreeString(text);
        }
        if (h == kAborted) return h;
        if (FAILED(h)) {
            diagnose("Nimbrel22: speaking failed (" + hex(h) + "): " + errorDescription());
            return h;
        }
        sink.placeRest();
        return out.flushAllEvents();
    }

    // The loaded languages with the ratios their configuration gave them, the
    // base of the rate and pitch adjustments.
    void readLanguages() {
        languages_.clear();
        ComPtr<IMStringList> list;
        if (FAILED(engine_->get_AllSupportedLanguages(list.put())) || !list) return;
        LONG count = 0;
        list->get_Count(&count);
        for (LONG i = 0; i < count; ++i) {
            ComPtr<IMString> item;
            Bstr name;
            if (FAILED(list->Item(i, item.put())) || FAILED(item->get_Name(name.put()))) continue;
            Language l{std::u16string(name.view()), 1.0f, 1.0f};
            engine_->get_Time(name.get(), &l.time);
            engine_->get_Pitch(name.get(), &l.pitch);
            languages_.push_back(std::move(l));
        }
    }

    // The token's "Mood" attribute, when it has one, becomes the active mood
    // of every language whose emotion database holds it.
    void applyMood() {
        LPWSTR mood = nullptr;
        if (token_->GetAttribute(u"Mood", &mood) != S_OK || !mood) return;
        Bstr moodName{std::u16string_view(mood)};
        CoTaskMemFree(mood);
        if (moodName.view().empty()) return;
        for (const Language& l : languages_) {
            Bstr language(l.name), database;
            LONG exists = 0;
            if (FAILED(engine_->get_EmotionDatabase(language.get(), database.put())) || database.view().empty()) continue;
            if (SUCCEEDED(engine_->get_MoodExistsInDatabase(moodName.get(), database.get(), &exists)) && exists)
                engine_->put_ActiveMood(language.get(), moodName.get());
        }
    }

    // A request's voice state, from its first fragment: the language
    // (LangID: the loaded language with that identifier wins its script, so
    // Devanagari is read as Marathi for Marathi; others leave the
    // configuration's choice),
    // the rate (RateAdj -10..10: 3 times slower..faster) and pitch (PitchAdj
    // -10..10: half an octave down..up) on every language's ratios, and the
    // volume (percent). Settings change only when they differ from the last
    // request's.
    void applyState(const SPVSTATE& state) {
        std::lock_guard lock(mutex_);
        if (!engine_) return;
        const std::u16string language = languageOf(state.LangID);
        if (language != preferred_) {
            Bstr name(language);
            if (stream_->PreferLanguage(name.get()) == S_OK) preferred_ = language;
        }
        const LONG rate = std::clamp<LONG>(state.RateAdj, -10, 10);
        const LONG pitch = std::clamp<LONG>(state.PitchAdj, -10, 10);
        if (rate != rate_ || pitch != pitch_) {
            const float slower = static_cast<float>(std::pow(3.0, -rate / 10.0));
            const float higher = static_cast<float>(std::pow(2.0, pitch / 20.0));
            for (const Language& l : languages_) {
                Bstr name(l.name);
                engine_->put_Time(name.get(), l.time * slower);
                engine_->put_Pitch(name.get(), l.pitch * higher);
            }
            rate_ = rate;
            pitch_ = pitch;
        }
        volume_ = std::min<ULONG>(state.Volume, 200);
    }

    // The engine's language for a language identifier, as the loaded rule
    // files give their identifiers.
    std::u16string languageOf(uint16_t langId) const {
        Bstr name;
        if (stream_->LanguageOfWindowsId(langId, name.put()) != S_OK) return {};
        return std::u16string(name.view());
    }

    static std::string errorDescription() {
        ComPtr<IErrorInfo> info;
        if (GetErrorInfo(0, info.put()) != S_OK || !info) return "no description";
        Bstr description;
        info->GetDescription(description.put());
        return description.utf8();
    }

    std::mutex mutex_;    // token and engine
    std::mutex speaking_; // one request at a time
    ComPtr<ISpObjectToken> token_;
    ComPtr<IVorsanAPI> engine_;
    ComPtr<IVorsanSpeechStream> stream_;
    struct Language {
        std::u16string name;
        float time, pitch;
    };
    std::vector<Language> languages_;
    std::u16string preferred_;
    LONG rate_ = 0, pitch_ = 0;
    ULONG volume_ = 100;
};

} // namespace

HRESULT createTtsEngine(REFIID iid, void** ppv) { return createObject<Nimbrel22TTSEngine>(iid, ppv); }

} // namespace vorsan::voice
