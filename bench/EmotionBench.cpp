// Throughput of EmotionDatabase::applyEmotion in phoneme lines per second,
// with a mood that changes every one of its eighteen settings, on texts of a
// few thousand lines; the two sizes show that the cost is linear.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

#include "vorsan/emotion/EmotionDatabase.h"

namespace {

std::string emotionFile() {
    return R"(<MoodBase>
<File_Information><Title>bench</Title></File_Information>
<Language><LanguageName>Hindi</LanguageName><MbrolaDatabase>hn1</MbrolaDatabase></Language>
<SoundData>
 <LongVowel><p phonem="aa"/><p phonem="ii"/><p phonem="uu"/></LongVowel>
 <ShortVowel><p phonem="a"/><p phonem="i"/><p phonem="u"/><p phonem="e"/><p phonem="o"/></ShortVowel>
 <Liquide><p phonem="l"/><p phonem="r"/></Liquide>
 <Nasal><p phonem="n"/><p phonem="m"/></Nasal>
 <SemiVowel><p phonem="y"/><p phonem="v"/></SemiVowel>
 <FricativeVoiceless><p phonem="s"/><p phonem="h"/></FricativeVoiceless>
 <PlosiveVoiced><p phonem="d"/><p phonem="b"/><p phonem="g"/></PlosiveVoiced>
 <PlosiveVoiceless><p phonem="k"/><p phonem="t"/><p phonem="p"/></PlosiveVoiceless>
 <Silence><p phonem="_"/></Silence>
</SoundData>
<EmotionData>
 <Emotion name="Lively">
  <AverageBaseFrequency rate="110"/>
  <Range rate="120"/>
  <Vairability rate="90"/>
  <PhraseContour contour="Falling" rate="20"/>
  <StressedAVRF rate="105"/>
  <PitchContourStressed contour="Raising" gradient="6" forPhraseAndWordAlso="true"/>
  <Jitter rate="3"/>
  <SpeechRate rate="90"/>
  <Stressed rate="120" forPhraseAndWordAlso="true"/>
  <NonStressed rate="95" forPhraseAndWordAlso="false"/>
  <Vowels rate="110"/>
  <Liquides rate="90"/>
  <Nasals rate="105"/>
  <FricativeVoiced rate="95"/>
  <FricativeVoiceless rate="85"/>
  <PlosiveVoiced rate="115"/>
  <PlosiveVoiceless rate="80"/>
  <Silence rate="130"/>
 </Emotion>
</EmotionData>
</MoodBase>
)";
}

vorsan::EmotionDatabase& database() {
    static std::unique_ptr<vorsan::EmotionDatabase> db = [] {
        // A temporary profile folder too: loading writes the file's compiled
        // copy into the profile.
        const auto dir = std::filesystem::temp_directory_path() / ("vorsan-emotion-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        setenv("USERPROFILE", dir.c_str(), 1);
        const auto path = dir / "bench.xml";
        std::ofstream(path) << emotionFile();
        auto loaded = vorsan::EmotionDatabase::load(path.string());
        std::filesystem::remove_all(dir);
        return loaded;
    }();
    return *db;
}

// Syllables of every kind (single vowels, two- and three-phone syllables,
// consonant clusters) between unvoiced phones and pauses, with varied
// durations and pitch so that vowels of all three stress levels occur.
std::string phonemeText(int lines) {
    const char* phones[] = {"k", "aa", "m", "a", "l", "i", "t", "u", "n", "d", "e", "s",
                            "y", "ii", "b", "o", "r", "p", "uu", "v", "a", "h", "_", "g"};
    std::string text = "_ 200\n";
    for (int i = 1; i < lines; ++i) {
        text += phones[i % 24];
        text += " " + std::to_string(50 + i * 7 % 90) + " 0 " + std::to_string(100 + i * 13 % 80) + " 50 " +
                std::to_string(110 + i * 11 % 70) + " \n";
    }
    return text;
}

void BM_ApplyEmotion(benchmark::State& state) {
    auto& db = database();
    const int lines = static_cast<int>(state.range(0));
    const std::string text = phonemeText(lines);
    for (auto _ : state) benchmark::DoNotOptimize(db.applyEmotion(text, "Lively"));
    state.SetItemsProcessed(state.iterations() * lines);
    state.SetLabel("items/s = phoneme lines/s");
}
BENCHMARK(BM_ApplyEmotion)->Arg(2000)->Arg(8000);

} // namespace

BENCHMARK_MAIN();
