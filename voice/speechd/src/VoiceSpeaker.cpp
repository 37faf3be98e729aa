#include "VoiceSpeaker.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <exception>
#include <vector>

#include "MessagePieces.h"
#include "vorsan/automation/Creation.h"
#include "vorsan/automation/Interfaces.h"
#include "vorsan/core/Diagnostics.h"
#include "vorsan/core/Text.h"
#include "vorsan/voice/VoiceToken.h"

namespace vorsan::speechd {

using namespace sapi;

struct VoiceSpeaker::Job {
    Job(Message m, ProtocolWriter& out) : message(std::move(m)), events(out) {}
    Message message;
    MessageEvents events;
    std::atomic<bool> abort{false};

    void end(const char* line) {
        events.end(line);
        abort = true;
    }
};

namespace {

std::string hex(HRESULT h) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(h));
    return buf;
}

// The voice's output site for one message.
class ModuleSite final : public ISpTTSEngineSite {
public:
    ModuleSite(MessageEvents& events, const std::atomic<bool>& abort, unsigned rate)
        : events_(events), abort_(abort), rate_(rate) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (!(riid == IID_IUnknown || riid == IID_ISpTTSEngineSite)) return E_NOINTERFACE;
        *ppv = static_cast<ISpTTSEngineSite*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return 1; } // lives on the stack of one request
    ULONG Release() override { return 1; }

    HRESULT AddEvents(const SPEVENT* events, ULONG count) override {
        if (!events) return E_POINTER;
        for (ULONG i = 0; i < count; ++i) {
            const SPEVENT& e = events[i];
            if (e.eEventId != SPEI_TTS_BOOKMARK || e.elParamType != SPET_LPARAM_IS_STRING || !e.lParam) continue;
            Mark m{e.ullAudioStreamOffset, utf16ToUtf8(reinterpret_cast<const char16_t*>(e.lParam))};
            auto at = std::upper_bound(marks_.begin(), marks_.end(), m.offset,
                                       [](ULONGLONG o, const Mark& k) { return o < k.offset; });
            marks_.insert(at, std::move(m));
        }
        sendMarks();
        return S_OK;
    }
    HRESULT GetEventInterest(ULONGLONG* interest) override {
        if (!interest) return E_POINTER;
        *interest = 1ull << SPEI_TTS_BOOKMARK;
        return S_OK;
    }
    DWORD GetActions() override { return abort_ ? SPVES_ABORT : SPVES_CONTINUE; }
    // Audio up to each waiting mark's place goes out before the mark.
    HRESULT Write(const void* data, ULONG bytes, ULONG* written) override {
        if (!data && bytes) return E_INVALIDARG;
        if (written) *written = bytes;
        const auto* samples = static_cast<const int16_t*>(data);
        std::size_t count = bytes / 2;
        while (count > 0) {
            std::size_t n = count;
            if (!marks_.empty() && marks_.front().offset < position_ + count * 2)
                n = static_cast<std::size_t>((marks_.front().offset - position_) / 2);
            if (n == 0) { // a mark inside this sample
                events_.mark(marks_.front().name);
                marks_.erase(marks_.begin());
                continue;
            }
            events_.audio(samples, n, rate_);
            samples += n;
            count -= n;
            position_ += n * 2;
            sendMarks();
        }
        return S_OK;
    }
    HRESULT GetRate(LONG* rate) override { return rate ? (*rate = 0, S_OK) : E_POINTER; }
    HRESULT GetVolume(uint16_t* volume) override { return volume ? (*volume = 100, S_OK) : E_POINTER; }
    HRESULT GetSkipInfo(SPVSKIPTYPE* type, LONG* count) override {
        if (!type || !count) return E_POINTER;
        *type = SPVST_SENTENCE;
        *count = 0;
        return S_OK;
    }
    HRESULT CompleteSkip(LONG) override { return S_OK; }

    // Marks the voice placed after the last audio.
    void finish() {
        for (const Mark& m : marks_) events_.mark(m.name);
        marks_.clear();
    }

private:
    struct Mark {
        ULONGLONG offset;
        std::string name;
    };
    void sendMarks() {
        while (!marks_.empty() && marks_.front().offset <= position_) {
            events_.mark(marks_.front().name);
            marks_.erase(marks_.begin());
        }
    }

    MessageEvents& events_;
    const std::atomic<bool>& abort_;
    unsigned rate_;
    ULONGLONG position_ = 0; // bytes of audio sent
    std::vector<Mark> marks_;
};

