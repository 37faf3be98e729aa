#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vorsan/english/EnglishWord.h"

namespace vorsan {
namespace {

std::vector<std::string> phoneNames(const EnglishWord& w) {
    std::vector<std::string> out;
    for (int i = 0; i < w.count; ++i) out.emplace_back(englishphones::name(w.phones[static_cast<std::size_t>(i)]));
    return out;
}
std::vector<int> stresses(const EnglishWord& w) { return {w.stress.begin(), w.stress.begin() + w.count}; }
using Names = std::vector<std::string>;

TEST(EnglishPhones, NamesDurationsAndNumbers) {
    EXPECT_EQ(englishphones::cell(33), "p ");
    EXPECT_EQ(englishphones::cell(49), "tS");
    EXPECT_EQ(englishphones::cell(76), "U@");
    EXPECT_EQ(englishphones::cell(32), "");
    EXPECT_EQ(englishphones::cell(77), "");
    EXPECT_EQ(englishphones::duration(33), 97);
    EXPECT_EQ(englishphones::duration(44), 104);
    EXPECT_EQ(englishphones::duration(58), 166);
    EXPECT_EQ(englishphones::duration(76), 134);
    EXPECT_EQ(englishphones::number("{"), 64);
    EXPECT_EQ(englishphones::number("@U"), 72);
    EXPECT_EQ(englishphones::number("x"), 0);
}

TEST(EnglishWord, LetterToSoundCodesBecomePhones) {
    EXPECT_EQ(phoneNames(EnglishWord::fromCodes("view", "YUw")), (Names{"u:", "w"}));
    EXPECT_EQ(phoneNames(EnglishWord::fromCodes("again", "AXgEHn")), (Names{"@", "g", "e", "n"}));
    EXPECT_EQ(phoneNames(EnglishWord::fromCodes("watch", "wAAtCH")), (Names{"w", "A:", "t", "tS"}));
    EXPECT_EQ(phoneNames(EnglishWord::fromCodes("the", "DHAX")), (Names{"D", "@"}));
    EXPECT_EQ(phoneNames(EnglishWord::fromCodes("x", "yjNGTHSHZHWH")), (Names{"j", "dZ", "N", "T", "S", "Z", "w"}));
    // Pauses, unknown pairs and a trailing upper-case letter give nothing.
    EXPECT_EQ(phoneNames(EnglishWord::fromCodes("x", " kQQxEHA")), (Names{"k", "e"}));
    EXPECT_EQ(stresses(EnglishWord::fromCodes("cat", "kAEt")), (std::vector<int>{0, 0, 0}));
}

TEST(EnglishWord, PronunciationsBecomePhonesWithStress) {
    const EnglishWord hello = EnglishWord::fromPronunciation("hello", "h@l'@U");
    EXPECT_EQ(phoneNames(hello), (Names{"h", "@", "l", "@U"}));
    EXPECT_EQ(stresses(hello), (std::vector<int>{0, 0, 0, 25}));

    const EnglishWord nineteen = EnglishWord::fromPronunciation("nineteen", "n,aInt'i:n");
    EXPECT_EQ(phoneNames(nineteen), (Names{"n", "aI", "n", "t", "i:", "n"}));
    EXPECT_EQ(stresses(nineteen), (std::vector<int>{0, 15, 0, 0, 25, 0}));

    EXPECT_EQ(phoneNames(EnglishWord::fromPronunciation("w", "&3AO0uiVUeI@e@U@oIaUdZ")),
              (Names{"{", "3:", "A:", "O:", "Q", "u:", "i:", "V", "U", "eI", "@", "e@", "U@", "OI", "aU", "dZ"}));
    // A lone a or o, ":" and characters up to "%" give nothing.
    EXPECT_EQ(phoneNames(EnglishWord::fromPronunciation("w", "a:o! #k")), (Names{"k"}));
    EXPECT_EQ(EnglishWord::fromPronunciation("w", "_ 600").count, 0);
    EXPECT_TRUE(EnglishWord::fromPronunciation("w", "_ 600").isPause());
}

TEST(EnglishWord, TchSpellingsGetATBeforeTheAffricate) {
    EXPECT_EQ(phoneNames(EnglishWord::fromPronunciation("kitchen", "k'ItS@n")),
              (Names{"k", "I", "t", "tS", "@", "n"}));
    EXPECT_EQ(phoneNames(EnglishWord::fromPronunciation("WATCH", "w'0tS")), (Names{"w", "Q", "t", "tS"}));
    // No tch in the spelling, an affricate first, or a t already there.
    EXPECT_EQ(phoneNames(EnglishWord::fromPronunciation("church", "tS'3:tS")), (Names{"tS", "3:", "tS"}));
    EXPECT_EQ(phoneNames(EnglishWord::fromPronunciation("tchotchke", "tS'0tS")), (Names{"tS", "Q", "t", "tS"}));
    EXPECT_EQ(phoneNames(EnglishWord::fromPronunciation("match", "m'&ttS")), (Names{"m", "{", "t", "tS"}));
}

TEST(EnglishWord, PhonesBeyondFiftyAreDropped) {
    EXPECT_EQ(EnglishWord::fromCodes("w", std::string(400, 'k')).count, EnglishWord::kMaxPhones);
    EXPECT_EQ(EnglishWord::fromPronunciation("w", std::string(400, 'p')).count, EnglishWord::kMaxPhones);
    std::string tch;
    for (int i = 0; i < 60; ++i) tch += "atS";
    EXPECT_EQ(EnglishWord::fromPronunciation("tch", tch).count, EnglishWord::kMaxPhones);
}

TEST(SentenceOutput, ContoursFollowTheSentenceType) {
    auto sentence = [](std::vector<std::string> words, const char* mark) {
        std::vector<EnglishWord> s;
        for (auto& w : words) s.push_back(EnglishWord::fromPronunciation(w, w == "why" ? "w'aI" : "j'es"));
        if (mark != nullptr) s.push_back(EnglishWord::pause(mark, mark[0] == ',' ? "_ 300" : "_ 600"));
        return s;
    };
    auto run = [](std::vector<EnglishWord> s) {
        std::string out = sentenceOutput(s);
        EXPECT_TRUE(s.empty());
        return out;
    };
    // j e s: three phones, the vowel stressed, the last one lengthened.
    EXPECT_EQ(run(sentence({"yes"}, ".")), "_ 75 \nj  35 50 124 \ne  84 50 142 \ns  164 50 110 \n_ 600 \n");
    EXPECT_EQ(run(sentence({"yes"}, "!")), "_ 75 \nj  35 50 116 \ne  84 50 148 \ns  164 50 130 \n_ 600 \n");
    EXPECT_EQ(run(sentence({"yes"}, "?")), "_ 75 \nj  35 50 116 \ne  84 50 148 \ns  164 50 130 \n_ 600 \n");
    EXPECT_EQ(run(sentence({"yes"}, nullptr)), "_ 75 \nj  35 50 120 \ne  84 50 145 \ns  164 50 120 \n");
    EXPECT_EQ(run(sentence({"yes"}, ",")), "_ 75 \nj  35 50 120 \ne  84 50 145 \ns  164 50 120 \n_ 300 \n");
    // A wh-question falls; the question word is recognised in any case.
    const std::string why = run(sentence({"Why", "yes"}, "?"));
    EXPECT_NE(why.find("s  164 50 110 \n_ 600 \n"), std::string::npos) << why;
    EXPECT_EQ(run({}), "_ 75 \n");

    EnglishIntonation off;
    off.on = false;
    std::vector<EnglishWord> s = sentence({"yes"}, ".");
    EXPECT_EQ(sentenceOutput(s, off), "_ 75 \nj  35 50 120 \ne  84 50 120 \ns  164 50 120 \n_ 600 \n");
}

} // namespace
} // namespace vorsan
