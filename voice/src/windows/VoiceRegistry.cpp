// The voices category of the speech API in the Windows registry:
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Speech\Voices\Tokens\<key>, in the
// 64-bit view, each token with its name as default value and under the
// value named by its language identifier, the voice's CLSID, and the
// Attributes key (Name, Language, Gender, Age, Vendor).
#include "VoiceTokens.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <optional>

#include "vorsan/core/Text.h"

namespace vorsan::voice {

namespace {

constexpr const wchar_t* kTokens = L"SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens";
constexpr REGSAM kView = KEY_WOW64_64KEY;

std::wstring wide(std::string_view utf8) {
    const std::u16string units = utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string narrow(std::wstring_view w) { return utf16ToUtf8(std::u16string(w.begin(), w.end())); }

class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (h_) ::RegCloseKey(h_);
    }
    bool create(HKEY parent, const std::wstring& path) {
        return ::RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_READ | KEY_WRITE | kView, nullptr, &h_, nullptr) == ERROR_SUCCESS;
    }
    bool open(HKEY parent, const std::wstring& path, REGSAM access = KEY_READ) {
        return ::RegOpenKeyExW(parent, path.c_str(), 0, access | kView, &h_) == ERROR_SUCCESS;
    }
    bool set(const std::wstring& name, const std::wstring& value) {
        return ::RegSetValueExW(h_, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<::DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    std::optional<std::wstring> get(const wchar_t* sub, const wchar_t* name) const {
        ::DWORD bytes = 0;
        if (::RegGetValueW(h_, sub, name, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS) return {};
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<::DWORD>(text.size() * sizeof(wchar_t));
        if (::RegGetValueW(h_, sub, name, RRF_RT_REG_SZ, nullptr, text.data(), &bytes) != ERROR_SUCCESS) return {};
        text.resize(wcsnlen(text.c_str(), text.size()));
        return text;
    }
    HKEY get() const { return h_; }

private:
    HKEY h_ = nullptr;
};

bool sameText(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// The keys of the tokens that name `clsid`.
std::vector<std::wstring> tokensNaming(const std::wstring& clsid) {
    std::vector<std::wstring> keys;
    Key tokens;
    if (!tokens.open(HKEY_LOCAL_MACHINE, kTokens)) return keys;
    wchar_t name[256];
    for (::DWORD i = 0;; ++i) {
        ::DWORD length = 256;
        const LSTATUS r = ::RegEnumKeyExW(tokens.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS) continue;
        if (auto named = tokens.get(name, L"CLSID"); named && sameText(*named, clsid)) keys.emplace_back(name, length);
    }
    return keys;
}

bool removeTokens(const std::wstring& clsid) {
    Key tokens;
    if (!tokens.open(HKEY_LOCAL_MACHINE, kTokens, KEY_READ | KEY_WRITE)) return true; // no category, no token
    bool ok = true;
    for (const std::wstring& key : tokensNaming(clsid)) {
        const LSTATUS r = ::RegDeleteTreeW(tokens.get(), key.c_str()); // the key with all below it
        if (r != ERROR_SUCCESS && r != ERROR_FILE_NOT_FOUND) ok = false;
    }
    return ok;
}

std::optional<std::string> defaultValue(HKEY root, const wchar_t* path) {
    Key k;
    if (!k.open(root, path)) return {};
    auto v = k.get(nullptr, nullptr);
    if (!v || v->empty()) return {};
    return narrow(*v);
}

} // namespace

std::string installationFolder(const std::string& fallback) {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        if (auto folder = defaultValue(root, L"Software\\Nimbrel")) return *folder;
    return fallback;
}

HRESULT registerVoiceTokens(const std::vector<VoiceTokenRecord>& tokens, const CLSID& clsid) {
    const std::wstring id = wide(guidToString(clsid));
    if (!removeTokens(id)) return REGDB_E_WRITEREGDB;
    bool ok = true;
    for (const VoiceTokenRecord& t : tokens) {
        Key token, attributes;
        const std::wstring path = std::wstring(kTokens) + L"\\" + wide(t.key);
        if (!token.create(HKEY_LOCAL_MACHINE, path) || !attributes.create(token.get(), L"Attributes")) {
            ok = false;
            continue;
        }
        const std::wstring name = wide(t.name), language = wide(lcidText(t.lcid));
        ok = token.set(L"", name) && token.set(language, name) && token.set(L"CLSID", id) &&
             attributes.set(L"Name", name) && attributes.set(L"Language", language) &&
             attributes.set(L"Gender", L"Male") && attributes.set(L"Age", L"Adult") &&
             attributes.set(L"Vendor", L"Vorsan") && ok;
    }
    return ok ? S_OK : REGDB_E_WRITEREGDB;
}

HRESULT unregisterVoiceTokens(const CLSID& clsid) {
    return removeTokens(wide(guidToString(clsid))) ? S_OK : REGDB_E_WRITEREGDB;
}

} // namespace vorsan::voice
