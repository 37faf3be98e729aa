#pragma once
// An output site for the voice's tests: records the audio and the events of
// one request, and can ask for an abort (from any thread, once a given
// amount of audio has been written, or at a sentence's event) or a skip, and
// change its rate and volume while the voice speaks.
#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "vorsan/voice/Sapi.h"

namespace vorsan::testing {

class TestSite final : public sapi::ISpTTSEngineSite {
public:
    struct Event {
        uint16_t id;
        uint64_t offset; // bytes
        sapi::WPARAM w;
        sapi::LPARAM l;
        std::u16string text; // a bookmark's
    };

    std::vector<int16_t> samples() const {
        std::lock_guard lock(m_);
        std::vector<int16_t> s(audio_.size() / 2);
        if (!s.empty()) std::memcpy(s.data(), audio_.data(), s.size() * 2);
        return s;
    }
    std::vector<Event> events(uint16_t id = 0) const {
        std::lock_guard lock(m_);
        std::vector<Event> out;
        for (const auto& e : events_)
            if (id == 0 || e.id == id) out.push_back(e);
        return out;
    }
    std::size_t bytes() const {
        std::lock_guard lock(m_);
        return written_;
    }
    // False: the audio is counted, not kept (for very long requests).
    bool keepAudio = true;
    void abort() {
        std::lock_guard lock(m_);
        abortLocked();
    }
    // Asks for an abort once this many bytes have been written.
    std::size_t abortAfter = SIZE_MAX;
    // Asks for an abort as the sentence boundary event of this sentence (1
    // the first) comes.
    std::size_t abortAtSentence = SIZE_MAX;
    // Asks to skip `skipCount` sentences once this many bytes have been written.
    std::size_t skipAfter = SIZE_MAX;
    LONG skipCount = 1;
    std::function<void()> onFirstWrite;

    // The events and bytes there were when the abort was asked for.
    std::size_t eventsAtAbort() const { return eventsAtAbort_; }
    std::size_t bytesAtAbort() const { return bytesAtAbort_; }
    // What CompleteSkip reported (-1: not called).
    LONG skipped() const { return skipped_; }

    // The site's rate (-10..10) and volume (0..100); a change while the
    // voice speaks is announced by GetActions until the voice reads it.
    void setRate(LONG r) {
        rate_ = r;
        actions_ |= sapi::SPVES_RATE;
    }
    void setVolume(uint16_t v) {
        volume_ = v;
        actions_ |= sapi::SPVES_VOLUME;
    }

