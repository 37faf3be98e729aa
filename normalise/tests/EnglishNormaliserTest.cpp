// The English development set (data/english/devset.tsv): every sentence's
// normalised words are the ones a reader says. Also where the words came
// from in the text, and typographic marks through the whole front end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "vorsan/core/Text.h"
#include "vorsan/normalise/Normalise.h"

namespace vorsan {
namespace {

// Lower case, letter marks as the letter, punctuation dropped, one space
// between words.
std::string comparable(std::string_view text) {
    std::string out, word;
    auto flush = [&] {
        if (!word.empty()) out += (out.empty() ? "" : " ") + word;
        word.clear();
    };
    for (char c : text) {
        if (c == ' ' || c == kLetterNameMark) flush();
        else if (c == ',' || c == '.' || c == '?' || c == '!' || c == ';' || c == ':' || c == '"') continue;
        else word.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
    flush();
    return out;
}

TEST(EnglishNormalisation, DevelopmentSetSaysWhatAReaderSays) {
    EnglishNormaliser normaliser([](const std::string& w) { return w == "nasa" || w == "example"; });
    const char* root = std::getenv("VORSAN_TEST_DATA");
    ASSERT_NE(root, nullptr);
    std::ifstream table(std::string(root) + "/data/english/devset.tsv");
    ASSERT_TRUE(table.good());
    std::string line;
    int cases = 0;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string kind, text, expected;
        std::getline(fields, kind, '\t');
        std::getline(fields, text, '\t');
        std::getline(fields, expected, '\t');
        NormalisedText out;
        const std::u16string wide = utf8ToUtf16(text);
        normaliser.normalise(wide, 0, out);
        EXPECT_EQ(comparable(out.text), comparable(expected)) << text;
        // Every byte says where in the text it came from.
        ASSERT_EQ(out.from.size(), out.text.size());
        for (std::size_t i = 0; i < out.text.size(); ++i) EXPECT_LE(out.to[i], wide.size()) << text;
        ++cases;
    }
    EXPECT_GE(cases, 50);
}

TEST(EnglishNormalisation, AnAtSignBeforeAWordIsSaid) {
    EnglishNormaliser normaliser([](const std::string&) { return false; });
    for (const auto& [text, said] : {std::pair{u"Yes, @home.", "yes at home"}, {u"ask @priya now", "ask at priya now"},
                                     {u"mail ravi@mail.com", "mail ravi at mail dot com"}}) {
        NormalisedText out;
        normaliser.normalise(text, 0, out);
        EXPECT_EQ(comparable(out.text), said);
    }
}

TEST(EnglishNormalisation, NumbersInTheirManyForms) {
    EnglishNormaliser normaliser([](const std::string& w) { return w == "a"; });
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"in 1905", "in nineteen oh five"},
        {u"in 1900", "in nineteen hundred"},
        {u"in 2005", "in two thousand and five"},
        {u"in 1000", "in one thousand"},
        {u"12,34,567", "twelve lakh thirty four thousand five hundred and sixty seven"},
        {u"1,23,45,678", "one crore twenty three lakh forty five thousand six hundred and seventy eight"},
        {u"12th 22nd 90th 100th", "twelfth twenty second ninetieth one hundredth"},
        {u"$0.05 £1 €1.5", "five cents one pound one euro and fifty cents"},
        {u"Rs 5 lakh", "five lakh rupees"},
        {u"007 0.50", "zero zero seven zero point five zero"},
        {u"12:00 9 pm", "twelve o'clock nine p m"},
        {u"2/3 24/7", "two thirds twenty four /7"},
        {u"MDCCLXXVI I V", "mdcclxxvi i v"}, // no context: not numerals
        // Telephone numbers in groups after a dialling code or a telephone word.
        {u"Tel: 020 7946 0958 or dial 100 for 2500 pens",
         "tel zero two zero seven nine four six zero nine five eight or dial one zero zero for two thousand five hundred pens"},
        // Codes digit by digit; day ranges; data rates.
        {u"Your OTP is 482913, PIN 110001, open Mon-Fri at 100 Mbps",
         "your o t p is four eight two nine one three p i n one one zero zero zero one open monday to friday at one "
         "hundred megabits per second"},
        // Lower-case words that still read by context, among plain ones.
        {u"ask dr Rao at no. 5 on elm st. today, don\u2019t wait", "ask doctor rao at number five on elm street today don't wait"},
        {u"— … –", ""},
    };
    for (const auto& [text, said] : cases) {
        NormalisedText out;
        normaliser.normalise(text, 0, out);
        EXPECT_EQ(comparable(out.text), said) << utf16ToUtf8(text);
    }
    // Full stops of initials and of a.m. inside a sentence end nothing.
    NormalisedText out;
    normaliser.normalise(u"A. R. Rahman sang at 9 a.m. today.", 0, out);
    EXPECT_EQ(std::count(out.text.begin(), out.text.end(), '.'), 1) << out.text;
    EXPECT_EQ(comparable(out.text), "a r rahman sang at nine a m today");
}

} // namespace
} // namespace vorsan
