// The class registry's store on Windows: the registry itself, under
// Software\Classes of the machine (HKEY_LOCAL_MACHINE, what regsvr32 run by
// an installer writes, and what every COM runtime reads, Wine's included) or
// of the current user (HKEY_CURRENT_USER, a per-user registration that needs
// no administrator, $VORSAN_REGISTRY_SCOPE "user"). Lookups try the user's
// keys first, as HKEY_CLASSES_ROOT does.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "ClassStore.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/Text.h"

namespace vorsan::registry {

namespace {

std::wstring wide(std::string_view utf8) {
    const std::u16string units = utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

// Class keys live under Software\Classes; a key that names a program's own
// settings ("Software\Nimbrel", the installation folder) is read from the
// root itself, as the installer writes it.
std::wstring classesKey(std::string_view key) {
    constexpr std::string_view software = "software\\";
    std::string head(key.substr(0, software.size()));
    for (char& c : head)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (head == software) return wide(key);
    return L"Software\\Classes\\" + wide(key);
}

// The value's name in the registry: the default value has none.
std::wstring valueName(std::string_view name) { return name == "@" ? std::wstring() : wide(name); }

std::optional<std::string> readValue(HKEY root, std::string_view key, std::string_view name) {
    const std::wstring path = classesKey(key), value = valueName(name);
    DWORD bytes = 0;
    if (::RegGetValueW(root, path.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::RegGetValueW(root, path.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, text.data(), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(wcsnlen(text.c_str(), text.size()));
    return utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

class RegistryStore final : public ClassStore {
public:
    explicit RegistryStore(HKEY root) : root_(root) {}

    std::optional<std::string> value(std::string_view key, std::string_view name) const override {
        return readValue(root_, key, name);
    }

    void setValue(std::string_view key, std::string_view name, std::string_view value) override {
        HKEY k = nullptr;
        if (::RegCreateKeyExW(root_, classesKey(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                              nullptr, &k, nullptr) != ERROR_SUCCESS) {
            ok_ = false;
            return;
        }
        const std::wstring data = wide(value);
        if (::RegSetValueExW(k, valueName(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                             static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
            ok_ = false;
        ::RegCloseKey(k);
    }

    void removeTree(std::string_view key) override {
        const LSTATUS r = ::RegDeleteTreeW(root_, classesKey(key).c_str());
        if (r != ERROR_SUCCESS && r != ERROR_FILE_NOT_FOUND) ok_ = false;
    }

    // Every change was made as it came; this says whether all of them took.
    bool commit() override { return ok_; }

private:
    HKEY root_;
    bool ok_ = true;
};

} // namespace

std::unique_ptr<ClassStore> registrationStore() {
    const bool user = platform::environment("VORSAN_REGISTRY_SCOPE").value_or("") == "user";
    return std::make_unique<RegistryStore>(user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE);
}

std::optional<std::string> storedValue(std::string_view key, std::string_view name) {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        if (auto v = readValue(root, key, name)) return v;
    return std::nullopt;
}

} // namespace vorsan::registry
