// The voice library's entry points: the class factory of Nimbrel22TTSEngine,
// its registration in the class registry, and the unload query.
#include "ServerModule.h"

#include <vector>

#include "DataSetup.h"
#include "TtsEngine.h"
#include "vorsan/automation/Creation.h"
#include "vorsan/automation/Registry.h"
#include "vorsan/automation/ServerSupport.h"
#include "vorsan/core/Diagnostics.h"
#include "vorsan/voice/Sapi.h"

#define VORSAN_EXPORT extern "C" __attribute__((visibility("default")))

namespace vorsan::voice {

namespace {

serversupport::Counters counters;

// Creating a voice first makes sure the user has a configuration and a data
// folder; a failure is only logged, since the voice can still be created
// (its engine then finds no configuration).
HRESULT createVoice(REFIID riid, void** ppv) {
    if (setUpUserData() != 0) diagnose("Nimbrel22: the user's data set-up failed");
    return createTtsEngine(riid, ppv);
}

std::vector<registry::ClassRegistration> registrations() {
    return {{sapi::CLSID_Nimbrel22TTSEngine, "Nimbrel22.TTSEngine", 1, "Nimbrel22TTSEngine Class", "Both"}};
}

} // namespace

void objectCreated() { ++counters.objects; }
void objectDestroyed() { --counters.objects; }
long liveObjects() { return counters.objects.load(); }
void lockServer(bool lock) { lock ? ++counters.locks : --counters.locks; }
long serverLocks() { return counters.locks.load(); }

} // namespace vorsan::voice

using namespace vorsan;

VORSAN_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!(clsid == sapi::CLSID_Nimbrel22TTSEngine)) return CLASS_E_CLASSNOTAVAILABLE;
    return serversupport::getClassFactory(&voice::createVoice, voice::counters, riid, ppv);
}

VORSAN_EXPORT HRESULT DllRegisterServer() {
    return serversupport::registerLibrary(voice::registrations(), reinterpret_cast<const void*>(&DllRegisterServer));
}

VORSAN_EXPORT HRESULT DllUnregisterServer() { return serversupport::unregisterLibrary(voice::registrations()); }

VORSAN_EXPORT HRESULT DllCanUnloadNow() { return voice::counters.canUnloadNow(); }

// The loading module's error-info store, so that errors set here (and by the
// engine's server, which this library loads in turn) reach it.
VORSAN_EXPORT void VorsanComAttach(const ErrorInfoStore* store) { attachErrorInfoStore(store); }
