// Phoneme: one speech chunk in automation types.
#include "DispatchSupport.h"
#include "DispatchObject.h"
#include "ValueObjects.h"

namespace vorsan::server {

namespace {

constexpr MemberName kNames[] = {
    {u"PhoneString", 1}, {u"MbrolaDatabase", 2}, {u"Pitch", 3}, {u"Time", 4}, {u"VoiceFrequency", 5}};

HRESULT copyOut(const Bstr& s, BSTR* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = s.isNull() ? nullptr : bstrFrom(s.view());
    return s.isNull() || *pVal ? S_OK : E_OUTOFMEMORY;
}

HRESULT copyIn(BSTR v, Bstr& into) {
    Bstr copy = v ? Bstr(bstrView(v)) : Bstr();
    if (v && copy.isNull()) return E_OUTOFMEMORY;
    into = std::move(copy);
    return S_OK;
}

class PhonemeObject final : public DispatchObject<PhonemeObject, IPhoneme, IID_IPhoneme> {
public:
    static HRESULT idsOfNames(OLECHAR** names, UINT count, DISPID* ids) {
        return lookupNames(kNames, names, count, ids);
    }

    HRESULT get_PhoneString(BSTR* p) override { return copyOut(phoneString_, p); }
    HRESULT put_PhoneString(BSTR v) override { return copyIn(v, phoneString_); }
    HRESULT get_MbrolaDatabase(BSTR* p) override { return copyOut(mbrolaDatabase_, p); }
    HRESULT put_MbrolaDatabase(BSTR v) override { return copyIn(v, mbrolaDatabase_); }
    HRESULT get_Pitch(float* p) override { return p ? (*p = pitch_, S_OK) : E_POINTER; }
    HRESULT put_Pitch(float v) override { return pitch_ = v, S_OK; }
    HRESULT get_Time(float* p) override { return p ? (*p = time_, S_OK) : E_POINTER; }
    HRESULT put_Time(float v) override { return time_ = v, S_OK; }
    HRESULT get_VoiceFrequency(SHORT* p) override { return p ? (*p = frequency_, S_OK) : E_POINTER; }
    // A sampling frequency must be positive.
    HRESULT put_VoiceFrequency(SHORT v) override {
        if (v <= 0) return E_INVALIDARG;
        frequency_ = v;
        return S_OK;
    }

    HRESULT invokeOwn(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT* argErr) {
        if (id < 1 || id > 5) return DISP_E_MEMBERNOTFOUND;
        DispArgs args(params, flags, argErr);
        if (wantsPut(flags)) {
            if (HRESULT h = args.expect(1); FAILED(h)) return h;
            switch (id) {
            case 1:
            case 2: {
                BSTR v;
                if (HRESULT h = args.str(0, v); FAILED(h)) return h;
                return id == 1 ? put_PhoneString(v) : put_MbrolaDatabase(v);
            }
            case 3:
            case 4: {
                float v;
                if (HRESULT h = args.r4(0, v); FAILED(h)) return h;
                return id == 3 ? put_Pitch(v) : put_Time(v);
            }
            default: {
                SHORT v;
                if (HRESULT h = args.i2(0, v); FAILED(h)) return h;
                return put_VoiceFrequency(v);
            }
            }
        }
        if (!wantsGet(flags)) return DISP_E_MEMBERNOTFOUND;
        if (HRESULT h = args.expect(0); FAILED(h)) return h;
        switch (id) {
        case 1:
        case 2: {
            BSTR v = nullptr;
            HRESULT h = id == 1 ? get_PhoneString(&v) : get_MbrolaDatabase(&v);
            if (FAILED(h)) return h;
            setResultBstr(result, v);
            return S_OK;
        }
        case 3: setResult(result, pitch_); return S_OK;
        case 4: setResult(result, time_); return S_OK;
        default: setResult(result, frequency_); return S_OK;
        }
    }

private:
    Bstr phoneString_;
    Bstr mbrolaDatabase_;
    // A new Phoneme speaks with the engine's neutral settings.
    float pitch_ = 1.0f;
    float time_ = 1.0f;
    SHORT frequency_ = 16000;
};

} // namespace

HRESULT createPhoneme(REFIID iid, void** ppv) { return createObject<PhonemeObject>(iid, ppv); }

} // namespace vorsan::server
