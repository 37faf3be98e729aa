#pragma once
// A private interface of the VorsanAPI object, for the system voice and the
// other clients of this project that need speech as it is made: obtained by
// QueryInterface(IID_IVorsanSpeechStream). IVorsanAPI itself stays as it is.
#include "vorsan/automation/Bstr.h"
#include "vorsan/automation/Com.h"

namespace vorsan {

// Where a word of the text begins in a run of speech.
struct VorsanWordStart {
    LONG textOffset;  // in the text given to RenderText, UTF-16 code units
    LONG textLength;
    int64_t sample;   // from the run's start, at the run's rate
};

// Implemented by the caller. A run is one sentence (or piece) of the text:
// BeginRun, then WordStarts (where the run's words begin), then Samples,
// then EndRun. Every call comes on the thread that called RenderText. A
// failure result from any of them ends the rendering with that result.
struct IVorsanSpeechSink {
    virtual HRESULT BeginRun(LONG sampleRate) = 0;
    virtual HRESULT WordStarts(const VorsanWordStart* words, LONG count) = 0;
    virtual HRESULT Samples(const SHORT* samples, LONG count) = 0; // 16-bit mono
    virtual HRESULT EndRun() = 0;

protected:
    ~IVorsanSpeechSink() = default;
};

inline constexpr IID IID_IVorsanSpeechStream{0x6B0C5E21, 0x3D74, 0x4F0A, {0x9E, 0x51, 0x2C, 0x8A, 0x47, 0xD3, 0x16, 0xB9}};

struct IVorsanSpeechStream : IUnknown {
    // Speaks the text (any length) with the loaded languages, moods and
    // accents into the sink, sentence by sentence as each is ready; with an
    // outputRate (4000 to 192000 Hz) every run is converted to it, with 0
    // each run comes at its voice's rate (another value: E_INVALIDARG).
    // S_OK when all of it was rendered, S_FALSE when Stop
    // ended it, else the sink's failure or DISP_E_EXCEPTION with the engine's
    // message as error info.
    virtual HRESULT RenderText(BSTR text, LONG withEmotion, LONG withAccent, LONG outputRate,
                               IVorsanSpeechSink* sink) = 0;
    // Ends the RenderText under way, from any thread.
    virtual HRESULT Stop() = 0;
    // Text of the script of `languageName` (a loaded language) is read as that
    // language, even where another loaded language claims the same script
    // (Marathi rather than Hindi for Devanagari). An empty name restores the
    // usual choice. Unknown names: E_INVALIDARG.
    virtual HRESULT PreferLanguage(BSTR languageName) = 0;
    // The loaded language whose Windows language identifier has the primary
    // language of `langId` (its low ten bits), as its rule file gives it:
    // S_OK with its name, S_FALSE with an empty string when none.
    virtual HRESULT LanguageOfWindowsId(LONG langId, BSTR* languageName) = 0;
    // The speaking rate (2 speaks twice as fast) and pitch (a factor of every
    // pitch) of the following RenderText calls, over each language's
    // configured voice, accent included. 1 and 1 until set; a value that is
    // not a positive number: E_INVALIDARG, the last setting stays.
    virtual HRESULT SetProsody(float rate, float pitch) = 0;
    // The path of the configuration file LoadConfiguration reads.
    virtual HRESULT ConfigurationPath(BSTR* path) = 0;

protected:
    ~IVorsanSpeechStream() = default;
};

} // namespace vorsan
