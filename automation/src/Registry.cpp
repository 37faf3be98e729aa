#include "vorsan/automation/Registry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "vorsan/core/Paths.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/Text.h"

#include "ClassStore.h"

namespace vorsan::registry {

namespace fs = std::filesystem;

std::string userRegistryPath() { return profileFolder() + "/.vorsan/registry"; }

std::string systemRegistryPath() {
    const char* env = std::getenv("VORSAN_SYSTEM_REGISTRY");
    return env && *env ? env : "/etc/vorsan/registry";
}

std::string registrationTargetPath() {
    const char* scope = std::getenv("VORSAN_REGISTRY_SCOPE");
    return scope && std::string_view(scope) == "system" ? systemRegistryPath() : userRegistryPath();
}

namespace {

std::string lower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

bool equalsNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && lower(a) == lower(b); }

std::string escape(std::string_view v) {
    std::string r;
    for (char c : v) {
        if (c == '\\') r += "\\\\";
        else if (c == '\n') r += "\\n";
        else r += c;
    }
    return r;
}

std::string unescape(std::string_view v) {
    std::string r;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\\' && i + 1 < v.size()) {
            ++i;
            r += v[i] == 'n' ? '\n' : v[i];
        } else {
            r += v[i];
        }
    }
    return r;
}

} // namespace

bool RegistryFile::load(const std::string& path) {
    keys_.clear();
    std::error_code ec;
    if (!fs::exists(platform::nativePath(path), ec)) return !ec;
    std::ifstream in(platform::nativePath(path), std::ios::binary);
    if (!in) return false;
    std::string line;
    Key* current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string t = trimBlanks(line);
        if (t.empty() || t[0] == ';') continue;
        if (t.front() == '[' && t.back() == ']') {
            std::string name = t.substr(1, t.size() - 2);
            Key& k = keys_[lower(name)];
            if (k.name.empty()) k.name = name;
            current = &k;
            continue;
        }
        auto eq = line.find('=');
        if (!current || eq == std::string::npos) continue;  // stray lines are ignored
        std::string name = trimBlanks(std::string_view(line).substr(0, eq));
        std::string value = unescape(std::string_view(line).substr(eq + 1));
        bool replaced = false;
        for (auto& [n, v] : current->values)
            if (equalsNoCase(n, name)) {
                v = value;
                replaced = true;
            }
        if (!replaced) current->values.emplace_back(name, value);
    }
    return !in.bad();
}

bool RegistryFile::save(const std::string& path) const {
    std::error_code ec;
    const fs::path p = platform::nativePath(path);
    if (p.has_parent_path()) fs::create_directories(p.parent_path(), ec);
    std::ostringstream out;
    out << "; Vorsan class registry\n";
    for (const auto& [id, key] : keys_) {
        out << '[' << key.name << "]\n";
        for (const auto& [n, v] : key.values) out << n << '=' << escape(v) << '\n';
    }
    const fs::path tmp = platform::nativePath(path + ".tmp" + std::to_string(platform::processId()));
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        if (!f) return false;
        const std::string text = out.str();
        f.write(text.data(), static_cast<std::streamsize>(text.size()));
        f.flush();
        if (!f) {
            fs::remove(tmp, ec);
            return false;
        }
    }
    fs::rename(tmp, p, ec);
    if (ec) {
        fs::remove(tmp, ec);
        return false;
    }
    return true;
}

std::optional<std::string> RegistryFile::value(std::string_view key, std::string_view name) const {
    auto it = keys_.find(lower(key));
    if (it == keys_.end()) return std::nullopt;
    for (const auto& [n, v] : it->second.values)
        if (equalsNoCase(n, name)) return v;
    return std::nullopt;
}

void RegistryFile::setValue(std::string_view key, std::string_view name, std::string_view value) {
    Key& k = keys_[lower(key)];
    if (k.name.empty()) k.name = std::string(key);
    for (auto& [n, v] : k.values)
        if (equalsNoCase(n, name)) {
            v = value;
            return;
        }
    k.values.emplace_back(std::string(name), std::string(value));
}

bool RegistryFile::hasKey(std::string_view key) const { return keys_.count(lower(key)) != 0; }

void RegistryFile::removeTree(std::string_view key) {
    std::string k = lower(key);
    std::string prefix = k + "\\";
    for (auto it = keys_.begin(); it != keys_.end();) {
        if (it->first == k || it->first.compare(0, prefix.size(), prefix) == 0) it = keys_.erase(it);
        else ++it;
    }
}

namespace {

std::string versioned(const ClassRegistration& c) { return c.progId + "." + std::to_string(c.version); }

} // namespace

