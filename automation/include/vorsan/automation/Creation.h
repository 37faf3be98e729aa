#pragma once
// Class creation. On Windows it is COM's own; elsewhere it finds a class's
// in-process server in the registry, loads it (once per process; it is never
// unloaded) and asks its class factory for an object.
#include <string>
#include <string_view>

#include "vorsan/automation/Bstr.h"
#include "vorsan/automation/Com.h"
#include "vorsan/automation/ErrorInfo.h"

namespace vorsan {

#if VORSAN_PLATFORM_COM

using ::CoInitialize;
using ::CoUninitialize;
using ::CoGetClassObject;
using ::CoCreateInstance;
using ::CLSIDFromProgID;
inline HRESULT CLSIDFromProgID(const char16_t* progId, CLSID* clsid) { return ::CLSIDFromProgID(oleText(progId), clsid); }

#else

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

// Apartments do not exist here; these only keep clients' shape.
inline HRESULT CoInitialize(void*) { return S_OK; }
inline void CoUninitialize() {}

// REGDB_E_CLASSNOTREG: class not registered; CO_E_DLLNOTFOUND: its library
// cannot be loaded; CO_E_ERRORINDLL: it lacks DllGetClassObject; otherwise
// what the server answers.
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* reserved, REFIID riid, void** ppv);
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** ppv);
HRESULT CLSIDFromProgID(const OLECHAR* progId, CLSID* clsid);

#endif
// Creation by ProgID (with or without version) or by "{class id}" text.
HRESULT createInstance(std::u16string_view progIdOrClsid, REFIID riid, void** ppv);

// Loads a server library and calls its DllRegisterServer (or, with
// unregister, DllUnregisterServer), as regsvr32 does. CO_E_DLLNOTFOUND when
// it cannot be loaded, CO_E_ERRORINDLL when it lacks the entry point.
HRESULT registerServerLibrary(const std::string& path, bool unregister = false);

template <class T>
HRESULT createInstance(std::u16string_view progIdOrClsid, REFIID riid, ComPtr<T>& out) {
    return createInstance(progIdOrClsid, riid, out.putVoid());
}

} // namespace vorsan

// Entry points of an in-process server library.
extern "C" {
using VorsanDllGetClassObjectFn = vorsan::HRESULT (*)(const vorsan::CLSID&, const vorsan::IID&, void**);
using VorsanDllRegisterFn = vorsan::HRESULT (*)();
using VorsanDllCanUnloadNowFn = vorsan::HRESULT (*)();
// Optional: called right after loading, with the loader's error-info store.
using VorsanComAttachFn = void (*)(const vorsan::ErrorInfoStore*);
}
