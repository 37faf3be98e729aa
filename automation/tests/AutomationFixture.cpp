#include "AutomationFixture.h"

#include <dlfcn.h>

#include <cstdlib>

namespace vorsan::testing {

namespace {
void* serverSymbol(const char* name) {
    static void* handle = ::dlopen(VORSAN_COM_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    return handle ? ::dlsym(handle, name) : nullptr;
}
HRESULT callEntry(const char* name) {
    auto f = reinterpret_cast<VorsanDllRegisterFn>(serverSymbol(name));
    return f ? f() : E_UNEXPECTED;
}
} // namespace

HRESULT ServerLibrary::registerServer() { return registerServerLibrary(VORSAN_COM_LIBRARY); }
HRESULT ServerLibrary::unregisterServer() { return registerServerLibrary(VORSAN_COM_LIBRARY, true); }
HRESULT ServerLibrary::canUnloadNow() { return callEntry("DllCanUnloadNow"); }

RegistryProfile::RegistryProfile() { setenv("VORSAN_SYSTEM_REGISTRY", systemRegistry().c_str(), 1); }
RegistryProfile::~RegistryProfile() { unsetenv("VORSAN_SYSTEM_REGISTRY"); }

void AutomationTest::SetUp() {
    profile = std::make_unique<RegistryProfile>();
    ASSERT_EQ(ServerLibrary::registerServer(), S_OK);
}

void AutomationTest::TearDown() {
    IErrorInfo* stale = nullptr;
    GetErrorInfo(0, &stale);
    if (stale) stale->Release();
    profile.reset();
}

TakenError takeError() {
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
