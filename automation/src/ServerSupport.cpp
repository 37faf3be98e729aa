#include "vorsan/automation/ServerSupport.h"

#include <filesystem>
#include <system_error>

#include "vorsan/core/Platform.h"

namespace vorsan::serversupport {

namespace {

Counters counters;

class ClassFactory final : public ServerObject<Implements<IClassFactory, IID_IClassFactory>> {
public:
    explicit ClassFactory(Creator create) : create_(create) {}

    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return create_(riid, ppv);
    }
    HRESULT LockServer(BOOL lock) override {
        lock ? ++counters.locks : --counters.locks;
        return S_OK;
    }

private:
    Creator create_;
};

std::vector<registry::ClassRegistration> registrations(ServerClasses classes) {
    std::vector<registry::ClassRegistration> r;
    for (const ServerClass& c : classes)
        r.push_back({c.clsid, c.progId, c.version, c.description, c.threadingModel});
    return r;
}

} // namespace

Counters& moduleCounters() { return counters; }

HRESULT canUnloadNow() { return counters.objects == 0 && counters.locks == 0 ? S_OK : S_FALSE; }

HRESULT getClassObject(ServerClasses classes, REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (const ServerClass& c : classes)
        if (c.clsid == clsid) return createObject<ClassFactory>(riid, ppv, c.create);
    return CLASS_E_CLASSNOTAVAILABLE;
}

std::string libraryPathOf(const void* address) {
    const std::filesystem::path file = platform::moduleFile(address);
    if (file.empty()) return {};
    std::error_code ec;
    const std::filesystem::path resolved = std::filesystem::canonical(file, ec);
    return platform::utf8Path(ec ? file : resolved);
}

HRESULT registerLibrary(ServerClasses classes, const void* address) {
    const std::string path = libraryPathOf(address);
    if (path.empty()) return E_UNEXPECTED;
    try {
        return registry::registerClasses(registrations(classes), path);
    } catch (...) {
        return REGDB_E_WRITEREGDB;
    }
}

HRESULT unregisterLibrary(ServerClasses classes) {
    try {
        return registry::unregisterClasses(registrations(classes));
    } catch (...) {
        return REGDB_E_WRITEREGDB;
    }
}

} // namespace vorsan::serversupport
