// VorsanAPI driven through the registry-created server, early-bound and by
// name: argument rules, engine errors as automation errors, list results,
// phoneme conversion of mixed text, accents and real sound files.
#include <filesystem>

#include "AudioAnalysis.h"
#include "AutomationFixture.h"

namespace vorsan {
namespace {

using testing::AutomationTest;
using testing::takeError;

const char16_t kEnglish[] = u"English (United States)";

// A small Devanagari language spoken by database "hn1".
const char* const kHindiRules = R"(<?xml version="1.0" encoding="UTF-8"?>
<Rule_Base>
  <Language><LanguageName>Hindi</LanguageName><MbrolaDatabase>hn1</MbrolaDatabase>
    <UnicodeStart>0900</UnicodeStart><UnicodeEnd>097F</UnicodeEnd><HalantBased>true</HalantBased></Language>
  <CharacterData>
    <Consonent><Character glyph="क" phonem="k" duration="80"/><Character glyph="म" phonem="m" duration="70"/></Consonent>
    <Matra><Character glyph="ा" phonem="A:" duration="140"/></Matra>
  </CharacterData>
  <SentenceTypes><Sentence name="Statement" pause="300"><IdentifierList><Identifier rank="1">।</Identifier>
    </IdentifierList><PitchPattern>140 130 120</PitchPattern></Sentence></SentenceTypes>
</Rule_Base>
)";

// An accent from "hn1" onto "en1" that asks for the given output frequency.
std::string accentOnto(const std::string& voice) {
    return R"(<dbMapper><File_Information><Title>test accent</Title></File_Information>
  <Mbrola_Information><fromMbroladb>hn1</fromMbroladb><toMbroladb>en1</toMbroladb>
    <Voice>)" + voice + R"(</Voice><Pitch>1.25</Pitch><Time>0.8</Time></Mbrola_Information>
  <mapping><fromPhonem fromPhonemName="k"><toPhonem toPhonemName="g" toPhonemDuration="100"/></fromPhonem></mapping>
  <dbrules></dbrules><fromMbrolaPhone><Sound mbrolaType="C" mbrolaPhonem="k" mbrolaUsage=""/></fromMbrolaPhone>
</dbMapper>)";
}

class VorsanApiTest : public AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        api = create<IVorsanAPI>(u"VorsanCOM.VorsanAPI", IID_IVorsanAPI);
        ASSERT_TRUE(api);
        ASSERT_EQ(api.as(IID_IDispatch, late), S_OK);
    }
    void TearDown() override {
        late.reset();
        api.reset();
        AutomationTest::TearDown();
    }

    // The Name of every element of a list, given as itself or as a late-bound result.
    static std::vector<std::u16string> names(IMStringList* list) {
        std::vector<std::u16string> out;
        LONG n = 0;
        list->get_Count(&n);
        for (LONG i = 0; i < n; ++i) {
            ComPtr<IMString> s;
            list->Item(i, s.put());
            Bstr b;
            s->get_Name(b.put());
            out.push_back(b.str());
        }
        return out;
    }
    static std::vector<std::u16string> names(const LateCall& call) {
        ComPtr<IMStringList> list;
        EXPECT_EQ(call.value.vt, VT_DISPATCH);
        if (call.value.vt != VT_DISPATCH || FAILED(call.value.pdispVal->QueryInterface(IID_IMStringList, list.putVoid())))
            return {};
        return names(list.get());
    }
    ComPtr<IVorsanAPI> api;
    ComPtr<IDispatch> late;
};