// A message as the voice's fragments: every piece's text in one string
// (fragments point into it) and each fragment's action.
class Fragments {
public:
    void add(std::u16string_view text, SPVACTIONS action, ULONG silenceMs = 0) {
        pieces_.push_back({text_.size(), text.size(), action, silenceMs});
        text_ += text;
    }
    bool empty() const { return pieces_.empty(); }
    const SPVTEXTFRAG* build(const VoiceState& state) {
        frags_.assign(pieces_.size(), {});
        for (std::size_t i = 0; i < pieces_.size(); ++i) {
            SPVTEXTFRAG& f = frags_[i];
            f.pNext = i + 1 < frags_.size() ? &frags_[i + 1] : nullptr;
            f.State.eAction = pieces_[i].action;
            f.State.SilenceMSecs = pieces_[i].silenceMs;
            f.State.LangID = state.langId;
            f.State.RateAdj = state.rateAdj;
            f.State.PitchAdj = state.pitchAdj;
            f.State.Volume = state.volume;
            f.pTextStart = text_.c_str() + pieces_[i].at;
            f.ulTextLen = static_cast<ULONG>(pieces_[i].length);
            f.ulTextSrcOffset = static_cast<ULONG>(pieces_[i].at);
        }
        return frags_.empty() ? nullptr : frags_.data();
    }

private:
    struct Piece {
        std::size_t at, length;
        SPVACTIONS action;
        ULONG silenceMs;
    };
    std::u16string text_;
    std::vector<Piece> pieces_;
    std::vector<SPVTEXTFRAG> frags_;
};

} // namespace

VoiceSpeaker::~VoiceSpeaker() { shutdown(); }

ComPtr<ISpTTSEngine> VoiceSpeaker::voiceWithMood(const std::u16string& mood, HRESULT* result) {
    if (auto it = voices_.find(mood); it != voices_.end()) return it->second;
    ComPtr<ISpTTSEngine> voice;
    HRESULT h = createInstance(kProgIdNimbrel22Independent, IID_ISpTTSEngine, voice);
    ComPtr<ISpObjectWithToken> withToken;
    if (SUCCEEDED(h)) h = voice.as(IID_ISpObjectWithToken, withToken);
    if (SUCCEEDED(h)) {
        std::map<std::u16string, std::u16string> attributes;
        if (!mood.empty()) attributes[u"Mood"] = mood;
        ComPtr<ISpObjectToken> token(new VoiceToken(u"Nimbrel22", u"Nimbrel22", std::move(attributes)));
        h = withToken->SetObjectToken(token.get());
        if (h == S_FALSE) h = E_FAIL; // no engine behind the voice
    }
    if (result) *result = h;
    if (FAILED(h)) return {};
    voices_[mood] = voice;
    return voice;
}

std::string VoiceSpeaker::init() {
    std::lock_guard lock(mutex_);
    if (ready_) return {};
    HRESULT h = S_OK;
    ComPtr<ISpTTSEngine> voice = voiceWithMood(u"", &h);
    if (!voice)
        return "The Nimbrel22 voice cannot be created (" + hex(h) +
               ").\nIs it registered? scripts/setup.sh, or vorsan-regsvr for libVorsanCOM.so and libNimbrel22.so.";
    GUID format{};
    WAVEFORMATEX* wave = nullptr;
    if (SUCCEEDED(voice->GetOutputFormat(nullptr, nullptr, &format, &wave)) && wave) {
        sampleRate_ = wave->nSamplesPerSec;
        CoTaskMemFree(wave);
    }
    // The voices offered: every loaded language with a code, and each of its
    // moods as a variant.
    ComPtr<IVorsanAPI> engine;
    ComPtr<IMStringList> languages;
    if (SUCCEEDED(createInstance(kProgIdVorsanAPI, IID_IVorsanAPI, engine)) && engine) {
        engine->LoadConfiguration();
        engine->get_AllSupportedLanguages(languages.put());
    }
    LONG count = 0;
    if (languages) languages->get_Count(&count);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IMString> item;
        Bstr name;
        if (FAILED(languages->Item(i, item.put())) || FAILED(item->get_Name(name.put()))) continue;
        const std::string code = codeOfLanguage(name.view());
        if (code.empty()) continue;
        const std::string display = name.utf8();
        voiceList_.push_back({display, code, "none", name.str(), u""});
        ComPtr<IMStringList> moods;
        LONG moodCount = 0;
        if (FAILED(engine->get_AllMoodsInDatabase(name.get(), moods.put())) || !moods) continue;
        moods->get_Count(&moodCount);
        for (LONG k = 0; k < moodCount; ++k) {
            ComPtr<IMString> mood;
            Bstr moodName;
            if (FAILED(moods->Item(k, mood.put())) || FAILED(mood->get_Name(moodName.put()))) continue;
            voiceList_.push_back({display + " (" + moodName.utf8() + ")", code, moodName.utf8(), name.str(), moodName.str()});
        }
    }
    ready_ = true;
    worker_ = std::thread([this] { work(); });
    return {};
}

