#include "DispatchSupport.h"

#include <limits>

#include "vorsan/automation/ErrorInfo.h"

namespace vorsan::server {

namespace {

char16_t fold(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; }

bool sameName(std::u16string_view a, const OLECHAR* b) {
    std::size_t i = 0;
    for (; i < a.size(); ++i)
        if (!b[i] || fold(a[i]) != fold(b[i])) return false;
    return b[i] == 0;
}

} // namespace

HRESULT lookupNames(const MemberName* table, std::size_t size, OLECHAR** names, UINT count, DISPID* ids) {
    if (!names || !ids) return E_POINTER;
    if (count == 0) return S_OK;
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (names[0]) {
        for (std::size_t k = 0; k < size; ++k)
            if (sameName(table[k].name, names[0])) {
                ids[0] = table[k].id;
                break;
            }
    }
    if (ids[0] == DISPID_UNKNOWN || count > 1) result = DISP_E_UNKNOWNNAME;
    return result;
}

bool wantsGet(WORD flags) { return (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) != 0; }
bool wantsPut(WORD flags) { return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }
bool wantsMethod(WORD flags) { return (flags & DISPATCH_METHOD) != 0; }

DispArgs::DispArgs(DISPPARAMS* params, WORD flags, UINT* argErr) : params_(params), flags_(flags), argErr_(argErr) {}

HRESULT DispArgs::expect(UINT count) {
    if (!params_) return E_INVALIDARG;
    if (params_->cArgs > 0 && !params_->rgvarg) return E_INVALIDARG;
    if (wantsPut(flags_)) {
        if (params_->cNamedArgs != 1 || !params_->rgdispidNamedArgs ||
            params_->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return params_->cNamedArgs == 0 ? DISP_E_PARAMNOTFOUND : DISP_E_NONAMEDARGS;
    } else if (params_->cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    return params_->cArgs == count ? S_OK : DISP_E_BADPARAMCOUNT;
}

void DispArgs::mark(UINT slot) {
    if (argErr_ && !marked_) *argErr_ = slot;
    marked_ = true;
}

HRESULT DispArgs::convert(UINT i, VARTYPE vt, VARIANT*& out) {
    UINT slot = params_->cArgs - 1 - i;
    VARIANT* arg = &params_->rgvarg[slot];
    if (arg->vt == vt) {
        out = arg;
        return S_OK;
    }
    Variant& c = converted_.emplace_back();
    HRESULT h = VariantChangeType(&c, arg, vt);
    if (FAILED(h)) {
        mark(slot);
        return h;
    }
    out = &c;
    return S_OK;
}

HRESULT DispArgs::str(UINT i, BSTR& out) {
    VARIANT* v;
    if (HRESULT h = convert(i, VT_BSTR, v); FAILED(h)) return h;
    out = v->bstrVal;
    return S_OK;
}

HRESULT DispArgs::i4(UINT i, LONG& out) {
    VARIANT* v;
    if (HRESULT h = convert(i, VT_I4, v); FAILED(h)) return h;
    out = v->lVal;
    return S_OK;
}

HRESULT DispArgs::i2(UINT i, SHORT& out) {
    VARIANT* v;
    HRESULT h = convert(i, VT_I4, v);
    if (h == DISP_E_OVERFLOW) return E_INVALIDARG;
    if (FAILED(h)) return h;
    if (v->lVal < std::numeric_limits<SHORT>::min() || v->lVal > std::numeric_limits<SHORT>::max()) {
        mark(params_->cArgs - 1 - i);
        return E_INVALIDARG;
    }
    out = static_cast<SHORT>(v->lVal);
    return S_OK;
}

HRESULT DispArgs::r4(UINT i, float& out) {
    VARIANT* v;
    if (HRESULT h = convert(i, VT_R4, v); FAILED(h)) return h;
    out = v->fltVal;
    return S_OK;
}

HRESULT DispArgs::object(UINT i, REFIID iid, void** out) {
    *out = nullptr;
    UINT slot = params_->cArgs - 1 - i;
    const VARIANT& arg = params_->rgvarg[slot];
    if (arg.vt != VT_DISPATCH && arg.vt != VT_UNKNOWN && arg.vt != VT_EMPTY) {
        mark(slot);
        return DISP_E_TYPEMISMATCH;
    }
    if (arg.vt == VT_EMPTY || !arg.punkVal) return S_OK;
    if (FAILED(arg.punkVal->QueryInterface(iid, out))) {
        mark(slot);
        return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

void setResult(VARIANT* result, LONG v) {
    if (!result) return;
    VariantClear(result);
    result->vt = VT_I4;
    result->lVal = v;
}

void setResult(VARIANT* result, SHORT v) {
    if (!result) return;
    VariantClear(result);
    result->vt = VT_I2;
    result->iVal = v;
}

void setResult(VARIANT* result, float v) {
    if (!result) return;
    VariantClear(result);
    result->vt = VT_R4;
    result->fltVal = v;
}

void setResultBstr(VARIANT* result, BSTR v) {
    if (!result) {
        SysFreeString(v);
        return;
    }
    VariantClear(result);
    result->vt = VT_BSTR;
    result->bstrVal = v;
}

void setResultDispatch(VARIANT* result, IDispatch* v) {
    if (!result) {
        if (v) v->Release();
        return;
    }
    VariantClear(result);
    result->vt = VT_DISPATCH;
    result->pdispVal = v;
}

void setResultUnknown(VARIANT* result, IUnknown* v) {
    if (!result) {
        if (v) v->Release();
        return;
    }
    VariantClear(result);
    result->vt = VT_UNKNOWN;
    result->punkVal = v;
}

void fillExcepInfo(EXCEPINFO* excep, HRESULT code) {
    if (!excep) return;
    clearExcepInfo(excep);
    excep->scode = code;
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || !info) return;
    info->GetDescription(&excep->bstrDescription);
    info->GetSource(&excep->bstrSource);
    SetErrorInfo(0, info);  // the caller may still ask for it
    info->Release();
}

} // namespace vorsan::server
