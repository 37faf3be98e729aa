// Late binding of VorsanAPI: member names and Invoke by dispatch id, mapped
// onto the interface's members.
#include "DispatchSupport.h"
#include "VorsanApiObject.h"

namespace vorsan::server {

namespace {

constexpr MemberName kNames[] = {
    {u"LoadConfiguration", 1},          {u"UnloadConfiguration", 2},
    {u"LanguageSupported", 3},          {u"EmotionDatabaseSupported", 4},
    {u"AccentDatabaseSupported", 5},    {u"EmotionSet", 6},
    {u"AccentSet", 7},                  {u"MoodExistsInDatabase", 8},
    {u"PrimaryLanguage", 9},            {u"AllSupportedLanguages", 10},
    {u"Dialect", 11},                   {u"MbrolaDatabase", 12},
    {u"Pitch", 13},                     {u"Time", 14},
    {u"VoiceFrequency", 15},            {u"SuitableEmotionDatabase", 16},
    {u"SuitableAccentDatabase", 17},    {u"EmotionDatabase", 18},
    {u"AccentDatabase", 19},            {u"AllEmotionDatabases", 20},
    {u"AllAccentDatabases", 21},        {u"AllMoodsInDatabase", 22},
    {u"ActiveMood", 23},                {u"AddLanguageDatabase", 24},
    {u"AddEmotionDatabase", 25},        {u"AddAccentDatabase", 26},
    {u"RemoveLanguageDatabase", 27},    {u"RemoveEmotionDatabase", 28},
    {u"RemoveAccentDatabase", 29},      {u"ConvertTextToSoundFile", 30},
    {u"ConvertTextToPhoneme", 31},      {u"SpeakText", 32},
    {u"SpeakPhoneme", 33},              {u"SpeakPhonemeList", 34},
    {u"StopSpeaking", 35},              {u"AU", 36},
    {u"AIFF", 37},                      {u"WAVE", 38},
    {u"SpeakPhonemeSet", 39},           {u"ApplyMood", 40},
    {u"ChangeAccent", 41},
};

HRESULT bstrResult(HRESULT h, BSTR v, VARIANT* result) {
    if (SUCCEEDED(h)) setResultBstr(result, v);
    return h;
}

template <class T>
HRESULT objectResult(HRESULT h, T* v, VARIANT* result) {
    if (SUCCEEDED(h)) setResultDispatch(result, v);
    return h;
}

} // namespace

HRESULT VorsanApiObject::idsOfNames(OLECHAR** names, UINT count, DISPID* ids) {
    return lookupNames(kNames, names, count, ids);
}

HRESULT VorsanApiObject::invokeOwn(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                   UINT* argErr) {
    HRESULT h = invokeMember(id, flags, params, result, argErr);
    if (h == DISP_E_EXCEPTION) fillExcepInfo(excep, h);
    return h;
}

HRESULT VorsanApiObject::invokeMember(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, UINT* argErr) {
    DispArgs a(params, flags, argErr);
    const bool put = wantsPut(flags);
    const bool get = !put && wantsGet(flags);
    const bool method = !put && wantsMethod(flags);
    HRESULT h;
    BSTR s0 = nullptr, s1 = nullptr, s2 = nullptr;
    LONG l0 = 0, l1 = 0, l2 = 0;
    SHORT i0 = 0;
    float f0 = 0, f1 = 0;

// Reads the arguments in order, returning on the first failure.
#define ARGS(n, ...)                                          \
    if (FAILED(h = a.expect(n))) return h;                    \
    for (HRESULT r : {__VA_ARGS__})                           \
        if (FAILED(r)) return r;

    switch (id) {
    case 1:
    case 2:
    case 35:
        if (!method) return DISP_E_MEMBERNOTFOUND;
        if (FAILED(h = a.expect(0))) return h;
        return id == 1 ? LoadConfiguration() : id == 2 ? UnloadConfiguration() : StopSpeaking();

    case 3: case 4: case 5: case 6: case 7: {
        if (!get) return DISP_E_MEMBERNOTFOUND;
        ARGS(1, a.str(0, s0));
        LONG v = 0;
        h = id == 3 ? get_LanguageSupported(s0, &v)
          : id == 4 ? get_EmotionDatabaseSupported(s0, &v)
          : id == 5 ? get_AccentDatabaseSupported(s0, &v)
          : id == 6 ? get_EmotionSet(s0, &v)
                    : get_AccentSet(s0, &v);
        if (SUCCEEDED(h)) setResult(result, v);
        return h;
    }
    case 8: {
        if (!get) return DISP_E_MEMBERNOTFOUND;
        ARGS(2, a.str(0, s0), a.str(1, s1));
        LONG v = 0;
        h = get_MoodExistsInDatabase(s0, s1, &v);
        if (SUCCEEDED(h)) setResult(result, v);
        return h;
    }
    case 9:
        if (put) {
            ARGS(1, a.str(0, s0));
            return put_PrimaryLanguage(s0);
        }
        if (!get) return DISP_E_MEMBERNOTFOUND;
        if (FAILED(h = a.expect(0))) return h;
        h = get_PrimaryLanguage(&s0);
        return bstrResult(h, s0, result);

    case 10: case 20: case 21: {
        if (!get) return DISP_E_MEMBERNOTFOUND;
        if (FAILED(h = a.expect(0))) return h;
        IMStringList* list = nullptr;
        h = id == 10 ? get_AllSupportedLanguages(&list)
          : id == 20 ? get_AllEmotionDatabases(&list)
                     : get_AllAccentDatabases(&list);
        return objectResult(h, list, result);
    }
    case 16: case 17: case 22: {
        if (!get) return DISP_E_MEMBERNOTFOUND;
        ARGS(1, a.str(0, s0));
        IMStringList* list = nullptr;
        h = id == 16 ? get_SuitableEmotionDatabase(s0, &list)
          : id == 17 ? get_SuitableAccentDatabase(s0, &list)
                     : get_AllMoodsInDatabase(s0, &list);
        return objectResult(h, list, result);
    }
    case 11: case 12:
        if (!get) return DISP_E_MEMBERNOTFOUND;
        ARGS(1, a.str(0, s0));
        h = id == 11 ? get_Dialect(s0, &s1) : get_MbrolaDatabase(s0, &s1);
        return bstrResult(h, s1, result);

    case 13: case 14:
        if (put) {
            ARGS(2, a.str(0, s0), a.r4(1, f0));
            return id == 13 ? put_Pitch(s0, f0) : put_Time(s0, f0);
        }
        if (!get) return DISP_E_MEMBERNOTFOUND;
        ARGS(1, a.str(0, s0));
        h = id == 13 ? get_Pitch(s0, &f0) : get_Time(s0, &f0);
        if (SUCCEEDED(h)) setResult(result, f0);
        return h;

    case 15:
        if (put) {
            ARGS(2, a.str(0, s0), a.i2(1, i0));
            return put_VoiceFrequency(s0, i0);
        }
        if (!get) return DISP_E_MEMBERNOTFOUND;
        ARGS(1, a.str(0, s0));
        h = get_VoiceFrequency(s0, &i0);
        if (SUCCEEDED(h)) setResult(result, i0);
        return h;

    case 18: case 19: case 23:
        if (put) {
            ARGS(2, a.str(0, s0), a.str(1, s1));
            return id == 18 ? put_EmotionDatabase(s0, s1)
                 : id == 19 ? put_AccentDatabase(s0, s1)
                            : put_ActiveMood(s0, s1);
        }
        if (!get) return DISP_E_MEMBERNOTFOUND;
        ARGS(1, a.str(0, s0));
        h = id == 18 ? get_EmotionDatabase(s0, &s1)
          : id == 19 ? get_AccentDatabase(s0, &s1)
                     : get_ActiveMood(s0, &s1);
        return bstrResult(h, s1, result);

    case 24: case 25: case 26:
        if (!method) return DISP_E_MEMBERNOTFOUND;
        ARGS(1, a.str(0, s0));
        h = id == 24 ? AddLanguageDatabase(s0, &s1)
          : id == 25 ? AddEmotionDatabase(s0, &s1)
                     : AddAccentDatabase(s0, &s1);
        return bstrResult(h, s1, result);

    case 27: case 28: case 29:
        if (!method) return DISP_E_MEMBERNOTFOUND;
        ARGS(1, a.str(0, s0));
        return id == 27 ? RemoveLanguageDatabase(s0)
             : id == 28 ? RemoveEmotionDatabase(s0)
                        : RemoveAccentDatabase(s0);

    case 30: {
        if (!method) return DISP_E_MEMBERNOTFOUND;
        ARGS(4, a.str(0, s0), a.i4(1, l0), a.i4(2, l1), a.i2(3, i0));
        IMStringList* list = nullptr;
        h = ConvertTextToSoundFile(s0, l0, l1, i0, &list);
        return objectResult(h, list, result);
    }
    case 31: {
        if (!method) return DISP_E_MEMBERNOTFOUND;
        ARGS(4, a.str(0, s0), a.i4(1, l0), a.i4(2, l1), a.i4(3, l2));
        IPhonemeList* list = nullptr;
        h = ConvertTextToPhoneme(s0, l0, l1, l2, &list);
        return objectResult(h, list, result);
    }
    case 32:
        if (!method) return DISP_E_MEMBERNOTFOUND;
        ARGS(3, a.str(0, s0), a.i4(1, l0), a.i4(2, l1));
        return SpeakText(s0, l0, l1);

    case 33:
        if (!method) return DISP_E_MEMBERNOTFOUND;
        ARGS(5, a.str(0, s0), a.str(1, s1), a.r4(2, f0), a.r4(3, f1), a.i2(4, i0));
        return SpeakPhoneme(s0, s1, f0, f1, i0);

    case 34: {
        if (!method) return DISP_E_MEMBERNOTFOUND;
        ComPtr<IPhonemeList> list;
        ARGS(1, a.object(0, IID_IPhonemeList, list.putVoid()));
        return SpeakPhonemeList(list.get());
    }
    case 39: {
        if (!method) return DISP_E_MEMBERNOTFOUND;
        ComPtr<IPhoneme> phone;
        ARGS(1, a.object(0, IID_IPhoneme, phone.putVoid()));
        return SpeakPhonemeSet(phone.get());
    }
    case 36: case 37: case 38:
        if (!get) return DISP_E_MEMBERNOTFOUND;
        if (FAILED(h = a.expect(0))) return h;
        h = id == 36 ? get_AU(&i0) : id == 37 ? get_AIFF(&i0) : get_WAVE(&i0);
        setResult(result, i0);
        return h;

    case 40:
        if (!method) return DISP_E_MEMBERNOTFOUND;
        ARGS(3, a.str(0, s0), a.str(1, s1), a.str(2, s2));
        {
            BSTR out = nullptr;
            h = ApplyMood(s0, s1, s2, &out);
            return bstrResult(h, out, result);
        }

    case 41: {
        if (!method) return DISP_E_MEMBERNOTFOUND;
        ARGS(2, a.str(0, s0), a.str(1, s1));
        IPhoneme* phone = nullptr;
        h = ChangeAccent(s0, s1, &phone);
        return objectResult(h, phone, result);
    }
    default: return DISP_E_MEMBERNOTFOUND;
    }
#undef ARGS
}

} // namespace vorsan::server
