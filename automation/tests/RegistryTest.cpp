// The registry file, class registration and the errors of class creation.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "AutomationFixture.h"
#include "vorsan/automation/Registry.h"

namespace vorsan {
namespace {

using testing::RegistryProfile;
namespace reg = registry;

const CLSID kTestClass{0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
const CLSID kOtherClass{0x87654321, 0x4321, 0x8765, {8, 7, 6, 5, 4, 3, 2, 1}};

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(RegistryFile, KeepsValuesThroughSaveAndLoad) {
    RegistryProfile profile;
    const std::string path = (profile.path() / "nested" / "registry").string();
    reg::RegistryFile file;
    file.setValue("CLSID\\{A}", "@", "first");
    file.setValue("CLSID\\{A}\\InprocServer32", "@", "/home/राम/lib=x.so");
    file.setValue("CLSID\\{A}\\InprocServer32", "ThreadingModel", "Apartment");
    file.setValue("CLSID\\{A}x", "@", "neighbour");
    file.setValue("Odd", "@", "line one\nline two \\ end");
    ASSERT_TRUE(file.save(path));

    reg::RegistryFile back;
    ASSERT_TRUE(back.load(path));
    // Keys and value names compare without regard to case.
    EXPECT_EQ(back.value("clsid\\{a}\\inprocserver32"), "/home/राम/lib=x.so");
    EXPECT_EQ(back.value("CLSID\\{A}\\InprocServer32", "threadingmodel"), "Apartment");
    EXPECT_EQ(back.value("Odd"), "line one\nline two \\ end");
    EXPECT_FALSE(back.value("CLSID\\{A}", "missing"));

    back.removeTree("CLSID\\{A}");
    EXPECT_FALSE(back.hasKey("CLSID\\{A}"));
    EXPECT_FALSE(back.hasKey("CLSID\\{A}\\InprocServer32"));
    EXPECT_EQ(back.value("CLSID\\{A}x"), "neighbour");

    // A missing file is an empty registry, not an error.
    reg::RegistryFile none;
    EXPECT_TRUE(none.load((profile.path() / "absent").string()));
    EXPECT_TRUE(none.empty());
}

TEST(Registration, WritesProgIdsAndClassAndUserEntriesComeFirst) {
    RegistryProfile profile;
    std::vector<reg::ClassRegistration> classes{{kTestClass, "Test.Thing", 1, "Thing Class", "Apartment"}};
    ASSERT_EQ(reg::registerClasses(classes, "/opt/user/libthing.so"), S_OK);
    EXPECT_EQ(reg::registrationTargetPath(), (profile.path() / ".vorsan" / "registry").string());

    CLSID found;
    ASSERT_EQ(reg::clsidFromProgId("Test.Thing.1", found), S_OK);
    EXPECT_EQ(found, kTestClass);
    ASSERT_EQ(reg::clsidFromProgId("test.thing", found), S_OK);
    EXPECT_EQ(found, kTestClass);
    EXPECT_EQ(reg::lookup("Test.Thing\\CurVer"), "Test.Thing.1");
    EXPECT_EQ(reg::inprocServer(kTestClass), "/opt/user/libthing.so");
    EXPECT_EQ(reg::lookup("CLSID\\" + guidToString(kTestClass) + "\\InprocServer32", "ThreadingModel"), "Apartment");

    // The system-wide file answers what the user's does not; the user's wins.
    setenv("VORSAN_REGISTRY_SCOPE", "system", 1);
    std::vector<reg::ClassRegistration> system{{kTestClass, "Test.Thing", 1, "Thing Class", "Apartment"},
                                               {kOtherClass, "Test.Other", 2, "Other Class", "Apartment"}};
    HRESULT h = reg::registerClasses(system, "/usr/lib/libsystem.so");
    unsetenv("VORSAN_REGISTRY_SCOPE");
    ASSERT_EQ(h, S_OK);
    EXPECT_NE(readAll(profile.systemRegistry()).find("libsystem.so"), std::string::npos);
    EXPECT_EQ(reg::inprocServer(kTestClass), "/opt/user/libthing.so");
    EXPECT_EQ(reg::inprocServer(kOtherClass), "/usr/lib/libsystem.so");
    ASSERT_EQ(reg::clsidFromProgId("Test.Other", found), S_OK);
    EXPECT_EQ(found, kOtherClass);

    // Unregistering leaves a ProgID that meanwhile names another class.
    reg::RegistryFile file;
    ASSERT_TRUE(file.load(reg::userRegistryPath()));
    file.setValue("Test.Thing\\CLSID", "@", guidToString(kOtherClass));
    ASSERT_TRUE(file.save(reg::userRegistryPath()));
    ASSERT_EQ(reg::unregisterClasses(classes), S_OK);
    ASSERT_TRUE(file.load(reg::userRegistryPath()));
    EXPECT_FALSE(file.hasKey("CLSID\\" + guidToString(kTestClass)));
    EXPECT_FALSE(file.hasKey("Test.Thing.1"));
    EXPECT_TRUE(file.hasKey("Test.Thing"));
    EXPECT_EQ(reg::inprocServer(kTestClass), "/usr/lib/libsystem.so");  // still in the system file
}

TEST(Creation, ReportsEachWayItCanFail) {
    RegistryProfile profile;
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(createInstance(u"No.Such.Class", IID_IUnknown, &p), CO_E_CLASSSTRING);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, nullptr), E_POINTER);

    std::vector<reg::ClassRegistration> classes{{kTestClass, "Test.Thing", 1, "Thing Class", "Apartment"}};
    ASSERT_EQ(reg::registerClasses(classes, (profile.path() / "missing.so").string()), S_OK);
    EXPECT_EQ(createInstance(u"Test.Thing", IID_IUnknown, &p), CO_E_DLLNOTFOUND);

    // A loadable library that is not a server.
    std::vector<reg::ClassRegistration> other{{kOtherClass, "Test.Other", 1, "Other Class", "Apartment"}};
    ASSERT_EQ(reg::registerClasses(other, "libm.so.6"), S_OK);
    EXPECT_EQ(createInstance(u"Test.Other.1", IID_IUnknown, &p), CO_E_ERRORINDLL);
    EXPECT_EQ(createInstance(u"{87654321-4321-8765-0807-060504030201}", IID_IUnknown, &p), CO_E_ERRORINDLL);
    EXPECT_EQ(p, nullptr);
}

} // namespace
} // namespace vorsan
