// The server's registration and its value classes and collections, created
// through the registry and driven both through their interfaces and by name.
#include <cstdlib>
#include <filesystem>

#include "AutomationFixture.h"
#include "vorsan/automation/Registry.h"

namespace vorsan {
namespace {

using testing::AutomationTest;
using testing::serverCanUnloadNow;

ComPtr<IMString> mstring(std::u16string_view name) {
    ComPtr<IMString> s;
    EXPECT_EQ(createInstance(u"VorsanCOM.MString", IID_IMString, s), S_OK);
    if (s) s->put_Name(Bstr(name).get());
    return s;
}

// The name of an MString, given as itself or inside a VARIANT.
std::u16string nameOf(IMString* s) {
    Bstr b;
    s->get_Name(b.put());
    return b.str();
}
std::u16string nameOf(const VARIANT& v) {
    ComPtr<IMString> s;
    if (v.vt != VT_DISPATCH || FAILED(v.pdispVal->QueryInterface(IID_IMString, s.putVoid()))) return u"?";
    return nameOf(s.get());
}

TEST_F(AutomationTest, EveryClassIsCreatedThroughTheRegistryUntilUnregistered) {
    for (const char* name : {"MString", "MStringList", "Phoneme", "PhonemeList", "VorsanAPI"}) {
        const std::string progId = std::string("VorsanCOM.") + name;
        ComPtr<IUnknown> object;
        EXPECT_EQ(createInstance(std::u16string(progId.begin(), progId.end()) + u".1", IID_IUnknown, object), S_OK)
            << progId;
        EXPECT_EQ(registry::lookup(progId + "\\CurVer"), progId + ".1");
    }
    EXPECT_NE(registry::inprocServer(CLSID_VorsanAPI).value_or("").find(
                  std::filesystem::path(VORSAN_COM_LIBRARY).filename().string()),
              std::string::npos);

    // The class factory refuses aggregation and interfaces the class lacks.
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(CLSID_MString, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.putVoid()),
              S_OK);
    ComPtr<IUnknown> object;
    EXPECT_EQ(factory->CreateInstance(factory.get(), IID_IUnknown, object.putVoid()), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPhoneme, object.putVoid()), E_NOINTERFACE);
    factory.reset();