TEST_F(VorsanApiTest, NewEngineAnswersQueriesEarlyAndLateBound) {
    LONG yes = -1;
    EXPECT_EQ(api->get_LanguageSupported(Bstr(kEnglish).get(), &yes), S_OK);
    EXPECT_EQ(yes, 1);
    // Null or empty names are simply not supported (or set); nothing is reported.
    for (BSTR none : {BSTR(nullptr), Bstr(u"").detach()}) {
        yes = -1;
        EXPECT_EQ(api->get_LanguageSupported(none, &yes), S_OK);
        EXPECT_EQ(api->get_EmotionSet(none, &yes), S_OK);
        EXPECT_EQ(yes, 0);
        SysFreeString(none);
    }
    EXPECT_FALSE(takeError().present);

    Bstr s;
    ASSERT_EQ(api->get_Dialect(Bstr(kEnglish).get(), s.put()), S_OK);
    EXPECT_EQ(s.view(), u"INDIAN");
    LateCall db = callByName(late.get(), u"mbroladatabase", DISPATCH_PROPERTYGET, {Variant::str(kEnglish)});
    ASSERT_EQ(db.result, S_OK);
    EXPECT_EQ(bstrView(db.value.bstrVal), u"en1");
    EXPECT_EQ(names(callByName(late.get(), u"AllSupportedLanguages", DISPATCH_PROPERTYGET)),
              std::vector<std::u16string>{kEnglish});
    EXPECT_EQ(callByName(late.get(), u"WAVE", DISPATCH_PROPERTYGET).value.iVal, kFileTypeWAVE);
    // The first argument that fails is named (slots count from the last argument).
    LateCall mismatch = callByName(late.get(), u"SpeakText", DISPATCH_METHOD,
                                   {Variant::str(u""), Variant::str(u"yes"), Variant::str(u"no")});
    EXPECT_EQ(mismatch.result, DISP_E_TYPEMISMATCH);
#if !VORSAN_PLATFORM_COM  // Wine's type-library dispatch leaves the index unset
    EXPECT_EQ(mismatch.argError, 1u);
#endif
    EXPECT_EQ(callByName(late.get(), u"SpeakPhonemeSet", DISPATCH_METHOD, {Variant::dispatch(late.get())}).result,
              testing::kLateWrongObject);
}

TEST_F(VorsanApiTest, EngineErrorsArriveAsExceptionsWithTheirMessage) {
    Bstr s;
    EXPECT_EQ(api->get_Dialect(Bstr(u"Marathi").get(), s.put()), DISP_E_EXCEPTION);
    auto e = takeError();
    ASSERT_TRUE(e.present);
    EXPECT_EQ(e.description, u"Language Marathi not\tloaded in Vorsan");
    EXPECT_EQ(e.source, u"VorsanCOM.VorsanAPI.1");
    EXPECT_EQ(e.iid, IID_IVorsanAPI);
    // A name outside Latin-1 reaches the engine and comes back intact.
    LateCall c = callByName(late.get(), u"Dialect", DISPATCH_PROPERTYGET, {Variant::str(u"मराठी")});
    EXPECT_EQ(c.result, DISP_E_EXCEPTION);
    EXPECT_EQ(c.description, u"Language मराठी not\tloaded in Vorsan");

    // AllMoodsInDatabase passes an empty name on for the engine to refuse.
    // (The engine's messages themselves are the engine tests' to check.)
    ComPtr<IMStringList> list;
    EXPECT_EQ(api->get_AllMoodsInDatabase(Bstr(u"").get(), list.put()), DISP_E_EXCEPTION);
    EXPECT_TRUE(takeError().present);
}

TEST_F(VorsanApiTest, NullAndEmptyArgumentsFollowTheRules) {
    Bstr out, empty(u""), english(kEnglish), sad(u"Sad");
    LONG b = 0;
    ComPtr<IPhonemeList> phonemes;
    ComPtr<IMStringList> files;
    const HRESULT invalid[] = {
        api->get_Dialect(nullptr, out.put()),
        api->get_Dialect(empty.get(), out.put()),
        api->get_MoodExistsInDatabase(sad.get(), empty.get(), &b),
        api->put_EmotionDatabase(english.get(), nullptr),
        api->put_ActiveMood(english.get(), empty.get()),
        api->AddLanguageDatabase(empty.get(), out.put()),
        api->RemoveEmotionDatabase(nullptr),
        api->ApplyMood(Bstr(u"a 100 \n").get(), sad.get(), empty.get(), out.put()),
        api->ChangeAccent(empty.get(), Bstr(u"x").get(), nullptr),
        api->SpeakPhoneme(Bstr(u"_ 50 \n").get(), nullptr, 1, 1, 16000),
        api->SpeakPhonemeList(nullptr),
        api->SpeakPhonemeSet(nullptr),
        api->put_PrimaryLanguage(nullptr),
        api->SpeakText(nullptr, 0, 0),
        api->ConvertTextToPhoneme(nullptr, 0, 0, 0, phonemes.put()),
        api->ConvertTextToSoundFile(nullptr, 0, 0, kFileTypeWAVE, files.put()),
    };
    for (std::size_t i = 0; i < std::size(invalid); ++i) EXPECT_EQ(invalid[i], E_INVALIDARG) << "call " << i;
    EXPECT_EQ(api->get_Dialect(english.get(), nullptr), E_POINTER);
    EXPECT_EQ(api->ConvertTextToPhoneme(english.get(), 0, 0, 0, nullptr), E_POINTER);

    // Empty text is no work: nothing spoken, no phonemes, no files.
    EXPECT_EQ(api->SpeakText(empty.get(), 1, 1), S_OK);
    EXPECT_EQ(api->ConvertTextToPhoneme(empty.get(), 0, 0, 0, phonemes.put()), S_OK);
    EXPECT_FALSE(phonemes);
    ASSERT_EQ(api->ConvertTextToSoundFile(empty.get(), 0, 0, 3, files.put()), S_OK);
    EXPECT_TRUE(names(files.get()).empty());
    // An empty primary language clears it.
    EXPECT_EQ(api->put_PrimaryLanguage(english.get()), S_OK);
    EXPECT_EQ(api->put_PrimaryLanguage(empty.get()), S_OK);
    api->get_PrimaryLanguage(out.put());
    EXPECT_EQ(out.view(), u"");
    // A phoneme element with empty phoneme text is skipped without synthesis.
    ComPtr<IPhonemeList> list;
    ComPtr<IPhoneme> silent;
    ASSERT_EQ(createInstance(u"VorsanCOM.PhonemeList", IID_IPhonemeList, list), S_OK);
    ASSERT_EQ(createInstance(u"VorsanCOM.Phoneme", IID_IPhoneme, silent), S_OK);
    list->Add(silent.get());
    EXPECT_EQ(api->SpeakPhonemeList(list.get()), S_OK);
    EXPECT_EQ(api->SpeakPhonemeSet(silent.get()), S_OK);
}

