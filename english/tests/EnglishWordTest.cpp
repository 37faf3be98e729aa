#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vorsan/english/EnglishWord.h"

namespace vorsan {
namespace {

using Names = std::vector<std::string>;

Names phoneNames(const EnglishWord& w) {
    Names out;
    for (int i = 0; i < w.count; ++i) out.emplace_back(englishphones::name(w.phones[static_cast<std::size_t>(i)]));
    return out;
}
std::vector<int> stresses(const EnglishWord& w) { return {w.stress.begin(), w.stress.begin() + w.count}; }

TEST(EnglishWord, LetterToSoundCodesBecomePhones) {
    const std::pair<const char*, Names> cases[] = {
        {"YUw", {"u:", "w"}},
        {"AXgEHn", {"@", "g", "e", "n"}},
        {"wAAtCH", {"w", "A:", "t", "tS"}},
        {"DHAX", {"D", "@"}},
        {"yjNGTHSHZHWH", {"j", "dZ", "N", "T", "S", "Z", "w"}},
        // Pauses, unknown pairs and a trailing upper-case letter give nothing.
        {" kQQxEHA", {"k", "e"}},
    };
    for (const auto& [codes, names] : cases) EXPECT_EQ(phoneNames(EnglishWord::fromCodes("x", codes)), names) << codes;
    EXPECT_EQ(stresses(EnglishWord::fromCodes("cat", "kAEt")), (std::vector<int>{0, 0, 0}));
}

TEST(EnglishWord, PronunciationsBecomePhonesWithStress) {
    const EnglishWord hello = EnglishWord::fromPronunciation("hello", "h@l'@U");
    EXPECT_EQ(phoneNames(hello), (Names{"h", "@", "l", "@U"}));
    EXPECT_EQ(stresses(hello), (std::vector<int>{0, 0, 0, 25}));
    const EnglishWord nineteen = EnglishWord::fromPronunciation("nineteen", "n,aInt'i:n");
    EXPECT_EQ(phoneNames(nineteen), (Names{"n", "aI", "n", "t", "i:", "n"}));
    EXPECT_EQ(stresses(nineteen), (std::vector<int>{0, 15, 0, 0, 25, 0}));

    const std::pair<std::pair<const char*, const char*>, Names> cases[] = {
        {{"w", "&3AO0uiVUeI@e@U@oIaUdZ"},
         {"{", "3:", "A:", "O:", "Q", "u:", "i:", "V", "U", "eI", "@", "e@", "U@", "OI", "aU", "dZ"}},
        // A lone a or o, ":" and characters up to "%" give nothing.
        {{"w", "a:o! #k"}, {"k"}},
        // tch spellings get a t before the affricate, in any letter case ...
        {{"kitchen", "k'ItS@n"}, {"k", "I", "t", "tS", "@", "n"}},
        {{"WATCH", "w'0tS"}, {"w", "Q", "t", "tS"}},
        // ... but not without tch, for an affricate first, or with a t already there.
        {{"church", "tS'3:tS"}, {"tS", "3:", "tS"}},
        {{"tchotchke", "tS'0tS"}, {"tS", "Q", "t", "tS"}},
        {{"match", "m'&ttS"}, {"m", "{", "t", "tS"}},
    };
    for (const auto& [in, names] : cases)
        EXPECT_EQ(phoneNames(EnglishWord::fromPronunciation(in.first, in.second)), names) << in.first;
    EXPECT_EQ(EnglishWord::fromPronunciation("w", "_ 600").count, 0);
    EXPECT_TRUE(EnglishWord::fromPronunciation("w", "_ 600").isPause());

    // Phones beyond fifty are dropped.
    std::string tch;
    for (int i = 0; i < 60; ++i) tch += "atS";
    EXPECT_EQ(EnglishWord::fromCodes("w", std::string(400, 'k')).count, EnglishWord::kMaxPhones);
    EXPECT_EQ(EnglishWord::fromPronunciation("w", std::string(400, 'p')).count, EnglishWord::kMaxPhones);
    EXPECT_EQ(EnglishWord::fromPronunciation("tch", tch).count, EnglishWord::kMaxPhones);
}

TEST(SentenceOutput, ContoursFollowTheSentenceType) {
    auto run = [](std::vector<const char*> words, const char* mark, EnglishIntonation intonation = {}) {
        std::vector<EnglishWord> s;
        for (const char* w : words) s.push_back(EnglishWord::fromPronunciation(w, w[0] == 'W' ? "w'aI" : "j'es"));
        if (mark != nullptr) s.push_back(EnglishWord::pause(mark, mark[0] == ',' ? "_ 300" : "_ 600"));
        std::string out = sentenceOutput(s, intonation);
        EXPECT_TRUE(s.empty());
        return out;
    };
    // j e s: three phones, the vowel stressed (a short vowel, a fifth longer: 84 -> 100 ms),
    // the last one lengthened.
    EXPECT_EQ(run({"yes"}, "."), "_ 75 \nj  35 50 124 \ne  100 50 142 \ns  164 50 110 \n_ 600 \n");
    EXPECT_EQ(run({"yes"}, "!"), "_ 75 \nj  35 50 116 \ne  100 50 148 \ns  164 50 130 \n_ 600 \n");
    EXPECT_EQ(run({"yes"}, "?"), "_ 75 \nj  35 50 116 \ne  100 50 148 \ns  164 50 130 \n_ 600 \n");
    EXPECT_EQ(run({"yes"}, nullptr), "_ 75 \nj  35 50 120 \ne  100 50 145 \ns  164 50 120 \n");
    EXPECT_EQ(run({"yes"}, ","), "_ 75 \nj  35 50 120 \ne  100 50 145 \ns  164 50 120 \n_ 300 \n");
    // A wh-question falls; the question word is recognised in any case.
    EXPECT_NE(run({"Why", "yes"}, "?").find("s  164 50 110 \n_ 600 \n"), std::string::npos);
    EXPECT_EQ(run({}, nullptr), "_ 75 \n");
    EnglishIntonation off;
    off.on = false;
    EXPECT_EQ(run({"yes"}, ".", off), "_ 75 \nj  35 50 120 \ne  100 50 120 \ns  164 50 120 \n_ 600 \n");
}

} // namespace
} // namespace vorsan
