// Number words in Indian place values.
#include <gtest/gtest.h>

#include "LanguageTestFiles.h"
#include "vorsan/language/LanguageRuleBase.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;

TEST(NumberWords, IndianPlaceValuesFromTheFile) {
    vorsan::testing::TempProfile dir;
    auto base = LanguageRuleBase::load(dir.write("hindi.xml", testfiles::hindiFile()));
    const DigitWords& w = *base->digitWords();
    EXPECT_EQ(w.numberToWords("21"), u" गा");
    // 2000 is not listed: multiplier 2, then the place word; then "+500" or 500.
    EXPECT_EQ(w.numberToWords("2500"), u" तम hazaar paanch-sau");
    EXPECT_EQ(w.numberToWords("100000"), u" ek laakh");
    EXPECT_EQ(w.numberToWords("12345678"), u" ek karod teis laakh paintaalis hazaar chhah sau athhattar");
    EXPECT_EQ(w.numberToWords("007"), u" saat");
    EXPECT_EQ(w.numberToWords("000"), u"");
    EXPECT_EQ(w.numberToWords("2147483647").substr(0, 20), u" तम sau chaar karod "); // 214 crore ...
    // Beyond the 32-bit range: digit by digit, leading zeros dropped.
    EXPECT_EQ(w.numberToWords("00123456789012"),
              u" ek तम teen chaar paanch chhah saat aath nau shoonya ek तम");
    EXPECT_EQ(w.numberToWords("2147483648"), u" तम ek chaar saat chaar aath teen chhah chaar aath");

    DigitMap map{};
    map[4] = u'४';
    EXPECT_EQ(toAsciiDigit(map, u'४'), u"4");
    EXPECT_EQ(toAsciiDigit(map, u'५'), u"");
}

TEST(NumberWords, CompositionRules) {
    DigitWords w;
    w.words = {{"10", u"das"}, {"100", u"sau"}, {"3", u"teen"}, {"+3", u"-teen"}, {"20+", u"bees-"},
               {"1", u"ek"}, {"+100+", u"sau-"}};
    // 1000 is not greater than 1000: composed as ten hundreds.
    EXPECT_EQ(w.numberToWords("1000"), u" das sau");
    // The combining form of a head, then the "+" form of what follows.
    EXPECT_EQ(w.numberToWords("23"), u" bees- -teen");
    // 300 + 3: multiplier, the following place word form, then "+3".
    EXPECT_EQ(w.numberToWords("303"), u" teen sau- -teen");
    EXPECT_EQ(w.numberToWords(""), u"");
}
