#pragma once
// Shared set-up of the automation tests: a temporary profile (and system
// registry) with the VorsanCOM server freshly registered into it, the way an
// installer's registration step does it.
#include <gtest/gtest.h>
#include <dlfcn.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "vorsan/automation/Creation.h"
#include "vorsan/automation/ErrorInfo.h"
#include "vorsan/automation/Interfaces.h"
#include "vorsan/automation/LateBinding.h"
#include "vorsan/testing/TestSupport.h"

namespace vorsan::testing {

// The server library's DllCanUnloadNow, reached with dlopen/dlsym only.
inline HRESULT serverCanUnloadNow() {
    static void* handle = ::dlopen(VORSAN_COM_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    auto f = reinterpret_cast<VorsanDllRegisterFn>(handle ? ::dlsym(handle, "DllCanUnloadNow") : nullptr);
    return f ? f() : E_UNEXPECTED;
}

// Points the system registry at a file inside the temporary profile.
class RegistryProfile : public TempProfile {
public:
    RegistryProfile() { setenv("VORSAN_SYSTEM_REGISTRY", systemRegistry().c_str(), 1); }
    ~RegistryProfile() { unsetenv("VORSAN_SYSTEM_REGISTRY"); }
    std::string systemRegistry() const { return (path() / "etc-registry").string(); }
};

class AutomationTest : public ::testing::Test {
protected:
    void SetUp() override {
        profile = std::make_unique<RegistryProfile>();
        ASSERT_EQ(registerServerLibrary(VORSAN_COM_LIBRARY), S_OK);
    }
    void TearDown() override {
        IErrorInfo* stale = nullptr;
        GetErrorInfo(0, &stale);
        if (stale) stale->Release();
        profile.reset();
    }

    template <class T>
    ComPtr<T> create(std::u16string_view progId, REFIID iid) {
        ComPtr<T> p;
        EXPECT_EQ(createInstance(progId, iid, p), S_OK) << "creating " << std::string(progId.begin(), progId.end());
        return p;
    }

    std::unique_ptr<RegistryProfile> profile;
};

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
