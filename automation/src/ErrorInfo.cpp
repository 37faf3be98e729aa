#include "vorsan/automation/ErrorInfo.h"
#include "vorsan/automation/ComObject.h"

#include <atomic>
#include <new>
#include <string>

namespace vorsan {

#if VORSAN_PLATFORM_COM

namespace {

// OLE keeps the thread's error object for the whole process.
HRESULT platformSet(IErrorInfo* info) { return ::SetErrorInfo(0, info); }
HRESULT platformGet(IErrorInfo** info) { return ::GetErrorInfo(0, info); }
const ErrorInfoStore platformStore{&platformSet, &platformGet};

} // namespace

const ErrorInfoStore* errorInfoStore() { return &platformStore; }

void attachErrorInfoStore(const ErrorInfoStore*) {}

HRESULT reportError(HRESULT code, std::u16string_view description, std::u16string_view source, REFIID iid) {
    ICreateErrorInfo* create = nullptr;
    if (FAILED(::CreateErrorInfo(&create))) return code;
    const std::u16string text(description), from(source);
    create->SetGUID(iid);
    create->SetDescription(const_cast<OLECHAR*>(oleText(text.c_str())));
    create->SetSource(const_cast<OLECHAR*>(oleText(from.c_str())));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
        ::SetErrorInfo(0, info);
        info->Release();
    }
    create->Release();
    return code;
}

#else

namespace {

// Not counted among a server's live objects: a thread keeps the last one
// long after the call that set it, and libraries are never unloaded.
class ErrorInfoObject final : public ComObject<Implements<IErrorInfo, IID_IErrorInfo>> {
public:
    ErrorInfoObject(std::u16string_view description, std::u16string_view source, REFIID iid)
        : description_(description), source_(source), iid_(iid) {}

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

#endif

} // namespace vorsan
