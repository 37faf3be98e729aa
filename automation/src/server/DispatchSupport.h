#pragma once
// Late-binding helpers of the server's objects: name lookup and the reading
// of a call frame's arguments with OLE's coercions.
#include <deque>
#include <string_view>

#include "vorsan/automation/Dispatch.h"

namespace vorsan::server {

struct MemberName {
    std::u16string_view name;
    DISPID id;
};

// Case-insensitive (ASCII) lookup of names[0]; further names (parameter
// names) are not known. DISP_E_UNKNOWNNAME leaves DISPID_UNKNOWN in the
// slots that were not found.
HRESULT lookupNames(const MemberName* table, std::size_t size, OLECHAR** names, UINT count, DISPID* ids);

template <std::size_t N>
HRESULT lookupNames(const MemberName (&table)[N], OLECHAR** names, UINT count, DISPID* ids) {
    return lookupNames(table, N, names, count, ids);
}

enum class Access { get, put, method };

// Which access the flags ask for: a property get may also be asked as a
// method (as Visual Basic does); DISP_E_MEMBERNOTFOUND for none.
bool wantsGet(WORD flags);
bool wantsPut(WORD flags);
bool wantsMethod(WORD flags);

// The arguments of one Invoke, in written order (a put's value last).
class DispArgs {
public:
    DispArgs(DISPPARAMS* params, WORD flags, UINT* argErr);

    // Checks the frame: `count` arguments in all (a put's value included);
    // only the put value may be named.
    HRESULT expect(UINT count);

    // Conversions; on failure argErr names the argument. The BSTR stays
    // valid until this object ends.
    HRESULT str(UINT i, BSTR& out);
    HRESULT i4(UINT i, LONG& out);
    // 16-bit integers: a value outside -32768..32767 is E_INVALIDARG, never
    // wrapped.
    HRESULT i2(UINT i, SHORT& out);
    HRESULT r4(UINT i, float& out);
    // An object argument asked for interface iid (null allowed).
    HRESULT object(UINT i, REFIID iid, void** out);

private:
    HRESULT convert(UINT i, VARTYPE vt, VARIANT*& out);
    // Names the first argument that failed (all are read before checking).
    void mark(UINT slot);

    DISPPARAMS* params_;
    WORD flags_;
    UINT* argErr_;
    bool marked_ = false;
    std::deque<Variant> converted_;
};

// Result setters; each does nothing when result is null (and releases or
// frees what it was given).
void setResult(VARIANT* result, LONG v);
void setResult(VARIANT* result, SHORT v);
void setResult(VARIANT* result, float v);
void setResultBstr(VARIANT* result, BSTR v);     // takes ownership
void setResultDispatch(VARIANT* result, IDispatch* v);  // takes the reference
void setResultUnknown(VARIANT* result, IUnknown* v);    // takes the reference

// Fills EXCEPINFO from the thread's error object after a member failed with
// DISP_E_EXCEPTION (the error object stays the thread's).
void fillExcepInfo(EXCEPINFO* excep, HRESULT code);

} // namespace vorsan::server
