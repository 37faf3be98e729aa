// What the engine says of each loaded language: the front doors build their
// voice lists and language choices from it, so a language added by file
// must be described from the file alone.
#include <gtest/gtest.h>

#include "vorsan/core/MException.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

namespace {

const LanguageDescription* find(const std::vector<LanguageDescription>& all, const std::string& name) {
    for (const LanguageDescription& d : all)
        if (d.name == name) return &d;
    return nullptr;
}

// Every letter of the sample lies in the language's own script.
bool sampleInScript(const LanguageDescription& d) {
    if (d.sample.empty()) return false;
    for (char16_t c : d.sample) {
        const bool letter = c > 0x7F && c != 0x0964 && c != 0x0965; // danda and double danda are shared
        if (letter && (c < d.scriptStart || c > d.scriptEnd)) return false;
    }
    return true;
}

} // namespace

TEST(LanguageDescription, ShippedFilesAndBuiltInEnglish) {
    TempProfile profile;
    SpeechEngine engine;
    const struct {
        const char* file;
        const char* name;
        const char* code;
        uint16_t windowsId;
    } shipped[] = {{"newPelmiraHindi.xml", "Hindi", "hi", 0x0439},   {"PelmiraMarathi.xml", "Marathi", "mr", 0x044E},
                   {"PelmiraGujarati.xml", "Gujarati", "gu", 0x0447}, {"PelmiraTelugu.xml", "Telugu", "te", 0x044A},
                   {"PelmiraKannada.xml", "Kannada", "kn", 0x044B},   {"PelmiraTamil.xml", "Tamil", "ta", 0x0449}};
    for (const auto& s : shipped) ASSERT_EQ(engine.addLanguageDatabase(sourcePath("data/pelmira/") + s.file), s.name);

    const std::vector<LanguageDescription> all = engine.describeLanguages();
    ASSERT_EQ(all.size(), 7u);
    for (const auto& s : shipped) {
        const LanguageDescription* d = find(all, s.name);
        ASSERT_TRUE(d) << s.name;
        EXPECT_EQ(d->code, s.code);
        EXPECT_EQ(d->country, "IN");
        EXPECT_EQ(d->windowsId, s.windowsId) << s.name;
        EXPECT_TRUE(sampleInScript(*d)) << s.name;
        EXPECT_EQ(engine.languageOfCode(std::string(s.code) + "-IN"), s.name);
        EXPECT_EQ(engine.languageOfWindowsId(s.windowsId), s.name);
    }
    const LanguageDescription english = engine.describeLanguage(SpeechEngine::kEnglishName);
    EXPECT_EQ(english.code, "en");
    EXPECT_EQ(english.windowsId, 0x0409);
    EXPECT_EQ(english.scriptEnd, 0); // A-Z and a-z, no range of its own
    EXPECT_FALSE(english.sample.empty());
    EXPECT_EQ(engine.languageOfCode("EN_us"), SpeechEngine::kEnglishName);
    EXPECT_EQ(engine.languageOfWindowsId(0x0809), SpeechEngine::kEnglishName); // English of another country
    EXPECT_EQ(engine.languageOfCode("xx"), "");
    EXPECT_EQ(engine.languageOfCode(""), "");
    EXPECT_EQ(engine.languageOfWindowsId(0x0407), "");
    EXPECT_EQ(messageOf([&] { engine.describeLanguage("Klingon"); }), "Language Klingon not\tloaded in Vorsan");
}

TEST(LanguageDescription, LanguageAddedByFileIsDescribedFromTheFile) {
    TempProfile profile;
    // Kannada's rules as Tulu, which has no Windows language identifier.
    const std::string tulu = renamedLanguageFile(profile, "PelmiraKannada.xml", "Tulu", "tcy");
    SpeechEngine engine;
    ASSERT_EQ(engine.addLanguageDatabase(sourcePath("data/pelmira/PelmiraKannada.xml")), "Kannada");
    ASSERT_EQ(engine.addLanguageDatabase(tulu), "Tulu");
    const LanguageDescription d = engine.describeLanguage("Tulu");
    EXPECT_EQ(d.code, "tcy");
    EXPECT_EQ(d.windowsId, 0);
    EXPECT_EQ(d.scriptStart, 0x0C80);
    EXPECT_EQ(d.scriptEnd, 0x0CFF);
    EXPECT_EQ(engine.languageOfCode("tcy"), "Tulu");
    EXPECT_EQ(engine.languageOfWindowsId(0x044B), "Kannada");

    // A second load comes from the compiled copy and says the same; a file
    // that names its own Windows identifier and sample is taken at its word.
    EXPECT_EQ(SpeechEngine::describeLanguageFile(tulu).code, "tcy");
    EXPECT_EQ(SpeechEngine::describeLanguageFile(tulu).sample, d.sample);
    std::string rules = R"(<?xml version="1.0"?><Rule_Base><Language><LanguageName>Sanskrit</LanguageName>
<LanguageCode>SA</LanguageCode><UnicodeStart>0900</UnicodeStart><UnicodeEnd>097F</UnicodeEnd>
<WindowsLanguageId>0x044F</WindowsLanguageId><SampleText>नमः</SampleText></Language></Rule_Base>)";
    const std::string sanskrit = profile.write("Sanskrit.xml", rules);
    for (int load = 0; load < 2; ++load) {
        const LanguageDescription s = SpeechEngine::describeLanguageFile(sanskrit);
        EXPECT_EQ(s.code, "sa");
        EXPECT_EQ(s.windowsId, 0x044F);
        EXPECT_EQ(s.sample, u"नमः");
    }
    EXPECT_EQ(messageOf([&] { SpeechEngine::describeLanguageFile((profile.path() / "none.xml").string()); }),
              "File '" + (profile.path() / "none.xml").string() + "' not found/corrupted");
}
