#pragma once
// VARIANT (the platform's on Windows; elsewhere ours, with the types the
// automation classes and their clients use), and an owning holder.
#include <cstdint>
#include <string_view>

#include "vorsan/automation/Bstr.h"

namespace vorsan {

#if VORSAN_PLATFORM_COM

using ::IDispatch;
using ::VARTYPE;
using ::VARIANT_BOOL;
using ::VARIANT;
using ::VariantInit;
using ::VariantClear;

// The platform's, with the source read-only and the flags OLE's default.
inline HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
    return ::VariantCopy(dest, const_cast<VARIANT*>(src));
}
inline HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, VARTYPE vt) {
    return ::VariantChangeType(dest, const_cast<VARIANT*>(src), 0, vt);
}

#else

struct IDispatch;

using VARTYPE = uint16_t;
using VARIANT_BOOL = int16_t;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_BOOL = 11,
    VT_UNKNOWN = 13,
};

struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    union {
        LONG lVal;
        SHORT iVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
    };
    VARIANT() : dblVal(0) {}
};

void VariantInit(VARIANT* v);
// Frees the string or releases the interface held, and leaves VT_EMPTY.
HRESULT VariantClear(VARIANT* v);
// Deep copy (new string, added reference); dest is cleared first.
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
// Converts between the numeric types, VT_BOOL and VT_BSTR (decimal text),
// like OLE's VariantChangeType: DISP_E_TYPEMISMATCH when there is no
// conversion, DISP_E_OVERFLOW when the value does not fit the target.
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, VARTYPE vt);

#endif

// Owning VARIANT holder, like CComVariant.
class Variant : public VARIANT {
public:
    Variant() { VariantInit(this); }
    Variant(const Variant& o) : Variant() { VariantCopy(this, &o); }
    Variant& operator=(const Variant& o) { if (this != &o) VariantCopy(this, &o); return *this; }
    Variant(Variant&& o) noexcept : VARIANT(o) { o.vt = VT_EMPTY; }
    ~Variant() { VariantClear(this); }

    static Variant i2(SHORT v) { Variant r; r.vt = VT_I2; r.iVal = v; return r; }
    static Variant i4(LONG v) { Variant r; r.vt = VT_I4; r.lVal = v; return r; }
    static Variant r4(float v) { Variant r; r.vt = VT_R4; r.fltVal = v; return r; }
    static Variant r8(double v) { Variant r; r.vt = VT_R8; r.dblVal = v; return r; }
    static Variant boolean(bool v) { Variant r; r.vt = VT_BOOL; r.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE; return r; }
    // A VT_BSTR; a null string gives a VT_BSTR holding null.
    static Variant str(std::u16string_view v) { Variant r; r.vt = VT_BSTR; r.bstrVal = bstrFrom(v); return r; }
    static Variant nullStr() { Variant r; r.vt = VT_BSTR; r.bstrVal = nullptr; return r; }
    // Takes its own reference.
    static Variant dispatch(IDispatch* p);
    static Variant unknown(IUnknown* p);
};

} // namespace vorsan
