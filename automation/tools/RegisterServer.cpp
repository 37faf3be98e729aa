// vorsan-regsvr: records an in-process server library's classes in the class
// registry (or removes them with -u), like regsvr32. On POSIX systems the
// user's registry is written unless VORSAN_REGISTRY_SCOPE=system asks for the
// system-wide one; on Windows the machine's unless VORSAN_REGISTRY_SCOPE=user.
#include <cstdio>
#include <cstring>
#include <string>

#include "vorsan/automation/Creation.h"

int main(int argc, char** argv) {
    using namespace vorsan;
    bool unregister = argc == 3 && std::strcmp(argv[1], "-u") == 0;
    if (argc != 2 + (unregister ? 1 : 0)) {
        std::fprintf(stderr, "usage: vorsan-regsvr [-u] <server library>\n");
        return 2;
    }
    const std::string path = argv[argc - 1];
    HRESULT h = registerServerLibrary(path, unregister);
    if (FAILED(h)) {
        std::fprintf(stderr, "vorsan-regsvr: %s failed for %s (0x%08X)\n",
                     unregister ? "DllUnregisterServer" : "DllRegisterServer", path.c_str(), unsigned(h));
        return 1;
    }
    return 0;
}
