// Word conversion: character classes and units, candidate patterns, rule
// choice by priority and rank, defaults, numbers inside words, and words of
// any content.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "LanguageTestFiles.h"
#include "vorsan/core/MException.h"
#include "vorsan/language/LanguageRuleBase.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
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
    static std::string failure(std::u16string_view word) {
        try {
            base_->convertWord(word);
        } catch (const MException& e) {
            return e.message();
        }
        return "converted";
    }

    static LanguageRuleBase* base_;
};

LanguageRuleBase* WordConversion::base_ = nullptr;

} // namespace

TEST_F(WordConversion, ClassesUnitsAndSplits) {
    const CharacterTable& t = *base_->characters();
    EXPECT_EQ(t.classify(u""), ' ');
    EXPECT_EQ(t.classify(u" \t"), ' ');
    EXPECT_EQ(t.classify(u"क"), 'C');
    EXPECT_EQ(t.classify(u" अ "), 'V');
    EXPECT_EQ(t.classify(u"ि"), 'M');
    EXPECT_EQ(t.classify(u"्"), 'H');
    EXPECT_EQ(t.classify(u"ं"), 'S');
    EXPECT_EQ(t.classify(u"३"), 'D');
    EXPECT_EQ(t.classify(u"किु"), 'K');
    EXPECT_EQ(t.classify(u"अा"), 'W');
    EXPECT_EQ(t.classify(u"कं"), ' ');
    EXPECT_EQ(t.classify(u"x"), ' ');

    std::u16string_view word = u"क्तिुंि३";
    std::vector<std::u16string_view> units;
    for (std::size_t pos = 0; pos < word.size(); pos += units.back().size()) units.push_back(t.nextUnit(word, pos));
    EXPECT_EQ(units, (std::vector<std::u16string_view>{u"क्", u"तिु", u"ं", u"ि", u"३"}));
    try {
        t.nextUnit(word, word.size());
        FAIL();
    } catch (const MException& e) {
        EXPECT_EQ(e.message(), "Index out of range");
    }

    EXPECT_FALSE(t.split(u"क"));
    auto parts = t.split(u"कि");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->base, u"क");
    EXPECT_EQ(parts->rest, u"ि");
    EXPECT_FALSE(t.split(u"xि"));

    // Default phones: listed entry; base plus each listed dependent sign; an
    // unlisted sign silences the unit; without a base only listed code units.
    EXPECT_EQ(render(t.defaultPhones(u"कि")), "k/60 a/80 i/70");
    EXPECT_EQ(render(t.defaultPhones(u"किx")), "");
    EXPECT_EQ(render(t.defaultPhones(u"xिyं")), "i/70 n/50");
    EXPECT_EQ(render(t.defaultPhones(u"")), "");
}

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

    auto g2 = base_->generator2().getPossibleRules(u"क", u"", u"मि", kStart);
    EXPECT_EQ(g2.whole, (L{u"Sकमि", u"Aकमि", u"SकमM", u"AकमM", u"SकCि", u"AकCि"}));
    g2 = base_->generator2().getPossibleRules(u"त", u"कि", u"म", kMiddle);
    EXPECT_EQ(g2.whole, (L{u"कितC", u"कितA", u"Kतम", u"Aतम", u"कMतC", u"कMतA", u"CितC", u"CितA"}));

    auto g3 = base_->generator3().getPossibleRules(u"त", u"कि", u"मु");
    EXPECT_EQ(g3.whole,
              (L{u"कितमु", u"कMतमु", u"Cितमु", u"कितमM", u"कितCु", u"कMतमM", u"CितमM", u"CितCु"}));
    EXPECT_EQ(base_->generator3().getPossibleRules(u"ि", u"", u"").whole, L{u"ि"});

    auto single = base_->singleGenerator().getPossibleRules(u"अा");
    EXPECT_EQ(single.whole, (L{u"SअाE", u"SअाA", u"AअाE", u"AअाA"}));
    EXPECT_EQ(single.dependent, (L{u"SVाE", u"SVाA", u"AVाE", u"AVाA"}));

    auto message = [](auto f) {
        try {
            f();
        } catch (const MException& e) {
            return e.message();
        }
        return std::string("none");
    };
    EXPECT_EQ(message([] { base_->generator1().getPossibleRules(u"", u"क", u"", kEnd); }),
              "invalid argument in NGramGenerator1::getPossibleRules");
    EXPECT_EQ(message([] { base_->generator1().getPossibleRules(u"क", u"", u"", 4); }),
              "Illegal flag passed to NGramGenerator1");
    EXPECT_EQ(message([] { base_->generator2().getPossibleRules(u"क", u"", u"", kStart); }),
              "invalid argument in NGramGenerator2::getPossibleRules");
    EXPECT_EQ(message([] { base_->generator2().getPossibleRules(u"क", u"म", u"", 0); }),
              "Illegal flag passed to NGramGenerator2");
    EXPECT_EQ(message([] { base_->generator3().getPossibleRules(u"", u"", u""); }),
              "Invalid argument in NGramGenerator3::getPossibleRules");
    EXPECT_EQ(message([] { base_->singleGenerator().getPossibleRules(u""); }),
              "invalid argument in NGramGeneratorForSingleCharacter::getPossibleRules");
}