    HRESULT QueryInterface(REFIID, void** ppv) override { return *ppv = nullptr, E_NOINTERFACE; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT AddEvents(const sapi::SPEVENT* events, ULONG count) override {
        std::lock_guard lock(m_);
        for (ULONG i = 0; i < count; ++i) {
            const auto& e = events[i];
            Event r{e.eEventId, e.ullAudioStreamOffset, e.wParam, e.lParam, {}};
            if (e.elParamType == sapi::SPET_LPARAM_IS_STRING) r.text = reinterpret_cast<const char16_t*>(e.lParam);
            events_.push_back(r);
            if (e.eEventId == sapi::SPEI_SENTENCE_BOUNDARY && ++sentences_ == abortAtSentence) abortLocked();
        }
        return S_OK;
    }
    HRESULT GetEventInterest(sapi::ULONGLONG* interest) override { return *interest = ~0ull, S_OK; }
    DWORD GetActions() override { return actions_; }
    HRESULT Write(const void* data, ULONG bytes, ULONG* written) override {
        std::function<void()> first;
        {
            std::lock_guard lock(m_);
            if (written_ == 0) first = onFirstWrite;
            written_ += bytes;
            if (keepAudio) audio_.insert(audio_.end(), static_cast<const char*>(data), static_cast<const char*>(data) + bytes);
            if (written_ >= abortAfter) abortLocked();
            if (written_ >= skipAfter) {
                skipAfter = SIZE_MAX;
                actions_ |= sapi::SPVES_SKIP;
            }
        }
        if (first) first();
        if (written) *written = bytes;
        return S_OK;
    }
    HRESULT GetRate(LONG* r) override {
        actions_ &= ~DWORD{sapi::SPVES_RATE};
        return *r = rate_, S_OK;
    }
    HRESULT GetVolume(uint16_t* v) override {
        actions_ &= ~DWORD{sapi::SPVES_VOLUME};
        return *v = volume_, S_OK;
    }
    HRESULT GetSkipInfo(sapi::SPVSKIPTYPE* t, LONG* n) override { return *t = sapi::SPVST_SENTENCE, *n = skipCount, S_OK; }
    HRESULT CompleteSkip(LONG n) override {
        skipped_ = n;
        actions_ &= ~DWORD{sapi::SPVES_SKIP};
        return S_OK;
    }

private:
    void abortLocked() {
        if (actions_ & sapi::SPVES_ABORT) return;
        eventsAtAbort_ = events_.size();
        bytesAtAbort_ = written_;
        actions_ |= sapi::SPVES_ABORT;
    }

    mutable std::mutex m_;
    std::vector<char> audio_;
    std::size_t written_ = 0;
    std::vector<Event> events_;
    std::atomic<DWORD> actions_{sapi::SPVES_CONTINUE};
    std::atomic<LONG> rate_{0};
    std::atomic<uint16_t> volume_{100};
    std::atomic<LONG> skipped_{-1};
    std::size_t sentences_ = 0;
    std::size_t eventsAtAbort_ = 0, bytesAtAbort_ = 0;
};

// Fragments of a request built from pieces of one text, as the speech API
// hands them: each points into the one text with its source offset.
class Fragments {
public:
    // Appends text spoken (or, with another action, the action's fragment).
    Fragments& add(std::u16string_view piece, sapi::SPVACTIONS action = sapi::SPVA_Speak, ULONG silenceMs = 0) {
        pieces_.push_back({text_.size(), piece.size(), action, silenceMs, rateAdj_, pitchAdj_, volume_});
        text_ += piece;
        return *this;
    }
    // The adjustments of the fragments added from now on (RateAdj, PitchAdj
    // -10..10, Volume 0..100).
    Fragments& adjust(LONG rate, LONG pitch = 0, ULONG volume = 100) {
        rateAdj_ = rate;
        pitchAdj_ = pitch;
        volume_ = volume;
        return *this;
    }
    // The language identifier every fragment carries (0: none).
    Fragments& language(uint16_t langId) {
        langId_ = langId;
        return *this;
    }
    const sapi::SPVTEXTFRAG* first() {
        frags_.assign(pieces_.size(), {});
        for (std::size_t i = 0; i < pieces_.size(); ++i) {
            auto& f = frags_[i];
            f.pNext = i + 1 < frags_.size() ? &frags_[i + 1] : nullptr;
            f.State.LangID = langId_;
            f.State.eAction = pieces_[i].action;
            f.State.SilenceMSecs = pieces_[i].silenceMs;
            f.State.RateAdj = pieces_[i].rateAdj;
            f.State.PitchAdj.MiddleAdj = pieces_[i].pitchAdj;
            f.State.Volume = pieces_[i].volume;
            f.pTextStart = sapi::wide(text_.c_str() + pieces_[i].at);
            f.ulTextLen = static_cast<ULONG>(pieces_[i].length);
            f.ulTextSrcOffset = static_cast<ULONG>(pieces_[i].at);
        }
        return frags_.empty() ? nullptr : &frags_[0];
    }
    const std::u16string& text() const { return text_; }

private:
    struct Piece {
        std::size_t at, length;
        sapi::SPVACTIONS action;
        ULONG silenceMs;
        LONG rateAdj, pitchAdj;
        ULONG volume;
    };
    std::u16string text_;
    std::vector<Piece> pieces_;
    uint16_t langId_ = 0;
    LONG rateAdj_ = 0, pitchAdj_ = 0;
    ULONG volume_ = 100;
    std::vector<sapi::SPVTEXTFRAG> frags_;
};

} // namespace vorsan::testing
