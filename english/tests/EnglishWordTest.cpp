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

// Phone durations of a sentence of dictionary words ("." ends it).
std::vector<PhonemeRecord> naturalPhones(std::vector<std::pair<const char*, const char*>> words) {
    std::vector<EnglishWord> s;
    for (const auto& [text, pronunciation] : words)
        s.push_back(std::string(text) == "." || std::string(text) == ","
                        ? EnglishWord::pause(text, text[0] == '.' ? "_ 600" : "_ 300")
                        : EnglishWord::fromPronunciation(text, pronunciation));
    PhonemeRecordList out;
    appendSentenceOutput(out, s, {}, EnglishRhythm::Natural);
    std::vector<PhonemeRecord> phones;
    for (const PhonemeRecord& r : out)
        if (r.name != "_") phones.push_back(r);
    return phones;
}

TEST(SentenceOutput, TheNaturalRhythmTimesPhonesAsSpeechDoes) {
    // "the cat sat on the mat." : D @ k { t s { t Q n D @ m { t
    const auto p = naturalPhones({{"the", "D@"}, {"cat", "k'&t"}, {"sat", "s'&t"}, {"on", "'0n"},
                                  {"the", "D@"}, {"mat", "m'&t"}, {".", ""}});
    ASSERT_EQ(p.size(), 15u);
    // Phrase-final lengthening: the vowel and the t of "mat" last clearly
    // longer than those of "cat" and "sat" inside the phrase.
    EXPECT_GE(p[13].duration, p[3].duration * 13 / 10);
    EXPECT_GE(p[14].duration, p[4].duration * 13 / 10);
    EXPECT_EQ(p[3].duration, p[6].duration);
    // No word ends with a fixed extra stretch: "cat" inside the phrase ends
    // as short as a t is said.
    EXPECT_LT(p[4].duration, 90);
    // About four to seven syllables a second, as people speak (the phone
    // table with its 60 ms at every word end is slower).
    int total = 0;
    for (const PhonemeRecord& r : p) total += r.duration;
    EXPECT_GT(6 * 1000 / total, 3);
    EXPECT_LE(6 * 1000 / total, 7);

    // A comma ends a phrase too; the stressed vowel of a longer word is
    // shorter than in a word of one syllable.
    const auto q = naturalPhones({{"cat", "k'&t"}, {",", ""}, {"cat", "k'&t"}, {"catalog", "k'&t@l,0g"}, {".", ""}});
    EXPECT_GE(q[1].duration, q[4].duration * 13 / 10);
    EXPECT_LT(q[7].duration, q[4].duration);
    // The t that "tch" puts before tS is the start of tS's closure, not a
    // stop of its own: "catch" is about as long as "cat" with tS for t.
    const auto c = naturalPhones({{"catch", "k'&tS"}, {"a", "@"}});
    ASSERT_EQ(c.size(), 5u);
    EXPECT_EQ(c[2].name, "t");
    EXPECT_LE(c[2].duration, 20);
    // A function word is said quicker than the same sounds stressed.
    const auto r = naturalPhones({{"the", "D@"}, {"duh", "D'@"}, {".", ""}});
    EXPECT_LT(r[0].duration + r[1].duration, r[2].duration + r[3].duration);
}

} // namespace
} // namespace vorsan
