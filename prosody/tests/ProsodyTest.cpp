// Sentence and clause prosody over a small language file: pauses, pitch
// contours taken from the tail of a type's pattern, one target per 20 ms,
// rank ties, the flat default contour, the transcription form and numbers in
// running text.
#include <gtest/gtest.h>

#include "vorsan/core/MException.h"
#include "vorsan/prosody/Prosody.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using vorsan::testing::messageOf;
using vorsan::testing::TempProfile;

namespace {

// Pattern text whose value at frame i is base + i, so targets show which
// frames were used.
std::string rampPattern(int base) {
    std::string s;
    for (int i = 0; i < 500; ++i) s += (i ? " " : "") + std::to_string(base + i);
    return s;
}

std::string character(const char* glyph, const char* phonem, const char* duration) {
    return std::string("<Character glyph='") + glyph + "' phonem='" + phonem + "' duration='" + duration + "'/>";
}

std::string ruleFile(const std::string& sentenceTypes) {
    return "<Rule_Base><Language><LanguageName>Hindi</LanguageName><MbrolaDatabase>hn1</MbrolaDatabase></Language>"
           "<CharacterData><Vowel>" +
           character("अ", "a", "60") + character("आ", "aa", "100") + character("इ", "i", "19") +
           character("ऊ", "uu", "2000") + "</Vowel><Consonent>" + character("क", "k", "60") +
           "</Consonent></CharacterData><DigitData><Digit value='.' words='दशमलव'/></DigitData>" + sentenceTypes +
           "</Rule_Base>";
}

std::string standardTypes() {
    return "<SentenceTypes>"
           "<Sentence name='Statement' pause='300'><IdentifierList><Identifier rank='1'>।</Identifier>"
           "</IdentifierList><PitchPattern>" + rampPattern(100) + "</PitchPattern>"
           "<ClauseTypes><Clause name='Comma' pause='50'><IdentifierList><Identifier rank='1'>,</Identifier>"
           "</IdentifierList><PitchPattern>" + rampPattern(1000) + "</PitchPattern></Clause></ClauseTypes></Sentence>"
           "<Sentence name='Question' pause='400'><IdentifierList><Identifier rank='1'>?</Identifier>"
           "</IdentifierList><PitchPattern>" + rampPattern(2000) + "</PitchPattern></Sentence>"
           "</SentenceTypes>";
}

class Prosody : public ::testing::Test {
protected:
    std::unique_ptr<LanguageRuleBase> load(const std::string& types) {
        return LanguageRuleBase::load(dir_.write("rules.xml", ruleFile(types)));
    }
    std::string failure(const std::string& types, std::u16string_view text) {
        auto language = load(types);
        return messageOf([&] { prosodyConversion(text, language.get()); }, "converted");
    }
    TempProfile dir_;
};

} // namespace

TEST_F(Prosody, SentencesClausesPausesAndContours) {
    auto flat = load("");
    // Without sentence types: the flat default contour. Line breaks and tabs
    // are spaces; "-" and ":" cut words too; under 20 ms a phone gets no target.
    EXPECT_EQ(prosodyConversion(u"क\tअ-\n:इ", flat.get()),
              "_ 200\nk 60 33 200 66 200 99 200 \n_ 0 \na 60 33 200 66 200 99 200 \n_ 0 \ni 19 \n_ 0 \n");
    EXPECT_EQ(prosodyConversion(u"  ,  ", flat.get()), "_ 200\n");
    EXPECT_EQ(prosodyConversion(u"क अ", flat.get(), true), "_ k _ a _ ");
    EXPECT_EQ(messageOf([] { prosodyConversion(u"क", nullptr); }), "getPhonem->language is null");

    auto language = load(standardTypes());
    // No clause identifier: the sentence pattern's last six frames cover 120 ms.
    EXPECT_EQ(prosodyConversion(u"क अ।", language.get()),
              "_ 200\nk 60 33 594 66 595 99 596 \n_ 0 \na 60 33 597 66 598 99 599 \n_ 0 \n_ 300\n");
    // An identified clause ends with its pause, then the sentence pause.
    EXPECT_EQ(prosodyConversion(u"क, अ।", language.get()),
              "_ 200\nk 60 33 1497 66 1498 99 1499 \n_ 0 \n_ 50\n"
              "a 60 33 597 66 598 99 599 \n_ 0 \n_ 300\n");
    EXPECT_EQ(prosodyConversion(u"क, अ।", language.get(), true), "_ k _ _ a _ _ ");
    // Two sentences and a trailing unidentified one with the flat contour;
    // only spaces after the last identifier add nothing.
    EXPECT_EQ(prosodyConversion(u"क। अ? आ", language.get()),
              "_ 200\nk 60 33 597 66 598 99 599 \n_ 0 \n_ 300\n"
              "a 60 33 2497 66 2498 99 2499 \n_ 0 \n_ 400\n"
              "aa 100 20 200 40 200 60 200 80 200 100 200 \n_ 0 \n");
    EXPECT_EQ(prosodyConversion(u"क।   ", language.get()), "_ 200\nk 60 33 597 66 598 99 599 \n_ 0 \n_ 300\n");
    // A 2-second clause uses the last 100 values of its pattern.
    const std::string longPhone = prosodyConversion(u"ऊ।", language.get());
    EXPECT_EQ(longPhone.rfind("_ 200\nuu 2000 1 500 2 501 3 502 ", 0), 0u);
    EXPECT_NE(longPhone.find(" 100 599 \n_ 0 \n_ 300\n"), std::string::npos);
}

