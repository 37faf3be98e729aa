// Marathi or Hindi, sentence by sentence, with the shipped rule files and
// their word lists: the sentences of data/devanagari/MarathiHindi.tsv (news,
// shops, travel), each read on its own, go to the right voice.
#include <gtest/gtest.h>

#include <fstream>

#include "ShippedData.h"
#include "vorsan/core/Text.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

namespace {
// The voice database of each run the text is read in.
std::vector<std::string> voices(SpeechEngine& engine, const std::u16string& text) {
    std::vector<std::string> out;
    for (const SpeechChunk& c : engine.convertTextToPhoneme(text, false, false, false)) out.push_back(c.mbrolaDatabase);
    return out;
}

struct Engine {
    TempProfile profile;
    SpeechEngine engine;
    Engine() {
        engine.addLanguageDatabase(dataPath("pelmira/newPelmiraHindi.xml"));
        engine.addLanguageDatabase(dataPath("pelmira/PelmiraMarathi.xml"));
    }
};
} // namespace

TEST(MarathiOrHindi, EachSentenceOfTheDevelopmentSetIsReadInItsLanguage) {
    Engine e;
    std::ifstream file(dataPath("devanagari/MarathiHindi.tsv"));
    ASSERT_TRUE(file) << "no development set";
    std::map<std::string, std::pair<int, int>> right; // language -> (right, sentences)
    std::string misses;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        const std::string language = line.substr(0, tab), sentence = line.substr(tab + 1);
        ASSERT_TRUE(language == "Marathi" || language == "Hindi") << line;
        const std::vector<std::string> expected{language == "Marathi" ? "mr1" : "in1"};
        auto& [ok, all] = right[language];
        ++all;
        if (voices(e.engine, utf8ToUtf16(sentence)) == expected) ++ok;
        else misses += "  " + line + "\n";
    }
    for (const char* language : {"Marathi", "Hindi"}) {
        const auto [ok, all] = right[language];
        EXPECT_GE(all, 40) << language;
        EXPECT_GE(ok * 100, all * 95) << language << ": " << ok << " of " << all << "\n" << misses;
    }
}

TEST(MarathiOrHindi, ASentenceThatTellsNeitherFollowsTheOneBefore) {
    Engine e;
    using Runs = std::vector<std::string>;
    // Words only Marathi's list has, and no form either language is known by.
    EXPECT_EQ(voices(e.engine, u"आजचा सामना भारताने सहा गडी राखून जिंकला."), Runs{"mr1"});
    // होता and होती are Marathi words too.
    EXPECT_EQ(voices(e.engine, u"तो काल घरी होता."), Runs{"mr1"});
    EXPECT_EQ(voices(e.engine, u"मुंबईतील लोकल सेवा उशिराने धावत होती."), Runs{"mr1"});
    // "दुकान बंद." is written alike in both: it goes with the sentence before it,
    // and with nothing before it, Hindi.
    EXPECT_EQ(voices(e.engine, u"मी घरी आहे. दुकान बंद."), Runs{"mr1"});
    EXPECT_EQ(voices(e.engine, u"मैं घर पर हूँ। दुकान बंद।"), Runs{"in1"});
    EXPECT_EQ(voices(e.engine, u"दुकान बंद."), Runs{"in1"});
}
