#pragma once
// An output site for the voice's tests: records the audio and the events of
// one request, and can ask for an abort (from any thread, or once a given
// amount of audio has been written).
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
    std::size_t bytes() const { return samples().size() * 2; }
    void abort() { abort_ = true; }
    // Asks for an abort once this many bytes have been written.
    std::size_t abortAfter = SIZE_MAX;
    std::function<void()> onFirstWrite;

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
        }
        return S_OK;
    }
    HRESULT GetEventInterest(sapi::ULONGLONG* interest) override { return *interest = ~0ull, S_OK; }
    DWORD GetActions() override { return abort_ ? sapi::SPVES_ABORT : sapi::SPVES_CONTINUE; }
    HRESULT Write(const void* data, ULONG bytes, ULONG* written) override {
        std::function<void()> first;
        {
            std::lock_guard lock(m_);
            if (audio_.empty()) first = onFirstWrite;
            audio_.insert(audio_.end(), static_cast<const char*>(data), static_cast<const char*>(data) + bytes);
            if (audio_.size() >= abortAfter) abort_ = true;
        }
        if (first) first();
        if (written) *written = bytes;
        return S_OK;
    }
    HRESULT GetRate(LONG* r) override { return *r = 0, S_OK; }
    HRESULT GetVolume(uint16_t* v) override { return *v = 100, S_OK; }
    HRESULT GetSkipInfo(sapi::SPVSKIPTYPE* t, LONG* n) override { return *t = sapi::SPVST_SENTENCE, *n = 0, S_OK; }
    HRESULT CompleteSkip(LONG) override { return S_OK; }

private:
    mutable std::mutex m_;
    std::vector<char> audio_;
    std::vector<Event> events_;
    std::atomic<bool> abort_{false};
};

// Fragments of a request built from pieces of one text, as the speech API
// hands them: each points into the one text with its source offset.
class Fragments {
public:
    // Appends text spoken (or, with another action, the action's fragment).
    Fragments& add(std::u16string_view piece, sapi::SPVACTIONS action = sapi::SPVA_Speak, ULONG silenceMs = 0) {
        pieces_.push_back({text_.size(), piece.size(), action, silenceMs});
        text_ += piece;
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
            f.pTextStart = text_.c_str() + pieces_[i].at;
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
    };
    std::u16string text_;
    std::vector<Piece> pieces_;
    uint16_t langId_ = 0;
    std::vector<sapi::SPVTEXTFRAG> frags_;
};

} // namespace vorsan::testing
