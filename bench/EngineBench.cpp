// End-to-end speed of the engine: text to sound files (real-time factor),
// the latency of a short sentence's file, and the start-up of a fresh
// process; the same texts through espeak-ng and Festival's text2wave for
// comparison.
#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "vorsan/core/Text.h"
#include "vorsan/engine/SpeechEngine.h"

using namespace vorsan;
namespace fs = std::filesystem;

namespace {

const char* kEnglishParagraph =
    "The monsoon reached the western coast early this year, and farmers in the valley began sowing rice "
    "a full week before the usual date. Officials said that the reservoirs held 1,250 million litres, "
    "which is enough for the dry months ahead. Schools will reopen on Monday; teachers have asked parents "
    "to check the new timetable. ";

const char* kHindiParagraph =
    "इस साल मानसून पश्चिमी तट पर जल्दी पहुँचा, और घाटी के किसानों ने सामान्य तारीख़ से एक हफ़्ता पहले धान "
    "बोना शुरू कर दिया। अधिकारियों ने बताया कि जलाशयों में 1250 लाख लीटर पानी है, जो आने वाले सूखे महीनों "
    "के लिए काफ़ी है। स्कूल सोमवार को फिर से खुलेंगे; शिक्षकों ने माता-पिता से नई समय-सारणी देखने को कहा है। ";

std::string hindiRuleFile() { return std::string(VORSAN_SOURCE_DIR) + "/data/pelmira/newPelmiraHindi.xml"; }

struct Bench {
    fs::path dir;
    std::unique_ptr<SpeechEngine> engine;
    Bench() {
        dir = fs::temp_directory_path() / ("vorsan-bench-" + std::to_string(getpid()));
        fs::create_directories(dir);
        setenv("USERPROFILE", dir.c_str(), 1);
        // The real English dictionary, when installed, makes the text realistic.
        const char* home = std::getenv("HOME");
        if (home) {
            fs::path dict = fs::path(home) / "Speechfiles/English/english.dat";
            std::error_code ec;
            fs::create_directories(dir / "Speechfiles/English", ec);
            if (fs::exists(dict)) fs::create_symlink(dict, dir / "Speechfiles/English/english.dat", ec);
        }
        engine = std::make_unique<SpeechEngine>();
        engine->addLanguageDatabase(hindiRuleFile());
    }
    ~Bench() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Bench& bench() {
    static Bench b;
    return b;
}

double secondsOf(const std::string& path) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) return 0;
    sf_close(f);
    return static_cast<double>(info.frames) / info.samplerate;
}

std::string repeat(const char* s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

void toFileRealTimeFactor(benchmark::State& state, const char* paragraph, int repeats) {
    Bench& b = bench();
    std::u16string text = utf8ToUtf16(repeat(paragraph, repeats));
    double audio = 0, processing = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        StringList files = b.engine->convertTextToSoundFile(text, false, false, kSoundWAVE);
        processing += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        for (const auto& f : files) audio += secondsOf(utf16ToUtf8(f));
    }
    state.counters["audio_s_per_iter"] = audio / static_cast<double>(state.iterations());
    state.counters["real_time_factor"] = processing / audio;
}

void BM_EnglishToFile(benchmark::State& state) { toFileRealTimeFactor(state, kEnglishParagraph, 20); }
void BM_HindiToFile(benchmark::State& state) { toFileRealTimeFactor(state, kHindiParagraph, 20); }

void BM_ShortSentenceFirstFile(benchmark::State& state) {
    Bench& b = bench();
    b.engine->convertTextToSoundFile(u"Warm up.", false, false, kSoundWAVE);
    for (auto _ : state) benchmark::DoNotOptimize(b.engine->convertTextToSoundFile(u"Good morning, Asha.", false, false, kSoundWAVE));
}

// CPU per sentence (all threads) of the stages a sentence passes, with the
// Hindi mood and accent on: text to phones, mood and accent alone (the
// phoneme text of the whole printed once at the end), and the whole way to a
// WAVE file at 1.5 times the speed.
constexpr int kStagedRepeats = 5;
constexpr double kSentencesPerParagraph = 3;