TEST_F(WordConversion, ExactMatchesRulesAndDefaults) {
    EXPECT_EQ(phones(u"नमक"), "EXACT/10 _/0");
    // An exact entry without phones goes through the rules: क by default, final म by rule.
    EXPECT_EQ(phones(u"कम"), "k/60 a/80 m/60 _/0");
    // One unit: priority-1 rule for the base form, then the matra by its dependent rule.
    EXPECT_EQ(phones(u"कि"), "k/61 I1/71 _/0");
    // Priority 2 for the base form before a म, the matra by the priority-3 dependent rule.
    EXPECT_EQ(phones(u"किम"), "k/62 I3/73 m/60 _/0");
    // No rule at all: default phones of consonant and matra.
    EXPECT_EQ(phones(u"गा"), "g/60 a/80 aa/120 _/0");
    EXPECT_EQ(phones(u"ि"), "i/70 _/0");

    // Three matching rules with ranks 1, 3, 2 give the rank-3 rule; ranks
    // 1, 3, 3 the second rank-3 rule; ranks 2, 3, 2 and 2, 2 are a fault.
    EXPECT_EQ(phones(u"कतम"), "k/60 a/80 t3/53 m/60 _/0");
    EXPECT_EQ(phones(u"कनम"), "k/60 a/80 n3b/54 m/60 _/0");
    EXPECT_EQ(failure(u"करम"), "Two rules matched but having same rank. CHANGE Rank");
    EXPECT_EQ(failure(u"कसम"), "Two rules matched but having same rank. CHANGE Rank");

    // Characters outside the table contribute nothing.
    EXPECT_EQ(phones(u"ग€"), "g/60 a/80 _/0");
    EXPECT_EQ(phones(u"€$"), "");
    EXPECT_EQ(phones(u""), "");
}

TEST_F(WordConversion, NumbersInsideWords) {
    EXPECT_EQ(phones(u"२"), "t3/53 m/60 _/0"); // script digit -> "2" -> its words
    EXPECT_EQ(phones(u"2"), "t3/53 m/60 _/0");
    EXPECT_EQ(phones(u"२१"), "g/60 a/80 aa/120 _/0"); // 21 has its own entry
    // A number inside a word makes separate pieces, each ending in a boundary
    // (the lone क is a word of its own, ending in "AकE").
    EXPECT_EQ(phones(u"क२ग"), "k/60 _/0 t3/53 m/60 _/0 g/60 a/80 _/0");
    // Twelve digits are said digit by digit ("2" is the only one with phones here).
    EXPECT_EQ(phones(u"123456789012"), "t3/53 m/60 _/0 t3/53 m/60 _/0");
    EXPECT_EQ(phones(u"000"), "");
}

TEST_F(WordConversion, HostileAndHugeWords) {
    std::mt19937 rng(7);
    // (न, र and स are left out: their rules tie in rank in some contexts.)
    const std::u16string pool = u"अआइकगतमािीुं्०१२३४५६७८९0123456789€x \t\r\f\xD800\xDC00\xFFFF";
    for (int round = 0; round < 20; ++round) {
        std::u16string word;
        for (int i = 0; i < 10000; ++i) word.push_back(pool[rng() % pool.size()]);
        EXPECT_NO_THROW(base_->convertWord(word));
    }
    // One consonant with ten thousand matras is one unit, said by default.
    std::u16string longUnit = u"ग" + std::u16string(10000, u'ि');
    auto units = base_->convertWord(longUnit);
    EXPECT_EQ(units.size(), 10000u + 3u);
    // Ten thousand consonants, and a ten-thousand-digit number.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(base_->convertWord(std::u16string(10000, u'ग')).size(), 20001u);
    EXPECT_FALSE(base_->convertWord(std::u16string(10000, u'२')).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)); // no runaway, not a speed target

    // A database with parts missing converts to nothing instead of failing.
    TempProfile dir;
    auto bare = LanguageRuleBase::load(dir.write("bare.xml", "<Rule_Base/>"));
    EXPECT_TRUE(bare->convertWord(u"कि१2x").empty());
    auto noDigits = LanguageRuleBase::load(
        dir.write("nodigits.xml", "<Rule_Base><CharacterData><Consonent>" + testfiles::character("क", "k", "60") +
                                      "</Consonent><Digit>" + testfiles::character("१", "", "") +
                                      "</Digit></CharacterData></Rule_Base>"));
    // A script digit without a map entry disappears; a number without words says nothing.
    EXPECT_EQ(render(noDigits->convertWord(u"क१")), "k/60 _/0");
    EXPECT_EQ(render(noDigits->convertWord(u"क12क")), "k/60 _/0 k/60 _/0");
}
