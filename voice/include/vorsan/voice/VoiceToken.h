#pragma once
// A token made in memory: a voice's name, id and attributes, as a client of
// the speech API hands it to the voice with SetObjectToken. Reads only; the
// parts of a token the voice does not use answer E_NOTIMPL.
#include <cstring>
#include <map>
#include <string>

#include "vorsan/automation/ComObject.h"
#include "vorsan/voice/Sapi.h"

namespace vorsan::sapi {

namespace detail {

inline HRESULT copyString(const std::u16string& s, LPWSTR* out) {
    if (!out) return E_POINTER;
    *out = static_cast<LPWSTR>(CoTaskMemAlloc((s.size() + 1) * sizeof(char16_t)));
    if (!*out) return E_OUTOFMEMORY;
    std::memcpy(*out, s.c_str(), (s.size() + 1) * sizeof(char16_t));
    return S_OK;
}

// The read side of a data key over named string values ("" the default).
template <class Base>
class StringValues : public Base {
public:
    HRESULT GetStringValue(LPCWSTR name, LPWSTR* value) override {
        if (!value) return E_POINTER;
        *value = nullptr;
        const auto it = values_.find(name ? std::u16string(units(name)) : std::u16string());
        return it == values_.end() ? SPERR_NOT_FOUND : copyString(it->second, value);
    }
    HRESULT SetData(LPCWSTR, ULONG, const BYTE*) override { return E_NOTIMPL; }
    HRESULT GetData(LPCWSTR, ULONG*, BYTE*) override { return E_NOTIMPL; }
    HRESULT SetStringValue(LPCWSTR, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT SetDWORD(LPCWSTR, DWORD) override { return E_NOTIMPL; }
    HRESULT GetDWORD(LPCWSTR, DWORD*) override { return SPERR_NOT_FOUND; }
    HRESULT CreateKey(LPCWSTR, ISpDataKey**) override { return E_NOTIMPL; }
    HRESULT DeleteKey(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT DeleteValue(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT EnumKeys(ULONG, LPWSTR*) override { return SPERR_NO_MORE_ITEMS; }
    HRESULT EnumValues(ULONG, LPWSTR*) override { return SPERR_NO_MORE_ITEMS; }

protected:
    std::map<std::u16string, std::u16string> values_;
};

class AttributesKey final : public StringValues<ComObject<Implements<ISpDataKey, IID_ISpDataKey>>> {
public:
    explicit AttributesKey(std::map<std::u16string, std::u16string> values) { values_ = std::move(values); }
    HRESULT OpenKey(LPCWSTR, ISpDataKey** key) override { return key ? (*key = nullptr, SPERR_NOT_FOUND) : E_POINTER; }

private:
    ~AttributesKey() override = default;
};

} // namespace detail

// Not counted among a server's live objects: the client makes it.
class VoiceToken final
    : public detail::StringValues<ComObject<Implements<ISpObjectToken, IID_ISpObjectToken, IID_ISpDataKey>>> {
public:
    // attributes: "Language" (hexadecimal language identifiers, "439"),
    // "Gender", "Age", "Vendor", ...
    VoiceToken(std::u16string id, std::u16string name, std::map<std::u16string, std::u16string> attributes)
        : id_(std::move(id)), attributes_(std::move(attributes)) {
        values_[u""] = std::move(name);
    }

    HRESULT OpenKey(LPCWSTR name, ISpDataKey** key) override {
        if (!key) return E_POINTER;
        *key = nullptr;
        if (!name || std::u16string_view(units(name)) != u"Attributes") return SPERR_NOT_FOUND;
        *key = new detail::AttributesKey(attributes_);
        (*key)->AddRef();
        return S_OK;
    }
    HRESULT GetId(LPWSTR* id) override { return detail::copyString(id_, id); }
    HRESULT SetId(LPCWSTR, LPCWSTR, BOOL) override { return E_NOTIMPL; }
    HRESULT GetCategory(ISpObjectTokenCategory**) override { return E_NOTIMPL; }
    HRESULT CreateInstance(IUnknown*, DWORD, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT GetStorageFileName(REFCLSID, LPCWSTR, LPCWSTR, ULONG, LPWSTR*) override { return E_NOTIMPL; }
    HRESULT RemoveStorageFileName(REFCLSID, LPCWSTR, BOOL) override { return E_NOTIMPL; }
    HRESULT Remove(const CLSID*) override { return E_NOTIMPL; }
    HRESULT IsUISupported(LPCWSTR, void*, ULONG, IUnknown*, BOOL* supported) override {
        if (supported) *supported = 0;
        return S_OK;
    }
    HRESULT DisplayUI(void*, LPCWSTR, LPCWSTR, void*, ULONG, IUnknown*) override { return E_NOTIMPL; }
    HRESULT MatchesAttributes(LPCWSTR, BOOL*) override { return E_NOTIMPL; }

private:
    ~VoiceToken() override = default;

    std::u16string id_;
    std::map<std::u16string, std::u16string> attributes_;
};

} // namespace vorsan::sapi
