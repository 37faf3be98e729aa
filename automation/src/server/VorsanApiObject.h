#pragma once
// VorsanAPI: the automation object that owns one speech engine and exposes
// it through IVorsanAPI.
#include <memory>
#include <string>

#include "DispatchObject.h"
#include "vorsan/automation/Interfaces.h"
#include "vorsan/automation/SpeechStream.h"

namespace vorsan {
class SpeechEngine;
struct SpeechChunk;
}

namespace vorsan::server {

HRESULT createVorsanAPI(REFIID iid, void** ppv);

class VorsanApiObject final
    : public DispatchObject<VorsanApiObject, IVorsanAPI, IID_IVorsanAPI,
                            Implements<ISupportErrorInfo, IID_ISupportErrorInfo>,
                            Implements<IVorsanSpeechStream, IID_IVorsanSpeechStream>> {
public:
    VorsanApiObject();  // may throw what the engine's creation throws
    ~VorsanApiObject() override;

    static HRESULT idsOfNames(OLECHAR** names, UINT count, DISPID* ids);

    HRESULT InterfaceSupportsErrorInfo(REFIID riid) override;

    // IVorsanSpeechStream.
    HRESULT RenderText(BSTR text, LONG withEmotion, LONG withAccent, LONG outputRate,
                       IVorsanSpeechSink* sink) override;
    HRESULT Stop() override;
    HRESULT PreferLanguage(BSTR languageName) override;
    HRESULT LanguageOfWindowsId(LONG langId, BSTR* languageName) override;
    HRESULT SetProsody(float rate, float pitch) override;
    HRESULT ConfigurationPath(BSTR* path) override;

    HRESULT invokeOwn(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                      UINT* argErr);

    HRESULT LoadConfiguration() override;
    HRESULT UnloadConfiguration() override;
    HRESULT get_LanguageSupported(BSTR languageName, LONG* pVal) override;
    HRESULT get_EmotionDatabaseSupported(BSTR emotionDBName, LONG* pVal) override;
    HRESULT get_AccentDatabaseSupported(BSTR accentDBName, LONG* pVal) override;
    HRESULT get_EmotionSet(BSTR languageName, LONG* pVal) override;
    HRESULT get_AccentSet(BSTR languageName, LONG* pVal) override;
    HRESULT get_MoodExistsInDatabase(BSTR moodName, BSTR emotionDBName, LONG* pVal) override;
    HRESULT get_PrimaryLanguage(BSTR* pVal) override;
    HRESULT put_PrimaryLanguage(BSTR newVal) override;
    HRESULT get_AllSupportedLanguages(IMStringList** pVal) override;
    HRESULT get_Dialect(BSTR languageName, BSTR* pVal) override;
    HRESULT get_MbrolaDatabase(BSTR languageName, BSTR* pVal) override;
    HRESULT get_Pitch(BSTR languageName, float* pVal) override;
    HRESULT put_Pitch(BSTR languageName, float newVal) override;
    HRESULT get_Time(BSTR languageName, float* pVal) override;
    HRESULT put_Time(BSTR languageName, float newVal) override;
    HRESULT get_VoiceFrequency(BSTR languageName, SHORT* pVal) override;
    HRESULT put_VoiceFrequency(BSTR languageName, SHORT newVal) override;
    HRESULT get_SuitableEmotionDatabase(BSTR languageName, IMStringList** pVal) override;
    HRESULT get_SuitableAccentDatabase(BSTR languageName, IMStringList** pVal) override;
    HRESULT get_EmotionDatabase(BSTR languageName, BSTR* pVal) override;
    HRESULT put_EmotionDatabase(BSTR languageName, BSTR newVal) override;
    HRESULT get_AccentDatabase(BSTR languageName, BSTR* pVal) override;
    HRESULT put_AccentDatabase(BSTR languageName, BSTR newVal) override;
    HRESULT get_AllEmotionDatabases(IMStringList** pVal) override;
    HRESULT get_AllAccentDatabases(IMStringList** pVal) override;
    HRESULT get_AllMoodsInDatabase(BSTR languageName, IMStringList** pVal) override;
    HRESULT get_ActiveMood(BSTR languageName, BSTR* pVal) override;
    HRESULT put_ActiveMood(BSTR languageName, BSTR newVal) override;
    HRESULT AddLanguageDatabase(BSTR filePath, BSTR* languageName) override;
    HRESULT AddEmotionDatabase(BSTR filePath, BSTR* emotionDBName) override;
    HRESULT AddAccentDatabase(BSTR filePath, BSTR* accentDBName) override;
    HRESULT RemoveLanguageDatabase(BSTR languageName) override;
    HRESULT RemoveEmotionDatabase(BSTR emotionDBName) override;
    HRESULT RemoveAccentDatabase(BSTR accentDBName) override;
    HRESULT ConvertTextToSoundFile(BSTR text, LONG withEmotion, LONG withAccent, SHORT fileType,
                                   IMStringList** waveFiles) override;
    HRESULT ConvertTextToPhoneme(BSTR text, LONG withEmotion, LONG withAccent, LONG onlyTranscription,
                                 IPhonemeList** phonemes) override;
    HRESULT SpeakText(BSTR text, LONG withEmotion, LONG withAccent) override;
    HRESULT SpeakPhoneme(BSTR PhoneString, BSTR MbrolaDatabase, float timeRatio, float pitchRatio,
                         SHORT VoiceFrequency) override;
    HRESULT SpeakPhonemeList(IPhonemeList* phonemes) override;
    HRESULT StopSpeaking() override;
    HRESULT get_AU(SHORT* pVal) override;
    HRESULT get_AIFF(SHORT* pVal) override;
    HRESULT get_WAVE(SHORT* pVal) override;
    HRESULT SpeakPhonemeSet(IPhoneme* phone) override;
    HRESULT ApplyMood(BSTR PhoneString, BSTR moodName, BSTR emotionDBName, BSTR* phonesWithEmotion) override;
    HRESULT ChangeAccent(BSTR PhoneString, BSTR accentDBName, IPhoneme** phone) override;

private:
    HRESULT invokeMember(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, UINT* argErr);
    HRESULT makePhoneme(const SpeechChunk& chunk, IPhoneme** out);

    std::unique_ptr<SpeechEngine> engine_;
    float rate_ = 1.0f, pitch_ = 1.0f; // RenderText's prosody (SetProsody)
};

} // namespace vorsan::server
