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

std::vector<registry::ClassRegistration> registrations(ServerClasses classes, const TypeLibrary* typeLibrary) {
    std::vector<registry::ClassRegistration> r;
    for (const ServerClass& c : classes) {
        r.push_back({c.clsid, c.progId, c.version, c.description, c.threadingModel, std::nullopt});
        if (typeLibrary) r.back().typeLib = typeLibrary->libid;
    }
    return r;
}

registry::TypeLibraryRegistration registration(const TypeLibrary& library) {
    registry::TypeLibraryRegistration r{library.libid, library.version, library.description, {}};
    for (const ServerInterface& i : library.interfaces) r.interfaces.push_back({i.iid, i.name});
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

HRESULT registerLibrary(ServerClasses classes, const void* address, const TypeLibrary* typeLibrary) {
    const std::string path = libraryPathOf(address);
    if (path.empty()) return E_UNEXPECTED;
    try {
        if (typeLibrary)
            if (HRESULT h = registry::registerTypeLibrary(registration(*typeLibrary), path); FAILED(h)) return h;
        return registry::registerClasses(registrations(classes, typeLibrary), path);
    } catch (...) {
        return REGDB_E_WRITEREGDB;
    }
}

HRESULT unregisterLibrary(ServerClasses classes, const TypeLibrary* typeLibrary) {
    try {
        HRESULT h = registry::unregisterClasses(registrations(classes, typeLibrary));
        if (typeLibrary && SUCCEEDED(h)) h = registry::unregisterTypeLibrary(registration(*typeLibrary));
        return h;
    } catch (...) {
        return REGDB_E_WRITEREGDB;
    }
}

} // namespace vorsan::serversupport
