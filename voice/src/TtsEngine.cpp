#include "TtsEngine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "FileStamp.h"
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
// Internal results: the site asked for an abort, or for a skip, which ends
// the sentence being spoken.
constexpr HRESULT kAborted = E_ABORT;
constexpr HRESULT kSkipped = static_cast<HRESULT>(0x80040201);

// A bookmark's numeric value: its text read as a decimal number, else 0.
WPARAM bookmarkValue(std::u16string_view text) {
    const std::string narrow = utf16ToUtf8(text);
    long long v = 0;
    const auto r = std::from_chars(narrow.data(), narrow.data() + narrow.size(), v);
    return r.ec == std::errc() ? static_cast<WPARAM>(v) : 0;
}

// A speaking rate for a rate adjustment (-10..10): half as fast at -10,
// 3.5 times as fast at 10, geometric each side of 0.
float speakingRate(LONG adjust) {
    const double a = std::clamp<LONG>(adjust, -10, 10) / 10.0;
    return static_cast<float>(a < 0 ? std::pow(0.5, -a) : std::pow(3.5, a));
}

// A pitch factor for a pitch adjustment (-10..10): 0.6 to 1.6 times the
// configured pitch, geometric each side of 0.
float pitchFactor(LONG adjust) {
    const double a = std::clamp<LONG>(adjust, -10, 10) / 10.0;
    return static_cast<float>(a < 0 ? std::pow(0.6, -a) : std::pow(1.6, a));
}

// One request's output: the audio offset, the writes to the site, the
// site's rate and volume (read at the start and whenever the site says they
// changed), and the events waiting for the audio in which they take place
// (each goes out just before that audio, in the order of their offsets).
// Once the site asks for an abort or a skip, the waiting events are dropped:
// no event goes out for audio that is not written.
class Output {
public:
    explicit Output(ISpTTSEngineSite* site) : site_(site) {
        readRate();
        readVolume();
    }

    ULONGLONG offset() const { return offset_; }
    LONG siteRate() const { return rate_; }

    // The site's actions; a changed rate or volume is read at once, and an
    // abort or a skip drops the waiting events.
    DWORD actions() {
        const DWORD a = site_->GetActions();
        if (a & SPVES_RATE) readRate();
        if (a & SPVES_VOLUME) readVolume();
        if (a & (SPVES_ABORT | SPVES_SKIP)) pending_.clear();
        return a;
    }
    // kAborted or kSkipped when the site asks to stop, else S_OK.
    HRESULT interruption() {
        const DWORD a = actions();
        return (a & SPVES_ABORT) ? kAborted : (a & SPVES_SKIP) ? kSkipped : S_OK;
    }

    HRESULT event(SPEVENTENUM id, ULONGLONG at, WPARAM w, LPARAM l, SPEVENTLPARAMTYPE type = SPET_LPARAM_IS_UNDEFINED) {
        SPEVENT e{static_cast<uint16_t>(id), static_cast<uint16_t>(type), 0, std::max(at, offset_), w, l};
        return site_->AddEvents(&e, 1);
    }
    void schedule(const SPEVENT& e) {
        auto it = std::upper_bound(pending_.begin(), pending_.end(), e.ullAudioStreamOffset,
                                   [](ULONGLONG at, const SPEVENT& p) { return at < p.ullAudioStreamOffset; });
        pending_.insert(it, e);
    }
    // Sends every waiting event at the audio written so far (words that got
    // no audio of their own take the end of what was said), unless the site
    // asks to stop.
    HRESULT flushRest() {
        if (HRESULT h = interruption(); h != S_OK) return h;
        return flushEvents(~ULONGLONG{0}, offset_);
    }
    void dropEvents() { pending_.clear(); }

    HRESULT write(const void* data, ULONG bytes) {
        const auto* p = static_cast<const unsigned char*>(data);
        while (bytes > 0) {
            if (HRESULT h = interruption(); h != S_OK) return h;
            const ULONG n = std::min(bytes, kPieceBytes);
            if (HRESULT h = flushEvents(offset_ + n, offset_ + n); FAILED(h)) return h;
            ULONG written = 0;
            if (HRESULT h = site_->Write(p, n, &written); FAILED(h)) return h;
            offset_ += n;
            p += n;
            bytes -= n;
        }
        return S_OK;
    }

