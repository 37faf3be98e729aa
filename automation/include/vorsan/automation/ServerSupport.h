#pragma once
// What every in-process server library of this project shares: its live
// object and lock counts (for DllCanUnloadNow), the class factory, and the
// entry points over the library's own table of classes. A server defines
// that table and writes VORSAN_SERVER_ENTRY_POINTS(table) once.
//
// Every server library links its own copy of this layer and exports only
// its entry points, so the counts below are the library's own.
#include <atomic>
#include <span>
#include <string>
#include <vector>

#include "vorsan/automation/ComObject.h"
#include "vorsan/automation/ErrorInfo.h"
#include "vorsan/automation/Registry.h"

namespace vorsan::serversupport {

struct Counters {
    std::atomic<long> objects{0};
    std::atomic<long> locks{0};
};
// The counts of the library this is linked into.
Counters& moduleCounters();
// S_OK when no object is alive and no lock is held, else S_FALSE.
HRESULT canUnloadNow();

// An object counted among the library's live objects from its construction
// to its destruction (also when a derived constructor throws).
template <class... Rows>
class ServerObject : public ComObject<Rows...> {
protected:
    ServerObject() { ++moduleCounters().objects; }
    ~ServerObject() override { --moduleCounters().objects; }
};

// Makes an object of a class and hands out `iid` from it (one reference).
using Creator = HRESULT (*)(REFIID, void**);

// One class a server library serves: how its objects are made and what its
// registration records.
struct ServerClass {
    const CLSID& clsid;
    Creator create;
    const char* progId;  // version-independent, e.g. "VorsanCOM.VorsanAPI"
    int version;         // the version-dependent ProgID is progId + "." + version
    const char* description;
    const char* threadingModel;
};
using ServerClasses = std::span<const ServerClass>;

// The type library a server library holds (as a resource on Windows), which
// registration records with the interfaces it describes; each class of the
// library is recorded as described by it.
struct ServerInterface {
    const IID& iid;
    const char* name;
};
struct TypeLibrary {
    const GUID& libid;
    const char* version;  // "major.minor"
    const char* description;
    std::span<const ServerInterface> interfaces;
};

// A class factory (itself a counted object) of the class `clsid` names;
// CLASS_E_CLASSNOTAVAILABLE when the table lacks it.
HRESULT getClassObject(ServerClasses classes, REFCLSID clsid, REFIID riid, void** ppv);

// The absolute path of the library holding `address`, as the loader found it.
std::string libraryPathOf(const void* address);

// Records the classes (and the type library, if any) under the path of the
// library holding `address`, or removes them; REGDB_E_WRITEREGDB when the
// registry cannot be written.
HRESULT registerLibrary(ServerClasses classes, const void* address, const TypeLibrary* typeLibrary = nullptr);
HRESULT unregisterLibrary(ServerClasses classes, const TypeLibrary* typeLibrary = nullptr);

} // namespace vorsan::serversupport

// The exported entry points of a server library over its table of classes
// (an expression giving ServerClasses) and, with the second form, its type
// library (an expression giving a const TypeLibrary*). VorsanComAttach takes
// the loading module's error-info store, so that errors set in this library
// (and in the servers it loads in turn) reach the client.
#define VORSAN_SERVER_ENTRY_POINTS(classes) VORSAN_TYPED_SERVER_ENTRY_POINTS(classes, nullptr)
#define VORSAN_TYPED_SERVER_ENTRY_POINTS(classes, typeLibrary)                                               \
    extern "C" __attribute__((visibility("default"))) vorsan::HRESULT DllGetClassObject(                     \
        const vorsan::CLSID& clsid, const vorsan::IID& riid, void** ppv) {                                   \
        return vorsan::serversupport::getClassObject(classes, clsid, riid, ppv);                             \
    }                                                                                                         \
    extern "C" __attribute__((visibility("default"))) vorsan::HRESULT DllRegisterServer() {                  \
        return vorsan::serversupport::registerLibrary(classes, reinterpret_cast<const void*>(&DllRegisterServer), \
                                                      typeLibrary);                                           \
    }                                                                                                         \
    extern "C" __attribute__((visibility("default"))) vorsan::HRESULT DllUnregisterServer() {                \
        return vorsan::serversupport::unregisterLibrary(classes, typeLibrary);                               \
    }                                                                                                         \
    extern "C" __attribute__((visibility("default"))) vorsan::HRESULT DllCanUnloadNow() {                    \
        return vorsan::serversupport::canUnloadNow();                                                        \
    }                                                                                                         \
    extern "C" __attribute__((visibility("default"))) void VorsanComAttach(const vorsan::ErrorInfoStore* store) { \
        vorsan::attachErrorInfoStore(store);                                                                 \
    }
