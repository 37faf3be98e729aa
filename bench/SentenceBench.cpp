// CPU time of one short sentence to a WAVE file inside a warm engine, the
// same program on every system: on Linux and, cross-built, on Windows (here
// under Wine), so the two builds' costs compare without any process start-up
// in the figures. English and Hindi, each as its own benchmark.
//
// The engine runs in a profile folder of its own with the build's English
// dictionary and the Hindi rule file, as an installed configuration has them.
// Run by hand: bench/sentence_bench (build-windows/bench/sentence_bench.exe
// under Wine).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "vorsan/core/Platform.h"
#include "vorsan/core/Text.h"
#include "vorsan/engine/SpeechEngine.h"

using namespace vorsan;
namespace fs = std::filesystem;

namespace {

struct Engine {
    fs::path dir;
    std::string output;
    std::unique_ptr<SpeechEngine> engine;
    Engine() {
        dir = fs::temp_directory_path() / ("vorsan-sentence-bench-" + std::to_string(platform::processId()));
        const fs::path english = dir / "Speechfiles" / "English";
        fs::create_directories(english);
        fs::copy_file(platform::nativePath(VORSAN_ENGLISH_DAT), english / "english.dat",
                      fs::copy_options::overwrite_existing);
        platform::setEnvironment("USERPROFILE", platform::utf8Path(dir));
        output = platform::utf8Path(dir / "sentence.wav");
        engine = std::make_unique<SpeechEngine>();
        engine->addLanguageDatabase(VORSAN_SOURCE_DIR "/data/pelmira/newPelmiraHindi.xml");
        // The first sentence maps the dictionary and warms the voice's caches.
        speak(u"Warm up. गर्म।");
    }
    ~Engine() {
        engine.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    void speak(std::u16string_view text) {
        if (!engine->convertTextToNamedFile(text, false, false, kSoundWAVE, output)) std::abort();
    }
};

Engine& engine() {
    static Engine e;
    return e;
}

void BM_ShortEnglishSentence(benchmark::State& state) {
    Engine& e = engine();
    for (auto _ : state) e.speak(u"Good morning, Asha. The train leaves at nine.");
}

void BM_ShortHindiSentence(benchmark::State& state) {
    Engine& e = engine();
    for (auto _ : state) e.speak(u"सुप्रभात आशा। गाड़ी नौ बजे चलती है।");
}

} // namespace

BENCHMARK(BM_ShortEnglishSentence)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ShortHindiSentence)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_MAIN();
