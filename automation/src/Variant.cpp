#include "vorsan/automation/Variant.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "vorsan/automation/Dispatch.h"
#include "vorsan/core/Text.h"

namespace vorsan {

#if !VORSAN_PLATFORM_COM

void VariantInit(VARIANT* v) {
    v->vt = VT_EMPTY;
    v->dblVal = 0;
}

HRESULT VariantClear(VARIANT* v) {
    if (!v) return E_INVALIDARG;
    switch (v->vt) {
    case VT_BSTR: SysFreeString(v->bstrVal); break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if (v->punkVal) v->punkVal->Release();
        break;
    default: break;
    }
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
    if (!dest || !src) return E_INVALIDARG;
    if (dest == src) return S_OK;
    VARIANT copy = *src;
    if (src->vt == VT_BSTR && src->bstrVal) {
        copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
        if (!copy.bstrVal) return E_OUTOFMEMORY;
    } else if ((src->vt == VT_DISPATCH || src->vt == VT_UNKNOWN) && src->punkVal) {
        src->punkVal->AddRef();
    }
    VariantClear(dest);
    *dest = copy;
    return S_OK;
}

namespace {

// The numeric value of a variant, or a failure code.
HRESULT numberOf(const VARIANT& v, double& out) {
    switch (v.vt) {
    case VT_EMPTY: out = 0; return S_OK;
    case VT_I2: out = v.iVal; return S_OK;
    case VT_I4: out = v.lVal; return S_OK;
    case VT_R4: out = v.fltVal; return S_OK;
    case VT_R8: out = v.dblVal; return S_OK;
    case VT_BOOL: out = v.boolVal ? -1 : 0; return S_OK;
    case VT_BSTR: {
        std::string text = trimBlanks(bstrToUtf8(v.bstrVal));
        if (text.empty()) return DISP_E_TYPEMISMATCH;
        const char* begin = text.c_str();
        char* end = nullptr;
        out = std::strtod(begin, &end);
        if (end != begin + text.size() || std::isnan(out)) return DISP_E_TYPEMISMATCH;
        return S_OK;
    }
    default: return DISP_E_TYPEMISMATCH;
    }
}

template <class T>
HRESULT toInteger(double d, T& out) {
    if (std::isnan(d)) return DISP_E_OVERFLOW;
    double r = std::nearbyint(d);  // half to even, as OLE rounds
    if (r < double(std::numeric_limits<T>::min()) || r > double(std::numeric_limits<T>::max()))
        return DISP_E_OVERFLOW;
    out = static_cast<T>(r);
    return S_OK;
}

template <class T>
std::u16string decimal(T value) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return toU16(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)));
}

} // namespace

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, VARTYPE vt) {
    if (!dest || !src) return E_INVALIDARG;
    if (src->vt == vt) return VariantCopy(dest, src);
    VARIANT out;
    out.vt = vt;
    switch (vt) {
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_BOOL: {
        double d;
        if (HRESULT h = numberOf(*src, d); FAILED(h)) return h;
        HRESULT h = S_OK;
        if (vt == VT_I2) h = toInteger(d, out.iVal);
        else if (vt == VT_I4) h = toInteger(d, out.lVal);
        else if (vt == VT_R8) out.dblVal = d;
        else if (vt == VT_BOOL) out.boolVal = d != 0 ? VARIANT_TRUE : VARIANT_FALSE;
        else if (std::isfinite(d) && std::fabs(d) > double(std::numeric_limits<float>::max())) h = DISP_E_OVERFLOW;
        else out.fltVal = static_cast<float>(d);
        if (FAILED(h)) return h;
        break;
    }
    case VT_BSTR: {
        std::u16string text;
        switch (src->vt) {
        case VT_EMPTY: break;
        case VT_I2: text = decimal(src->iVal); break;
        case VT_I4: text = decimal(src->lVal); break;
        case VT_R4: text = decimal(src->fltVal); break;
        case VT_R8: text = decimal(src->dblVal); break;
        case VT_BOOL: text = src->boolVal ? u"True" : u"False"; break;
        default: return DISP_E_TYPEMISMATCH;
        }
        out.bstrVal = bstrFrom(text);
        if (!out.bstrVal) return E_OUTOFMEMORY;
        break;
    }
    case VT_DISPATCH:
    case VT_UNKNOWN: {
        if (src->vt != VT_DISPATCH && src->vt != VT_UNKNOWN) return DISP_E_TYPEMISMATCH;
        if (!src->punkVal) {
            out.punkVal = nullptr;
        } else if (vt == VT_UNKNOWN) {
            out.punkVal = src->punkVal;
            out.punkVal->AddRef();
        } else {
            void* p = nullptr;
            if (FAILED(src->punkVal->QueryInterface(IID_IDispatch, &p))) return DISP_E_TYPEMISMATCH;
            out.pdispVal = static_cast<IDispatch*>(p);
        }
        break;
    }
    default: return DISP_E_TYPEMISMATCH;
    }
    VariantClear(dest);
    *dest = out;
    return S_OK;
}

#endif

Variant Variant::dispatch(IDispatch* p) {
    Variant r;
    r.vt = VT_DISPATCH;
    r.pdispVal = p;
    if (p) p->AddRef();
    return r;
}

Variant Variant::unknown(IUnknown* p) {
    Variant r;
    r.vt = VT_UNKNOWN;
    r.punkVal = p;
    if (p) p->AddRef();
    return r;
}

void clearExcepInfo(EXCEPINFO* e) {
    if (!e) return;
    SysFreeString(e->bstrSource);
    SysFreeString(e->bstrDescription);
    SysFreeString(e->bstrHelpFile);
    *e = EXCEPINFO{};
}

} // namespace vorsan
