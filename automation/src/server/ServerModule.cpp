// The server library's entry points: class factories, registration into the
// class registry, and the unload query.
#include "ServerModule.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "ValueObjects.h"
#include "VorsanApiObject.h"
#include "vorsan/automation/Creation.h"
#include "vorsan/automation/Registry.h"

#define VORSAN_EXPORT extern "C" __attribute__((visibility("default")))

namespace vorsan::server {

namespace {

std::atomic<long> objects{0};
std::atomic<long> locks{0};

using Creator = HRESULT (*)(REFIID, void**);

struct ServerClass {
    const CLSID* clsid;
    const char* progId;  // version-independent
    const char* description;
    Creator create;
};

const ServerClass kClasses[] = {
    {&CLSID_MString, "VorsanCOM.MString", "MString Class", &createMString},
    {&CLSID_MStringList, "VorsanCOM.MStringList", "MStringList Class", &createMStringList},
    {&CLSID_Phoneme, "VorsanCOM.Phoneme", "Phoneme Class", &createPhoneme},
    {&CLSID_PhonemeList, "VorsanCOM.PhonemeList", "PhonemeList Class", &createPhonemeList},
    {&CLSID_VorsanAPI, "VorsanCOM.VorsanAPI", "VorsanAPI Class", &createVorsanAPI},
};

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(Creator create) : create_(create) { objectCreated(); }
    ~ClassFactory() { objectDestroyed(); }

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
        return create_(riid, ppv);
    }
    HRESULT LockServer(bool lock) override {
        lockServer(lock);
        return S_OK;
    }

private:
    std::atomic<ULONG> refs_{0};
    Creator create_;
};

std::vector<registry::ClassRegistration> registrations() {
    std::vector<registry::ClassRegistration> r;
    for (const auto& c : kClasses) r.push_back({*c.clsid, c.progId, 1, c.description, "Apartment"});
    return r;
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

} // namespace vorsan::server

using namespace vorsan;

VORSAN_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (const auto& c : server::kClasses) {
        if (!(*c.clsid == clsid)) continue;
        return server::createObject<server::ClassFactory>(riid, ppv, c.create);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

VORSAN_EXPORT HRESULT DllRegisterServer() {
    std::string path = server::libraryPath();
    if (path.empty()) return E_UNEXPECTED;
    try {
        return registry::registerClasses(server::registrations(), path);
    } catch (...) {
        return REGDB_E_WRITEREGDB;
    }
}

VORSAN_EXPORT HRESULT DllUnregisterServer() {
    try {
        return registry::unregisterClasses(server::registrations());
    } catch (...) {
        return REGDB_E_WRITEREGDB;
    }
}

VORSAN_EXPORT HRESULT DllCanUnloadNow() {
    return server::liveObjects() == 0 && server::serverLocks() == 0 ? S_OK : S_FALSE;
}

// The loading module's error-info store, so that errors set here reach it.
VORSAN_EXPORT void VorsanComAttach(const ErrorInfoStore* store) { attachErrorInfoStore(store); }
