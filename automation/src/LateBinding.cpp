#include "vorsan/automation/LateBinding.h"

#include <vector>

namespace vorsan {

LateCall callById(IDispatch* object, DISPID id, WORD flags, std::initializer_list<Variant> args) {
    LateCall call;
    if (!object) {
        call.result = E_POINTER;
        return call;
    }
    // Reverse order, as the call frame wants it.
    std::vector<Variant> frame(args.begin(), args.end());
    std::vector<VARIANT> rgvarg(frame.rbegin(), frame.rend());
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = rgvarg.empty() ? nullptr : rgvarg.data();
    params.cArgs = static_cast<UINT>(rgvarg.size());
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    EXCEPINFO excep{};
    call.result = object->Invoke(id, IID_NULL, 0, flags, &params, &call.value, &excep, &call.argError);
    if (call.result == DISP_E_EXCEPTION) {
        call.description = std::u16string(bstrView(excep.bstrDescription));
        call.scode = excep.scode;
    }
    clearExcepInfo(&excep);
    return call;
}

LateCall callByName(IDispatch* object, std::u16string_view member, WORD flags, std::initializer_list<Variant> args) {
    if (!object) return LateCall{E_POINTER, {}, {}, S_OK, 0};
    std::u16string name(member);
    OLECHAR* names[] = {oleText(name.data())};
    DISPID id = DISPID_UNKNOWN;
    HRESULT h = object->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    if (FAILED(h)) return LateCall{h, {}, {}, S_OK, 0};
    return callById(object, id, flags, args);
}

} // namespace vorsan
