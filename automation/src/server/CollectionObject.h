#pragma once
// MStringList and PhonemeList: an ordered vector of element interfaces, each
// held with one reference. The collection is its own IEnumVARIANT, on one
// cursor shared by every enumeration of it: _NewEnum resets the cursor and
// hands out the collection itself.
#include <vector>

#include "DispatchSupport.h"
#include "DispatchObject.h"
#include "vorsan/automation/Interfaces.h"

namespace vorsan::server {

inline constexpr MemberName kCollectionNames[] = {
    {u"Item", 0}, {u"Add", 1}, {u"Count", 2}, {u"Remove", 3}, {u"_NewEnum", DISPID_NEWENUM}};

template <class Elem, const IID& ElemIid, class ListIface, const IID& ListIid>
class CollectionObject final
    : public DispatchObject<CollectionObject<Elem, ElemIid, ListIface, ListIid>, ListIface, ListIid,
                            Implements<IEnumVARIANT, IID_IEnumVARIANT>> {
public:
    ~CollectionObject() override {
        for (Elem* e : items_) e->Release();
    }

    static HRESULT idsOfNames(OLECHAR** names, UINT count, DISPID* ids) {
        return lookupNames(kCollectionNames, names, count, ids);
    }

    HRESULT Item(LONG index, Elem** pVal) override {
        if (!pVal) return E_POINTER;
        *pVal = nullptr;
        if (index < 0 || std::size_t(index) >= items_.size()) return E_INVALIDARG;
        *pVal = items_[std::size_t(index)];
        (*pVal)->AddRef();
        return S_OK;
    }
    HRESULT Add(Elem* item) override {
        if (!item) return E_INVALIDARG;
        items_.reserve(items_.size() + 1);  // may throw before the reference is taken
        item->AddRef();
        items_.push_back(item);
        return S_OK;
    }
    HRESULT get_Count(LONG* pVal) override {
        if (!pVal) return E_POINTER;
        *pVal = static_cast<LONG>(items_.size());
        return S_OK;
    }
    HRESULT Remove(LONG index) override {
        if (index < 0 || std::size_t(index) >= items_.size()) return E_INVALIDARG;
        Elem* e = items_[std::size_t(index)];
        items_.erase(items_.begin() + index);
        // An enumeration in progress goes on with the element that followed.
        if (std::size_t(index) < cursor_) --cursor_;
        e->Release();
        return S_OK;
    }
    HRESULT get__NewEnum(IUnknown** pVal) override {
        if (!pVal) return E_POINTER;
        cursor_ = 0;
        *pVal = static_cast<ListIface*>(this);
        this->AddRef();
        return S_OK;
    }

    // At most one element per call.
    HRESULT Next(ULONG celt, VARIANT* rgVar, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (celt == 0) return S_OK;
        if (celt > 1) return E_INVALIDARG;
        if (!rgVar) return E_POINTER;
        VariantInit(rgVar);
        if (cursor_ >= items_.size()) return S_FALSE;
        Elem* e = items_[cursor_++];
        e->AddRef();
        rgVar->vt = VT_DISPATCH;
        rgVar->pdispVal = e;
        if (fetched) *fetched = 1;
        return S_OK;
    }
    // Advances by one element whatever count is asked.
    HRESULT Skip(ULONG) override {
        if (cursor_ < items_.size()) ++cursor_;
        return cursor_ >= items_.size() ? E_INVALIDARG : S_OK;
    }
    HRESULT Reset() override {
        cursor_ = 0;
        return S_OK;
    }
    HRESULT Clone(IEnumVARIANT** ppEnum) override {
        if (ppEnum) *ppEnum = nullptr;
        return E_NOTIMPL;
    }

    HRESULT invokeOwn(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT* argErr) {
        DispArgs args(params, flags, argErr);
        switch (id) {
        case 0: {  // Item, also the default member
            if (!wantsGet(flags)) return DISP_E_MEMBERNOTFOUND;
            LONG index;
            if (HRESULT h = args.expect(1); FAILED(h)) return h;
            if (HRESULT h = args.i4(0, index); FAILED(h)) return h;
            Elem* e = nullptr;
            if (HRESULT h = Item(index, &e); FAILED(h)) return h;
            setResultDispatch(result, e);
            return S_OK;
        }
        case 1: {  // Add
            if (!wantsMethod(flags)) return DISP_E_MEMBERNOTFOUND;
            if (HRESULT h = args.expect(1); FAILED(h)) return h;
            ComPtr<Elem> e;
            if (HRESULT h = args.object(0, ElemIid, e.putVoid()); FAILED(h)) return h;
            return Add(e.get());
        }
        case 2:  // Count
            if (!wantsGet(flags)) return DISP_E_MEMBERNOTFOUND;
            if (HRESULT h = args.expect(0); FAILED(h)) return h;
            setResult(result, static_cast<LONG>(items_.size()));
            return S_OK;
        case 3: {  // Remove
            if (!wantsMethod(flags)) return DISP_E_MEMBERNOTFOUND;
            LONG index;
            if (HRESULT h = args.expect(1); FAILED(h)) return h;
            if (HRESULT h = args.i4(0, index); FAILED(h)) return h;
            return Remove(index);
        }
        case DISPID_NEWENUM: {
            if (!wantsGet(flags)) return DISP_E_MEMBERNOTFOUND;
            if (HRESULT h = args.expect(0); FAILED(h)) return h;
            IUnknown* e = nullptr;
            get__NewEnum(&e);
            setResultUnknown(result, e);
            return S_OK;
        }
        default: return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    std::vector<Elem*> items_;
    std::size_t cursor_ = 0;
};

using MStringListObject = CollectionObject<IMString, IID_IMString, IMStringList, IID_IMStringList>;
using PhonemeListObject = CollectionObject<IPhoneme, IID_IPhoneme, IPhonemeList, IID_IPhonemeList>;

} // namespace vorsan::server
