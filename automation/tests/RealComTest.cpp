// The VorsanCOM server as Windows clients meet it, under real COM: regsvr32
// registration and its removal, the embedded type library against the C++
// interfaces (names, dispatch ids, slot order), class creation by ProgID,
// early and late binding, error info and enumeration.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "vorsan/automation/Creation.h"
#include "vorsan/automation/ErrorInfo.h"
#include "vorsan/automation/Interfaces.h"
#include "vorsan/automation/LateBinding.h"

namespace vorsan {
namespace {

// The library's path as Windows programs name it: Wine shows the build
// tree's POSIX path on drive Z.
std::string windowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

int regsvr32(bool unregister) {
    const std::string command =
        std::string("regsvr32 /s ") + (unregister ? "/u " : "") + "\"" + windowsPath(VORSAN_COM_LIBRARY) + "\"";
    return std::system(command.c_str());
}

std::wstring wide(std::string_view s) { return std::wstring(s.begin(), s.end()); }

// A value of HKEY_CLASSES_ROOT (the default value when name is empty).
std::optional<std::wstring> classesValue(const std::string& key, const char* name = "") {
    wchar_t data[1024];
    DWORD bytes = sizeof data;
    if (::RegGetValueW(HKEY_CLASSES_ROOT, wide(key).c_str(), wide(name).c_str(), RRF_RT_REG_SZ, nullptr, data,
                       &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(data);
}

bool classesKeyExists(const std::string& key) {
    HKEY k = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, wide(key).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    ::RegCloseKey(k);
    return true;
}

const std::string kApiClsid = guidToString(CLSID_VorsanAPI);
const std::string kLibId = guidToString(LIBID_VORSANCOMLib);

class RealCom : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(regsvr32(false), 0); }
    static void TearDownTestSuite() { regsvr32(true); }
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr))); }
    void TearDown() override { ::CoUninitialize(); }
};

TEST_F(RealCom, RegistrationWritesWhatClientsReadAndUnregistrationRemovesIt) {
    const std::string clsidKey = "CLSID\\" + kApiClsid;
    EXPECT_EQ(classesValue(clsidKey), L"VorsanAPI Class");
    EXPECT_EQ(classesValue(clsidKey + "\\InprocServer32").value_or(L""), wide(windowsPath(VORSAN_COM_LIBRARY)));
    EXPECT_EQ(classesValue(clsidKey + "\\InprocServer32", "ThreadingModel"), L"Apartment");
    EXPECT_EQ(classesValue(clsidKey + "\\TypeLib").value_or(L""), wide(kLibId));
    EXPECT_EQ(classesValue("VorsanCOM.VorsanAPI\\CurVer"), L"VorsanCOM.VorsanAPI.1");
    EXPECT_EQ(classesValue("VorsanCOM.PhonemeList.1\\CLSID").value_or(L""), wide(guidToString(CLSID_PhonemeList)));
    EXPECT_EQ(classesValue("TypeLib\\" + kLibId + "\\2.0\\0\\win64").value_or(L""),
              wide(windowsPath(VORSAN_COM_LIBRARY)));
    EXPECT_EQ(classesValue("Interface\\" + guidToString(IID_IVorsanAPI) + "\\TypeLib").value_or(L""), wide(kLibId));
    CLSID byProgId{};
    EXPECT_EQ(::CLSIDFromProgID(L"VorsanCOM.VorsanAPI", &byProgId), S_OK);
    EXPECT_TRUE(byProgId == CLSID_VorsanAPI);

    ASSERT_EQ(regsvr32(true), 0);
    for (const std::string& key : {clsidKey, std::string("VorsanCOM.VorsanAPI"), std::string("VorsanCOM.MString.1"),
                                   "TypeLib\\" + kLibId, "Interface\\" + guidToString(IID_IMStringList)})
        EXPECT_FALSE(classesKeyExists(key)) << key << " is left after unregistering";
    ComPtr<IDispatch> none;
    EXPECT_EQ(createInstance(u"VorsanCOM.VorsanAPI.1", IID_IDispatch, none), CO_E_CLASSSTRING);
    ASSERT_EQ(regsvr32(false), 0);
}

// Slot (0-based, after IDispatch's seven) of each member as the C++
// interfaces declare it, with its dispatch id.
struct Member {
    const wchar_t* name;
    INVOKEKIND kind;
    DISPID id;
    int slot;
};

