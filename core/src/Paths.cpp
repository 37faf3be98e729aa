#include "vorsan/core/Paths.h"

#include <cstdlib>

namespace vorsan {

std::string profileFolder() {
    for (const char* var : {"USERPROFILE", "HOME"}) {
        const char* v = std::getenv(var);
        if (v && *v) {
            std::string p(v);
            while (p.size() > 1 && p.back() == '/') p.pop_back();
            return p;
        }
    }
    return ".";
}

std::string speechFilesFolder() { return profileFolder() + "/Speechfiles"; }

std::string installedDataFolder() {
    const char* v = std::getenv("VORSAN_DATA_DIR");
    if (v && *v) return v;
    return VORSAN_BUILTIN_DATA_DIR;
}

} // namespace vorsan
