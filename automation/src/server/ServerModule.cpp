// The server library's entry points: class factories, registration into the
// class registry, and the unload query.
#include "ServerModule.h"

#include <vector>

#include "ValueObjects.h"
#include "VorsanApiObject.h"
#include "vorsan/automation/Creation.h"
#include "vorsan/automation/Registry.h"
#include "vorsan/automation/ServerSupport.h"

#define VORSAN_EXPORT extern "C" __attribute__((visibility("default")))

namespace vorsan::server {

namespace {

serversupport::Counters counters;

using Creator = serversupport::Creator;

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

std::vector<registry::ClassRegistration> registrations() {
    std::vector<registry::ClassRegistration> r;
    for (const auto& c : kClasses) r.push_back({*c.clsid, c.progId, 1, c.description, "Apartment"});
    return r;
}

} // namespace

void objectCreated() { ++counters.objects; }
void objectDestroyed() { --counters.objects; }
long liveObjects() { return counters.objects.load(); }
void lockServer(bool lock) { lock ? ++counters.locks : --counters.locks; }
long serverLocks() { return counters.locks.load(); }

} // namespace vorsan::server

using namespace vorsan;

VORSAN_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (const auto& c : server::kClasses) {
        if (!(*c.clsid == clsid)) continue;
        return serversupport::getClassFactory(c.create, server::counters, riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

VORSAN_EXPORT HRESULT DllRegisterServer() {
    return serversupport::registerLibrary(server::registrations(), reinterpret_cast<const void*>(&DllRegisterServer));
}

VORSAN_EXPORT HRESULT DllUnregisterServer() { return serversupport::unregisterLibrary(server::registrations()); }

VORSAN_EXPORT HRESULT DllCanUnloadNow() { return server::counters.canUnloadNow(); }

// The loading module's error-info store, so that errors set here reach it.
VORSAN_EXPORT void VorsanComAttach(const ErrorInfoStore* store) { attachErrorInfoStore(store); }
