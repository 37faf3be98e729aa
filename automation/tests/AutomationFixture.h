#pragma once
// Shared set-up of the automation tests: a temporary profile (and system
// registry) with the VorsanCOM server freshly registered into it, the way an
// installer's registration step does it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "vorsan/automation/Creation.h"
#include "vorsan/automation/ErrorInfo.h"
#include "vorsan/automation/Interfaces.h"
#include "vorsan/automation/LateBinding.h"
#include "vorsan/testing/TestSupport.h"

namespace vorsan::testing {

// The server library's own entry points, reached with dlopen/dlsym only.
struct ServerLibrary {
    static HRESULT registerServer();
    static HRESULT unregisterServer();
    static HRESULT canUnloadNow();
};

// Points the system registry at a file inside the temporary profile.
class RegistryProfile : public TempProfile {
public:
    RegistryProfile();
    ~RegistryProfile();
    std::string systemRegistry() const { return (path() / "etc-registry").string(); }
};

class AutomationTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    template <class T>
    ComPtr<T> create(std::u16string_view progId, REFIID iid) {
        ComPtr<T> p;
        HRESULT h = createInstance(progId, iid, p);
        EXPECT_EQ(h, S_OK) << "creating " << std::string(progId.begin(), progId.end());
        return p;
    }

    std::unique_ptr<RegistryProfile> profile;
};

// The thread's error object, taken (and cleared) as a client reads it.
struct TakenError {
    bool present = false;
    std::u16string description;
    std::u16string source;
    GUID iid;
};
TakenError takeError();

} // namespace vorsan::testing
