#pragma once
// Book-keeping of the server library: live objects and factory locks (for
// DllCanUnloadNow), and the shared base of its automation objects.
#include <atomic>
#include <new>
#include <utility>

#include "vorsan/automation/Dispatch.h"
#include "vorsan/automation/ErrorInfo.h"

namespace vorsan::server {

void objectCreated();
void objectDestroyed();
long liveObjects();
void lockServer(bool lock);
long serverLocks();

// Reference counting, QueryInterface for IUnknown/IDispatch/the class's own
// interface, and the type-information members of IDispatch (no type
// information is served). Derived supplies queryExtra for further
// interfaces and `static HRESULT idsOfNames(OLECHAR**, UINT, DISPID*)`.
template <class Derived, class Iface, const IID& Iid>
class DispatchObject : public Iface {
public:
    DispatchObject() { objectCreated(); }
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == Iid) {
            *ppv = static_cast<Iface*>(this);
        } else if (!static_cast<Derived*>(this)->queryExtra(riid, ppv)) {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG n = --refs_;
        if (n == 0) delete static_cast<Derived*>(this);
        return n;
    }
    HRESULT GetTypeInfoCount(UINT* pctinfo) override {
        if (!pctinfo) return E_POINTER;
        *pctinfo = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** pp) override {
        if (pp) *pp = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(REFIID riid, OLECHAR** names, UINT count, LCID, DISPID* ids) override {
        if (!(riid == IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        return Derived::idsOfNames(names, count, ids);
    }

    bool queryExtra(REFIID, void**) { return false; }

protected:
    ~DispatchObject() { objectDestroyed(); }

private:
    std::atomic<ULONG> refs_{0};
};

// Creates an object of class T (reference count 0) and hands out `iid` from
// it; the object is deleted when that fails.
template <class T, class... A>
HRESULT createObject(REFIID iid, void** ppv, A&&... args) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    T* object = new (std::nothrow) T(std::forward<A>(args)...);
    if (!object) return E_OUTOFMEMORY;
    object->AddRef();
    HRESULT h = object->QueryInterface(iid, ppv);
    object->Release();
    return h;
}

} // namespace vorsan::server
