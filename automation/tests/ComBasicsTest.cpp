// Strings, variants, GUIDs and per-thread error information.
#include <gtest/gtest.h>

#include <thread>

#include "vorsan/automation/ErrorInfo.h"
#include "vorsan/automation/Interfaces.h"

namespace vorsan {
namespace {

// (Null against empty strings and text outside Latin-1 are checked where
// the value classes and the engine's paths use them.)
TEST(Bstr, EmbeddedZerosAndGuidTextForms) {
    const char16_t raw[] = {u'a', 0, u'b'};
    Bstr copy = Bstr::adopt(SysAllocStringLen(raw, 3));
    EXPECT_EQ(Bstr(copy).view(), std::u16string_view(raw, 3));
    EXPECT_EQ(bstrToUtf8(nullptr), "");

    EXPECT_EQ(guidToString(IID_IDispatch), "{00020400-0000-0000-C000-000000000046}");
    GUID g;
    ASSERT_TRUE(guidFromString("{d179a1b9-87a4-4191-a30b-8219f920788a}", g));
    EXPECT_EQ(g, CLSID_VorsanAPI);
    for (const char* bad : {"", "D179A1B9-87A4-4191-A30B-8219F920788A", "{D179A1B9-87A4-4191-A30B-8219F920788}",
                            "{D179A1B9x87A4-4191-A30B-8219F920788A}", "{G179A1B9-87A4-4191-A30B-8219F920788A}"})
        EXPECT_FALSE(guidFromString(bad, g)) << bad;
}

TEST(Variant, ConversionsFollowOleRulesAndNeverWrap) {
    Variant out;
    const struct Case {
        Variant in;
        VARTYPE to;
        HRESULT result;
    } cases[] = {
        {Variant::i4(44100), VT_I2, DISP_E_OVERFLOW}, {Variant::r8(1e300), VT_R4, DISP_E_OVERFLOW},
        {Variant::str(u"12abc"), VT_I4, DISP_E_TYPEMISMATCH}, {Variant::nullStr(), VT_R4, DISP_E_TYPEMISMATCH},
        {Variant::str(u" 22050 "), VT_I4, S_OK}, {Variant::r8(2.5), VT_I4, S_OK}, {Variant::r4(0.75f), VT_BSTR, S_OK}};
    for (const Case& c : cases) EXPECT_EQ(VariantChangeType(&out, &c.in, c.to), c.result) << c.in.vt << " -> " << c.to;
    EXPECT_EQ(bstrView(out.bstrVal), u"0.75");
    VariantChangeType(&out, &cases[5].in, VT_I4);
    EXPECT_EQ(out.lVal, 2); // half rounds to even
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
    Bstr description;
    info->GetDescription(description.put());
    info->Release();
    EXPECT_EQ(description.view(), u"Language X not\tloaded in Vorsan");
    EXPECT_EQ(GetErrorInfo(0, &info), S_FALSE);
    EXPECT_EQ(info, nullptr);
}

} // namespace
} // namespace vorsan
