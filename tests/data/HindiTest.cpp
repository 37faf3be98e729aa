// Hindi: numbers are said in Hindi words up to crores, compounds keep their
// members' sounds, a whole sentence becomes audible speech, and statements
// fall and questions rise at the end.
#include <gtest/gtest.h>

#include "AudioAnalysis.h"
#include "ShippedData.h"
#include "vorsan/core/PhonemeText.h"
#include "vorsan/core/Text.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/prosody/Prosody.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

namespace {
const std::string kHindi = "pelmira/newPelmiraHindi.xml";

// The engine's phoneme text of the text (one run) and its audio as a WAVE file.
std::pair<std::string, Audio> speak(SpeechEngine& engine, const std::u16string& text) {
    const std::string phonemes = engine.convertTextToPhoneme(text, false, false, false).at(0).phoneString;
    const StringList files = engine.convertTextToSoundFile(text, false, false, kSoundWAVE);
    EXPECT_EQ(files.size(), 1u);
    return {phonemes, readAudio(utf16ToUtf8(files.at(0)))};
}
} // namespace

TEST(Hindi, NumbersAreSaidInHindiWordsAndSentencesHaveTheirShape) {
    TempProfile profile;
    auto hindi = LanguageRuleBase::load(dataPath(kHindi));
    const std::pair<const char*, const char16_t*> cases[] = {
        {"7", u" सात"},
        {"45", u" पैंतालीस"},
        {"99", u" निन्यानवे"},
        {"101", u" एक सौ एक"},
        {"250", u" दो सौ पचास"},
        {"1000", u" एक हज़ार"},
        {"2500", u" दो हज़ार पाँच सौ"},
        {"150000", u" एक लाख पचास हज़ार"},
        {"12345678", u" एक करोड़ तेईस लाख पैंतालीस हज़ार छह सौ अठहत्तर"},
        {"99999999", u" नौ करोड़ निन्यानवे लाख निन्यानवे हज़ार नौ सौ निन्यानवे"},
    };
    for (const auto& [digits, expected] : cases)
        EXPECT_EQ(utf16ToUtf8(hindi->digitWords()->numberToWords(digits)), utf16ToUtf8(expected)) << digits;
    // Devanagari digits are the same numbers; the words are pronounced with
    // the number words' own sounds.
    EXPECT_EQ(spokenPhones(hindi->convertWord(u"2500")), "d oo h a z aa r p aaN ch s au");
    EXPECT_EQ(spokenPhones(hindi->convertWord(u"२५००")), "d oo h a z aa r p aaN ch s au");
    EXPECT_EQ(spokenPhones(hindi->convertWord(u"78")), "a Th h a t t a r");
    // Numbers as written in running text: grouped with commas, and decimals.
    EXPECT_EQ(normaliseNumbers(u"1,00,000 और 3.25", *hindi), u"100000 और 3 दशमलव 2 5");
    // Statements and exclamations fall at the end, questions rise: each
    // pattern's last frame against the one half a second (25 frames) before it.
    const SentenceTypeTable& types = *hindi->sentenceTypes();
    for (const char* falling : {"Statement", "Exclamation"})
        EXPECT_LT(types.at(falling).pitchPattern.back() - types.at(falling).pitchPattern.at(474), -10) << falling;
    EXPECT_GT(types.at("Question").pitchPattern.back() - types.at("Question").pitchPattern.at(474), 40);
}

TEST(Hindi, CompoundsEndTheirFirstMemberLikeAWord) {
    TempProfile profile;
    auto hindi = LanguageRuleBase::load(dataPath(kHindi));
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"दिनभर", "d i n bh a r"},          // a listed second member
        {u"रातभर।", "r aa t bh a r"},        // ... before a sentence mark
        {u"पागलपन", "p aa g a l p a n"},
        {u"समझदार", "s a m a jh d aa r"},    // the first member's own rules
        {u"उतरकर", "u t a r k a r"},
        {u"शंकर", "sh a ng k a r"},          // a nasal sign: one word
        {u"निर्भर", "n i r bh a r"},          // a conjunct: one word
        {u"तपन", "t a p a n"},               // a first member of one letter: one word
        {u"करवट", "k a r v a T"},            // the exception list
    };
    for (const auto& [word, phones] : cases) EXPECT_EQ(spokenPhones(hindi->convertWord(word)), phones) << utf16ToUtf8(word);
}

