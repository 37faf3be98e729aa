// Word conversion: character classes and units, candidate patterns, rule
// choice by priority and rank, defaults, numbers inside words and as words,
// and words of any content.
#include <gtest/gtest.h>

#include <chrono>

#include "LanguageTestFiles.h"
#include "vorsan/core/MException.h"
#include "vorsan/language/LanguageRuleBase.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using vorsan::testing::messageOf;
using vorsan::testing::TempProfile;

namespace {

class WordConversion : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        TempProfile dir;
        base_ = LanguageRuleBase::load(dir.write("hindi.xml", testfiles::hindiFile())).release();
    }
    static void TearDownTestSuite() {
        delete base_;
        base_ = nullptr;
    }

    // "name/duration" of every phone, space separated.
    static std::string phones(std::u16string_view word) { return render(base_->convertWord(word)); }
    static std::string render(const std::vector<PhonemeUnit>& units) {
        std::string s;
        for (const auto& u : units) s += (s.empty() ? "" : " ") + u.name + "/" + std::to_string(u.duration);
        return s;
    }

    static LanguageRuleBase* base_;
};

LanguageRuleBase* WordConversion::base_ = nullptr;

} // namespace

TEST_F(WordConversion, ClassesUnitsAndSplits) {
    const CharacterTable& t = *base_->characters();
    const std::pair<const char16_t*, char> classes[] = {
        {u"", ' '},  {u" \t", ' '},  {u"क", 'C'},   {u" अ ", 'V'}, {u"ि", 'M'}, {u"्", 'H'},
        {u"ं", 'S'}, {u"३", 'D'},   {u"किु", 'K'}, {u"अा", 'W'},  {u"कं", ' '}, {u"x", ' '}};
    for (const auto& [text, cls] : classes) EXPECT_EQ(t.classify(text), cls) << std::string(1, cls);

    std::u16string_view word = u"क्तिुंि३";
    std::vector<std::u16string_view> units;
    for (std::size_t pos = 0; pos < word.size(); pos += units.back().size()) units.push_back(t.nextUnit(word, pos));
    EXPECT_EQ(units, (std::vector<std::u16string_view>{u"क्", u"तिु", u"ं", u"ि", u"३"}));

    EXPECT_FALSE(t.split(u"क") || t.split(u"xि"));
    auto parts = t.split(u"कि");
    ASSERT_TRUE(parts);
    EXPECT_EQ(std::u16string(parts->base) + u"|" + std::u16string(parts->rest), u"क|ि");

    // Default phones: listed entry; base plus each listed dependent sign; an
    // unlisted sign silences the unit; without a base only listed code units.
    EXPECT_EQ(render(t.defaultPhones(u"कि")), "k/60 a/80 i/70");
    EXPECT_EQ(render(t.defaultPhones(u"किx")), "");
    EXPECT_EQ(render(t.defaultPhones(u"xिyं")), "i/70 n/50");
}

// (The generators' argument guards cannot be reached through word
// conversion, so their messages are not checked.)
TEST_F(WordConversion, CandidatePatterns) {
    using L = PatternList;
    // A START unit followed by a sign has no right context string.
    auto g1 = base_->generator1().getPossibleRules(u"क", u"", u"ं", kStart);
    EXPECT_EQ(g1.whole, (L{u"SकA", u"AकA"}));
    EXPECT_TRUE(g1.base.empty());
    g1 = base_->generator1().getPossibleRules(u"कि", u"अ", u"त", kMiddle);
    EXPECT_EQ(g1.whole, (L{u"VकिA", u"AकिC", u"AकिA"}));
    EXPECT_EQ(g1.base, (L{u"VकMA", u"AकMC", u"AकMA"}));
    EXPECT_EQ(g1.dependent, (L{u"VCिA", u"ACिC", u"ACिA"}));
    EXPECT_EQ(base_->generator1().getPossibleRules(u"ं", u"क", u"", kEnd).whole, L{});

    EXPECT_EQ(base_->generator2().getPossibleRules(u"क", u"", u"मि", kStart).whole,
              (L{u"Sकमि", u"Aकमि", u"SकमM", u"AकमM", u"SकCि", u"AकCि"}));
    EXPECT_EQ(base_->generator2().getPossibleRules(u"त", u"कि", u"म", kMiddle).whole,
              (L{u"कितC", u"कितA", u"Kतम", u"Aतम", u"कMतC", u"कMतA", u"CितC", u"CितA"}));
    EXPECT_EQ(base_->generator3().getPossibleRules(u"त", u"कि", u"मु").whole,
              (L{u"कितमु", u"कMतमु", u"Cितमु", u"कितमM", u"कितCु", u"कMतमM", u"CितमM", u"CितCु"}));
    EXPECT_EQ(base_->generator3().getPossibleRules(u"ि", u"", u"").whole, L{u"ि"});

    auto single = base_->singleGenerator().getPossibleRules(u"अा");
    EXPECT_EQ(single.whole, (L{u"SअाE", u"SअाA", u"AअाE", u"AअाA"}));
    EXPECT_EQ(single.dependent, (L{u"SVाE", u"SVाA", u"AVाE", u"AVाA"}));
}

