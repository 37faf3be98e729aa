#pragma once
// The system-voice interfaces and data types the Nimbrel22 voice speaks
// through, declared in the shape of the automation layer (IIDs, HRESULTs,
// IUnknown), with the names and numbers the speech API gives them.
#include <cstdint>

#include "vorsan/automation/Com.h"

namespace vorsan::sapi {

using ULONGLONG = uint64_t;
using LPARAM = intptr_t;
using WPARAM = uintptr_t;
using LPCWSTR = const char16_t*;
using LPWSTR = char16_t*;

inline constexpr HRESULT SPERR_UNINITIALIZED = hr(0x80045001);
inline constexpr HRESULT SPERR_ALREADY_INITIALIZED = hr(0x80045002);
inline constexpr HRESULT SPERR_NOT_FOUND = hr(0x8004503A);

// Actions of a text fragment.
enum SPVACTIONS : int32_t {
    SPVA_Speak = 0,
    SPVA_Silence,
    SPVA_Pronounce,
    SPVA_Bookmark,
    SPVA_SpellOut,
    SPVA_Section,
    SPVA_ParseUnknownTag
};

// What the output site asks of the voice (GetActions).
enum SPVESACTIONS : DWORD {
    SPVES_CONTINUE = 0,
    SPVES_ABORT = 1 << 0,
    SPVES_SKIP = 1 << 1,
    SPVES_RATE = 1 << 2,
    SPVES_VOLUME = 1 << 3
};

enum SPVSKIPTYPE : int32_t { SPVST_SENTENCE = 1 << 0 };

// Events the voice raises.
enum SPEVENTENUM : uint16_t { SPEI_TTS_BOOKMARK = 4, SPEI_WORD_BOUNDARY = 5, SPEI_SENTENCE_BOUNDARY = 7 };
enum SPEVENTLPARAMTYPE : uint16_t {
    SPET_LPARAM_IS_UNDEFINED = 0,
    SPET_LPARAM_IS_TOKEN,
    SPET_LPARAM_IS_OBJECT,
    SPET_LPARAM_IS_POINTER,
    SPET_LPARAM_IS_STRING
};

struct SPEVENT {
    uint16_t eEventId;
    uint16_t elParamType;
    ULONG ulStreamNum;
    ULONGLONG ullAudioStreamOffset; // bytes of audio written before the event's place
    WPARAM wParam;
    LPARAM lParam;
};

struct SPPHRASEELEMENT; // not used by this voice

// The state of a fragment: its action and the rest, kept as given.
struct SPVSTATE {
    SPVACTIONS eAction = SPVA_Speak;
    uint16_t LangID = 0;
    uint16_t wReserved = 0;
    LONG EmphAdj = 0;
    LONG RateAdj = 0;
    ULONG Volume = 100;
    LONG PitchAdj = 0; // middle of the pitch settings
    ULONG SilenceMSecs = 0;
    SPPHRASEELEMENT* pPhoneIds = nullptr;
    int32_t ePartOfSpeech = 0;
    LONG Context = 0;
};

// One fragment of the text to speak. The fragments of one request point into
// one caller's text; ulTextSrcOffset is the fragment's place in it.
struct SPVTEXTFRAG {
    SPVTEXTFRAG* pNext = nullptr;
    SPVSTATE State;
    LPCWSTR pTextStart = nullptr;
    ULONG ulTextLen = 0;
    ULONG ulTextSrcOffset = 0;
};

struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
inline constexpr WORD WAVE_FORMAT_PCM = 1;

// The format identifier of WAVEFORMATEX-described audio.
inline constexpr GUID SPDFID_WaveFormatEx{0xC31ADBAE, 0x527F, 0x4FF5, {0xA2, 0x30, 0xF6, 0x2B, 0xB6, 0x1F, 0xF7, 0x0C}};

// The output site of one speak request.
inline constexpr IID IID_ISpTTSEngineSite{0x9880499B, 0xCCE9, 0x11D2, {0xB5, 0x03, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};

struct ISpTTSEngineSite : IUnknown {
    virtual HRESULT AddEvents(const SPEVENT* events, ULONG count) = 0;
    virtual HRESULT GetEventInterest(ULONGLONG* interest) = 0;
    virtual DWORD GetActions() = 0;
    virtual HRESULT Write(const void* buffer, ULONG bytes, ULONG* written) = 0;
    virtual HRESULT GetRate(LONG* rateAdjust) = 0;
    virtual HRESULT GetVolume(uint16_t* volume) = 0;
    virtual HRESULT GetSkipInfo(SPVSKIPTYPE* type, LONG* count) = 0;
    virtual HRESULT CompleteSkip(LONG skipped) = 0;

protected:
    ~ISpTTSEngineSite() = default;
};

// A voice's registration data: its name, language and attributes.
inline constexpr IID IID_ISpObjectToken{0x14056589, 0xE16C, 0x11D2, {0xBB, 0x90, 0x00, 0xC0, 0x4F, 0x8E, 0xE6, 0xC0}};

struct ISpObjectToken : IUnknown {
    virtual HRESULT GetId(LPWSTR* id) = 0;                             // CoTaskMemFree the result
    virtual HRESULT GetStringValue(LPCWSTR name, LPWSTR* value) = 0;   // null name: the voice's name
    virtual HRESULT GetAttribute(LPCWSTR name, LPWSTR* value) = 0;     // "Language", "Gender", ...

protected:
    ~ISpObjectToken() = default;
};

inline constexpr IID IID_ISpObjectWithToken{0x5B559F40, 0xE952, 0x11D2, {0xBB, 0x91, 0x00, 0xC0, 0x4F, 0x8E, 0xE6, 0xC0}};

struct ISpObjectWithToken : IUnknown {
    virtual HRESULT SetObjectToken(ISpObjectToken* token) = 0;
    virtual HRESULT GetObjectToken(ISpObjectToken** token) = 0;

protected:
    ~ISpObjectWithToken() = default;
};

inline constexpr IID IID_ISpTTSEngine{0xA74D7C8E, 0x4CC5, 0x4F2F, {0xA6, 0xEB, 0x80, 0x4D, 0xEE, 0x18, 0x50, 0x0E}};

struct ISpTTSEngine : IUnknown {
    virtual HRESULT Speak(DWORD speakFlags, REFGUID formatId, const WAVEFORMATEX* waveFormat,
                          const SPVTEXTFRAG* textFragList, ISpTTSEngineSite* outputSite) = 0;
    // Allocates *waveFormat with CoTaskMemAlloc; the caller frees it.
    virtual HRESULT GetOutputFormat(const GUID* targetFormatId, const WAVEFORMATEX* targetWaveFormat,
                                    GUID* formatId, WAVEFORMATEX** waveFormat) = 0;

protected:
    ~ISpTTSEngine() = default;
};

// The voice's class.
inline constexpr CLSID CLSID_Nimbrel22TTSEngine{0x3E5F8A12, 0x6C4B, 0x4D1E, {0x9A, 0x27, 0x51, 0xB0, 0xC3, 0x8E, 0x2D, 0x64}};
inline constexpr const char16_t* kProgIdNimbrel22 = u"Nimbrel22.TTSEngine.1";
inline constexpr const char16_t* kProgIdNimbrel22Independent = u"Nimbrel22.TTSEngine";

// The declared output format: PCM, 22050 Hz, 16 bits, mono.
inline constexpr DWORD kVoiceRate = 22050;

} // namespace vorsan::sapi