HRESULT registerClasses(const std::vector<ClassRegistration>& classes, const std::string& libraryPath) {
    const std::unique_ptr<ClassStore> store = registrationStore();
    if (!store) return REGDB_E_WRITEREGDB;
    ClassStore& file = *store;
    for (const auto& c : classes) {
        const std::string id = guidToString(c.clsid);
        const std::string clsidKey = "CLSID\\" + id;
        const std::string progId = versioned(c);
        file.removeTree(clsidKey);
        file.setValue(clsidKey, "@", c.description);
        file.setValue(clsidKey + "\\InprocServer32", "@", libraryPath);
        file.setValue(clsidKey + "\\InprocServer32", "ThreadingModel", c.threadingModel);
        file.setValue(clsidKey + "\\ProgID", "@", progId);
        file.setValue(clsidKey + "\\VersionIndependentProgID", "@", c.progId);
        if (c.typeLib) file.setValue(clsidKey + "\\TypeLib", "@", guidToString(*c.typeLib));
        file.removeTree(progId);
        file.setValue(progId, "@", c.description);
        file.setValue(progId + "\\CLSID", "@", id);
        file.removeTree(c.progId);
        file.setValue(c.progId, "@", c.description);
        file.setValue(c.progId + "\\CLSID", "@", id);
        file.setValue(c.progId + "\\CurVer", "@", progId);
    }
    return file.commit() ? S_OK : REGDB_E_WRITEREGDB;
}

HRESULT unregisterClasses(const std::vector<ClassRegistration>& classes) {
    const std::unique_ptr<ClassStore> store = registrationStore();
    if (!store) return REGDB_E_WRITEREGDB;
    ClassStore& file = *store;
    for (const auto& c : classes) {
        const std::string id = guidToString(c.clsid);
        file.removeTree("CLSID\\" + id);
        // A ProgID is removed only while it still names this class.
        for (const std::string& progId : {versioned(c), c.progId}) {
            auto named = file.value(progId + "\\CLSID", "@");
            if (named && equalsNoCase(*named, id)) file.removeTree(progId);
        }
    }
    return file.commit() ? S_OK : REGDB_E_WRITEREGDB;
}

namespace {

// OLE's automation marshaller (PSOAInterface): the proxy of every interface
// described by a registered type library.
constexpr std::string_view kAutomationMarshaller = "{00020424-0000-0000-C000-000000000046}";

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace

HRESULT registerTypeLibrary(const TypeLibraryRegistration& library, const std::string& libraryPath) {
    const std::unique_ptr<ClassStore> store = registrationStore();
    if (!store) return REGDB_E_WRITEREGDB;
    const std::string id = guidToString(library.libid);
    const std::string root = "TypeLib\\" + id;
    const std::string version = root + "\\" + library.version;
    store->removeTree(root);
    store->setValue(version, "@", library.description);
    store->setValue(version + "\\0\\win64", "@", libraryPath);
    store->setValue(version + "\\FLAGS", "@", "0");
    store->setValue(version + "\\HELPDIR", "@", folderOf(libraryPath));
    for (const InterfaceRegistration& i : library.interfaces) {
        const std::string key = "Interface\\" + guidToString(i.iid);
        store->removeTree(key);
        store->setValue(key, "@", i.name);
        store->setValue(key + "\\ProxyStubClsid", "@", kAutomationMarshaller);
        store->setValue(key + "\\ProxyStubClsid32", "@", kAutomationMarshaller);
        store->setValue(key + "\\TypeLib", "@", id);
        store->setValue(key + "\\TypeLib", "Version", library.version);
    }
    return store->commit() ? S_OK : REGDB_E_WRITEREGDB;
}

HRESULT unregisterTypeLibrary(const TypeLibraryRegistration& library) {
    const std::unique_ptr<ClassStore> store = registrationStore();
    if (!store) return REGDB_E_WRITEREGDB;
    const std::string id = guidToString(library.libid);
    store->removeTree("TypeLib\\" + id);
    for (const InterfaceRegistration& i : library.interfaces) {
        const std::string key = "Interface\\" + guidToString(i.iid);
        auto named = store->value(key + "\\TypeLib", "@");
        if (named && equalsNoCase(*named, id)) store->removeTree(key);
    }
    return store->commit() ? S_OK : REGDB_E_WRITEREGDB;
}

std::optional<std::string> lookup(std::string_view key, std::string_view name) { return storedValue(key, name); }

HRESULT clsidFromProgId(std::string_view progId, CLSID& out) {
    if (progId.empty()) return CO_E_CLASSSTRING;
    std::string name(progId);
    for (int hops = 0; hops < 4; ++hops) {
        if (auto id = lookup(name + "\\CLSID")) return guidFromString(*id, out) ? S_OK : CO_E_CLASSSTRING;
        auto cur = lookup(name + "\\CurVer");
        if (!cur) break;
        name = *cur;
    }
    return CO_E_CLASSSTRING;
}

std::optional<std::string> inprocServer(const CLSID& clsid) {
    return lookup("CLSID\\" + guidToString(clsid) + "\\InprocServer32");
}

} // namespace vorsan::registry
