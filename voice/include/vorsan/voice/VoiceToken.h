#pragma once
// A small object token: the voice's name, language and attributes, as a
// client hands it to the voice with SetObjectToken.
#include <cstring>
#include <map>
#include <string>

#include "vorsan/automation/ComObject.h"
#include "vorsan/voice/Sapi.h"

namespace vorsan::sapi {

// Not counted among a server's live objects: the client makes it.
class VoiceToken final : public ComObject<Implements<ISpObjectToken, IID_ISpObjectToken>> {
public:
    // attributes: "Language" (e.g. "hi"), "Gender", "Age", "Vendor", ...
    VoiceToken(std::u16string id, std::u16string name, std::map<std::u16string, std::u16string> attributes)
        : id_(std::move(id)), name_(std::move(name)), attributes_(std::move(attributes)) {}

    HRESULT GetId(LPWSTR* id) override { return copy(id_, id); }
    HRESULT GetStringValue(LPCWSTR name, LPWSTR* value) override {
        if (!name || !*name) return copy(name_, value);
        return GetAttribute(name, value);
    }
    HRESULT GetAttribute(LPCWSTR name, LPWSTR* value) override {
        if (!name) return E_POINTER;
        auto it = attributes_.find(name);
        if (it == attributes_.end()) {
            if (value) *value = nullptr;
            return SPERR_NOT_FOUND;
        }
        return copy(it->second, value);
    }

private:
    ~VoiceToken() override = default;
    static HRESULT copy(const std::u16string& s, LPWSTR* out) {
        if (!out) return E_POINTER;
        *out = static_cast<LPWSTR>(CoTaskMemAlloc((s.size() + 1) * sizeof(char16_t)));
        if (!*out) return E_OUTOFMEMORY;
        std::memcpy(*out, s.c_str(), (s.size() + 1) * sizeof(char16_t));
        return S_OK;
    }

    std::u16string id_, name_;
    std::map<std::u16string, std::u16string> attributes_;
};

} // namespace vorsan::sapi
