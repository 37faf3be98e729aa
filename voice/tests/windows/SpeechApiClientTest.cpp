// The system voice as the speech API meets it on Windows, with this test in
// the speech API's place: the voice tokens read from the registry, the
// voice created by COM from the class its token names, handed a token,
// asked for its format, and made to speak fragments into this test's own
// output site. The servers are the build's (registered here, as regsvr32
// does), or with VORSAN_TEST_INSTALLED=<installation folder> the ones an
// installer registered there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "AudioAnalysis.h"
#include "SpeechApiSide.h"
#include "TestSite.h"
#include "VoiceChecks.h"
#include "vorsan/automation/Creation.h"
#include "vorsan/automation/Interfaces.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/Text.h"
#include "vorsan/testing/TestSupport.h"
#include "vorsan/voice/Sapi.h"
#include "vorsan/voice/VoiceToken.h"

using namespace vorsan;
using namespace vorsan::sapi;
using namespace vorsan::testing;

namespace {

std::optional<std::string> installedFolder() { return platform::environment("VORSAN_TEST_INSTALLED"); }

std::string lower(std::u16string s) {
    std::string out = utf16ToUtf8(s);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; });
    return out;
}

// The voice's tokens (those naming its class), by their Language attribute.
std::map<std::u16string, RegistryVoiceToken> voiceTokens() {
    std::map<std::u16string, RegistryVoiceToken> out;
    const std::string clsid = lower(utf8ToUtf16(guidToString(CLSID_Nimbrel22TTSEngine)));
    for (RegistryVoiceToken& t : registryVoiceTokens())
        if (lower(t.clsid) == clsid) out[t.attributes[u"Language"]] = std::move(t);
    return out;
}

class SpeechApiClient : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        if (!installedFolder()) {
            // The engine's server first: the voice's registration asks its
            // languages what they are.
            ASSERT_EQ(callRegistration(VORSAN_COM_LIBRARY), S_OK);
            ASSERT_EQ(callRegistration(NIMBREL22_LIBRARY), S_OK);
            // New users' data comes from the build's installation folder.
            ASSERT_TRUE(setUserInstallationFolder("Z:" VORSAN_BUILD_INSTALLATION));
        }
    }
    void TearDown() override { CoUninitialize(); }

    // The voice of a language as the speech API makes it: the class the
    // token names, created by COM, handed the token as read from the
    // registry.
    ComPtr<ISpTTSEngine> voice(const std::u16string& language = u"439") {
        const auto tokens = voiceTokens();
        const auto it = tokens.find(language);
        if (it == tokens.end()) {
            ADD_FAILURE() << "no voice token for language " << utf16ToUtf8(language);
            return {};
        }
        const RegistryVoiceToken& t = it->second;
        CLSID clsid{};
        EXPECT_TRUE(guidFromString(utf16ToUtf8(t.clsid), clsid));
        ComPtr<ISpTTSEngine> v;
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ISpTTSEngine, v.putVoid()), S_OK);
        if (!v) return v;
        ComPtr<ISpObjectWithToken> withToken;
        EXPECT_EQ(v.as(IID_ISpObjectWithToken, withToken), S_OK);
        ComPtr<ISpObjectToken> token(new VoiceToken(t.id, t.name, t.attributes));
        EXPECT_EQ(withToken->SetObjectToken(token.get()), S_OK);
        ComPtr<ISpObjectToken> back;
        EXPECT_EQ(withToken->GetObjectToken(back.put()), S_OK);
        EXPECT_EQ(back.get(), token.get());
        return v;
    }

    TempProfile profile;
};

} // namespace

TEST_F(SpeechApiClient, EveryLanguageIsAVoiceTheSpeechApiLists) {
    const auto tokens = voiceTokens();
    std::set<std::u16string> languages;
    for (const auto& [language, t] : tokens) {
        languages.insert(language);
        EXPECT_EQ(t.name.substr(0, 7), u"Vorsan ") << utf16ToUtf8(t.name);
        EXPECT_EQ(t.attributes.at(u"Name"), t.name);
        EXPECT_EQ(t.values.at(language), t.name); // the name in the voice's own language
        for (const char16_t* a : {u"Gender", u"Age", u"Vendor"}) EXPECT_FALSE(t.attributes.count(a) == 0) << utf16ToUtf8(a);
    }
    EXPECT_EQ(languages, (std::set<std::u16string>{u"439", u"44E", u"447", u"44A", u"44B", u"449", u"409"}));
    EXPECT_EQ(tokens.at(u"439").name, u"Vorsan Hindi");
    EXPECT_EQ(tokens.at(u"449").name, u"Vorsan Tamil");

    // The class as the speech API and scripts find it.
    const std::u16string clsid = utf8ToUtf16(guidToString(CLSID_Nimbrel22TTSEngine));
    EXPECT_EQ(classesValue(u"Nimbrel22.TTSEngine\\CurVer"), u"Nimbrel22.TTSEngine.1");
    EXPECT_EQ(lower(classesValue(u"Nimbrel22.TTSEngine.1\\CLSID").value_or(u"")), lower(clsid));
    EXPECT_EQ(classesValue(u"CLSID\\" + clsid + u"\\InprocServer32", u"ThreadingModel"), u"Both");
    const std::string server = utf16ToUtf8(classesValue(u"CLSID\\" + clsid + u"\\InprocServer32").value_or(u""));
    if (auto installed = installedFolder()) EXPECT_EQ(lower(utf8ToUtf16(server)).rfind(lower(utf8ToUtf16(*installed)), 0), 0u) << server;
    else EXPECT_NE(server.find("Nimbrel22.dll"), std::string::npos) << server;

    // The speech API's own token category lists them (by the key's name:
    // Wine's tokens give only that as their id, Windows' the whole path).
    const SpeechApiListing listed = voicesListedBySpeechApi();
    ASSERT_EQ(listed.result, S_OK);
    std::set<std::string> keys;
    for (const auto& id : listed.ids) keys.insert(lower(id.substr(id.rfind(u'\\') + 1)));
    for (const auto& [language, t] : tokens) EXPECT_EQ(keys.count(lower(t.key)), 1u) << utf16ToUtf8(t.key);
}