std::vector<VoiceEntry> VoiceSpeaker::voices() {
    std::lock_guard lock(mutex_);
    return voiceList_;
}

bool VoiceSpeaker::ready() {
    std::lock_guard lock(mutex_);
    return ready_ && !quitting_;
}

void VoiceSpeaker::speak(Message message) {
    std::lock_guard lock(mutex_);
    if (queued_) queued_->end("703 STOP");
    if (current_) current_->end("703 STOP");
    queued_ = std::make_shared<Job>(std::move(message), out_);
    wake_.notify_all();
}

void VoiceSpeaker::stop(bool pause) {
    std::lock_guard lock(mutex_);
    for (auto* job : {&queued_, &current_})
        if (*job) (*job)->end(pause ? "704 PAUSE" : "703 STOP");
    queued_.reset();
}

void VoiceSpeaker::shutdown() {
    {
        std::lock_guard lock(mutex_);
        for (auto* job : {&queued_, &current_})
            if (*job) (*job)->end("703 STOP");
        queued_.reset();
        quitting_ = true;
        wake_.notify_all();
    }
    if (worker_.joinable()) worker_.join();
    voices_.clear();
}

void VoiceSpeaker::work() {
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return quitting_ || queued_; });
            if (quitting_) return;
            job = current_ = std::move(queued_);
            queued_.reset();
        }
        // Whatever goes wrong in one message (memory, a fault the voice
        // throws through) ends that message, not the module: a module that
        // dies leaves the screen reader mute until the server restarts.
        try {
            run(*job);
        } catch (const std::exception& e) {
            diagnose(std::string("sd_vorsan: speaking failed: ") + e.what());
            job->end("703 STOP");
        } catch (...) {
            diagnose("sd_vorsan: speaking failed");
            job->end("703 STOP");
        }
        std::lock_guard lock(mutex_);
        current_.reset();
    }
}

void VoiceSpeaker::run(Job& job) {
    if (job.events.ended()) return;
    job.events.begin();
    const VoiceState state = voiceState(job.message.settings, voiceList_);
    HRESULT h = S_OK;
    ComPtr<ISpTTSEngine> voice = voiceWithMood(state.mood, &h);
    if (!voice) {
        diagnose("sd_vorsan: no voice with the mood " + utf16ToUtf8(state.mood) + " (" + hex(h) + ")");
        job.events.end("703 STOP");
        return;
    }
    Fragments fragments;
    for (const MessagePiece& p : messagePieces(job.message))
        fragments.add(p.text, p.kind == MessagePiece::Mark      ? SPVA_Bookmark
                              : p.kind == MessagePiece::Silence ? SPVA_Silence
                                                                : SPVA_Speak,
                      p.silenceMs);
    if (!fragments.empty()) {
        ModuleSite site(job.events, job.abort, sampleRate_);
        h = voice->Speak(0, SPDFID_WaveFormatEx, nullptr, fragments.build(state), &site);
        if (SUCCEEDED(h)) site.finish();
    }
    if (FAILED(h)) {
        diagnose("sd_vorsan: speaking failed (" + hex(h) + ")");
        job.events.end("703 STOP");
        return;
    }
    job.events.end("702 END");
}

} // namespace vorsan::speechd