TEST_F(Prosody, RankDecidesBetweenIdentifiersAtOnePosition) {
    auto sentence = [](const char* name, const char* ids, const char* clauses = "") {
        // The pause tells which type won: A 1 ms, B 2 ms.
        return std::string("<Sentence name='") + name + "' pause='" + (name[0] == 'A' ? "1" : "2") +
               "'><IdentifierList>" + ids +
               "</IdentifierList><PitchPattern>150</PitchPattern><ClauseTypes>" + clauses +
               "</ClauseTypes></Sentence>";
    };
    auto types = [](const std::string& body) { return "<SentenceTypes>" + body + "</SentenceTypes>"; };
    // The higher rank decides the type.
    auto ranked = load(types(sentence("A", "<I rank='1'>।</I>") + sentence("B", "<I rank='2'>।</I>")));
    EXPECT_EQ(prosodyConversion(u"क।", ranked.get(), false).substr(6), "k 60 33 250 66 250 99 250 \n_ 0 \n_ 2\n");
    // The longer identifier of one type at the same place wins by rank, so the cut includes it.
    auto longer = load(types(sentence("A", "<I rank='1'>।</I><I rank='5'>।।</I>")));
    EXPECT_EQ(prosodyConversion(u"क।।अ", longer.get(), true), "_ k _ _ a _ ");

    EXPECT_EQ(failure(types(sentence("A", "<I rank='1'>।</I><I rank='1'>।</I>")), u"क।"),
              "Two Identifier matched have same rank");
    EXPECT_EQ(failure(types(sentence("A", "<I rank='1'>।</I>") + sentence("B", "<I rank='1'>।</I>")), u"क।"),
              "Two sentence identifier matched have same rank");
    EXPECT_EQ(failure(types(sentence("A", "<I rank='1'>।</I>",
                                     "<C name='x' pause='1'><IdentifierList><I rank='1'>,</I></IdentifierList></C>"
                                     "<C name='y' pause='1'><IdentifierList><I rank='1'>,</I></IdentifierList></C>")),
                      u"क, अ।"),
              "Two Clause identifier matched have same rank");
    // An empty identifier never matches.
    EXPECT_EQ(failure(types(sentence("A", "<I rank='1'></I>")), u"क"), "converted");
}

TEST_F(Prosody, LongTextsKeepTheirShape) {
    auto language = load(standardTypes());
    // Many sentences: every one closed by its pause, nothing lost.
    std::u16string text;
    for (int i = 0; i < 5000; ++i) text += (i % 3 == 2) ? u"क अ? " : u"क, अ। ";
    const std::string out = prosodyConversion(text, language.get());
    std::size_t statements = 0, questions = 0, commas = 0;
    for (std::size_t p = 0; (p = out.find("\n_ ", p)) != std::string::npos; ++p) {
        const std::string_view rest(out.c_str() + p + 3, 4);
        statements += rest == "300\n";
        questions += rest == "400\n";
        commas += rest.substr(0, 3) == "50\n";
    }
    EXPECT_EQ(statements, 3334u);
    EXPECT_EQ(questions, 1666u);
    EXPECT_EQ(commas, 3334u);
}

TEST_F(Prosody, NumbersInRunningText) {
    auto language = load(standardTypes());
    // Commas that group digits belong to the number; others stay (lists, a
    // space after, odd groups). The point between digits is the language's
    // word and the digits after it are said one by one; other points stay.
    EXPECT_EQ(normaliseNumbers(u"1,00,000 और 12,345,678", *language), u"100000 और 12345678");
    EXPECT_EQ(normaliseNumbers(u"1,2 3, 45 7,1234 ,12", *language), u"1,2 3, 45 7,1234 ,12");
    EXPECT_EQ(normaliseNumbers(u"3.25 किलो. 4.", *language), u"3 दशमलव 2 5 किलो. 4.");
    // So a grouped number is one clause, while a list of numbers keeps its breaks.
    EXPECT_EQ(prosodyConversion(u"क 1,00,000 क।", language.get()).find("_ 50\n"), std::string::npos);
    EXPECT_NE(prosodyConversion(u"क 1, 2 क।", language.get()).find("_ 50\n"), std::string::npos);
}
