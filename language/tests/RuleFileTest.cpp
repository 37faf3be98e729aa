// Loading of language rule files through the XML parser: every part of the
// format, and every failure message.
#include <gtest/gtest.h>

#include "LanguageTestFiles.h"
#include "vorsan/core/MException.h"
#include "vorsan/language/LanguageRuleBase.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using vorsan::testing::DiagnosticCapture;
using vorsan::testing::TempProfile;

namespace {

std::string loadFailure(const std::string& path) {
    return vorsan::testing::messageOf([&] { LanguageRuleBase::load(path); }, "loaded");
}

std::string wrap(const std::string& body) { return "<Rule_Base>" + body + "</Rule_Base>"; }

} // namespace

// What the conversion and prosody tests do not already show of a loaded file.
TEST(RuleFile, LoadsEveryPart) {
    TempProfile dir;
    auto base = LanguageRuleBase::load(dir.write("Speechfiles/Pelmira/hindi.xml", testfiles::hindiFile()));
    const LanguageInfo& info = *base->language();
    EXPECT_EQ(base->name() + "/" + base->dialect() + "/" + base->mbrolaDatabase(), "Hindi/Standard/hn1");
    EXPECT_EQ(info.languageCode + info.countryCode, "hiIN");
    // "0900" and "0x097F" are both hexadecimal; the range decides what the file claims.
    EXPECT_EQ(info.unicodeStart, 0x900);
    EXPECT_EQ(info.unicodeEnd, 0x97F);
    EXPECT_TRUE(info.halantBased);
    EXPECT_TRUE(base->claims(U'क'));
    EXPECT_FALSE(base->claims(U'a') || base->claims(0x980));
    EXPECT_EQ(base->fileInfo()->title, "Hindi rules");
    EXPECT_EQ(base->sounds()->at("k").type, 'P');
    EXPECT_EQ(base->characters()->baseFormCorrection->glyph, u"&");
    EXPECT_EQ(base->exactMatches()->at(u"नमक").rank, -1);
    const SentenceType& decl = base->sentenceTypes()->at("Declarative");
    EXPECT_EQ(decl.description, "Statement");
    EXPECT_EQ(decl.identifiers.at(1).rank, 2);
    EXPECT_EQ(decl.clauseTypes.at("Comma").pitchPattern[1], 130);
    EXPECT_TRUE(base->sentenceTypes()->at("Question").clauseTypes.empty());
}

