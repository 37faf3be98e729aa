#pragma once
// What every in-process server library of this project shares: its live
// object and lock counts (for DllCanUnloadNow), a class factory over a
// creation function, and its registration under the library's own path.
#include <atomic>
#include <string>
#include <vector>

#include "vorsan/automation/Registry.h"

namespace vorsan::serversupport {

struct Counters {
    std::atomic<long> objects{0};
    std::atomic<long> locks{0};
    HRESULT canUnloadNow() const { return objects == 0 && locks == 0 ? S_OK : S_FALSE; }
};

using Creator = HRESULT (*)(REFIID, void**);

// A class factory whose CreateInstance calls `create`; it counts itself and
// its locks in `counters`.
HRESULT getClassFactory(Creator create, Counters& counters, REFIID riid, void** ppv);

// The absolute path of the library holding `address`, as the loader found it.
std::string libraryPathOf(const void* address);

// Records the classes under the path of the library holding `address` (or
// removes them); REGDB_E_WRITEREGDB when the registry cannot be written.
HRESULT registerLibrary(const std::vector<registry::ClassRegistration>& classes, const void* address);
HRESULT unregisterLibrary(const std::vector<registry::ClassRegistration>& classes);

} // namespace vorsan::serversupport
