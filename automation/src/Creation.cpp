#include "vorsan/automation/Creation.h"

#include <map>
#include <mutex>
#include <string>

#include "vorsan/automation/Registry.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/Text.h"

namespace vorsan {

HRESULT registerServerLibrary(const std::string& path, bool unregister) {
    // Stays loaded, like every server this process loads.
    std::string why;
    void* handle = platform::loadLibrary(path, why);
    if (!handle) return CO_E_DLLNOTFOUND;
    auto entry = reinterpret_cast<VorsanDllRegisterFn>(
        platform::librarySymbol(handle, unregister ? "DllUnregisterServer" : "DllRegisterServer"));
    if (!entry) return CO_E_ERRORINDLL;
    return entry();
}

#if VORSAN_PLATFORM_COM

HRESULT createInstance(std::u16string_view progIdOrClsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    const std::u16string name(progIdOrClsid);
    CLSID clsid;
    const HRESULT h = name.starts_with(u'{') ? ::CLSIDFromString(oleText(name.c_str()), &clsid)
                                             : ::CLSIDFromProgID(oleText(name.c_str()), &clsid);
    if (FAILED(h)) return h;
    return ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, riid, ppv);
}

#else

namespace {

// Loads a server library once per process; it stays loaded, since objects,
// error objects and strings it made may outlive any count we could keep.
HRESULT serverEntry(const std::string& path, VorsanDllGetClassObjectFn& entry) {
    static std::mutex mutex;
    static std::map<std::string, VorsanDllGetClassObjectFn> loaded;
    std::lock_guard lock(mutex);
    if (auto it = loaded.find(path); it != loaded.end()) {
        entry = it->second;
        return S_OK;
    }
    std::string why;
    void* handle = platform::loadLibrary(path, why);
    if (!handle) return CO_E_DLLNOTFOUND;
    auto get = reinterpret_cast<VorsanDllGetClassObjectFn>(platform::librarySymbol(handle, "DllGetClassObject"));
    if (!get) {
        platform::unloadLibrary(handle);
        return CO_E_ERRORINDLL;
    }
    if (auto attach = reinterpret_cast<VorsanComAttachFn>(platform::librarySymbol(handle, "VorsanComAttach")))
        attach(errorInfoStore());
    loaded.emplace(path, get);
    entry = get;
    return S_OK;
}

} // namespace

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void*, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
    auto path = registry::inprocServer(clsid);
    if (!path || path->empty()) return REGDB_E_CLASSNOTREG;
    VorsanDllGetClassObjectFn get = nullptr;
    if (HRESULT h = serverEntry(*path, get); FAILED(h)) return h;
    return get(clsid, riid, ppv);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    void* f = nullptr;
    if (HRESULT h = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, &f); FAILED(h)) return h;
    auto* factory = static_cast<IClassFactory*>(f);
    HRESULT h = factory->CreateInstance(outer, riid, ppv);
    factory->Release();
    return h;
}

HRESULT CLSIDFromProgID(const OLECHAR* progId, CLSID* clsid) {
    if (!progId || !clsid) return E_INVALIDARG;
    return registry::clsidFromProgId(utf16ToUtf8(progId), *clsid);
}

HRESULT createInstance(std::u16string_view progIdOrClsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    std::string name = utf16ToUtf8(progIdOrClsid);
    CLSID clsid;
    if (!guidFromString(name, clsid)) {
        if (HRESULT h = registry::clsidFromProgId(name, clsid); FAILED(h)) return h;
    }
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, riid, ppv);
}

#endif

} // namespace vorsan
