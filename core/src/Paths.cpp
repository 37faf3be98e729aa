#include "vorsan/core/Paths.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "vorsan/core/Platform.h"

// Where the shipped data lies. The build defines these; the defaults keep a
// stand-alone compile of this file working (data next to the sources only).
#ifndef VORSAN_BUILTIN_DATA_DIR
#define VORSAN_BUILTIN_DATA_DIR "data"
#endif
// The build tree: a program or library running from inside it uses the
// source data folder above. Left empty, that folder is always the answer.
#ifndef VORSAN_BUILD_DIR
#define VORSAN_BUILD_DIR ""
#endif
// The installed data folder relative to the installed programs' folder and to
// the installed libraries' folder (e.g. "../share/vorsan").
#ifndef VORSAN_DATA_FROM_BIN
#define VORSAN_DATA_FROM_BIN "../share/vorsan"
#endif
#ifndef VORSAN_DATA_FROM_LIB
#define VORSAN_DATA_FROM_LIB "../share/vorsan"
#endif
// The same relative to the installed Python package's folder, where its
// native module lies (empty: no Python package).
#ifndef VORSAN_DATA_FROM_PYTHON
#define VORSAN_DATA_FROM_PYTHON ""
#endif
// The same relative to the private library folder of the in-process servers.
#ifndef VORSAN_DATA_FROM_PRIVATE
#define VORSAN_DATA_FROM_PRIVATE ""
#endif
// Absolute installed data folders, separated by ':' (';' on Windows), for programs that link the
// engine but live outside the installation prefix.
#ifndef VORSAN_DATA_INSTALL_DIRS
#define VORSAN_DATA_INSTALL_DIRS "/usr/local/share/vorsan:/usr/share/vorsan"
#endif

namespace vorsan {

namespace fs = std::filesystem;

namespace {

// Anchor whose address identifies the module (program or shared library)
// this code was linked into.
const char kModuleAnchor = 0;

// The file of the module holding this code: the shared library when the
// engine sits in one (the automation server), else the running program.
fs::path moduleFile() { return platform::moduleFile(&kModuleAnchor); }

fs::path canonicalOrEmpty(const fs::path& p) {
    std::error_code ec;
    fs::path c = fs::canonical(p, ec);
    return ec ? fs::path() : c;
}

bool isDirectory(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

bool isInside(const fs::path& file, const fs::path& folder) {
    if (folder.empty()) return false;
    auto f = file.begin();
    for (auto d = folder.begin(); d != folder.end(); ++d, ++f)
        if (f == file.end() || *f != *d) return false;
    return true;
}

std::string findInstalledDataFolder() {
    // A build that names no build tree is never installed.
    if (std::string_view(VORSAN_BUILD_DIR).empty()) return VORSAN_BUILTIN_DATA_DIR;
    // An installed program (bin), library (lib) or Python module: the data
    // folder at the same place relative to it as in the installation layout,
    // so an installation tree can be moved as a whole; else (a program of
    // its own that links the engine) the installation folders the build was
    // configured for.
    const InstallationPlaces places = installationPlaces(
        VORSAN_BUILD_DIR,
        {VORSAN_DATA_FROM_BIN, VORSAN_DATA_FROM_LIB, VORSAN_DATA_FROM_PYTHON, VORSAN_DATA_FROM_PRIVATE},
        VORSAN_DATA_INSTALL_DIRS);
    if (places.inBuildTree) return VORSAN_BUILTIN_DATA_DIR;
    for (const auto* list : {&places.fromModule, &places.configured})
        for (const std::string& dir : *list)
            if (isDirectory(platform::nativePath(dir))) return dir;
    return places.configured.empty() ? std::string(VORSAN_BUILTIN_DATA_DIR) : places.configured.front();
}

} // namespace

InstallationPlaces installationPlaces(std::string_view buildTree, std::initializer_list<const char*> relative,
                                      std::string_view configured) {
    InstallationPlaces places;
    const fs::path module = canonicalOrEmpty(moduleFile());
    if (module.empty() || isInside(module, canonicalOrEmpty(platform::nativePath(buildTree)))) {
        places.inBuildTree = true;
        return places;
    }
    for (const char* r : relative)
        if (r && *r) places.fromModule.push_back(platform::utf8Path((module.parent_path() / platform::nativePath(r)).lexically_normal()));
    while (!configured.empty()) {
        const std::size_t colon = configured.find(platform::kFolderListSeparator);
        const std::string dir(configured.substr(0, colon));
        configured = colon == std::string_view::npos ? std::string_view{} : configured.substr(colon + 1);
        if (!dir.empty()) places.configured.push_back(dir);
    }
    return places;
}

std::string profileFolder() {
    for (const char* var : {"USERPROFILE", "HOME"}) {
        std::string p = platform::environment(var).value_or("");
        if (!p.empty()) {
            while (p.size() > 1 && (p.back() == '/' || (platform::kBackslashSeparates && p.back() == '\\')))
                p.pop_back();
            return p;
        }
    }
    return ".";
}

std::string speechFilesFolder() { return profileFolder() + "/Speechfiles"; }

std::string installedDataFolder() {
    if (std::string v = platform::environment("VORSAN_DATA_DIR").value_or(""); !v.empty()) return v;
    // The module's place does not change while it runs.
    static const std::string found = findInstalledDataFolder();
    return found;
}

} // namespace vorsan
