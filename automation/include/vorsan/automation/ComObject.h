#pragma once
// IUnknown written once for every object of this project: an object names
// the interfaces it implements, each with the identifiers QueryInterface
// answers with it, and ComObject supplies the reference count and the
// lookup over that table.
#include <atomic>
#include <new>
#include <utility>

#include "vorsan/automation/Com.h"

namespace vorsan {

// One row of an object's interface table: the object derives from I and
// hands itself out as I for each of Iids (I's own identifier, and those of
// the interfaces I derives from that it answers, IDispatch for a dual one).
template <class I, const IID&... Iids>
struct Implements {
    using Interface = I;
    static bool answers(REFIID riid) { return ((riid == Iids) || ...); }
};

// Derives from the interface of every row. IUnknown is answered with the
// first row's interface, so each of the object's interfaces gives the same
// IUnknown. The count starts at 0; the Release that brings it back to 0
// deletes the object.
template <class First, class... Rows>
class ComObject : public First::Interface, public Rows::Interface... {
public:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown) *ppv = static_cast<typename First::Interface*>(this);
        else if (!find<First>(riid, ppv) && !(find<Rows>(riid, ppv) || ...)) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

protected:
    // Virtual, so that `delete this` above reaches the whole object.
    virtual ~ComObject() = default;

private:
    template <class Row>
    bool find(REFIID riid, void** ppv) {
        if (!Row::answers(riid)) return false;
        *ppv = static_cast<typename Row::Interface*>(this);
        return true;
    }

    std::atomic<ULONG> refs_{0};
};

// Creates an object of class T (reference count 0) and hands out `iid` from
// it (one reference); the object is deleted when it does not answer `iid`.
// What T's constructor throws is passed on.
template <class T, class... A>
HRESULT createObject(REFIID iid, void** ppv, A&&... args) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    T* object = new (std::nothrow) T(std::forward<A>(args)...);
    if (!object) return E_OUTOFMEMORY;
    object->AddRef();
    const HRESULT h = object->QueryInterface(iid, ppv);
    object->Release();
    return h;
}

} // namespace vorsan
