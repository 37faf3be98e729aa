#include "CollectionObject.h"
#include "ValueObjects.h"

namespace vorsan::server {

HRESULT createMStringList(REFIID iid, void** ppv) { return createObject<MStringListObject>(iid, ppv); }
HRESULT createPhonemeList(REFIID iid, void** ppv) { return createObject<PhonemeListObject>(iid, ppv); }

HRESULT makeMStringList(const StringList& names, IMStringList** out) {
    ComPtr<IMStringList> list;
    if (HRESULT h = createMStringList(IID_IMStringList, list.putVoid()); FAILED(h)) return h;
    for (const auto& n : names) {
        ComPtr<IMString> s;
        if (HRESULT h = makeMString(n, s.put()); FAILED(h)) return h;
        if (HRESULT h = list->Add(s.get()); FAILED(h)) return h;
    }
    *out = list.detach();
    return S_OK;
}

} // namespace vorsan::server
