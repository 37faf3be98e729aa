#pragma once
// The shared base of the server's automation objects: a counted object
// whose own interface is dual (answered for IDispatch too), with IDispatch's
// members. Late binding on Windows is served from the type library embedded
// in the server (names, argument coercion, by-reference arguments and error
// info as OLE does them); elsewhere, or when that library cannot be loaded,
// from the object's own tables.
// Derived supplies `static HRESULT idsOfNames(OLECHAR**, UINT, DISPID*)` and
// `HRESULT invokeOwn(DISPID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)`;
// More lists further interfaces as Implements rows.
#include "TypeLibrary.h"
#include "vorsan/automation/Dispatch.h"
#include "vorsan/automation/ServerSupport.h"

namespace vorsan::server {

template <class Derived, class Iface, const IID& Iid, class... More>
class DispatchObject : public serversupport::ServerObject<Implements<Iface, Iid, IID_IDispatch>, More...> {
public:
    HRESULT GetTypeInfoCount(UINT* pctinfo) override {
        if (!pctinfo) return E_POINTER;
        *pctinfo = typeInfo(Iid).described ? 1 : 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT index, LCID, ITypeInfo** pp) override {
        if (!pp) return E_POINTER;
        *pp = nullptr;
#if VORSAN_PLATFORM_COM
        if (ITypeInfo* described = typeInfo(Iid).described) {
            if (index != 0) return DISP_E_BADINDEX;
            described->AddRef();
            *pp = described;
            return S_OK;
        }
#endif
        (void)index;
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(REFIID riid, OLECHAR** names, UINT count, LCID, DISPID* ids) override {
        if (!(riid == IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
#if VORSAN_PLATFORM_COM
        if (ITypeInfo* called = typeInfo(Iid).called) return ::DispGetIDsOfNames(called, names, count, ids);
#endif
        return Derived::idsOfNames(names, count, ids);
    }
    HRESULT Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excep, UINT* argErr) override {
        if (!(riid == IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
#if VORSAN_PLATFORM_COM
        if (ITypeInfo* called = typeInfo(Iid).called) {
            HRESULT h = ::DispInvoke(static_cast<Iface*>(this), called, id, flags, params, result, excep, argErr);
            // A property read written as a call, as script hosts do
            // (JScript's `api.Dialect("Hindi")`), is the read.
            if (h == DISP_E_MEMBERNOTFOUND && flags == DISPATCH_METHOD)
                h = ::DispInvoke(static_cast<Iface*>(this), called, id, DISPATCH_PROPERTYGET, params, result, excep,
                                 argErr);
            return h;
        }
#endif
        return static_cast<Derived*>(this)->invokeOwn(id, flags, params, result, excep, argErr);
    }
};

} // namespace vorsan::server
