#include "vorsan/automation/ServerSupport.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <new>

namespace vorsan::serversupport {

namespace {

class ClassFactory final : public IClassFactory {
public:
    ClassFactory(Creator create, Counters& counters) : create_(create), counters_(counters) { ++counters_.objects; }
    ~ClassFactory() { --counters_.objects; }
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
        const ULONG n = --refs_;
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
        lock ? ++counters_.locks : --counters_.locks;
        return S_OK;
    }

private:
    std::atomic<ULONG> refs_{0};
    Creator create_;
    Counters& counters_;
};

} // namespace

HRESULT getClassFactory(Creator create, Counters& counters, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    auto* factory = new (std::nothrow) ClassFactory(create, counters);
    if (!factory) return E_OUTOFMEMORY;
    factory->AddRef();
    const HRESULT h = factory->QueryInterface(riid, ppv);
    factory->Release();
    return h;
}

std::string libraryPathOf(const void* address) {
    Dl_info info{};
    if (!::dladdr(address, &info) || !info.dli_fname) return {};
    char resolved[PATH_MAX];
    if (!::realpath(info.dli_fname, resolved)) return info.dli_fname;
    return resolved;
}

HRESULT registerLibrary(const std::vector<registry::ClassRegistration>& classes, const void* address) {
    const std::string path = libraryPathOf(address);
    if (path.empty()) return E_UNEXPECTED;
    try {
        return registry::registerClasses(classes, path);
    } catch (...) {
        return REGDB_E_WRITEREGDB;
    }
}

HRESULT unregisterLibrary(const std::vector<registry::ClassRegistration>& classes) {
    try {
        return registry::unregisterClasses(classes);
    } catch (...) {
        return REGDB_E_WRITEREGDB;
    }
}

} // namespace vorsan::serversupport