SpeechEngine& stagedEngine() {
    Bench& b = bench();
    static const bool ready = [&] {
        const std::string data = std::string(VORSAN_SOURCE_DIR) + "/data/";
        b.engine->setEmotionDatabase("Hindi", b.engine->addEmotionDatabase(data + "ruvetta/Hindi_in1.xml"));
        b.engine->setActiveMood("Hindi", u"Sad");
        b.engine->setAccentDatabase("Hindi", b.engine->addAccentDatabase(data + "oskalen/in1totl1.xml"));
        return true;
    }();
    (void)ready;
    return *b.engine;
}

void perSentence(benchmark::State& state) {
    state.counters["cpu_s_per_sentence"] =
        benchmark::Counter(kSentencesPerParagraph * kStagedRepeats,
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_SentenceStagesToPhonemes(benchmark::State& state) {
    SpeechEngine& e = stagedEngine();
    const std::u16string text = utf8ToUtf16(repeat(kHindiParagraph, kStagedRepeats));
    for (auto _ : state) benchmark::DoNotOptimize(e.convertTextToPhoneme(text, true, true, false));
    perSentence(state);
}

void BM_SentenceStagesToFile(benchmark::State& state) {
    SpeechEngine& e = stagedEngine();
    const std::u16string text = utf8ToUtf16(repeat(kHindiParagraph, kStagedRepeats));
    const std::string path = (bench().dir / "staged.wav").string();
    const SpeechEngine::RenderOptions options{true, true, 1.5f, 1.0f, 0};
    for (auto _ : state) benchmark::DoNotOptimize(e.convertTextToNamedFile(text, options, kSoundWAVE, path));
    perSentence(state);
}

// Runs a shell command and returns its wall time in seconds.
double timeCommand(const std::string& cmd) {
    auto t0 = std::chrono::steady_clock::now();
    int rc = std::system(cmd.c_str());
    (void)rc;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// A fresh process: engine start-up with English and one Indian language
// loaded, up to the end of a short sentence's file.
void BM_ProcessStartupToFirstFile(benchmark::State& state) {
    Bench& b = bench();
    std::string cmd = "USERPROFILE=" + b.dir.string() + " " VORSAN_CLI " -q -l " + hindiRuleFile() +
                      " tofile 'Good morning.' >/dev/null 2>&1";
    for (auto _ : state) state.SetIterationTime(timeCommand(cmd));
}

// The same long English text through the peers, for the ratio.
void peerRealTimeFactor(benchmark::State& state, const std::string& tool) {
    Bench& b = bench();
    fs::path txt = b.dir / "peer.txt", wav = b.dir / "peer.wav";
    std::ofstream(txt) << repeat(kEnglishParagraph, 20);
    std::string cmd = tool == "espeak"
                          ? "espeak-ng -w " + wav.string() + " -f " + txt.string() + " >/dev/null 2>&1"
                          : "text2wave -o " + wav.string() + " " + txt.string() + " >/dev/null 2>&1";
    double processing = 0, audio = 0;
    for (auto _ : state) {
        double t = timeCommand(cmd);
        state.SetIterationTime(t);
        processing += t;
        audio += secondsOf(wav.string());
    }
    state.counters["real_time_factor"] = audio > 0 ? processing / audio : 0;
}
void BM_PeerEspeakNg(benchmark::State& state) { peerRealTimeFactor(state, "espeak"); }
void BM_PeerFestivalText2Wave(benchmark::State& state) { peerRealTimeFactor(state, "text2wave"); }

} // namespace

BENCHMARK(BM_EnglishToFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_HindiToFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ShortSentenceFirstFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SentenceStagesToPhonemes)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_SentenceStagesToFile)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ProcessStartupToFirstFile)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_PeerEspeakNg)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);
BENCHMARK(BM_PeerFestivalText2Wave)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
BENCHMARK_MAIN();
