#pragma once
// The shared base of the server's automation objects: a counted object
// whose own interface is dual (answered for IDispatch too), with the
// type-information members of IDispatch (no type information is served).
// Derived supplies `static HRESULT idsOfNames(OLECHAR**, UINT, DISPID*)`;
// More lists further interfaces as Implements rows.
#include "vorsan/automation/Dispatch.h"
#include "vorsan/automation/ServerSupport.h"

namespace vorsan::server {

template <class Derived, class Iface, const IID& Iid, class... More>
class DispatchObject : public serversupport::ServerObject<Implements<Iface, Iid, IID_IDispatch>, More...> {
public:
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
};

} // namespace vorsan::server