TEST_F(SpeechApiClient, FormatSilenceBookmarksAndSentences) {
    ComPtr<ISpTTSEngine> v = voice();
    ASSERT_TRUE(v);
    // The new user's data was set up from the installation by the voice.
    EXPECT_TRUE(std::filesystem::exists(profile.path() / "tolvane.xml"));
    EXPECT_TRUE(std::filesystem::is_directory(profile.path() / "Speechfiles" / "Pelmira"));

    checkFormatSilenceAndBookmark(*v.get());

    // Sentence ends of three scripts, each sentence's place in the text,
    // every word with its event inside the audio, in order.
    TestSite sentences;
    Fragments text;
    text.add(u"Hello. How are you? नमस्ते दोस्त। வணக்கம் நண்பரே.");
    spoken(*v.get(), text, sentences);
    EXPECT_EQ(sentenceOpenings(text, sentences), (std::vector<std::u16string>{u"Hel", u"How", u"नमस", u"வணக"}));
    const auto all = sentences.events(SPEI_WORD_BOUNDARY);
    EXPECT_EQ(all.size(), 8u);
    for (std::size_t i = 1; i < all.size(); ++i) EXPECT_GT(all[i].offset, all[i - 1].offset);
    ASSERT_FALSE(all.empty());
    EXPECT_LT(all.back().offset, sentences.bytes());
}

TEST_F(SpeechApiClient, EachTokenSpeaksItsLanguageAtTheSiteRateAndVolume) {
    // Devanagari is Hindi for the Hindi voice and Marathi for the Marathi
    // one; fragments that name a language override the token's.
    const std::u16string text = u"मेरे पास दो सौ रुपये हैं और आज मौसम अच्छा है।";
    ComPtr<ISpTTSEngine> hindi = voice(u"439"), marathi = voice(u"44E");
    ASSERT_TRUE(hindi && marathi);
    TestSite asHindi, asMarathi, named;
    spoken(*hindi.get(), Fragments().add(text), asHindi);
    spoken(*marathi.get(), Fragments().add(text), asMarathi);
    spoken(*marathi.get(), Fragments().add(text).language(0x0439), named);
    ASSERT_GT(seconds(asHindi.bytes()), 1.0);
    EXPECT_NE(asMarathi.samples(), asHindi.samples());
    EXPECT_EQ(named.samples(), asHindi.samples());

    const auto say = [&](LONG rate, uint16_t volume) {
        auto site = std::make_unique<TestSite>();
        site->setRate(rate);
        site->setVolume(volume);
        spoken(*hindi.get(), Fragments().add(text), *site);
        return site;
    };
    const auto plain = say(0, 100), fast = say(10, 100), slow = say(-10, 100), half = say(0, 50);
    const double plainSeconds = seconds(plain->bytes());
    EXPECT_EQ(plain->samples(), asHindi.samples());
    EXPECT_GE(plainSeconds / seconds(fast->bytes()), 2.5);
    EXPECT_GE(seconds(slow->bytes()) / plainSeconds, 1.8);
    EXPECT_EQ(fast->events(SPEI_WORD_BOUNDARY).size(), plain->events(SPEI_WORD_BOUNDARY).size());
    const double level = rms(audioOf(*plain), 0, plainSeconds);
    EXPECT_EQ(half->bytes(), plain->bytes());
    EXPECT_NEAR(rms(audioOf(*half), 0, plainSeconds), level / 2, level * 0.05);

    // English by the English voice, a word event for each word.
    ComPtr<ISpTTSEngine> english = voice(u"409");
    ASSERT_TRUE(english);
    TestSite hello;
    spoken(*english.get(), Fragments().add(u"Good morning to you."), hello);
    EXPECT_EQ(hello.events(SPEI_WORD_BOUNDARY).size(), 4u);
    EXPECT_GT(seconds(hello.bytes()), 0.5);
}

TEST_F(SpeechApiClient, AbortsPromptlyAndTwoVoicesSpeakAtOnce) {
    ComPtr<ISpTTSEngine> v = voice(u"409");
    ASSERT_TRUE(v);
    checkAbortsAndSpeaksBesideAnother(*v.get(), [&] { return voice(u"409"); }, 1u << 16);
}