void expectMembers(ITypeLib* library, REFIID iid, const std::vector<Member>& members) {
    ComPtr<ITypeInfo> described;
    ASSERT_EQ(library->GetTypeInfoOfGuid(iid, described.put()), S_OK) << guidToString(iid);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(described->GetTypeAttr(&attr), S_OK);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL) << guidToString(iid) << " is dual";
    described->ReleaseTypeAttr(attr);
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> vtable;
    ASSERT_EQ(described->GetRefTypeOfImplType(-1, &ref), S_OK);
    ASSERT_EQ(described->GetRefTypeInfo(ref, vtable.put()), S_OK);
    for (const Member& m : members) {
        OLECHAR* names[] = {const_cast<OLECHAR*>(m.name)};
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(vtable->GetIDsOfNames(names, 1, &id), S_OK) << m.name;
        EXPECT_EQ(id, m.id) << m.name;
        UINT index = 0;
        ComPtr<ITypeInfo2> info2;
        ASSERT_EQ(vtable.as(IID_ITypeInfo2, info2), S_OK);
        ASSERT_EQ(info2->GetFuncIndexOfMemId(m.id, m.kind, &index), S_OK) << m.name;
        FUNCDESC* f = nullptr;
        ASSERT_EQ(vtable->GetFuncDesc(index, &f), S_OK);
        EXPECT_EQ(f->oVft / static_cast<int>(sizeof(void*)) - 7, m.slot) << m.name;
        vtable->ReleaseFuncDesc(f);
    }
}

TEST_F(RealCom, TypeLibraryMatchesTheInterfacesSlotForSlot) {
    ComPtr<ITypeLib> library;
    ASSERT_EQ(::LoadRegTypeLib(LIBID_VORSANCOMLib, 2, 0, 1033, library.put()), S_OK);
    constexpr INVOKEKIND get = INVOKE_PROPERTYGET, put = INVOKE_PROPERTYPUT, call = INVOKE_FUNC;
    expectMembers(library.get(), IID_IMString, {{L"Name", get, 1, 0}, {L"Name", put, 1, 1}});
    expectMembers(library.get(), IID_IPhoneme,
                  {{L"PhoneString", get, 1, 0}, {L"MbrolaDatabase", put, 2, 3}, {L"Pitch", get, 3, 4},
                   {L"Time", put, 4, 7}, {L"VoiceFrequency", get, 5, 8}, {L"VoiceFrequency", put, 5, 9}});
    for (REFIID list : {IID_IMStringList, IID_IPhonemeList})
        expectMembers(library.get(), list,
                      {{L"Item", call, 0, 0}, {L"Add", call, 1, 1}, {L"Count", get, 2, 2}, {L"Remove", call, 3, 3},
                       {L"_NewEnum", get, DISPID_NEWENUM, 4}});
    expectMembers(library.get(), IID_IVorsanAPI,
                  {{L"LoadConfiguration", call, 1, 0},      {L"LanguageSupported", get, 3, 2},
                   {L"MoodExistsInDatabase", get, 8, 7},    {L"PrimaryLanguage", put, 9, 9},
                   {L"AllSupportedLanguages", get, 10, 10}, {L"Pitch", put, 13, 14},
                   {L"VoiceFrequency", put, 15, 18},        {L"AccentDatabase", put, 19, 24},
                   {L"ActiveMood", put, 23, 29},            {L"AddLanguageDatabase", call, 24, 30},
                   {L"ConvertTextToSoundFile", call, 30, 36}, {L"ConvertTextToPhoneme", call, 31, 37},
                   {L"StopSpeaking", call, 35, 41},         {L"WAVE", get, 38, 44},
                   {L"SpeakPhonemeSet", call, 39, 45},      {L"ChangeAccent", call, 41, 47}});
}

