#pragma once
// Builds emotion files for the tests: a fixed sound table and moods given as
// overrides of the neutral settings.
#include <array>
#include <map>
#include <string>
#include <vector>

namespace vorsan::emotiontest {

// Attributes of the eighteen settings of a neutral mood, by position.
inline std::array<std::string, 18> neutralSettings() {
    return {
        R"(<AverageBaseFrequency rate="100"/>)",
        R"(<Range rate="100"/>)",
        R"(<Vairability rate="100"/>)",
        R"(<PhraseContour contour="Raising" rate="0"/>)",
        R"(<StressedAVRF rate="100"/>)",
        R"(<PitchContourStressed contour="Raising" gradient="0" forPhraseAndWordAlso="false"/>)",
        R"(<Jitter rate="0"/>)",
        R"(<SpeechRate rate="100"/>)",
        R"(<Stressed rate="100" forPhraseAndWordAlso="false"/>)",
        R"(<NonStressed rate="100" forPhraseAndWordAlso="false"/>)",
        R"(<Vowels rate="100"/>)",
        R"(<Liquides rate="100"/>)",
        R"(<Nasals rate="100"/>)",
        R"(<FricativeVoiced rate="100"/>)",
        R"(<FricativeVoiceless rate="100"/>)",
        R"(<PlosiveVoiced rate="100"/>)",
        R"(<PlosiveVoiceless rate="100"/>)",
        R"(<Silence rate="100"/>)",
    };
}

// One Emotion element: the neutral settings with some replaced (position ->
// whole element text).
inline std::string mood(const std::string& name, const std::map<int, std::string>& overrides = {}) {
    auto settings = neutralSettings();
    for (const auto& [i, text] : overrides) settings[static_cast<std::size_t>(i)] = text;
    std::string out = "  <Emotion name=\"" + name + "\">\n";
    for (const auto& s : settings) out += "    " + s + "\n";
    return out + "  </Emotion>\n";
}

// Sound table: a aa long vowels; i e short vowels; l r liquids; n m nasals;
// z voiced fricative; y semivowel; s voiceless fricative; d voiced plosive;
// t k voiceless plosives; _ silence.
inline std::string soundData() {
    return "<SoundData>\n"
           " <LongVowel><p phonem=\"a\"/><p phonem=\"aa\"/></LongVowel>\n"
           " <ShortVowel><p phonem=\"i\"/><p phonem=\"e\"/></ShortVowel>\n"
           " <Liquide><p phonem=\"l\"/><p phonem=\"r\"/></Liquide>\n"
           " <Nasal><p phonem=\"n\"/><p phonem=\"m\"/></Nasal>\n"
           " <FricativeVoiced><p phonem=\"z\"/></FricativeVoiced>\n"
           " <SemiVowel><p phonem=\"y\"/></SemiVowel>\n"
           " <FricativeVoiceless><p phonem=\"s\"/></FricativeVoiceless>\n"
           " <PlosiveVoiced><p phonem=\"d\"/></PlosiveVoiced>\n"
           " <PlosiveVoiceless><p phonem=\"t\"/><p phonem=\"k\"/></PlosiveVoiceless>\n"
           " <Silence><p phonem=\"_\"/></Silence>\n"
           "</SoundData>\n";
}

inline std::string emotionFile(const std::string& moods, const std::string& sounds = soundData()) {
    return "<?xml version=\"1.0\"?>\n<MoodBase>\n"
           "<File_Information><Title>Test moods</Title><Author>Tester</Author><Version>1</Version></File_Information>\n"
           "<Language><LanguageName>Hindi</LanguageName><MbrolaDatabase>in1</MbrolaDatabase></Language>\n" +
           sounds + "<EmotionData>\n" + moods + "</EmotionData>\n</MoodBase>\n";
}

} // namespace vorsan::emotiontest
