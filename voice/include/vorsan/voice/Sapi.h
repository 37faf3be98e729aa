#pragma once
// The speech API's engine-side interfaces and data types the Nimbrel22 voice
// speaks through, declared over the automation layer's COM basics (the
// platform's own COM on Windows) with the names, identifiers and layouts the
// speech API's documentation gives them, so the voice is the speech API's
// own engine on Windows and the same code elsewhere.
#include <cstdint>
#include <string>

#include "vorsan/automation/Com.h"

namespace vorsan::sapi {

using ULONGLONG = uint64_t;
using LPARAM = intptr_t;
using WPARAM = uintptr_t;
using LPCWSTR = const OLECHAR*;
using LPWSTR = OLECHAR*;
using BOOL = int32_t;
using BYTE = uint8_t;

// A UTF-16 literal as the interfaces' wide strings (the same 16-bit units).
inline LPCWSTR wide(const char16_t* s) { return reinterpret_cast<LPCWSTR>(s); }
inline const char16_t* units(LPCWSTR s) { return reinterpret_cast<const char16_t*>(s); }

inline constexpr HRESULT SPERR_UNINITIALIZED = hr(0x80045001);
inline constexpr HRESULT SPERR_ALREADY_INITIALIZED = hr(0x80045002);
inline constexpr HRESULT SPERR_NO_MORE_ITEMS = hr(0x80045039);
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

struct SPVPITCH {
    LONG MiddleAdj = 0; // -10..10
    LONG RangeAdj = 0;
};

struct SPVCONTEXT {
    LPCWSTR pCategory = nullptr;
    LPCWSTR pBefore = nullptr;
    LPCWSTR pAfter = nullptr;
};

// The state of a fragment: its action and the rest, kept as given.
struct SPVSTATE {
    SPVACTIONS eAction = SPVA_Speak;
    uint16_t LangID = 0;
    uint16_t wReserved = 0;
    LONG EmphAdj = 0;
    LONG RateAdj = 0;
    ULONG Volume = 100;
    SPVPITCH PitchAdj;
    ULONG SilenceMSecs = 0;
    OLECHAR* pPhoneIds = nullptr;
    int32_t ePartOfSpeech = 0;
    SPVCONTEXT Context;
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
inline constexpr WORD kWaveFormatPcm = 1;

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

// A key of a token's data: named string and number values and sub-keys.
inline constexpr IID IID_ISpDataKey{0x14056581, 0xE16C, 0x11D2, {0xBB, 0x90, 0x00, 0xC0, 0x4F, 0x8E, 0xE6, 0xC0}};

struct ISpDataKey : IUnknown {
    virtual HRESULT SetData(LPCWSTR valueName, ULONG bytes, const BYTE* data) = 0;
    virtual HRESULT GetData(LPCWSTR valueName, ULONG* bytes, BYTE* data) = 0;
    virtual HRESULT SetStringValue(LPCWSTR valueName, LPCWSTR value) = 0;
    // A null or empty name: the key's default value. CoTaskMemFree the result.
    virtual HRESULT GetStringValue(LPCWSTR valueName, LPWSTR* value) = 0;
    virtual HRESULT SetDWORD(LPCWSTR valueName, DWORD value) = 0;
    virtual HRESULT GetDWORD(LPCWSTR valueName, DWORD* value) = 0;
    virtual HRESULT OpenKey(LPCWSTR subKeyName, ISpDataKey** subKey) = 0;
    virtual HRESULT CreateKey(LPCWSTR subKeyName, ISpDataKey** subKey) = 0;
    virtual HRESULT DeleteKey(LPCWSTR subKeyName) = 0;
    virtual HRESULT DeleteValue(LPCWSTR valueName) = 0;
    virtual HRESULT EnumKeys(ULONG index, LPWSTR* subKeyName) = 0;
    virtual HRESULT EnumValues(ULONG index, LPWSTR* valueName) = 0;

protected:
    ~ISpDataKey() = default;
};

struct ISpObjectTokenCategory;

// A voice's registration data: its name (the default value), its class and
// the key "Attributes" ("Language" as hexadecimal language identifiers
// separated by ';', "Gender", "Age", "Vendor", ...).
inline constexpr IID IID_ISpObjectToken{0x14056589, 0xE16C, 0x11D2, {0xBB, 0x90, 0x00, 0xC0, 0x4F, 0x8E, 0xE6, 0xC0}};

struct ISpObjectToken : ISpDataKey {
    virtual HRESULT SetId(LPCWSTR categoryId, LPCWSTR tokenId, BOOL createIfNotExist) = 0;
    virtual HRESULT GetId(LPWSTR* tokenId) = 0; // CoTaskMemFree the result
    virtual HRESULT GetCategory(ISpObjectTokenCategory** category) = 0;
    virtual HRESULT CreateInstance(IUnknown* outer, DWORD context, REFIID riid, void** object) = 0;
    virtual HRESULT GetStorageFileName(REFCLSID caller, LPCWSTR valueName, LPCWSTR fileNameSpecifier, ULONG folder,
                                       LPWSTR* filePath) = 0;
    virtual HRESULT RemoveStorageFileName(REFCLSID caller, LPCWSTR keyName, BOOL deleteFile) = 0;
    virtual HRESULT Remove(const CLSID* caller) = 0;
    virtual HRESULT IsUISupported(LPCWSTR typeOfUI, void* extraData, ULONG extraBytes, IUnknown* object,
                                  BOOL* supported) = 0;
    virtual HRESULT DisplayUI(void* parentWindow, LPCWSTR title, LPCWSTR typeOfUI, void* extraData, ULONG extraBytes,
                              IUnknown* object) = 0;
    virtual HRESULT MatchesAttributes(LPCWSTR attributes, BOOL* matches) = 0;

protected:
    ~ISpObjectToken() = default;
};

// An attribute of a token (from its key "Attributes"); empty when it has none.
inline std::u16string tokenAttribute(ISpObjectToken& token, const char16_t* name) {
    ISpDataKey* attributes = nullptr;
    if (FAILED(token.OpenKey(wide(u"Attributes"), &attributes)) || !attributes) return {};
    LPWSTR value = nullptr;
    std::u16string out;
    if (SUCCEEDED(attributes->GetStringValue(wide(name), &value)) && value) out = units(value);
    CoTaskMemFree(value);
    attributes->Release();
    return out;
}

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
