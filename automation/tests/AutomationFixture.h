#pragma once
// Shared set-up of the automation tests: a temporary profile (and, on POSIX
// systems, system registry) with the VorsanCOM server freshly registered into
// it, the way an installer's registration step does it. On Windows the
// classes go into the real registry (and come out again after each test) and
// the thread enters COM's apartment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "vorsan/automation/Creation.h"
#include "vorsan/automation/ErrorInfo.h"
#include "vorsan/automation/Interfaces.h"
#include "vorsan/automation/LateBinding.h"
#include "vorsan/core/Platform.h"
#include "vorsan/testing/TestSupport.h"

namespace vorsan::testing {

// The server library as the loader names it: on Windows (under Wine) the
// build tree's POSIX path is on drive Z.
inline std::string serverLibrary() {
    std::string path = VORSAN_COM_LIBRARY;
#if VORSAN_PLATFORM_COM
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
#endif
    return path;
}

// The server library's DllCanUnloadNow, reached by name only.
inline HRESULT serverCanUnloadNow() {
    static void* handle = [] {
        std::string why;
        return platform::loadLibrary(serverLibrary(), why);
    }();
    auto f = reinterpret_cast<VorsanDllRegisterFn>(handle ? platform::librarySymbol(handle, "DllCanUnloadNow") : nullptr);
    return f ? f() : E_UNEXPECTED;
}

// Points the system registry at a file inside the temporary profile.
class RegistryProfile : public TempProfile {
public:
    RegistryProfile() { platform::setEnvironment("VORSAN_SYSTEM_REGISTRY", systemRegistry()); }
    ~RegistryProfile() { platform::setEnvironment("VORSAN_SYSTEM_REGISTRY", std::nullopt); }
    std::string systemRegistry() const { return (path() / "etc-registry").string(); }
};

class AutomationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        profile = std::make_unique<RegistryProfile>();
        ASSERT_EQ(registerServerLibrary(serverLibrary()), S_OK);
    }
    void TearDown() override {
        IErrorInfo* stale = nullptr;
        GetErrorInfo(0, &stale);
        if (stale) stale->Release();
#if VORSAN_PLATFORM_COM
        registerServerLibrary(serverLibrary(), true);
#endif
        profile.reset();
        CoUninitialize();
    }

    template <class T>
    ComPtr<T> create(std::u16string_view progId, REFIID iid) {
        ComPtr<T> p;
        EXPECT_EQ(createInstance(progId, iid, p), S_OK) << "creating " << std::string(progId.begin(), progId.end());
        return p;
    }

    std::unique_ptr<RegistryProfile> profile;
};

// What a member called by name answered: OLE's type-library dispatch (on
// Windows) reports a member's failure as an exception carrying it in
// EXCEPINFO, the objects' own tables return it as it is.
inline HRESULT memberResult(const LateCall& call) {
    return call.result == DISP_E_EXCEPTION && call.scode != S_OK ? call.scode : call.result;
}

// Where the two ways of late binding answer differently for arguments the
// member never sees: OLE coerces each argument to its declared type
// (DISP_E_OVERFLOW past a 16-bit range, the QueryInterface's E_NOINTERFACE
// for an object of another class, and an argument too many for a property
// read taken as indexing its result).
#if VORSAN_PLATFORM_COM
inline constexpr HRESULT kLateOutOfRange = DISP_E_OVERFLOW;
inline constexpr HRESULT kLateWrongObject = E_NOINTERFACE;
inline constexpr HRESULT kLateArgumentTooMany = hr(0x80020011);  // DISP_E_NOTACOLLECTION
#else
inline constexpr HRESULT kLateOutOfRange = E_INVALIDARG;
inline constexpr HRESULT kLateWrongObject = DISP_E_TYPEMISMATCH;
inline constexpr HRESULT kLateArgumentTooMany = DISP_E_BADPARAMCOUNT;
#endif

// The thread's error object, taken (and cleared) as a client reads it.
struct TakenError {
    bool present = false;
    std::u16string description, source;
    GUID iid{};
};
inline TakenError takeError() {
    TakenError e;
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || !info) return e;
    e.present = true;
    Bstr d, s;
    info->GetDescription(d.put());
    info->GetSource(s.put());
    info->GetGUID(&e.iid);
    e.description = d.str();
    e.source = s.str();
    info->Release();
    return e;
}

} // namespace vorsan::testing
