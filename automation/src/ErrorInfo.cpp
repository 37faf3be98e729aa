#include "vorsan/automation/ErrorInfo.h"

#include <atomic>
#include <new>
#include <string>

namespace vorsan {

namespace {

class ErrorInfoObject final : public IErrorInfo {
public:
    ErrorInfoObject(std::u16string_view description, std::u16string_view source, REFIID iid)
        : description_(description), source_(source), iid_(iid) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IErrorInfo) {
            *ppv = static_cast<IErrorInfo*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }
    HRESULT GetGUID(GUID* p) override {
        if (!p) return E_POINTER;
        *p = iid_;
        return S_OK;
    }
    HRESULT GetSource(BSTR* p) override { return copy(source_, p); }
    HRESULT GetDescription(BSTR* p) override { return copy(description_, p); }
    HRESULT GetHelpFile(BSTR* p) override {
        if (!p) return E_POINTER;
        *p = nullptr;
        return S_OK;
    }
    HRESULT GetHelpContext(DWORD* p) override {
        if (!p) return E_POINTER;
        *p = 0;
        return S_OK;
    }

private:
    static HRESULT copy(const std::u16string& s, BSTR* p) {
        if (!p) return E_POINTER;
        *p = bstrFrom(s);
        return *p ? S_OK : E_OUTOFMEMORY;
    }

    std::atomic<ULONG> refs_{0};
    std::u16string description_;
    std::u16string source_;
    IID iid_;
};

// The calling thread's error object; released when the thread ends.
struct ThreadSlot {
    IErrorInfo* info = nullptr;
    ~ThreadSlot() {
        if (info) info->Release();
    }
};
thread_local ThreadSlot slot;

HRESULT localSet(IErrorInfo* info) {
    if (info) info->AddRef();
    IErrorInfo* old = slot.info;
    slot.info = info;
    if (old) old->Release();
    return S_OK;
}

HRESULT localGet(IErrorInfo** info) {
    *info = slot.info;
    slot.info = nullptr;
    return *info ? S_OK : S_FALSE;
}

const ErrorInfoStore localStore{&localSet, &localGet};
std::atomic<const ErrorInfoStore*> attached{nullptr};

} // namespace

const ErrorInfoStore* errorInfoStore() {
    const ErrorInfoStore* s = attached.load();
    return s ? s : &localStore;
}

void attachErrorInfoStore(const ErrorInfoStore* store) {
    // A module never forwards to itself.
    attached.store(store == &localStore ? nullptr : store);
}

HRESULT SetErrorInfo(ULONG, IErrorInfo* info) { return errorInfoStore()->set(info); }

HRESULT GetErrorInfo(ULONG, IErrorInfo** info) {
    if (!info) return E_POINTER;
    return errorInfoStore()->get(info);
}

HRESULT reportError(HRESULT code, std::u16string_view description, std::u16string_view source, REFIID iid) {
    IErrorInfo* info = nullptr;
    try {
        info = new ErrorInfoObject(description, source, iid);
    } catch (const std::bad_alloc&) {
        return code;
    }
    info->AddRef();
    SetErrorInfo(0, info);
    info->Release();
    return code;
}

} // namespace vorsan
