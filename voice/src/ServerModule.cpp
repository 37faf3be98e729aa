// The voice library's entry points: the class factory of Nimbrel22TTSEngine,
// its registration in the class registry, and the unload query.
#include "ServerModule.h"

#include <dlfcn.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "DataSetup.h"
#include "TtsEngine.h"
#include "vorsan/automation/Creation.h"
#include "vorsan/automation/Registry.h"
#include "vorsan/core/Diagnostics.h"
#include "vorsan/voice/Sapi.h"

#define VORSAN_EXPORT extern "C" __attribute__((visibility("default")))

namespace vorsan::voice {

namespace {

std::atomic<long> objects{0};
std::atomic<long> locks{0};

// Creating a voice first makes sure the user has a configuration and a data
// folder; a failure is only logged, since the voice can still be created
// (its engine then finds no configuration).
class ClassFactory final : public IClassFactory {
public:
    ClassFactory() { objectCreated(); }
    ~ClassFactory() { objectDestroyed(); }
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (!(riid == IID_IUnknown || riid == IID_IClassFactory)) return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (setUpUserData() != 0) diagnose("Nimbrel22: the user's data set-up failed");
        return createTtsEngine(riid, ppv);
    }
    HRESULT LockServer(bool lock) override {
        lockServer(lock);
        return S_OK;
    }

private:
    std::atomic<ULONG> refs_{0};
};

std::vector<registry::ClassRegistration> registrations() {
    return {{sapi::CLSID_Nimbrel22TTSEngine, "Nimbrel22.TTSEngine", 1, "Nimbrel22TTSEngine Class", "Both"}};
}

// The absolute path of this library, as the loader found it.
std::string libraryPath() {
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void*>(&libraryPath), &info) || !info.dli_fname) return {};
    char resolved[PATH_MAX];
    if (!::realpath(info.dli_fname, resolved)) return info.dli_fname;
    return resolved;
}

} // namespace

void objectCreated() { ++objects; }
void objectDestroyed() { --objects; }
long liveObjects() { return objects.load(); }
void lockServer(bool lock) { lock ? ++locks : --locks; }
long serverLocks() { return locks.load(); }

} // namespace vorsan::voice

using namespace vorsan;

VORSAN_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!(clsid == sapi::CLSID_Nimbrel22TTSEngine)) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) voice::ClassFactory();
    if (!factory) return E_OUTOFMEMORY;
    factory->AddRef();
    HRESULT h = factory->QueryInterface(riid, ppv);
    factory->Release();
    return h;
}

VORSAN_EXPORT HRESULT DllRegisterServer() {
    std::string path = voice::libraryPath();
    if (path.empty()) return E_UNEXPECTED;
    try {
        return registry::registerClasses(voice::registrations(), path);
    } catch (...) {
        return REGDB_E_WRITEREGDB;
    }
}

VORSAN_EXPORT HRESULT DllUnregisterServer() {
    try {
        return registry::unregisterClasses(voice::registrations());
    } catch (...) {
        return REGDB_E_WRITEREGDB;
    }
}

VORSAN_EXPORT HRESULT DllCanUnloadNow() {
    return voice::liveObjects() == 0 && voice::serverLocks() == 0 ? S_OK : S_FALSE;
}

// The loading module's error-info store, so that errors set here (and by the
// engine's server, which this library loads in turn) reach it.
VORSAN_EXPORT void VorsanComAttach(const ErrorInfoStore* store) { attachErrorInfoStore(store); }