    // Speech at the site's volume times the fragment's (0..100, percent of
    // the engine's level), each piece at the volume the site gives as it is
    // written.
    HRESULT writeSamples(const SHORT* samples, ULONG count, ULONG fragmentVolume) {
        const ULONG pieceSamples = kPieceBytes / kBytesPerSample;
        while (count > 0) {
            const ULONG n = std::min(count, pieceSamples);
            if (HRESULT h = interruption(); h != S_OK) return h;
            const ULONG volume = std::min<ULONG>(fragmentVolume, 100) * volume_ / 100;
            const SHORT* piece = samples;
            if (volume != 100) {
                scaled_.resize(n);
                for (ULONG i = 0; i < n; ++i) scaled_[i] = static_cast<SHORT>(long{samples[i]} * static_cast<long>(volume) / 100);
                piece = scaled_.data();
            }
            if (HRESULT h = write(piece, n * kBytesPerSample); FAILED(h)) return h;
            samples += n;
            count -= n;
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
    // Sends the events that take place before `upTo`, each at most at
    // `latest` (the audio written, or about to be).
    HRESULT flushEvents(ULONGLONG upTo, ULONGLONG latest) {
        while (!pending_.empty() && pending_.front().ullAudioStreamOffset < upTo) {
            SPEVENT e = pending_.front();
            pending_.erase(pending_.begin());
            e.ullAudioStreamOffset = std::min(std::max(e.ullAudioStreamOffset, offset_), latest);
            if (HRESULT h = site_->AddEvents(&e, 1); FAILED(h)) return h;
        }
        return S_OK;
    }
    void readRate() {
        LONG r = 0;
        if (SUCCEEDED(site_->GetRate(&r))) rate_ = r;
    }
    void readVolume() {
        uint16_t v = 100;
        if (SUCCEEDED(site_->GetVolume(&v))) volume_ = std::min<ULONG>(v, 100);
    }

    ISpTTSEngineSite* site_;
    ULONGLONG offset_ = 0;
    std::vector<SPEVENT> pending_;
    std::vector<SHORT> scaled_;
    LONG rate_ = 0;
    ULONG volume_ = 100;
};

// A stretch of a sentence between silences and changes of rate, pitch or
// volume: the text the engine speaks, its word items with their places in
// that text, the bookmarks with the word they stand before, and the state of
// its fragments (rate, pitch and volume adjustments).
struct Stretch {
    const SPVSTATE* state = nullptr; // of its first spoken item
    std::u16string text;
    std::vector<std::pair<std::size_t, const SentenceItem*>> words; // (place in text, item)
    std::vector<std::pair<std::size_t, std::u16string>> bookmarks;  // (word index, text)

    bool empty() const { return text.empty() && bookmarks.empty(); }
    // True when the item is spoken with other adjustments than the stretch.
    bool differs(const SentenceItem& item) const {
        return state && item.state && item.action() == SPVA_Speak &&
               (item.state->RateAdj != state->RateAdj || item.state->PitchAdj.MiddleAdj != state->PitchAdj.MiddleAdj ||
                item.state->Volume != state->Volume);
    }

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
        if (!state) state = item.state;
        if (isWordItem(item)) words.emplace_back(text.size(), &item);
        text += item.text;
    }
};

// Receives the engine's speech for a stretch, placing each word's and
// bookmark's event where the word's audio starts.
class StretchSink final : public IVorsanSpeechSink {
public:
    StretchSink(Output& out, const Stretch& stretch) : out_(out), stretch_(stretch) {}

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
        if (count <= 0) return S_OK;
        return out_.writeSamples(samples, static_cast<ULONG>(count), stretch_.state ? stretch_.state->Volume : 100);
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
        if (token_) {
            diagnose("Nimbrel22: a token is already set");
        } else if (token) {
            token_ = ComPtr<ISpObjectToken>(token);
            tokenLanguage_ = languageIdOf(tokenAttribute(*token, u"Language"));
        }
        HRESULT created = CoCreateInstance(CLSID_VorsanAPI, nullptr, CLSCTX_INPROC_SERVER, IID_IVorsanAPI,
                                           engine_.putVoid());
        if (FAILED(created)) {
            diagnose("Nimbrel22: cannot create the engine (" + hex(created) + ")");
            return created;
        }
        if (!engine_) return S_FALSE;
        engine_.as(IID_IVorsanSpeechStream, stream_);
        if (stream_) {
            Bstr path;
            if (SUCCEEDED(stream_->ConfigurationPath(path.put()))) configPath_ = path.utf8();
        }
        configStamp_ = FileStamp::of(configPath_);
        engine_->LoadConfiguration(); // a missing or broken configuration leaves the built-in English
        applyMood();
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
        *f = WAVEFORMATEX{kWaveFormatPcm, 1, kVoiceRate, kBytesPerSecond, kBytesPerSample, 16, 0};
        *formatId = SPDFID_WaveFormatEx;
        *waveFormat = f;
        return S_OK;
    }

