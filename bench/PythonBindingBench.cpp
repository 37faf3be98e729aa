// What the Python package adds to the engine's own time for one sentence, on
// one warm engine with the installed configuration, in an interpreter
// embedded in this program:
// - engine: the engine's renderText of the sentence into a sink that drops
//   the audio (the module's _render_discarding);
// - python: Engine.synthesize(sentence).samples (text conversion, the
//   released interpreter lock, collecting the samples, the numpy view).
// Both go through the module, since a process holds only one synthesiser
// (this program does not link the engine itself). The cases alternate, so
// machine load hits them alike.
// Times are wall time with the process's CPU time (every thread) as the
// counter cpu_ms. The last line gives the medians of the rounds and the
// python case's extra share.
//
// Not a test: run it by hand, python_binding_bench [benchmark flags].
#include <benchmark/benchmark.h>
#include <pybind11/embed.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>


namespace fs = std::filesystem;
namespace py = pybind11;

namespace {

const char* const kSentence = "नमस्ते, आज मौसम बहुत अच्छा है और हम बाज़ार जा रहे हैं।";

// A temporary profile folder with the shipped data installed as a user gets it.
struct Profile {
    fs::path dir = fs::temp_directory_path() / ("vorsan-python-bench-" + std::to_string(::getpid()));
    Profile() {
        fs::create_directories(dir);
        setenv("USERPROFILE", dir.c_str(), 1);
        const std::string install = "bash '" VORSAN_SOURCE_DIR "/data/tolvane/install.sh' > /dev/null";
        if (std::system(install.c_str()) != 0) std::fprintf(stderr, "python_binding_bench: data install failed\n");
    }
    ~Profile() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Fixture {
    Profile profile;
    py::scoped_interpreter interpreter;
    py::object pyEngine;
    py::str pyText{kSentence};
    // CPU ms per sentence of each round's final run, by round.
    std::map<int64_t, double> engineCpu, pythonCpu;

    Fixture() {
        py::module_::import("sys").attr("path").attr("insert")(0, VORSAN_PYTHON_DIR);
        pyEngine = py::module_::import("vorsan").attr("Engine")();
        pyEngine.attr("synthesize")(pyText).attr("samples"); // voices, caches and numpy loaded
    }
};

Fixture* fixture = nullptr;
constexpr int kRounds = 7;

void BM_Engine(benchmark::State& state) {
    py::object render = fixture->pyEngine.attr("_render_discarding");
    const double cpu = processCpuMs();
    for (auto _ : state) benchmark::DoNotOptimize(render(fixture->pyText).ptr());
    const double perSentence = (processCpuMs() - cpu) / static_cast<double>(state.iterations());
    fixture->engineCpu[state.range(0)] = perSentence;
    state.counters["cpu_ms"] = perSentence;
}

void BM_Python(benchmark::State& state) {
    py::object synthesize = fixture->pyEngine.attr("synthesize");
    const double cpu = processCpuMs();
    for (auto _ : state) {
        py::object audio = synthesize(fixture->pyText);
        benchmark::DoNotOptimize(audio.attr("samples").ptr());
    }
    const double perSentence = (processCpuMs() - cpu) / static_cast<double>(state.iterations());
    fixture->pythonCpu[state.range(0)] = perSentence;
    state.counters["cpu_ms"] = perSentence;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Fixture f;
    fixture = &f;
    // Alternating rounds of each, so both see the same load.
    for (int round = 0; round < kRounds; ++round) {
        benchmark::RegisterBenchmark("engine", BM_Engine)->Arg(round)->Unit(benchmark::kMillisecond)->UseRealTime();
        benchmark::RegisterBenchmark("python", BM_Python)->Arg(round)->Unit(benchmark::kMillisecond)->UseRealTime();
    }
    benchmark::RunSpecifiedBenchmarks();
    // The median of the rounds' CPU times, each case.
    auto median = [](const std::map<int64_t, double>& byRound) {
        std::vector<double> v;
        for (const auto& [round, ms] : byRound) v.push_back(ms);
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[v.size() / 2];
    };
    const double engine = median(f.engineCpu), python = median(f.pythonCpu);
    if (engine > 0 && python > 0)
        std::fprintf(stderr, "CPU per sentence (median of %d rounds): engine %.2f ms, python %.2f ms: the binding adds %.1f %%\n",
                     kRounds, engine, python, 100.0 * (python - engine) / engine);
    fixture = nullptr;
    benchmark::Shutdown();
    return 0;
}
