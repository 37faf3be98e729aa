#pragma once
// The class registry: a UTF-8 text file of keys and values, shaped like the
// classes part of the Windows registry. One file per user at
// "<profile>/.vorsan/registry" and one for the whole system at
// "/etc/vorsan/registry" ($VORSAN_SYSTEM_REGISTRY overrides it); a lookup
// tries the user's file first.
//
// File format: "[key\\path]" starts a key; the lines under it are
// "name=value" ("@" names the key's default value). Key and value names are
// compared case-insensitively (ASCII). In values "\\" stands for a backslash
// and "\n" for a line feed. Lines starting with ";" are comments.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vorsan/automation/Com.h"

namespace vorsan::registry {

std::string userRegistryPath();
std::string systemRegistryPath();

class RegistryFile {
public:
    // A missing file loads as empty; false when it exists but cannot be read.
    bool load(const std::string& path);
    // Writes a temporary file beside `path` and renames it over the old one,
    // creating the folder when needed.
    bool save(const std::string& path) const;

    std::optional<std::string> value(std::string_view key, std::string_view name = "@") const;
    void setValue(std::string_view key, std::string_view name, std::string_view value);
    bool hasKey(std::string_view key) const;
    // Removes the key and every key below it.
    void removeTree(std::string_view key);
    bool empty() const { return keys_.empty(); }

private:
    struct Key {
        std::string name;
        std::vector<std::pair<std::string, std::string>> values;
    };
    std::map<std::string, Key> keys_;  // by lower-cased key path
};

// One class as a server's registration entry point records it.
struct ClassRegistration {
    CLSID clsid;
    std::string progId;  // version-independent, e.g. "VorsanCOM.VorsanAPI"
    int version;         // the version-dependent ProgID is progId + "." + version
    std::string description;
    std::string threadingModel;
    std::optional<GUID> typeLib = std::nullopt;  // the type library describing the class, if any
};

// A type library held in a server library file, and the interfaces it
// describes (each marshalled by OLE's automation marshaller).
struct InterfaceRegistration {
    IID iid;
    std::string name;
};
struct TypeLibraryRegistration {
    GUID libid;
    std::string version;  // "major.minor"
    std::string description;
    std::vector<InterfaceRegistration> interfaces;
};

// The file registration writes: the system file when $VORSAN_REGISTRY_SCOPE
// is "system", else the user's.
std::string registrationTargetPath();
// Records (or removes) the classes of the server library at libraryPath.
// REGDB_E_WRITEREGDB when the file cannot be read or written.
HRESULT registerClasses(const std::vector<ClassRegistration>& classes, const std::string& libraryPath);
HRESULT unregisterClasses(const std::vector<ClassRegistration>& classes);
// Records the type library held in libraryPath under TypeLib, and each of
// its interfaces under Interface; unregistering removes both (an interface
// only while it still names this library).
HRESULT registerTypeLibrary(const TypeLibraryRegistration& library, const std::string& libraryPath);
HRESULT unregisterTypeLibrary(const TypeLibraryRegistration& library);

// A value from the user's file, else the system's.
std::optional<std::string> lookup(std::string_view key, std::string_view name = "@");
// The class id a ProgID names (following CurVer when the ProgID has no
// CLSID of its own); CO_E_CLASSSTRING when it is not registered.
HRESULT clsidFromProgId(std::string_view progId, CLSID& out);
// The in-process server library registered for a class.
std::optional<std::string> inprocServer(const CLSID& clsid);

} // namespace vorsan::registry
