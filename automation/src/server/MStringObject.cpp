// MString: one BSTR, Name (null distinct from empty).
#include "DispatchSupport.h"
#include "DispatchObject.h"
#include "ValueObjects.h"

namespace vorsan::server {

namespace {

constexpr MemberName kNames[] = {{u"Name", 1}};

class MStringObject final : public DispatchObject<MStringObject, IMString, IID_IMString> {
public:
    static HRESULT idsOfNames(OLECHAR** names, UINT count, DISPID* ids) {
        return lookupNames(kNames, names, count, ids);
    }

    HRESULT get_Name(BSTR* pVal) override {
        if (!pVal) return E_POINTER;
        *pVal = name_.isNull() ? nullptr : bstrFrom(name_.view());
        return name_.isNull() || *pVal ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT put_Name(BSTR newVal) override {
        Bstr copy = newVal ? Bstr(bstrView(newVal)) : Bstr();
        if (newVal && copy.isNull()) return E_OUTOFMEMORY;
        name_ = std::move(copy);
        return S_OK;
    }

    HRESULT invokeOwn(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT* argErr) {
        if (id != 1 && id != DISPID_VALUE) return DISP_E_MEMBERNOTFOUND;
        DispArgs args(params, flags, argErr);
        if (wantsPut(flags)) {
            BSTR v;
            if (HRESULT h = args.expect(1); FAILED(h)) return h;
            if (HRESULT h = args.str(0, v); FAILED(h)) return h;
            return put_Name(v);
        }
        if (!wantsGet(flags)) return DISP_E_MEMBERNOTFOUND;
        if (HRESULT h = args.expect(0); FAILED(h)) return h;
        BSTR v = nullptr;
        if (HRESULT h = get_Name(&v); FAILED(h)) return h;
        setResultBstr(result, v);
        return S_OK;
    }

private:
    Bstr name_;
};

} // namespace

HRESULT createMString(REFIID iid, void** ppv) { return createObject<MStringObject>(iid, ppv); }

HRESULT makeMString(std::u16string_view name, IMString** out) {
    ComPtr<IMString> s;
    if (HRESULT h = createMString(IID_IMString, s.putVoid()); FAILED(h)) return h;
    Bstr b(name);
    if (b.isNull()) return E_OUTOFMEMORY;
    if (HRESULT h = s->put_Name(b.get()); FAILED(h)) return h;
    *out = s.detach();
    return S_OK;
}

} // namespace vorsan::server
