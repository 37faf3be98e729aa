// What the Python package adds to the engine's own time for one sentence, on
// one warm engine with the installed configuration, in an interpreter
// embedded in this program:
// - engine: the engine's renderText of the sentence into a sink that drops
//   the audio (the module's _render_discarding);
// - kept: the engine doing the whole of what synthesize() asks of it, the
//   samples gathered in memory and the words' starts reported
//   (_render_discarding(text, keep=True));
// - python: Engine.synthesize(sentence).samples (text conversion, the
//   released interpreter lock, collecting the samples, the numpy view).
// - stop: Engine.stop() on this thread while another Python thread is 100 ms
//   into synthesize() of a long text, until that call has returned (wall
//   time; target 50 ms).
// Both go through the module, since a process holds only one synthesiser
// (this program does not link the engine itself). The case "turns" runs one
// of each in turn (the order rotating), so the machine's load of the moment
// hits all alike; each call's process CPU time (every thread) is kept, and
// the last lines give each case's median, the medians of python's extra over
// engine and over kept in the same turn, and the stop latencies.
// (Under callgrind the python case executes 1 % more instructions.)
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
#include <string>
#include <vector>

#include "BenchSupport.h"


namespace fs = std::filesystem;
namespace py = pybind11;

namespace {

const char* const kSentence = "नमस्ते, आज मौसम बहुत अच्छा है और हम बाज़ार जा रहे हैं।";

// A temporary profile folder with the shipped data installed as a user gets it.
struct Profile : vorsan::bench::InstalledProfile {
    Profile() : InstalledProfile("vorsan-python-bench", false) {
        if (!installed) std::fprintf(stderr, "python_binding_bench: data install failed\n");
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
    py::object stopLatency;
    std::vector<double> stopMs;
    // CPU ms of each call, by case (engine, kept, python), and python's
    // extra over engine and over kept in each turn.
    std::vector<double> ms[3], extraMs[2];

    Fixture() {
        py::module_::import("sys").attr("path").attr("insert")(0, VORSAN_PYTHON_DIR);
        pyEngine = py::module_::import("vorsan").attr("Engine")();
        pyEngine.attr("synthesize")(pyText).attr("samples"); // voices, caches and numpy loaded
        py::dict scope;
        py::exec(R"(
import threading, time

def stop_latency(engine):
    text = "This sentence is here to keep the engine busy for a while. " * 1500
    worker = threading.Thread(target=engine.synthesize, args=(text,))
    worker.start()
    time.sleep(0.1)
    started = time.perf_counter()
    engine.stop()
    worker.join()
    return time.perf_counter() - started
)",
                 scope);
        stopLatency = scope["stop_latency"];
    }
};

Fixture* fixture = nullptr;

double median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void BM_Turns(benchmark::State& state) {
    py::object render = fixture->pyEngine.attr("_render_discarding");
    py::object synthesize = fixture->pyEngine.attr("synthesize");
    int first = 0;
    for (auto _ : state) {
        double turn[3] = {};
        for (int i = 0; i < 3; ++i) {
            const int which = (first + i) % 3;
            const double started = processCpuMs();
            if (which == 2) benchmark::DoNotOptimize(synthesize(fixture->pyText).attr("samples").ptr());
            else benchmark::DoNotOptimize(render(fixture->pyText, which == 1).ptr());
            turn[which] = processCpuMs() - started;
        }
        first = (first + 1) % 3;
        for (int c = 0; c < 3; ++c) fixture->ms[c].push_back(turn[c]);
        fixture->extraMs[0].push_back(turn[2] - turn[0]);
        fixture->extraMs[1].push_back(turn[2] - turn[1]);
    }
}

void BM_Stop(benchmark::State& state) {
    for (auto _ : state) {
        const double seconds = fixture->stopLatency(fixture->pyEngine).cast<double>();
        fixture->stopMs.push_back(seconds * 1e3);
        state.SetIterationTime(seconds);
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Fixture f;
    fixture = &f;
    benchmark::RegisterBenchmark("turns", BM_Turns)->Iterations(300)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("stop", BM_Stop)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    const double engine = median(f.ms[0]), kept = median(f.ms[1]), python = median(f.ms[2]);
    const double overEngine = median(f.extraMs[0]), overKept = median(f.extraMs[1]);
    if (engine > 0 && kept > 0)
        std::fprintf(stderr,
                     "CPU per sentence (medians of %zu turns): engine %.3f ms, kept %.3f ms, python %.3f ms; "
                     "the binding adds %.3f ms (%.1f %%) to engine, %.3f ms (%.1f %%) to kept\n",
                     f.ms[0].size(), engine, kept, python, overEngine, 100.0 * overEngine / engine, overKept,
                     100.0 * overKept / kept);
    if (!f.stopMs.empty()) {
        std::sort(f.stopMs.begin(), f.stopMs.end());
        std::fprintf(stderr, "Stop to synthesize() returning (%zu stops): median %.1f ms, slowest %.1f ms\n",
                     f.stopMs.size(), f.stopMs[f.stopMs.size() / 2], f.stopMs.back());
    }
    fixture = nullptr;
    benchmark::Shutdown();
    return 0;
}