    ASSERT_EQ(registerServerLibrary(testing::serverLibrary(), true), S_OK);
    ComPtr<IMString> gone;
    EXPECT_EQ(createInstance(u"VorsanCOM.MString", IID_IMString, gone), CO_E_CLASSSTRING);
    EXPECT_EQ(CoCreateInstance(CLSID_MString, nullptr, CLSCTX_INPROC_SERVER, IID_IMString, gone.putVoid()),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(serverCanUnloadNow(), S_OK);

#if !VORSAN_PLATFORM_COM
    // The installer's registration tool does the same from the command line.
    const std::string tool = VORSAN_REGSVR, library = VORSAN_COM_LIBRARY;
    ASSERT_EQ(std::system((tool + " '" + library + "'").c_str()), 0);
    EXPECT_TRUE(registry::inprocServer(CLSID_VorsanAPI));
    ASSERT_EQ(std::system((tool + " -u '" + library + "'").c_str()), 0);
    EXPECT_FALSE(registry::inprocServer(CLSID_VorsanAPI));
    EXPECT_NE(std::system((tool + " /no/such/libVorsanCOM.so 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((tool + " 2>/dev/null").c_str()), 0);
#endif
}

TEST_F(AutomationTest, MStringAndPhonemeHoldTheirValuesEarlyAndLateBound) {
    auto s = create<IMString>(u"VorsanCOM.MString.1", IID_IMString);
    ASSERT_TRUE(s);
    Bstr name;
    ASSERT_EQ(s->get_Name(name.put()), S_OK);
    EXPECT_TRUE(name.isNull()); // a new name is null, a set empty name is not
    s->put_Name(Bstr(u"").get());
    s->get_Name(name.put());
    EXPECT_FALSE(name.isNull());
    EXPECT_EQ(s->get_Name(nullptr), E_POINTER);

    // By name, in any letter case, as a script writes it.
    ComPtr<IDispatch> d;
    ASSERT_EQ(s.as(IID_IDispatch, d), S_OK);
    EXPECT_EQ(callByName(d.get(), u"nAME", DISPATCH_PROPERTYPUT, {Variant::str(u"हिन्दी")}).result, S_OK);
    EXPECT_EQ(nameOf(s.get()), u"हिन्दी");
    EXPECT_EQ(callByName(d.get(), u"Title", DISPATCH_PROPERTYGET).result, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(callById(d.get(), 7, DISPATCH_PROPERTYGET).result, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(callById(d.get(), 1, DISPATCH_PROPERTYGET, {Variant::i4(1)}).result, testing::kLateArgumentTooMany);

    auto p = create<IPhoneme>(u"VorsanCOM.Phoneme", IID_IPhoneme);
    ComPtr<IDispatch> pd;
    ASSERT_EQ(p.as(IID_IDispatch, pd), S_OK);
    EXPECT_EQ(callByName(pd.get(), u"PhoneString", DISPATCH_PROPERTYPUT, {Variant::str(u"a 120 50 180 \n")}).result,
              S_OK);
    EXPECT_EQ(callByName(pd.get(), u"Time", DISPATCH_PROPERTYPUT, {Variant::str(u"1.5")}).result, S_OK);
    EXPECT_EQ(callByName(pd.get(), u"VoiceFrequency", DISPATCH_PROPERTYPUT, {Variant::i4(22050)}).result, S_OK);
    // 44100 Hz does not fit the 16-bit property: refused, never wrapped.
    EXPECT_EQ(callByName(pd.get(), u"VoiceFrequency", DISPATCH_PROPERTYPUT, {Variant::i4(44100)}).result,
              testing::kLateOutOfRange);
    EXPECT_EQ(p->put_VoiceFrequency(-21436), E_INVALIDARG);
    EXPECT_EQ(p->put_VoiceFrequency(0), E_INVALIDARG);
    LateCall bad = callByName(pd.get(), u"Pitch", DISPATCH_PROPERTYPUT, {Variant::str(u"high")});
    EXPECT_EQ(bad.result, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(bad.argError, 0u);

    Bstr phones;
    float pitch = 0, time = 0;
    p->get_PhoneString(phones.put());
    p->get_Pitch(&pitch);
    p->get_Time(&time);
    EXPECT_EQ(phones.view(), u"a 120 50 180 \n");
    EXPECT_EQ(pitch, 1.0f);
    EXPECT_EQ(time, 1.5f);
    LateCall freq = callByName(pd.get(), u"voicefrequency", DISPATCH_PROPERTYGET);
    ASSERT_EQ(freq.value.vt, VT_I2);
    EXPECT_EQ(freq.value.iVal, 22050);
}

TEST_F(AutomationTest, CollectionsIndexAddRemoveAndRefuseBadArguments) {
    auto list = create<IMStringList>(u"VorsanCOM.MStringList", IID_IMStringList);
    ASSERT_TRUE(list);
    for (auto n : {u"a", u"b", u"c"}) ASSERT_EQ(list->Add(mstring(n).get()), S_OK);
    EXPECT_EQ(list->Add(nullptr), E_INVALIDARG);
    ComPtr<IMString> item;
    EXPECT_EQ(list->Item(3, item.put()), E_INVALIDARG);
    EXPECT_FALSE(item);
    EXPECT_EQ(list->Item(-1, item.put()), E_INVALIDARG);
    EXPECT_EQ(list->Remove(3), E_INVALIDARG);
    EXPECT_EQ(list->Remove(-1), E_INVALIDARG);

    // Elements are held, not copied: an element outlives its removal while
    // the caller holds it.
    ASSERT_EQ(list->Item(1, item.put()), S_OK);
    ASSERT_EQ(list->Remove(1), S_OK);
    EXPECT_EQ(nameOf(item.get()), u"b");

    // By name: the default member is Item; Add takes only the element type.
    ComPtr<IDispatch> d;
    ASSERT_EQ(list.as(IID_IDispatch, d), S_OK);
    LateCall second = callById(d.get(), DISPID_VALUE, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {Variant::i2(1)});
    ASSERT_EQ(second.result, S_OK);
    EXPECT_EQ(nameOf(second.value), u"c");
    EXPECT_EQ(testing::memberResult(callByName(d.get(), u"item", DISPATCH_METHOD, {Variant::i4(2)})), E_INVALIDARG);
    auto phoneme = create<IPhoneme>(u"VorsanCOM.Phoneme", IID_IPhoneme);
    ComPtr<IDispatch> pd, ad;
    phoneme.as(IID_IDispatch, pd);
    EXPECT_EQ(callByName(d.get(), u"Add", DISPATCH_METHOD, {Variant::dispatch(pd.get())}).result,
              testing::kLateWrongObject);
    EXPECT_EQ(callByName(d.get(), u"Add", DISPATCH_METHOD, {Variant::str(u"x")}).result, DISP_E_TYPEMISMATCH);
    mstring(u"d").as(IID_IDispatch, ad);
    EXPECT_EQ(callByName(d.get(), u"Add", DISPATCH_METHOD, {Variant::dispatch(ad.get())}).result, S_OK);
    LateCall n = callByName(d.get(), u"Count", DISPATCH_PROPERTYGET);
    ASSERT_EQ(n.value.vt, VT_I4);
    EXPECT_EQ(n.value.lVal, 3);
    EXPECT_EQ(callByName(d.get(), u"Count", DISPATCH_PROPERTYPUT, {Variant::i4(9)}).result, DISP_E_MEMBERNOTFOUND);

    // Released in any order: the list first, then what was taken from it.
    list.reset();
    d.reset();
    EXPECT_EQ(nameOf(item.get()), u"b");
}

TEST_F(AutomationTest, EnumerationSharesOneCursorPerCollection) {
    auto list = create<IMStringList>(u"VorsanCOM.MStringList", IID_IMStringList);
    ASSERT_TRUE(list);
    for (auto n : {u"a", u"b", u"c"}) list->Add(mstring(n).get());
    // Next overwrites its out VARIANT, as in OLE; the caller clears it.
    Variant v;
    auto next = [&v](const ComPtr<IEnumVARIANT>& e, ULONG* fetched = nullptr) {
        VariantClear(&v);
        return e->Next(1, &v, fetched);
    };
    ComPtr<IUnknown> unk;
    ComPtr<IEnumVARIANT> e1, e2;
    ASSERT_EQ(list->get__NewEnum(unk.put()), S_OK);
    ASSERT_EQ(unk.as(IID_IEnumVARIANT, e1), S_OK);
    ULONG fetched = 9;
    ASSERT_EQ(next(e1, &fetched), S_OK);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(nameOf(v), u"a");
    // A second enumeration resets and then shares the same cursor.
    ASSERT_EQ(list->get__NewEnum(unk.put()), S_OK);
    ASSERT_EQ(unk.as(IID_IEnumVARIANT, e2), S_OK);
    ASSERT_EQ(next(e2), S_OK);
    ASSERT_EQ(next(e1), S_OK);
    EXPECT_EQ(nameOf(v), u"b");

    // Removing the element just handed out goes on with the one after it;
    // removing everything ends the enumeration cleanly.
    ASSERT_EQ(list->Remove(1), S_OK);
    ASSERT_EQ(next(e1), S_OK);
    EXPECT_EQ(nameOf(v), u"c");
    list->Remove(1);
    list->Remove(0);
    EXPECT_EQ(next(e1, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(v.vt, VT_EMPTY);

    // Every object is freed when its last reference goes, enumerators included.
    list->Add(mstring(u"x").get());
    e1->Reset();
    next(e1);
    VariantClear(&v);
    list.reset();
    EXPECT_EQ(serverCanUnloadNow(), S_FALSE);
    unk.reset();
    e1.reset();
    e2.reset();
    EXPECT_EQ(serverCanUnloadNow(), S_OK);
}

} // namespace
} // namespace vorsan
