// Only the platform's headers here (the speech API's sapi.h among them).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <objbase.h>
#include <sapi.h>

#include "SpeechApiSide.h"

namespace vorsan::testing {

namespace {

constexpr const wchar_t* kTokens = L"SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens";

std::u16string u16(const wchar_t* s, std::size_t n) { return std::u16string(reinterpret_cast<const char16_t*>(s), n); }
std::u16string u16(const std::wstring& s) { return u16(s.data(), s.size()); }
std::wstring wide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

// Every string value of a key: name (empty for the default) -> value.
std::map<std::u16string, std::u16string> stringValues(HKEY key) {
    std::map<std::u16string, std::u16string> values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256, type = 0, bytes = 0;
        LSTATUS r = ::RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &bytes);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS || type != REG_SZ) continue;
        std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
        nameLength = 256;
        bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        r = ::RegEnumValueW(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes);
        if (r != ERROR_SUCCESS) continue;
        data.resize(wcsnlen(data.c_str(), data.size()));
        values[u16(name, nameLength)] = u16(data);
    }
    return values;
}

} // namespace

std::vector<RegistryVoiceToken> registryVoiceTokens() {
    std::vector<RegistryVoiceToken> tokens;
    HKEY category = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTokens, 0, KEY_READ | KEY_WOW64_64KEY, &category) != ERROR_SUCCESS)
        return tokens;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        const LSTATUS r = ::RegEnumKeyExW(category, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS) continue;
        HKEY token = nullptr, attributes = nullptr;
        if (::RegOpenKeyExW(category, name, 0, KEY_READ | KEY_WOW64_64KEY, &token) != ERROR_SUCCESS) continue;
        RegistryVoiceToken t;
        t.key = u16(name, length);
        t.id = u16(std::wstring(L"HKEY_LOCAL_MACHINE\\") + kTokens + L"\\") + t.key;
        t.values = stringValues(token);
        t.name = t.values[u""];
        t.clsid = t.values[u"CLSID"];
        if (::RegOpenKeyExW(token, L"Attributes", 0, KEY_READ | KEY_WOW64_64KEY, &attributes) == ERROR_SUCCESS) {
            t.attributes = stringValues(attributes);
            ::RegCloseKey(attributes);
        }
        ::RegCloseKey(token);
        tokens.push_back(std::move(t));
    }
    ::RegCloseKey(category);
    return tokens;
}

SpeechApiListing voicesListedBySpeechApi() {
    SpeechApiListing listing;
    const HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ISpObjectTokenCategory* category = nullptr;
    HRESULT h = ::CoCreateInstance(__uuidof(SpObjectTokenCategory), nullptr, CLSCTX_INPROC_SERVER,
                                   __uuidof(ISpObjectTokenCategory), reinterpret_cast<void**>(&category));
    IEnumSpObjectTokens* tokens = nullptr;
    if (SUCCEEDED(h)) h = category->SetId(SPCAT_VOICES, FALSE);
    if (SUCCEEDED(h)) h = category->EnumTokens(nullptr, nullptr, &tokens);
    if (SUCCEEDED(h)) {
        ISpObjectToken* token = nullptr;
        ULONG fetched = 0;
        while (tokens->Next(1, &token, &fetched) == S_OK && fetched == 1) {
            LPWSTR id = nullptr;
            if (SUCCEEDED(token->GetId(&id)) && id) listing.ids.push_back(u16(id, wcslen(id)));
            ::CoTaskMemFree(id);
            token->Release();
        }
        tokens->Release();
    }
    if (category) category->Release();
    if (SUCCEEDED(init)) ::CoUninitialize();
    listing.result = h;
    return listing;
}

std::optional<std::u16string> classesValue(const std::u16string& key, const std::u16string& name) {
    const std::wstring path = L"Software\\Classes\\" + wide(key), value = wide(name);
    const wchar_t* valueName = value.empty() ? nullptr : value.c_str();
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        DWORD bytes = 0;
        if (::RegGetValueW(root, path.c_str(), valueName, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
            continue;
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (::RegGetValueW(root, path.c_str(), valueName, RRF_RT_REG_SZ, nullptr, text.data(), &bytes) != ERROR_SUCCESS)
            continue;
        text.resize(wcsnlen(text.c_str(), text.size()));
        return u16(text);
    }
    return {};
}

bool setUserInstallationFolder(const std::string& folderUtf8) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, folderUtf8.c_str(), -1, nullptr, 0);
    std::wstring folder(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, folderUtf8.c_str(), -1, folder.data(), n);
    return ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Nimbrel", nullptr, REG_SZ, folder.c_str(),
                             static_cast<DWORD>(folder.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

long callRegistration(const std::string& libraryUtf8, bool unregister) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, libraryUtf8.c_str(), -1, nullptr, 0);
    std::wstring path(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, libraryUtf8.c_str(), -1, path.data(), n);
    HMODULE library = ::LoadLibraryW(path.c_str());
    if (!library) return static_cast<long>(HRESULT_FROM_WIN32(::GetLastError()));
    using Entry = HRESULT(STDAPICALLTYPE*)();
    const auto entry = reinterpret_cast<Entry>(
        reinterpret_cast<void*>(::GetProcAddress(library, unregister ? "DllUnregisterServer" : "DllRegisterServer")));
    const HRESULT h = entry ? entry() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    ::FreeLibrary(library);
    return h;
}

} // namespace vorsan::testing
