// Long unbroken tokens and unmatched markup, as hostile text brings them:
// - peak memory (VmHWM) of a process whose engine (the installed
//   configuration, in a temporary profile folder) renders a 512 K-character
//   token into a sink that drops the audio: Latin letters, "&" (read as a
//   word each) and a Devanagari letter sequence; each in a process of its
//   own so that peaks do not mix, next to the peak of the same engine after
//   one short sentence. Target: <= 60 MB.
// - the speech-dispatcher module's SSML reader on 1 MB of "<" that opens no
//   tag. Target: <= 0.2 s.
// Times are wall time (manual time) with the process's CPU time as cpu_ms.
//
// Not a test: run it by hand, token_bench [benchmark flags]. The "&" case
// takes minutes: its speech lasts over 40 hours.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

#include "BenchSupport.h"
#include "Ssml.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/synth/AudioSink.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kTokenLength = 512 * 1024;

// (Without the user's English dictionary: the engine's own is enough here.)
struct Profile : vorsan::bench::InstalledProfile {
    Profile() : InstalledProfile("vorsan-token-bench", false) {}
};
Profile& profile() {
    static Profile p;
    return p;
}

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

std::u16string token(int kind) {
    if (kind == 0) return std::u16string(kTokenLength, u'a');
    if (kind == 1) return std::u16string(kTokenLength, u'&');
    std::u16string t;
    while (t.size() < kTokenLength) t += u"क्षि"; // a conjunct with its vowel sign
    return t;
}

struct Drop final : vorsan::synth::AudioSink {
    void beginRun(int32_t) override {}
    void write(std::span<const int16_t>) override {}
};

// Peak resident memory (MB) of a fresh process that loads the configuration,
// speaks one sentence and then, for kind >= 0, the token; and the token's
// seconds.
double childPeakMb(int kind, double* seconds) {
    return vorsan::bench::childPeakMb(
        [kind] {
            vorsan::SpeechEngine engine;
            engine.loadConfiguration();
            Drop sink;
            engine.renderText(u"Hello world. नमस्ते दोस्त।", false, false, sink);
            const auto t0 = Clock::now();
            if (kind >= 0) engine.renderText(token(kind), false, false, sink);
            return std::chrono::duration<double>(Clock::now() - t0).count();
        },
        seconds);
}

// Arg: -1 one sentence only; 0 Latin, 1 "&", 2 Devanagari token.
void BM_TokenPeakMemory(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    double peak = 0, seconds = 0;
    for (auto _ : state) {
        peak = childPeakMb(kind, &seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["peak_mb"] = peak;
    state.counters["target_mb"] = 60;
    state.SetLabel(kind < 0 ? "one sentence" : kind == 0 ? "512K 'a'" : kind == 1 ? "512K '&'" : "512K Devanagari");
}
BENCHMARK(BM_TokenPeakMemory)->DenseRange(-1, 2)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

void BM_SsmlUnmatchedLessThan(benchmark::State& state) {
    const std::string ssml(1u << 20, '<');
    double cpu = 0;
    for (auto _ : state) {
        const double c0 = cpuSeconds();
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(vorsan::speechd::readSsml(ssml));
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
        cpu += cpuSeconds() - c0;
    }
    state.counters["cpu_ms"] = cpu * 1000 / static_cast<double>(state.iterations());
    state.counters["target_ms"] = 200;
}
BENCHMARK(BM_SsmlUnmatchedLessThan)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();

} // namespace

int main(int argc, char** argv) {
    if (!profile().installed) {
        std::fprintf(stderr, "preparing the profile folder failed\n");
        return 1;
    }
    childPeakMb(-1, nullptr); // the first use compiles the data files' cached copies
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