TEST(RuleFile, FormatDetails) {
    TempProfile dir;
    auto base = LanguageRuleBase::load(dir.write(
        "details.xml",
        wrap("<Language><LanguageName>L</LanguageName><UnicodeStart>zz</UnicodeStart><HalantBased>yes</HalantBased>"
             "<Dialect/></Language>"
             "<CharacterData><Consonent>"
             // Three names, two durations: two phones. The second entry for a glyph is dropped.
             "<Character glyph='क' phonem='k a x' duration=' 60\n 80 '/>"
             "<Character glyph='क' phonem='q' duration='1'/></Consonent>"
             "<Unknown><Character glyph='z' phonem='z' duration='1'/></Unknown>"
             "<Halant><Halant glyph='्' phonem='h' duration='5'/><Halant glyph='ॅ' phonem='h2' duration='6'/>"
             "</Halant></CharacterData>"
             "<Available_Characters><Character glyph='क' type='Consonent'><Priority no='1'>"
             "<Rule match='a' rank=' 7 '><PhonemList><Phonem phoneString='p' Duration='20'>"
             "<Pitch>10 120 90 140 50</Pitch></Phonem></PhonemList></Rule>"
             "<Rule match='b' rank='x'><PhonemList/></Rule>"
             "</Priority><Priority no='1'><Rule match='c' rank='1'/></Priority></Character></Available_Characters>"
             "<DigitMap><map englishDigit='12' langaugeDigit='x'/><map englishDigit='3' langaugeDigit='३'/></DigitMap>"
             "<Language><LanguageName>Later</LanguageName></Language>")));
    // A part given twice: the later one replaces the earlier.
    EXPECT_EQ(base->name(), "Later");
    EXPECT_EQ(base->language()->unicodeStart, 0);
    EXPECT_FALSE(base->language()->halantBased);
    const auto& ka = base->characters()->consonants.at(u"क");
    ASSERT_EQ(ka.phones.size(), 2u);
    EXPECT_EQ(ka.phones[1].name, "a");
    EXPECT_EQ(ka.phones[1].duration, 80);
    EXPECT_EQ(base->characters()->halant->glyph, u"ॅ");
    EXPECT_EQ(base->characters()->consonants.size(), 1u);

    const auto& group = base->ruleCharacters()->at(u"क").priorities.at(1);
    EXPECT_EQ(group.rules.size(), 2u); // the second group with the same number is dropped
    const Rule& a = group.rules.at(u"a");
    EXPECT_EQ(a.rank, 7);
    ASSERT_EQ(a.phones.size(), 1u);
    ASSERT_EQ(a.phones[0].pitchPoints.size(), 2u); // the odd fifth number is dropped
    EXPECT_EQ(a.phones[0].pitchPoints[1], (std::pair<int32_t, int32_t>{90, 140}));
    EXPECT_EQ(group.rules.at(u"b").rank, 0);

    EXPECT_EQ((*base->digitMap())[3], u'३');
    EXPECT_EQ(base->exactMatches(), nullptr);
    EXPECT_EQ(base->sentenceTypes(), nullptr);
    EXPECT_EQ(base->digitWords(), nullptr);

    auto empty = LanguageRuleBase::load(dir.write("empty.xml", "<Rule_Base/>"));
    EXPECT_EQ(empty->language(), nullptr);
    EXPECT_FALSE(empty->claims(0));
    // The built-in English entry claims exactly the Latin letters and has no rules.
    auto en = LanguageRuleBase::builtInEnglish();
    EXPECT_TRUE(en->claims(U'A') && en->claims(U'z'));
    EXPECT_FALSE(en->claims(U'0') || en->claims(0) || en->claims(U'é'));
    EXPECT_TRUE(en->convertWord(u"hello").empty());
}

TEST(RuleFile, FailureMessages) {
    TempProfile dir;
    EXPECT_EQ(loadFailure(""), "FileName is NULL");
    for (const std::string& path : {(dir.path() / "nothere.xml").string(), dir.path().string()})
        EXPECT_EQ(loadFailure(path), "File '" + path + "' not found/corrupted");
    EXPECT_EQ(loadFailure(dir.write("other.xml", "<MoodBase/>")), "Not a Pelmira file");
    {
        DiagnosticCapture out;
        const std::string path = dir.write("broken.xml", "<Rule_Base><Language></Rule_Base>");
        const std::string message = loadFailure(path);
        EXPECT_NE(message, "loaded");
        EXPECT_EQ(out.text(), "XMLException during parsing: '" + path + "'\n" + message + "\n");
    }
    // Every integer of the format goes through the XML library's parser.
    DiagnosticCapture quiet;
    for (const char* body :
         {"<CharacterData><Vowel><Character glyph='a' phonem='a' duration='ten'/></Vowel></CharacterData>",
          "<ExactMatch><Rule match='a'><PhonemList><Phonem phoneString='a' Duration=''/></PhonemList></Rule>"
          "</ExactMatch>",
          "<SentenceTypes><Sentence name='S' pause='long'/></SentenceTypes>",
          "<SentenceTypes><Sentence name='S' pause='1'><PitchPattern>100 x</PitchPattern></Sentence></SentenceTypes>",
          "<Available_Characters><Character glyph='a'><Priority no=''/></Character></Available_Characters>"})
        EXPECT_NE(loadFailure(dir.write("number.xml", wrap(body))), "loaded") << body;
}