    HRESULT Speak(DWORD, REFGUID, const WAVEFORMATEX*, const SPVTEXTFRAG* fragments, ISpTTSEngineSite* site) override {
        if (!site || !fragments) return E_INVALIDARG;
        std::lock_guard lock(speaking_); // one request at a time per voice
        ComPtr<IVorsanSpeechStream> stream;
        uint16_t language = 0;
        {
            std::lock_guard state(mutex_);
            stream = stream_;
            language = tokenLanguage_;
        }
        if (!stream) return SPERR_UNINITIALIZED;
        reloadIfChanged();
        // The fragments' language when they name one, else the voice's own.
        preferLanguage(fragments->State.LangID ? fragments->State.LangID : language);
        Output out(site);
        SentenceWalk walk(fragments);
        std::vector<SentenceItem> items;
        HRESULT result = S_OK;
        bool cut = false; // the sentence before was cut short by a skip
        while (SUCCEEDED(result)) {
            const DWORD actions = out.actions();
            if (actions & SPVES_ABORT) break;
            if (actions & SPVES_SKIP) {
                bool more = true;
                if (FAILED(result = skip(*site, walk, items, cut, more)) || !more) break;
            }
            if (!walk.next(items)) break;
            const SentenceItem& first = items.front();
            const SentenceItem& last = items.back();
            result = out.event(SPEI_SENTENCE_BOUNDARY, out.offset(), last.sourceOffset + last.sourceLength - first.sourceOffset,
                               static_cast<LPARAM>(first.sourceOffset));
            if (SUCCEEDED(result)) result = speakSentence(*stream.get(), out, items);
            cut = result == kSkipped;
            if (cut) result = S_OK;
        }
        if (result == kAborted) result = S_OK;
        if (SUCCEEDED(result) && result != S_FALSE) {
            const HRESULT h = out.flushRest();
            if (FAILED(h) && h != kAborted && h != kSkipped) result = h;
        }
        out.dropEvents();
        return result == S_FALSE ? S_OK : result;
    }

private:
    ~Nimbrel22TTSEngine() override = default;

