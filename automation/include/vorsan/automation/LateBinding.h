#pragma once
// Calling an automation object by member name, as a script host does:
// GetIDsOfNames, then Invoke with the arguments in their written order.
#include <initializer_list>
#include <string>

#include "vorsan/automation/Dispatch.h"

namespace vorsan {

struct LateCall {
    HRESULT result = S_OK;
    Variant value;             // the call's result
    std::u16string description;  // EXCEPINFO description on DISP_E_EXCEPTION
    HRESULT scode = S_OK;        // EXCEPINFO scode on DISP_E_EXCEPTION
    UINT argError = 0;         // the failing argument's index in rgvarg
};

// flags: DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT (the
// last argument is then the value put).
LateCall callByName(IDispatch* object, std::u16string_view member, WORD flags,
                    std::initializer_list<Variant> args = {});
LateCall callById(IDispatch* object, DISPID id, WORD flags, std::initializer_list<Variant> args = {});

} // namespace vorsan