TEST_F(WordConversion, ExactMatchesRulesDefaultsAndNumbers) {
    const std::pair<const char16_t*, const char*> words[] = {
        {u"नमक", "EXACT/10 _/0"},
        // An exact entry without phones goes through the rules: क by default, final म by rule.
        {u"कम", "k/60 a/80 m/60 _/0"},
        // One unit: priority-1 rule for the base form, then the matra by its dependent rule.
        {u"कि", "k/61 I1/71 _/0"},
        // Priority 2 for the base form before a म, the matra by the priority-3 dependent rule.
        {u"किम", "k/62 I3/73 m/60 _/0"},
        // No rule at all: default phones of consonant and matra.
        {u"गा", "g/60 a/80 aa/120 _/0"},
        {u"ि", "i/70 _/0"},
        // Matching rules with ranks 1, 3, 2 give the rank-3 rule; ranks 1, 3, 3 the second rank-3 rule.
        {u"कतम", "k/60 a/80 t3/53 m/60 _/0"},
        {u"कनम", "k/60 a/80 n3b/54 m/60 _/0"},
        // Characters outside the table contribute nothing.
        {u"ग€", "g/60 a/80 _/0"},
        {u"€$", ""},
        // Script digits are numbers; numbers are said by their words ("2" is "तम", 21 has its own entry).
        {u"२", "t3/53 m/60 _/0"},
        {u"2", "t3/53 m/60 _/0"},
        {u"२१", "g/60 a/80 aa/120 _/0"},
        // A number inside a word makes separate pieces, each ending in a boundary.
        {u"क२ग", "k/60 _/0 t3/53 m/60 _/0 g/60 a/80 _/0"},
        // Twelve digits are said digit by digit.
        {u"123456789012", "t3/53 m/60 _/0 t3/53 m/60 _/0"},
        {u"000", ""},
    };
    for (const auto& [word, expected] : words) EXPECT_EQ(phones(word), expected) << expected;
    // Ranks 2, 3, 2 and 2, 2: the file is at fault.
    for (const char16_t* tie : {u"करम", u"कसम"})
        EXPECT_EQ(messageOf([&] { base_->convertWord(tie); }), "Two rules matched but having same rank. CHANGE Rank");
}

TEST_F(WordConversion, NumberWordsInIndianPlaceValues) {
    const DigitWords& w = *base_->digitWords();
    const std::pair<const char*, const char16_t*> numbers[] = {
        // 2000 is not listed: multiplier 2, then the place word; then 500.
        {"2500", u" तम hazaar paanch-sau"},
        {"12345678", u" ek karod teis laakh paintaalis hazaar chhah sau athhattar"},
        {"007", u" saat"},
        {"000", u" shoonya"},
        // Beyond the 32-bit range: digit by digit, leading zeros dropped.
        {"00123456789012", u" ek तम teen chaar paanch chhah saat aath nau shoonya ek तम"},
        {"2147483648", u" तम ek chaar saat chaar aath teen chhah chaar aath"},
    };
    for (const auto& [digits, words] : numbers) EXPECT_EQ(w.numberToWords(digits), words) << digits;
    EXPECT_EQ(w.numberToWords("2147483647").substr(0, 20), u" तम sau chaar karod "); // 214 crore ...

    // Composition: a head's combining form ("20+"), the "+" form of what
    // follows ("+3"), the place word's form before more ("+100+"); 1000 is
    // not greater than 1000, so it is ten hundreds.
    DigitWords c;
    c.words = {{"10", u"das"}, {"100", u"sau"}, {"3", u"teen"}, {"+3", u"-teen"}, {"20+", u"bees-"},
               {"1", u"ek"}, {"+100+", u"sau-"}};
    EXPECT_EQ(c.numberToWords("1000"), u" das sau");
    EXPECT_EQ(c.numberToWords("23"), u" bees- -teen");
    EXPECT_EQ(c.numberToWords("303"), u" teen sau- -teen");
    EXPECT_EQ(c.numberToWords(""), u"");

    DigitMap map{};
    map[4] = u'४';
    EXPECT_EQ(toAsciiDigit(map, u'४'), u"4");
    EXPECT_EQ(toAsciiDigit(map, u'५'), u"");
}

TEST_F(WordConversion, HugeWordsAndMissingParts) {
    // (Arbitrary text is the word_conversion fuzz target's.)
    // One consonant with ten thousand matras is one unit, said by default;
    // ten thousand consonants; a ten-thousand-digit number.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(base_->convertWord(u"ग" + std::u16string(10000, u'ि')).size(), 10000u + 3u);
    EXPECT_EQ(base_->convertWord(std::u16string(10000, u'ग')).size(), 20001u);
    EXPECT_FALSE(base_->convertWord(std::u16string(10000, u'२')).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)); // no runaway, not a speed target

    // A database with parts missing converts to nothing instead of failing.
    TempProfile dir;
    EXPECT_TRUE(LanguageRuleBase::load(dir.write("bare.xml", "<Rule_Base/>"))->convertWord(u"कि१2x").empty());
    auto noDigits = LanguageRuleBase::load(
        dir.write("nodigits.xml", "<Rule_Base><CharacterData><Consonent>" + testfiles::character("क", "k", "60") +
                                      "</Consonent><Digit>" + testfiles::character("१", "", "") +
                                      "</Digit></CharacterData></Rule_Base>"));
    // A script digit without a map entry disappears; a number without words says nothing.
    EXPECT_EQ(render(noDigits->convertWord(u"क१")), "k/60 _/0");
    EXPECT_EQ(render(noDigits->convertWord(u"क12क")), "k/60 _/0 k/60 _/0");
}