    static std::string hex(HRESULT h) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(h));
        return buf;
    }

    // A skip the site asks for: forward by sentences, the one it cut short
    // counting as the first; other skips skip nothing. `more` is false when
    // the text ran out.
    static HRESULT skip(ISpTTSEngineSite& site, SentenceWalk& walk, std::vector<SentenceItem>& items, bool cut,
                        bool& more) {
        SPVSKIPTYPE type{};
        LONG count = 0;
        if (HRESULT h = site.GetSkipInfo(&type, &count); FAILED(h)) return h;
        LONG skipped = 0;
        if (type == SPVST_SENTENCE && count > 0) {
            if (cut) ++skipped;
            while (skipped < count && (more = walk.next(items))) ++skipped;
        }
        return site.CompleteSkip(skipped);
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
                if (stretch.differs(item)) {
                    if (HRESULT h = speakStretch(stream, out, stretch); FAILED(h)) return h;
                    stretch = Stretch{};
                }
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
        StretchSink sink(out, stretch);
        HRESULT h = S_OK;
        if (!stretch.text.empty()) {
            // The site's rate (as it is now) with the fragment's adjustment.
            const LONG rate = out.siteRate() + (stretch.state ? stretch.state->RateAdj : 0);
            const LONG pitch = stretch.state ? stretch.state->PitchAdj.MiddleAdj : 0;
            h = setProsody(stream, speakingRate(rate), pitchFactor(pitch));
            if (SUCCEEDED(h)) {
                BSTR text = SysAllocStringLen(stretch.text.data(), static_cast<UINT>(stretch.text.size()));
                h = stream.RenderText(text, 1, 1, static_cast<LONG>(kVoiceRate), &sink);
                SysFreeString(text);
            }
        }
        if (h == kAborted || h == kSkipped) return h;
        if (FAILED(h)) {
            diagnose("Nimbrel22: speaking failed (" + hex(h) + "): " + errorDescription());
            return h;
        }
        sink.placeRest();
        return out.flushRest();
    }

    // The stream keeps its prosody between requests: it is set only when it
    // changes.
    HRESULT setProsody(IVorsanSpeechStream& stream, float rate, float pitch) {
        if (rate == rate_ && pitch == pitch_) return S_OK;
        const HRESULT h = stream.SetProsody(rate, pitch);
        if (SUCCEEDED(h)) rate_ = rate, pitch_ = pitch;
        return h;
    }

    // An edited tolvane.xml (another modification time or size) is loaded
    // for this request. A file that does not load leaves the configuration
    // loaded before, and is not tried again until it changes once more.
    void reloadIfChanged() {
        std::lock_guard lock(mutex_);
        const FileStamp now = FileStamp::of(configPath_);
        if (now == configStamp_ || !engine_) return;
        configStamp_ = now;
        if (FAILED(engine_->LoadConfiguration())) {
            diagnose("Nimbrel22: the changed " + configPath_ + " was not loaded (" + errorDescription() +
                     "); speaking with the configuration loaded before");
            return;
        }
        preferred_.reset(); // the languages are new
        applyMood();
    }

    // The token's "Mood" attribute, when it has one, becomes the active mood
    // of every language whose emotion database holds it.
    void applyMood() {
        if (!token_) return;
        Bstr moodName{tokenAttribute(*token_.get(), u"Mood")};
        if (moodName.view().empty()) return;
        ComPtr<IMStringList> list;
        if (FAILED(engine_->get_AllSupportedLanguages(list.put())) || !list) return;
        LONG count = 0;
        list->get_Count(&count);
        for (LONG i = 0; i < count; ++i) {
            ComPtr<IMString> item;
            Bstr language, database;
            if (FAILED(list->Item(i, item.put())) || FAILED(item->get_Name(language.put()))) continue;
            LONG exists = 0;
            if (FAILED(engine_->get_EmotionDatabase(language.get(), database.put())) || database.view().empty()) continue;
            if (SUCCEEDED(engine_->get_MoodExistsInDatabase(moodName.get(), database.get(), &exists)) && exists)
                engine_->put_ActiveMood(language.get(), moodName.get());
        }
    }

    // The request's language (LangID of its first fragment): the loaded
    // language with that identifier wins its script, so Devanagari is read
    // as Marathi for Marathi; others leave the configuration's choice.
    void preferLanguage(uint16_t langId) {
        std::lock_guard lock(mutex_);
        if (!engine_) return;
        const std::u16string language = languageOf(langId);
        if (language == preferred_) return;
        Bstr name(language);
        if (stream_->PreferLanguage(name.get()) == S_OK) preferred_ = language;
    }

    // The engine's language for a language identifier, as the loaded rule
    // files give their identifiers.
    std::u16string languageOf(uint16_t langId) const {
        Bstr name;
        if (stream_->LanguageOfWindowsId(langId, name.put()) != S_OK) return {};
        return std::u16string(name.view());
    }

    // The first language identifier of a token's Language attribute:
    // hexadecimal identifiers separated by ';' ("439" or "409;9"); 0 when
    // it names none.
    static uint16_t languageIdOf(std::u16string_view attribute) {
        const std::string text = utf16ToUtf8(attribute.substr(0, attribute.find(u';')));
        unsigned value = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), value, 16);
        return r.ec == std::errc() && value <= 0xFFFF ? static_cast<uint16_t>(value) : 0;
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
    uint16_t tokenLanguage_ = 0; // the language the token names
    ComPtr<IVorsanAPI> engine_;
    ComPtr<IVorsanSpeechStream> stream_;
    std::string configPath_;
    FileStamp configStamp_;
    std::optional<std::u16string> preferred_;
    float rate_ = 1.0f, pitch_ = 1.0f; // the stream's prosody
};

} // namespace

HRESULT createTtsEngine(REFIID iid, void** ppv) { return createObject<Nimbrel22TTSEngine>(iid, ppv); }

} // namespace vorsan::voice