TEST_F(VorsanApiTest, VoiceFrequencyIsSixteenBitsAndNeverWraps) {
    Bstr english(kEnglish), name;
    auto putByName = [&](LONG hz) {
        return callByName(late.get(), u"VoiceFrequency", DISPATCH_PROPERTYPUT, {Variant::str(kEnglish), Variant::i4(hz)})
            .result;
    };
    EXPECT_EQ(putByName(44100), testing::kLateOutOfRange);
    EXPECT_EQ(api->put_VoiceFrequency(english.get(), -21436), E_INVALIDARG);
    EXPECT_EQ(api->put_VoiceFrequency(english.get(), 0), E_INVALIDARG);
    EXPECT_EQ(api->SpeakPhoneme(Bstr(u"_ 50 \n").get(), Bstr(u"en1").get(), 1, 1, -1), E_INVALIDARG);
    EXPECT_EQ(putByName(22050), S_OK);
    SHORT hz = 0;
    ASSERT_EQ(api->get_VoiceFrequency(english.get(), &hz), S_OK);
    EXPECT_EQ(hz, 22050);

    // A frequency the property cannot carry, set by a configuration file or
    // prescribed by an accent, is reported instead of wrapped.
    profile->write("tolvane.xml",
                   "<?xml version=\"1.0\"?>\n<ZenloraConfig><Pelmira><PelmiraFile name=\"x\" Dialect=\"y\"><location>"
                   "</location><MbrolaDatabase>en1</MbrolaDatabase><Voice>44100</Voice><Pitch>1</Pitch><Time>1</Time>"
                   "</PelmiraFile></Pelmira></ZenloraConfig>");
    ASSERT_EQ(api->LoadConfiguration(), S_OK);
    EXPECT_EQ(api->get_VoiceFrequency(english.get(), &hz), DISP_E_OVERFLOW);
    EXPECT_NE(takeError().description.find(u"44100"), std::u16string::npos);
    EXPECT_EQ(hz, 22050); // untouched
    EXPECT_EQ(api->UnloadConfiguration(), S_OK);

    std::string wide = profile->write("Oskalen/wide.xml", accentOnto("44100"));
    ASSERT_EQ(api->AddAccentDatabase(Bstr::fromUtf8(wide).get(), name.put()), S_OK);
    ComPtr<IPhoneme> phone;
    EXPECT_EQ(api->ChangeAccent(Bstr(u"k 80 50 120 \n").get(), name.get(), phone.put()), DISP_E_OVERFLOW);
    EXPECT_FALSE(phone);
}

