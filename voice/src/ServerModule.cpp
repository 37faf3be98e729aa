// The voice library's class, Nimbrel22TTSEngine, its registration and its
// entry points. Registration records the class and, where the speech API
// keeps a voices category, one voice per language the installation's rule
// files describe (the engine's server must be registered first: its
// languages say what they are).
#include "DataSetup.h"
#include "TtsEngine.h"
#include "VoiceTokens.h"
#include "vorsan/automation/Creation.h"
#include "vorsan/automation/ServerSupport.h"
#include "vorsan/core/Diagnostics.h"
#include "vorsan/voice/Sapi.h"

namespace vorsan::voice {

namespace {

// Creating a voice first makes sure the user has a configuration and a data
// folder; a failure is only logged, since the voice can still be created
// (its engine then finds no configuration).
HRESULT createVoice(REFIID riid, void** ppv) {
    if (setUpUserData() != 0) diagnose("Nimbrel22: the user's data set-up failed");
    return createTtsEngine(riid, ppv);
}

constexpr serversupport::ServerClass kClasses[] = {
    {sapi::CLSID_Nimbrel22TTSEngine, &createVoice, "Nimbrel22.TTSEngine", 1, "Nimbrel22TTSEngine Class", "Both"},
};

HRESULT registerVoices() {
    if constexpr (!kVoiceCategory) return S_OK;
    const std::string installation = installationFolder(builtInInstallationFolder());
    // The registering program may not have set COM up on its thread.
    const HRESULT init = CoInitialize(nullptr);
    const std::vector<VoiceTokenRecord> tokens = voiceTokensOfInstallation(installation);
    if (SUCCEEDED(init)) CoUninitialize();
    if (tokens.empty()) {
        diagnose("Nimbrel22: no language of the installation " + installation +
                 " gives a voice (is VorsanCOM registered?)");
        return E_FAIL;
    }
    return registerVoiceTokens(tokens, sapi::CLSID_Nimbrel22TTSEngine);
}

} // namespace

HRESULT registerServer(const void* address) {
    if (HRESULT h = serversupport::registerLibrary(kClasses, address); FAILED(h)) return h;
    if (HRESULT h = registerVoices(); FAILED(h)) {
        serversupport::unregisterLibrary(kClasses);
        return h;
    }
    return S_OK;
}

HRESULT unregisterServer() {
    const HRESULT voices = unregisterVoiceTokens(sapi::CLSID_Nimbrel22TTSEngine);
    const HRESULT classes = serversupport::unregisterLibrary(kClasses);
    return FAILED(voices) ? voices : classes;
}

} // namespace vorsan::voice

extern "C" __attribute__((visibility("default"))) vorsan::HRESULT DllGetClassObject(const vorsan::CLSID& clsid,
                                                                                    const vorsan::IID& riid,
                                                                                    void** ppv) {
    return vorsan::serversupport::getClassObject(vorsan::voice::kClasses, clsid, riid, ppv);
}
extern "C" __attribute__((visibility("default"))) vorsan::HRESULT DllRegisterServer() {
    return vorsan::voice::registerServer(reinterpret_cast<const void*>(&DllRegisterServer));
}
extern "C" __attribute__((visibility("default"))) vorsan::HRESULT DllUnregisterServer() {
    return vorsan::voice::unregisterServer();
}
extern "C" __attribute__((visibility("default"))) vorsan::HRESULT DllCanUnloadNow() {
    return vorsan::serversupport::canUnloadNow();
}
extern "C" __attribute__((visibility("default"))) void VorsanComAttach(const vorsan::ErrorInfoStore* store) {
    vorsan::attachErrorInfoStore(store);
}
