// Strings, variants, GUIDs and per-thread error information.
#include <gtest/gtest.h>

#include <thread>

#include "vorsan/automation/ErrorInfo.h"
#include "vorsan/automation/Interfaces.h"

namespace vorsan {
namespace {

TEST(Bstr, NullIsDistinctFromEmptyAndLengthIsKept) {
    Bstr null;
    Bstr empty(u"");
    EXPECT_TRUE(null.isNull());
    ASSERT_FALSE(empty.isNull());
    EXPECT_EQ(SysStringLen(empty.get()), 0u);
    EXPECT_EQ(empty.get()[0], u'\0');

    // Embedded zero units belong to the string; copies keep them.
    const char16_t raw[] = {u'a', 0, u'b'};
    Bstr withZero = Bstr::adopt(SysAllocStringLen(raw, 3));
    Bstr copy = withZero;
    EXPECT_EQ(SysStringLen(copy.get()), 3u);
    EXPECT_EQ(copy.view(), std::u16string_view(raw, 3));

    // Text outside Latin-1 survives the trip through UTF-8.
    Bstr hindi = Bstr::fromUtf8("/home/राम/Speechfiles");
    EXPECT_EQ(hindi.view(), u"/home/राम/Speechfiles");
    EXPECT_EQ(hindi.utf8(), "/home/राम/Speechfiles");
    EXPECT_EQ(bstrToUtf8(nullptr), "");
}

TEST(Guid, TextFormRoundTripsAndRejectsMalformedText) {
    EXPECT_EQ(guidToString(IID_IDispatch), "{00020400-0000-0000-C000-000000000046}");
    GUID g;
    ASSERT_TRUE(guidFromString(guidToString(CLSID_VorsanAPI), g));
    EXPECT_EQ(g, CLSID_VorsanAPI);
    ASSERT_TRUE(guidFromString("{d179a1b9-87a4-4191-a30b-8219f920788a}", g));
    EXPECT_EQ(g, CLSID_VorsanAPI);
    for (const char* bad : {"", "D179A1B9-87A4-4191-A30B-8219F920788A", "{D179A1B9-87A4-4191-A30B-8219F920788}",
                            "{D179A1B9x87A4-4191-A30B-8219F920788A}", "{G179A1B9-87A4-4191-A30B-8219F920788A}"})
        EXPECT_FALSE(guidFromString(bad, g)) << bad;
}

TEST(Variant, ConversionsFollowOleRulesAndNeverWrap) {
    Variant out;
    Variant big = Variant::i4(44100);
    EXPECT_EQ(VariantChangeType(&out, &big, VT_I2), DISP_E_OVERFLOW);
    EXPECT_EQ(out.vt, VT_EMPTY);

    Variant text = Variant::str(u" 22050 ");
    ASSERT_EQ(VariantChangeType(&out, &text, VT_I4), S_OK);
    EXPECT_EQ(out.lVal, 22050);

    Variant half = Variant::r8(2.5);  // rounds half to even
    ASSERT_EQ(VariantChangeType(&out, &half, VT_I4), S_OK);
    EXPECT_EQ(out.lVal, 2);

    Variant junk = Variant::str(u"12abc");
    EXPECT_EQ(VariantChangeType(&out, &junk, VT_I4), DISP_E_TYPEMISMATCH);
    Variant nothing = Variant::nullStr();
    EXPECT_EQ(VariantChangeType(&out, &nothing, VT_R4), DISP_E_TYPEMISMATCH);

    Variant pitch = Variant::r4(0.75f);
    ASSERT_EQ(VariantChangeType(&out, &pitch, VT_BSTR), S_OK);
    EXPECT_EQ(bstrView(out.bstrVal), u"0.75");

    Variant tooWide = Variant::r8(1e300);
    EXPECT_EQ(VariantChangeType(&out, &tooWide, VT_R4), DISP_E_OVERFLOW);

    // Copies are deep: the original's string is untouched by clearing the copy.
    Variant s = Variant::str(u"abc");
    Variant c = s;
    EXPECT_NE(c.bstrVal, s.bstrVal);
    VariantClear(&c);
    EXPECT_EQ(bstrView(s.bstrVal), u"abc");
}

TEST(ErrorInfo, BelongsToTheThreadAndIsHandedOverOnce) {
    EXPECT_EQ(reportError(DISP_E_EXCEPTION, u"Language X not\tloaded in Vorsan", kProgIdVorsanAPI, IID_IVorsanAPI),
              DISP_E_EXCEPTION);

    HRESULT other = S_OK;
    std::thread([&] {
        IErrorInfo* info = nullptr;
        other = GetErrorInfo(0, &info);
        if (info) info->Release();
    }).join();
    EXPECT_EQ(other, S_FALSE);

    IErrorInfo* info = nullptr;
    ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
    ASSERT_NE(info, nullptr);
    Bstr description, source;
    GUID iid;
    info->GetDescription(description.put());
    info->GetSource(source.put());
    info->GetGUID(&iid);
    info->Release();
    EXPECT_EQ(description.view(), u"Language X not\tloaded in Vorsan");
    EXPECT_EQ(source.view(), u"VorsanCOM.VorsanAPI.1");
    EXPECT_EQ(iid, IID_IVorsanAPI);

    EXPECT_EQ(GetErrorInfo(0, &info), S_FALSE);
    EXPECT_EQ(info, nullptr);
}

} // namespace
} // namespace vorsan