TEST_F(RealCom, EarlyAndLateBindingReachTheSameObjectAndErrorsCarryTheirDescription) {
    ComPtr<IVorsanAPI> api;
    ASSERT_EQ(createInstance(u"VorsanCOM.VorsanAPI.1", IID_IVorsanAPI, api), S_OK);
    UINT count = 0;
    EXPECT_EQ(api->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);

    // Early binding: the vtable.
    SHORT wave = -1;
    EXPECT_EQ(api->get_WAVE(&wave), S_OK);
    EXPECT_EQ(wave, kFileTypeWAVE);
    Bstr hindi(u"Hindi");
    Bstr dialect;
    EXPECT_EQ(api->get_Dialect(hindi.get(), dialect.put()), DISP_E_EXCEPTION);
    ComPtr<ISupportErrorInfo> supports;
    ASSERT_EQ(api.as(IID_ISupportErrorInfo, supports), S_OK);
    EXPECT_EQ(supports->InterfaceSupportsErrorInfo(IID_IVorsanAPI), S_OK);
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(::GetErrorInfo(0, info.put()), S_OK);
    Bstr description, source;
    info->GetDescription(description.put());
    info->GetSource(source.put());
    EXPECT_EQ(description.view(), u"Language Hindi not\tloaded in Vorsan");
    EXPECT_EQ(source.view(), u"VorsanCOM.VorsanAPI.1");

    // Late binding through the type library: a property put by name changes
    // what the vtable reads, by-reference arguments are read through.
    ComPtr<IDispatch> late;
    ASSERT_EQ(api.as(IID_IDispatch, late), S_OK);
    Bstr english(u"English (United States)");
    VARIANT name;
    name.vt = VT_BSTR | VT_BYREF;
    BSTR englishRef = english.get();
    name.pbstrVal = &englishRef;
    Bstr half(u"0.5");  // coerced to the float the member takes
    VARIANT value;
    value.vt = VT_BSTR;
    value.bstrVal = half.get();
    VARIANT args[] = {value, name};  // reverse order
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{args, &putId, 2, 1};
    EXCEPINFO excep{};
    UINT argErr = 0;
    EXPECT_EQ(late->Invoke(13, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, &excep, &argErr), S_OK);
    float pitch = 0;
    EXPECT_EQ(api->get_Pitch(english.get(), &pitch), S_OK);
    EXPECT_FLOAT_EQ(pitch, 0.5f);

    LateCall call = callByName(late.get(), u"dialect", DISPATCH_PROPERTYGET, {Variant::str(u"Tamil")});
    EXPECT_EQ(call.result, DISP_E_EXCEPTION);
    EXPECT_EQ(call.description, u"Language Tamil not\tloaded in Vorsan");
    call = callByName(late.get(), u"LanguageSupported", DISPATCH_METHOD, {Variant::str(u"English (United States)")});
    EXPECT_EQ(call.result, S_OK) << "a property read written as a call";
    EXPECT_EQ(call.value.vt, VT_I4);
    EXPECT_EQ(call.value.lVal, 1);
    EXPECT_EQ(callByName(late.get(), u"NoSuchMember", DISPATCH_METHOD).result, DISP_E_UNKNOWNNAME);
}

TEST_F(RealCom, CollectionsEnumerateOneElementAtATimeOnTheirOwnCursor) {
    ComPtr<IMStringList> list;
    ASSERT_EQ(createInstance(u"VorsanCOM.MStringList", IID_IMStringList, list), S_OK);
    for (const char16_t* word : {u"one", u"two"}) {
        ComPtr<IMString> s;
        ASSERT_EQ(createInstance(u"VorsanCOM.MString.1", IID_IMString, s), S_OK);
        Bstr b(word);
        ASSERT_EQ(s->put_Name(b.get()), S_OK);
        ASSERT_EQ(list->Add(s.get()), S_OK);
    }
    ComPtr<IDispatch> late;
    ASSERT_EQ(list.as(IID_IDispatch, late), S_OK);
    LateCall newEnum = callById(late.get(), DISPID_NEWENUM, DISPATCH_PROPERTYGET);
    ASSERT_EQ(newEnum.result, S_OK);
    ASSERT_EQ(newEnum.value.vt, VT_UNKNOWN);
    ComPtr<IEnumVARIANT> items;
    ASSERT_EQ(newEnum.value.punkVal->QueryInterface(IID_IEnumVARIANT, items.putVoid()), S_OK);
    Variant got[2];
    ULONG fetched = 9;
    EXPECT_EQ(items->Next(2, got, &fetched), E_INVALIDARG);
    std::u16string names;
    for (;;) {
        Variant v;
        const HRESULT h = items->Next(1, &v, &fetched);
        if (h == S_FALSE) {
            EXPECT_EQ(v.vt, VT_EMPTY);
            EXPECT_EQ(fetched, 0u);
            break;
        }
        ASSERT_EQ(h, S_OK);
        ASSERT_EQ(v.vt, VT_DISPATCH);
        LateCall name = callByName(v.pdispVal, u"Name", DISPATCH_PROPERTYGET);
        names += bstrView(name.value.bstrVal);
    }
    EXPECT_EQ(names, u"onetwo");
    LateCall outOfRange = callById(late.get(), DISPID_VALUE, DISPATCH_METHOD, {Variant::i4(2)});
    EXPECT_NE(outOfRange.result, S_OK);
}

} // namespace
} // namespace vorsan