TEST_F(VorsanApiTest, MixedTextGivesOnePhonemePerLanguageAndAccentsMapIt) {
    // The language comes from a folder whose name is not Latin-1.
    const std::string path = profile->write("राम/Pelmira/hindi.xml", kHindiRules);
    Bstr hindi;
    ASSERT_EQ(api->AddLanguageDatabase(Bstr::fromUtf8(path).get(), hindi.put()), S_OK);
    EXPECT_EQ(hindi.view(), u"Hindi");
    ASSERT_EQ(api->put_Pitch(hindi.get(), 0.5f), S_OK);
    ASSERT_EQ(api->put_VoiceFrequency(hindi.get(), 22050), S_OK);
    ASSERT_EQ(callByName(late.get(), u"Time", DISPATCH_PROPERTYPUT, {Variant::str(u"Hindi"), Variant::r8(0.9)}).result,
              S_OK);
    EXPECT_EQ(names(callByName(late.get(), u"AllSupportedLanguages", DISPATCH_PROPERTYGET)),
              (std::vector<std::u16string>{kEnglish, u"Hindi"}));

    ComPtr<IPhonemeList> list;
    ASSERT_EQ(api->ConvertTextToPhoneme(Bstr(u"कमा। salt").get(), 0, 0, 0, list.put()), S_OK);
    LONG count = 0;
    list->get_Count(&count);
    ASSERT_EQ(count, 2);
    const struct {
        const char16_t* db;
        float pitch, time;
        SHORT hz;
        const char16_t* phone;
    } expected[] = {{u"hn1", 0.5f, 0.9f, 22050, u"A: "}, {u"en1", 1.0f, 1.0f, 16000, u"s "}};
    ComPtr<IPhoneme> first;
    for (LONG i = 0; i < 2; ++i) {
        ComPtr<IPhoneme> p;
        ASSERT_EQ(list->Item(i, p.put()), S_OK);
        Bstr phones, db;
        float pitch = 0, time = 0;
        SHORT hz = 0;
        p->get_PhoneString(phones.put());
        p->get_MbrolaDatabase(db.put());
        p->get_Pitch(&pitch);
        p->get_Time(&time);
        p->get_VoiceFrequency(&hz);
        EXPECT_EQ(db.view(), expected[i].db);
        EXPECT_FLOAT_EQ(pitch, expected[i].pitch);
        EXPECT_FLOAT_EQ(time, expected[i].time);
        EXPECT_EQ(hz, expected[i].hz);
        EXPECT_NE(phones.view().find(expected[i].phone), std::u16string::npos) << Bstr(phones).utf8();
        if (i == 0) first = p;
    }
    // Changing a returned Phoneme leaves the engine as it was.
    first->put_Pitch(2.0f);
    float pitch = 0;
    api->get_Pitch(hindi.get(), &pitch);
    EXPECT_FLOAT_EQ(pitch, 0.5f);

    // The accent maps hn1 onto en1 with the settings it prescribes.
    Bstr accent;
    ASSERT_EQ(api->AddAccentDatabase(Bstr::fromUtf8(profile->write("Oskalen/a.xml", accentOnto("22050"))).get(),
                                     accent.put()),
              S_OK);
    EXPECT_EQ(accent.view(), u"hn1_TO_en1");
    ComPtr<IMStringList> suitable;
    ASSERT_EQ(api->get_SuitableAccentDatabase(hindi.get(), suitable.put()), S_OK);
    EXPECT_EQ(names(suitable.get()), std::vector<std::u16string>{u"hn1_TO_en1"});
    ComPtr<IPhoneme> mapped;
    ASSERT_EQ(api->ChangeAccent(Bstr(u"k 80 50 120 \n").get(), accent.get(), mapped.put()), S_OK);
    Bstr db, phones;
    SHORT hz = 0;
    mapped->get_MbrolaDatabase(db.put());
    mapped->get_VoiceFrequency(&hz);
    mapped->get_PhoneString(phones.put());
    EXPECT_EQ(db.view(), u"en1");
    EXPECT_EQ(hz, 22050);
    EXPECT_EQ(phones.view().substr(0, 2), u"g ");

    ASSERT_EQ(api->RemoveLanguageDatabase(hindi.get()), S_OK);
    LONG yes = 1;
    api->get_LanguageSupported(hindi.get(), &yes);
    EXPECT_EQ(yes, 0);
}

TEST_F(VorsanApiTest, ConvertTextToSoundFileWritesSpeech) {
    LateCall c = callByName(late.get(), u"ConvertTextToSoundFile", DISPATCH_METHOD,
                            {Variant::str(u"Good morning."), Variant::i4(0), Variant::i4(0), Variant::i2(kFileTypeWAVE)});
    ASSERT_EQ(c.result, S_OK) << Bstr(c.description).utf8();
    const auto paths = names(c);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(std::filesystem::path(Bstr(paths[0]).utf8()).lexically_normal(),
              (profile->path() / "temp1.wav").lexically_normal());
    // Half a second or more of voiced speech at the voice's rate.
    const testing::Audio audio = testing::readAudio(Bstr(paths[0]).utf8());
    EXPECT_EQ(audio.rate, 16000);
    EXPECT_GT(audio.seconds(), 0.5);
    EXPECT_TRUE(testing::medianPitch(audio, 0.0, audio.seconds()).has_value());
}

} // namespace
} // namespace vorsan
