#pragma once
// The automation classes of the VorsanCOM server: interface definitions in
// slot order, their identifiers and the classes' ProgIDs. Clients include
// this and create objects through Creation.h; they never link the server.
#include "vorsan/automation/Dispatch.h"

namespace vorsan {

// Type library "VORSANCOMLib" 2.0.
inline constexpr GUID LIBID_VORSANCOMLib{0x200250A9, 0x4BCB, 0x4EF7, {0xA6, 0x01, 0x53, 0xB3, 0x54, 0x5D, 0x1F, 0x63}};

inline constexpr CLSID CLSID_MString{0x59E57422, 0xDFC1, 0x47F9, {0xB1, 0xA3, 0x61, 0xE6, 0xDA, 0x0C, 0x6D, 0x5B}};
inline constexpr CLSID CLSID_MStringList{0x8DF8905B, 0x663F, 0x4289, {0x82, 0xC8, 0x05, 0x7D, 0xAA, 0xA0, 0xAF, 0x6A}};
inline constexpr CLSID CLSID_Phoneme{0xADBE1775, 0xB751, 0x453F, {0xBB, 0x9B, 0x6E, 0x0C, 0x70, 0x73, 0x1C, 0xC8}};
inline constexpr CLSID CLSID_PhonemeList{0x70134030, 0x4E48, 0x4DD4, {0xAD, 0xA9, 0xFE, 0x92, 0x48, 0xEE, 0xAA, 0x7D}};
inline constexpr CLSID CLSID_VorsanAPI{0xD179A1B9, 0x87A4, 0x4191, {0xA3, 0x0B, 0x82, 0x19, 0xF9, 0x20, 0x78, 0x8A}};

inline constexpr const char16_t* kProgIdVorsanAPI = u"VorsanCOM.VorsanAPI.1";

// Sound file types of ConvertTextToSoundFile (AU, AIFF, WAVE properties).
inline constexpr SHORT kFileTypeAU = 0;
inline constexpr SHORT kFileTypeAIFF = 1;
inline constexpr SHORT kFileTypeWAVE = 2;

inline constexpr IID IID_IMString{0xF810FBBC, 0xA516, 0x46F4, {0x91, 0x46, 0x29, 0x90, 0xF3, 0xE2, 0xF4, 0x0E}};

struct IMString : IDispatch {
    virtual HRESULT get_Name(BSTR* pVal) = 0;              // 1
    virtual HRESULT put_Name(BSTR newVal) = 0;

protected:
    ~IMString() = default;
};

inline constexpr IID IID_IPhoneme{0xC1D53004, 0x6783, 0x43F5, {0xB6, 0xB0, 0xC1, 0xDD, 0x6D, 0x1A, 0xBB, 0xB3}};

struct IPhoneme : IDispatch {
    virtual HRESULT get_PhoneString(BSTR* pVal) = 0;       // 1
    virtual HRESULT put_PhoneString(BSTR newVal) = 0;
    virtual HRESULT get_MbrolaDatabase(BSTR* pVal) = 0;    // 2
    virtual HRESULT put_MbrolaDatabase(BSTR newVal) = 0;
    virtual HRESULT get_Pitch(float* pVal) = 0;            // 3
    virtual HRESULT put_Pitch(float newVal) = 0;
    virtual HRESULT get_Time(float* pVal) = 0;             // 4
    virtual HRESULT put_Time(float newVal) = 0;
    virtual HRESULT get_VoiceFrequency(SHORT* pVal) = 0;   // 5; E_INVALIDARG below 1 Hz
    virtual HRESULT put_VoiceFrequency(SHORT newVal) = 0;

protected:
    ~IPhoneme() = default;
};

// The two collections: 0-based, each element held with one reference. The
// collection is its own IEnumVARIANT, on one cursor shared by every
// enumeration of it.
inline constexpr IID IID_IMStringList{0x3EC0A60B, 0x7977, 0x4B61, {0xAC, 0x3A, 0x02, 0xDB, 0x8A, 0xDB, 0x98, 0x32}};

struct IMStringList : IDispatch {
    virtual HRESULT Item(LONG Index, IMString** pVal) = 0;  // 0
    virtual HRESULT Add(IMString* pNewVal) = 0;             // 1
    virtual HRESULT get_Count(LONG* pVal) = 0;              // 2
    virtual HRESULT Remove(LONG Index) = 0;                 // 3
    virtual HRESULT get__NewEnum(IUnknown** pVal) = 0;      // -4

protected:
    ~IMStringList() = default;
};

inline constexpr IID IID_IPhonemeList{0x80DDC7C2, 0x601E, 0x434E, {0x82, 0x48, 0x86, 0xED, 0x1C, 0x39, 0xB0, 0x34}};

struct IPhonemeList : IDispatch {
    virtual HRESULT Item(LONG Index, IPhoneme** pVal) = 0;
    virtual HRESULT Add(IPhoneme* pNewVal) = 0;
    virtual HRESULT get_Count(LONG* pVal) = 0;
    virtual HRESULT Remove(LONG Index) = 0;
    virtual HRESULT get__NewEnum(IUnknown** pVal) = 0;

protected:
    ~IPhonemeList() = default;
};

// "Bool" arguments and results are LONGs: 1 true, 0 false; any non-zero
// input is true. Strings cross as UTF-16 BSTRs (UTF-8 inside the engine).
inline constexpr IID IID_IVorsanAPI{0xC7CD1ECF, 0x365C, 0x462F, {0x84, 0x5A, 0xB8, 0xC7, 0xEE, 0xDB, 0xBB, 0xA7}};

struct IVorsanAPI : IDispatch {
    virtual HRESULT LoadConfiguration() = 0;                                                   // 1
    virtual HRESULT UnloadConfiguration() = 0;                                                 // 2
    virtual HRESULT get_LanguageSupported(BSTR languageName, LONG* pVal) = 0;                  // 3
    virtual HRESULT get_EmotionDatabaseSupported(BSTR emotionDBName, LONG* pVal) = 0;          // 4
    virtual HRESULT get_AccentDatabaseSupported(BSTR accentDBName, LONG* pVal) = 0;            // 5
    virtual HRESULT get_EmotionSet(BSTR languageName, LONG* pVal) = 0;                         // 6
    virtual HRESULT get_AccentSet(BSTR languageName, LONG* pVal) = 0;                          // 7
    virtual HRESULT get_MoodExistsInDatabase(BSTR moodName, BSTR emotionDBName, LONG* pVal) = 0;  // 8
    virtual HRESULT get_PrimaryLanguage(BSTR* pVal) = 0;                                       // 9
    virtual HRESULT put_PrimaryLanguage(BSTR newVal) = 0;
    virtual HRESULT get_AllSupportedLanguages(IMStringList** pVal) = 0;                        // 10
    virtual HRESULT get_Dialect(BSTR languageName, BSTR* pVal) = 0;                            // 11
    virtual HRESULT get_MbrolaDatabase(BSTR languageName, BSTR* pVal) = 0;                     // 12
    virtual HRESULT get_Pitch(BSTR languageName, float* pVal) = 0;                             // 13
    virtual HRESULT put_Pitch(BSTR languageName, float newVal) = 0;
    virtual HRESULT get_Time(BSTR languageName, float* pVal) = 0;                              // 14
    virtual HRESULT put_Time(BSTR languageName, float newVal) = 0;
    virtual HRESULT get_VoiceFrequency(BSTR languageName, SHORT* pVal) = 0;                    // 15
    virtual HRESULT put_VoiceFrequency(BSTR languageName, SHORT newVal) = 0;
    virtual HRESULT get_SuitableEmotionDatabase(BSTR languageName, IMStringList** pVal) = 0;   // 16
    virtual HRESULT get_SuitableAccentDatabase(BSTR languageName, IMStringList** pVal) = 0;    // 17
    virtual HRESULT get_EmotionDatabase(BSTR languageName, BSTR* pVal) = 0;                    // 18
    virtual HRESULT put_EmotionDatabase(BSTR languageName, BSTR newVal) = 0;
    virtual HRESULT get_AccentDatabase(BSTR languageName, BSTR* pVal) = 0;                     // 19
    virtual HRESULT put_AccentDatabase(BSTR languageName, BSTR newVal) = 0;
    virtual HRESULT get_AllEmotionDatabases(IMStringList** pVal) = 0;                          // 20
    virtual HRESULT get_AllAccentDatabases(IMStringList** pVal) = 0;                           // 21
    virtual HRESULT get_AllMoodsInDatabase(BSTR languageName, IMStringList** pVal) = 0;        // 22
    virtual HRESULT get_ActiveMood(BSTR languageName, BSTR* pVal) = 0;                         // 23
    virtual HRESULT put_ActiveMood(BSTR languageName, BSTR newVal) = 0;
    virtual HRESULT AddLanguageDatabase(BSTR filePath, BSTR* languageName) = 0;                // 24
    virtual HRESULT AddEmotionDatabase(BSTR filePath, BSTR* emotionDBName) = 0;                // 25
    virtual HRESULT AddAccentDatabase(BSTR filePath, BSTR* accentDBName) = 0;                  // 26
    virtual HRESULT RemoveLanguageDatabase(BSTR languageName) = 0;                             // 27
    virtual HRESULT RemoveEmotionDatabase(BSTR emotionDBName) = 0;                             // 28
    virtual HRESULT RemoveAccentDatabase(BSTR accentDBName) = 0;                               // 29
    virtual HRESULT ConvertTextToSoundFile(BSTR text, LONG withEmotion, LONG withAccent, SHORT fileType,
                                           IMStringList** waveFiles) = 0;                      // 30
    virtual HRESULT ConvertTextToPhoneme(BSTR text, LONG withEmotion, LONG withAccent, LONG onlyTranscription,
                                         IPhonemeList** phonemes) = 0;                         // 31
    virtual HRESULT SpeakText(BSTR text, LONG withEmotion, LONG withAccent) = 0;               // 32
    virtual HRESULT SpeakPhoneme(BSTR PhoneString, BSTR MbrolaDatabase, float timeRatio, float pitchRatio,
                                 SHORT VoiceFrequency) = 0;                                    // 33
    virtual HRESULT SpeakPhonemeList(IPhonemeList* phonemes) = 0;                              // 34
    virtual HRESULT StopSpeaking() = 0;                                                        // 35
    virtual HRESULT get_AU(SHORT* pVal) = 0;                                                   // 36
    virtual HRESULT get_AIFF(SHORT* pVal) = 0;                                                 // 37
    virtual HRESULT get_WAVE(SHORT* pVal) = 0;                                                 // 38
    virtual HRESULT SpeakPhonemeSet(IPhoneme* phone) = 0;                                      // 39
    virtual HRESULT ApplyMood(BSTR PhoneString, BSTR moodName, BSTR emotionDBName,
                              BSTR* phonesWithEmotion) = 0;                                    // 40
    virtual HRESULT ChangeAccent(BSTR PhoneString, BSTR accentDBName, IPhoneme** phone) = 0;   // 41

protected:
    ~IVorsanAPI() = default;
};

} // namespace vorsan
