// The registry file, class registration and the errors of class creation.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "AutomationFixture.h"
#include "vorsan/automation/Registry.h"

namespace vorsan {
namespace {

using testing::RegistryProfile;
namespace reg = registry;

const CLSID kTestClass{0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
const CLSID kOtherClass{0x87654321, 0x4321, 0x8765, {8, 7, 6, 5, 4, 3, 2, 1}};
const reg::ClassRegistration kThing{kTestClass, "Test.Thing", 1, "Thing Class", "Apartment"};
const reg::ClassRegistration kOther{kOtherClass, "Test.Other", 2, "Other Class", "Apartment"};

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
    // Removing a tree leaves the key that only shares its prefix.
    back.removeTree("CLSID\\{A}");
    EXPECT_FALSE(back.hasKey("CLSID\\{A}") || back.hasKey("CLSID\\{A}\\InprocServer32"));
    EXPECT_EQ(back.value("CLSID\\{A}x"), "neighbour");
    // A missing file is an empty registry, not an error.
    reg::RegistryFile none;
    EXPECT_TRUE(none.load((profile.path() / "absent").string()));
    EXPECT_TRUE(none.empty());
}

TEST(Registration, WritesProgIdsAndClassAndUserEntriesComeFirst) {
    RegistryProfile profile;
    ASSERT_EQ(reg::registerClasses({kThing}, "/opt/user/libthing.so"), S_OK);
    EXPECT_EQ(reg::registrationTargetPath(), (profile.path() / ".vorsan" / "registry").string());
    CLSID found;
    for (const char* progId : {"Test.Thing.1", "test.thing"}) {
        ASSERT_EQ(reg::clsidFromProgId(progId, found), S_OK) << progId;
        EXPECT_EQ(found, kTestClass);
    }
    EXPECT_EQ(reg::lookup("CLSID\\" + guidToString(kTestClass) + "\\InprocServer32", "ThreadingModel"), "Apartment");

    // The system-wide file answers what the user's does not; the user's wins.
    setenv("VORSAN_REGISTRY_SCOPE", "system", 1);
    HRESULT h = reg::registerClasses({kThing, kOther}, "/usr/lib/libsystem.so");
    unsetenv("VORSAN_REGISTRY_SCOPE");
    ASSERT_EQ(h, S_OK);
    std::ifstream system(profile.systemRegistry());
    EXPECT_NE((std::stringstream() << system.rdbuf()).str().find("libsystem.so"), std::string::npos);
    EXPECT_EQ(reg::inprocServer(kTestClass), "/opt/user/libthing.so");
    EXPECT_EQ(reg::inprocServer(kOtherClass), "/usr/lib/libsystem.so");

    // Unregistering leaves a ProgID that meanwhile names another class.
    reg::RegistryFile file;
    ASSERT_TRUE(file.load(reg::userRegistryPath()));
    file.setValue("Test.Thing\\CLSID", "@", guidToString(kOtherClass));
    ASSERT_TRUE(file.save(reg::userRegistryPath()));
    ASSERT_EQ(reg::unregisterClasses({kThing}), S_OK);
    ASSERT_TRUE(file.load(reg::userRegistryPath()));
    EXPECT_FALSE(file.hasKey("CLSID\\" + guidToString(kTestClass)) || file.hasKey("Test.Thing.1"));
    EXPECT_TRUE(file.hasKey("Test.Thing"));
    EXPECT_EQ(reg::inprocServer(kTestClass), "/usr/lib/libsystem.so"); // still in the system file
}

TEST(Registration, TypeLibraryKeysComeAndGoWithTheLibraryAndSpareAnotherLibrarysInterface) {
    RegistryProfile profile;
    const reg::TypeLibraryRegistration library{kTestClass, "2.0", "Test 2.0 Type Library",
                                               {{kTestClass, "ITest"}, {kOtherClass, "IOther"}}};
    ASSERT_EQ(reg::registerTypeLibrary(library, "/opt/lib/libthing.so"), S_OK);
    const std::string lib = guidToString(kTestClass);
    EXPECT_EQ(reg::lookup("TypeLib\\" + lib + "\\2.0\\0\\win64"), "/opt/lib/libthing.so");
    EXPECT_EQ(reg::lookup("TypeLib\\" + lib + "\\2.0\\HELPDIR"), "/opt/lib");
    const std::string other = "Interface\\" + guidToString(kOtherClass);
    EXPECT_EQ(reg::lookup(other), "IOther");
    EXPECT_EQ(reg::lookup(other + "\\ProxyStubClsid32"), "{00020424-0000-0000-C000-000000000046}");
    EXPECT_EQ(reg::lookup(other + "\\TypeLib", "Version"), "2.0");

    // An interface another library has since claimed stays.
    reg::RegistryFile file;
    ASSERT_TRUE(file.load(reg::userRegistryPath()));
    file.setValue(other + "\\TypeLib", "@", guidToString(kOtherClass));
    ASSERT_TRUE(file.save(reg::userRegistryPath()));
    ASSERT_EQ(reg::unregisterTypeLibrary(library), S_OK);
    ASSERT_TRUE(file.load(reg::userRegistryPath()));
    EXPECT_FALSE(file.hasKey("TypeLib\\" + lib + "\\2.0"));
    EXPECT_FALSE(file.hasKey("Interface\\" + guidToString(kTestClass)));
    EXPECT_TRUE(file.hasKey(other));
}

TEST(Registration, RegistrationsAtOnceInSeveralProcessesAreAllKept) {
    RegistryProfile profile;
    // Rounds of four processes, each registering a class of its own into the
    // same file at the same moment: every class must be there after each round.
    constexpr int kProcesses = 4;
    for (int round = 0; round < 20; ++round) {
        std::vector<reg::ClassRegistration> classes;
        for (int i = 0; i < kProcesses; ++i) {
            CLSID id = kTestClass;
            id.Data1 = static_cast<uint32_t>(round * kProcesses + i);
            classes.push_back({id, "Test.Round" + std::to_string(round) + "Class" + std::to_string(i), 1, "Class", "Apartment"});
        }
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        std::vector<pid_t> children;
        for (int i = 0; i < kProcesses; ++i) {
            const pid_t pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                close(ready[1]);
                char go;
                // All start together, when the parent closes the pipe.
                _exit(read(ready[0], &go, 1) == 0 &&
                              reg::registerClasses({classes[static_cast<std::size_t>(i)]}, "/opt/lib" + std::to_string(i) + ".so") == S_OK
                          ? 0
                          : 1);
            }
            children.push_back(pid);
        }
        close(ready[0]);
        close(ready[1]);
        for (pid_t pid : children) {
            int status = -1;
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        for (int i = 0; i < kProcesses; ++i)
            EXPECT_EQ(reg::inprocServer(classes[static_cast<std::size_t>(i)].clsid), "/opt/lib" + std::to_string(i) + ".so")
                << "round " << round << ", process " << i;
    }
}

TEST(Creation, ReportsEachWayItCanFail) {
    RegistryProfile profile;
    // (Unknown ProgIDs and unregistered classes: the server's registration test.)
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, nullptr), E_POINTER);
    ASSERT_EQ(reg::registerClasses({kThing}, (profile.path() / "missing.so").string()), S_OK);
    EXPECT_EQ(createInstance(u"Test.Thing", IID_IUnknown, &p), CO_E_DLLNOTFOUND);
    // A loadable library that is not a server, by ProgID or by CLSID text.
    ASSERT_EQ(reg::registerClasses({kOther}, "libm.so.6"), S_OK);
    EXPECT_EQ(createInstance(u"Test.Other.2", IID_IUnknown, &p), CO_E_ERRORINDLL);
    EXPECT_EQ(createInstance(u"{87654321-4321-8765-0807-060504030201}", IID_IUnknown, &p), CO_E_ERRORINDLL);
    EXPECT_EQ(p, nullptr);
}

} // namespace
} // namespace vorsan
