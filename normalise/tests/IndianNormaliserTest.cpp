// Written numbers and symbols become what a reader of the language says: one
// table per language (data/normalisation/<language>.tsv, "written<TAB>said"
// per line, '#' starts a comment), read through the shipped rule files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "vorsan/core/Text.h"
#include "vorsan/normalise/Normalise.h"
#include "vorsan/prosody/Prosody.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;

namespace {

std::string sourceFile(const std::string& relative) {
    const char* root = std::getenv("VORSAN_TEST_DATA");
    return std::string(root ? root : ".") + "/" + relative;
}

// Spaces collapsed, none before punctuation: the table need not show where
// the normaliser leaves extra spaces.
std::string squash(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c == ' ') {
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
        } else {
            if ((c == ',' || c == '.' || c == '?' || c == '!') && !out.empty() && out.back() == ' ') out.pop_back();
            out.push_back(c);
        }
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    for (std::size_t p; (p = out.find(" \xE0\xA5\xA4")) != std::string::npos;) out.erase(p, 1); // " ।"
    return out;
}

std::vector<std::pair<std::string, std::string>> readTable(const std::string& path) {
    std::vector<std::pair<std::string, std::string>> rows;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos) rows.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    }
    return rows;
}

} // namespace

TEST(Normalisation, EveryLanguageSaysItsTable) {
    vorsan::testing::TempProfile profile;
    const std::pair<const char*, const char*> languages[] = {
        {"Hindi", "newPelmiraHindi.xml"}, {"Marathi", "PelmiraMarathi.xml"}, {"Gujarati", "PelmiraGujarati.xml"},
        {"Telugu", "PelmiraTelugu.xml"},  {"Kannada", "PelmiraKannada.xml"}, {"Tamil", "PelmiraTamil.xml"}};
    const bool show = std::getenv("VORSAN_SHOW_NORMALISED") != nullptr;
    for (const auto& [name, file] : languages) {
        auto language = LanguageRuleBase::load(sourceFile(std::string("data/pelmira/") + file));
        const auto rows = readTable(sourceFile(std::string("data/normalisation/") + name + ".tsv"));
        EXPECT_GE(rows.size(), 40u) << name;
        for (const auto& [written, said] : rows) {
            const std::string got = squash(utf16ToUtf8(normaliseText(utf8ToUtf16(written), *language)));
            if (show) std::fprintf(stderr, "%s\t%s\n", written.c_str(), got.c_str());
            EXPECT_EQ(got, squash(said)) << name << ": " << written;
        }
    }
}

// The words stand for the written text: the phones are those of the words,
// and every word is marked at the place of what it stands for. A rule file
// without the normalisation entries still says its numbers and leaves the
// rest as written.
TEST(Normalisation, WordsStandForTheWrittenText) {
    vorsan::testing::TempProfile profile;
    auto hindi = LanguageRuleBase::load(sourceFile("data/pelmira/newPelmiraHindi.xml"));
    const std::u16string written = u"कीमत ₹12.50 है।";
    EXPECT_EQ(prosodyConversion(written, hindi.get()), prosodyConversion(u"कीमत बारह रुपये पचास पैसे है।", hindi.get()));
    std::vector<WordMark> marks;
    prosodySentences(written, hindi.get(), false, [&](PhonemeRecordList&&, std::vector<WordMark>&& words) {
        marks.insert(marks.end(), words.begin(), words.end());
    });
    // कीमत, the amount (four words said, one word of the text, marked over
    // all of it), है
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(marks[1].offset, 5u);
    EXPECT_EQ(marks[1].length, 6u);
    EXPECT_EQ(marks[2].offset, 12u);

    LanguageParts parts = hindi->parts();
    std::erase_if(parts.digitWords->words, [](const auto& entry) { return entry.first[0] == '@'; });
    auto old = LanguageRuleBase::fromParts(std::move(parts));
    EXPECT_EQ(squash(utf16ToUtf8(normaliseText(u"₹12.50, 3.05 और 1947", *old))),
              "₹ बारह दशमलव पाँच शून्य, तीन दशमलव शून्य पाँच और एक हज़ार नौ सौ सैंतालीस");
}

// Random mixes of digits, symbols and letters: every digit becomes words,
// and every output character stands for a place in the input, in order.
TEST(Normalisation, EveryDigitIsSaidWhateverSurroundsIt) {
    vorsan::testing::TempProfile profile;
    const std::u16string pieces[] = {u"0", u"7", u"12", u"२", u"૩", u"౪", u"೫", u"௬", u",", u".", u":", u"-", u"/",
                                     u"+", u"%", u"°C", u"₹", u"$", u"Rs.", u"Aug ", u" ", u"\u2013", u"\u2026",
                                     u"\u00a0", u"किमी", u"ला", u"વા", u"వ", u"ನೇ", u"வது", u"बजे", u"क"};
    std::mt19937 random(7);
    for (const char* file : {"newPelmiraHindi.xml", "PelmiraMarathi.xml", "PelmiraGujarati.xml", "PelmiraTelugu.xml",
                             "PelmiraKannada.xml", "PelmiraTamil.xml"}) {
        auto language = LanguageRuleBase::load(sourceFile(std::string("data/pelmira/") + file));
        const DigitMap& map = *language->digitMap();
        for (int n = 0; n < 3000; ++n) {
            std::u16string text;
            for (std::size_t k = random() % 12; k > 0; --k) text += pieces[random() % std::size(pieces)];
            std::vector<std::size_t> origin;
            const std::u16string said = normaliseText(text, *language, &origin);
            for (char16_t c : said)
                ASSERT_FALSE((c >= u'0' && c <= u'9') || std::find(map.begin(), map.end(), c) != map.end())
                    << file << ": " << utf16ToUtf8(text) << " -> " << utf16ToUtf8(said);
            ASSERT_EQ(origin.size(), said.size() + 1);
            ASSERT_TRUE(std::is_sorted(origin.begin(), origin.end()) && origin.back() == text.size());
        }
    }
}