TEST(Hindi, CompoundsOfTwoListedWordsAreSaidAsTheirMembers) {
    TempProfile profile;
    auto hindi = LanguageRuleBase::load(dataPath(kHindi));
    const std::pair<const char16_t*, const char*> cases[] = {
        // The first member's final vowel drops, as at the end of a word.
        {u"जनमत", "j a n m a t"},
        {u"जलचर", "j a l ch a r"},
        {u"नभचर", "n a bh ch a r"},
        {u"नीलकमल", "n ii l k a m a l"},
        {u"कमलनयन", "k a m a l n a y a n"},
        {u"पवनचक्की", "p a v a n ch a k k ii"},
        {u"जेबकतरा", "j ee b k a t r aa"},
        {u"दशमलव", "d a sh a m l a v"},
        {u"(जनमत)।", "j a n m a t"},
        // Words that look like two listed words but are one.
        {u"मेहनत", "m ee h a n a t"},      // ह closes the first part
        {u"कर्मक्षम", "k a r m a k Sh a m"}, // a conjunct in the first part
        {u"उपलब्ध", "u p a l a b dh"},      // a prefix
        {u"विलक्षण", "v i l a k Sh a N"},   // a conjunct starts the second part
        {u"आकलन", "aa k a l a n"},         // an ending
        {u"बरतने", "b a r a t n ee"},
        {u"कमल", "k a m a l"},             // too short to divide
    };
    for (const auto& [word, phones] : cases) EXPECT_EQ(spokenPhones(hindi->convertWord(word)), phones) << utf16ToUtf8(word);
}

TEST(Hindi, WordsAreLookedUpWithoutTheirBracketsAndQuotes) {
    TempProfile profile;
    auto hindi = LanguageRuleBase::load(dataPath(kHindi));
    // Listed words (हलचल keeps its medial schwa out, वह says "voh") and a
    // compound with a listed member, with marks attached on either side.
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"(हलचल)", "h a l ch a l"}, {u"\"हलचल\",", "h a l ch a l"}, {u"वह)", "v oo h"},
        {u"(वह", "v oo h"},          {u"\u201cवह\u201d", "v oo h"},    {u"[दिनभर]", "d i n bh a r"},
    };
    for (const auto& [word, phones] : cases) EXPECT_EQ(spokenPhones(hindi->convertWord(word)), phones) << utf16ToUtf8(word);
}

TEST(Hindi, SpeechHasNoGapsAndQuestionsRiseAboveStatements) {
    TempProfile profile;
    SpeechEngine engine;
    engine.addLanguageDatabase(dataPath(kHindi));
    DiagnosticCapture diagnostics; // a missing diphone would be named here
    const auto [phonemes, audio] = speak(engine, u"नमस्ते, मेरा नाम राम है। मेरे पास 2500 रुपये हैं।");
    EXPECT_EQ(diagnostics.text(), "");
    PhonemeRecordList list;
    list.read(phonemes);
    std::string names;
    for (const auto& r : list) names += " " + r.name;
    // Schwa deleted at the ends of words, kept before the cluster of namaste;
    // the number is said in words.
    EXPECT_NE(names.find(" n a m a s t ee _"), std::string::npos) << names;
    EXPECT_NE(names.find(" r aa m _"), std::string::npos) << names;
    EXPECT_NE(names.find(" d oo _ h a z aa r _ p aaN ch _ s au _"), std::string::npos) << names;

    EXPECT_NEAR(audio.seconds(), phonemeSeconds(phonemes) * 0.75, 0.05);
    // Speech from the first word to the last, with the pause after the comma.
    EXPECT_GT(rms(audio, 0.2, 0.4), 0.02);
    EXPECT_GT(rms(audio, audio.seconds() - 0.9, audio.seconds() - 0.5), 0.02);
    const auto pitch = medianPitch(audio, 0.0, audio.seconds());
    ASSERT_TRUE(pitch.has_value());
    EXPECT_GT(*pitch, 80.0);
    EXPECT_LT(*pitch, 160.0);

    // The same words as a statement and as a yes/no question: the pitch just
    // before the end of speech (ratios 0.75).
    auto finalPitch = [&](const std::u16string& text) {
        const auto [said, sound] = speak(engine, text);
        PhonemeRecordList records;
        records.read(said);
        double ms = 0, end = 0;
        for (const auto& r : records) {
            ms += r.duration;
            if (r.name != "_") end = ms;
        }
        end = end / 1000.0 * 0.75;
        return medianPitch(sound, end - 0.2, end - 0.02);
    };
    const auto statement = finalPitch(u"आप कल घर जा रहे हैं।");
    const auto question = finalPitch(u"आप कल घर जा रहे हैं?");
    ASSERT_TRUE(statement.has_value() && question.has_value());
    EXPECT_GT(*question, *statement * 1.4);
}

TEST(Hindi, ANumberReadAsSeveralWordsIsOneWordOfTheText) {
    TempProfile profile;
    auto hindi = LanguageRuleBase::load(dataPath(kHindi));
    const std::u16string text = u"मेरे पास 2500 रुपये हैं। 15/08/1947 को ₹12.50 मिले।";
    std::vector<std::pair<std::u16string, std::size_t>> words; // (text of the word, line)
    prosodySentences(text, hindi.get(), false, [&](PhonemeRecordList&&, std::vector<WordMark>&& marks) {
        for (const WordMark& m : marks) words.emplace_back(text.substr(m.offset, m.length), m.line);
    });
    std::vector<std::string> said;
    for (const auto& [w, line] : words) said.push_back(utf16ToUtf8(w));
    // (A sentence's last word keeps its danda.)
    EXPECT_EQ(said, (std::vector<std::string>{"मेरे", "पास", "2500", "रुपये", "हैं।", "15/08/1947", "को", "₹12.50",
                                              "मिले।"}));
}
