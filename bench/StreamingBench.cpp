// Streaming speech through the engine API on a warm engine (configuration
// loaded, compiled caches present, one sentence spoken first so the
// synthesiser and its voices are loaded), with the installed configuration
// in a temporary profile folder:
// - time to first audio: renderText of a 1 KB and a 1 MB text (English and Hindi in turns, Hindi, English) until the sink
//   receives its first samples (the request is then stopped);
// - cost per KB: the whole convertTextToPhoneme and the whole renderText into
//   a sink that drops the audio, for texts of 1 KB to 1 MB and 4 KB to 256 KB; each size's time
//   per KB is printed with its ratio to the previous size's at the end;
// - loadConfiguration of the installed configuration, warm;
// - peak memory (VmHWM) of converting a text to a WAVE file with
//   convertTextToNamedFile, each case in a process of its own so that peaks
//   do not mix, next to the peak of the same warm engine speaking one
//   sentence to a file.
// Times are wall time (manual time) with the process's CPU time (every
// thread, user plus system) as the counter cpu_ms, since the machine may be
// shared.
//
// Not a test: run it by hand,
//   streaming_bench [--memory-kb N] [--memory-runs N] [benchmark flags]
// (--memory-kb 0 skips the memory cases; the default text is 1024 KB.)
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "vorsan/core/MException.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/synth/AudioSink.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// A temporary profile folder with the shipped data installed the way a user
// gets it; the user's English dictionary, when there is one, is linked in.
struct Profile : vorsan::bench::InstalledProfile {
    Profile() : InstalledProfile("vorsan-streaming-bench") {}
};

Profile& profile() {
    static Profile p;
    return p;
}

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Mixed English and Hindi sentences repeated to at least `bytes` bytes of
// UTF-16 text (1 KB = 512 code units), cut at a sentence end.
// Text of about `bytes` (UTF-16) from sentences of one kind: English and
// Hindi taking turns (0), Hindi alone (1), English alone (2).
std::u16string sampleText(std::size_t bytes, int kind = 0) {
    static const std::u16string sentences[] = {
        u"The train to Delhi leaves at seven in the morning. ",
        u"मेरे पास दो सौ रुपये हैं और आज मौसम अच्छा है। ",
        u"Please bring the blue file to the office tomorrow. ",
        u"हम कल सुबह बाज़ार जाएँगे और सब्ज़ी खरीदेंगे। ",
    };
    std::u16string text;
    for (std::size_t i = 0; text.size() * 2 < bytes; ++i)
        text += sentences[kind == 0 ? i % 4 : kind == 1 ? 1 + 2 * (i % 2) : 2 * (i % 2)];
    return text;
}
std::u16string mixedText(std::size_t bytes) { return sampleText(bytes); }

// A sink that drops the audio; optionally notes the first write and stops
// the request there.
class TimingSink final : public vorsan::synth::AudioSink {
public:
    explicit TimingSink(vorsan::SpeechEngine* stopAtFirst = nullptr) : stop_(stopAtFirst) {}
    void beginRun(int32_t) override {}
    void write(std::span<const int16_t> s) override {
        if (!s.empty() && !seen) {
            seen = true;
            firstAt = Clock::now();
            firstCpuMs = processCpuMs();
            if (stop_) stop_->stopSpeaking();
        }
        samples += s.size();
    }
    bool seen = false;
    Clock::time_point firstAt;
    double firstCpuMs = 0;
    std::size_t samples = 0;

private:
    vorsan::SpeechEngine* stop_;
};

// One engine for the run, warm.
vorsan::SpeechEngine* warmEngine() {
    static vorsan::SpeechEngine* engine = [] {
        if (!profile().installed) return static_cast<vorsan::SpeechEngine*>(nullptr);
        auto* e = new vorsan::SpeechEngine;
        e->loadConfiguration();
        e->loadConfiguration(); // compiled copies now exist
        TimingSink sink;
        e->renderText(u"Hello world. नमस्ते दोस्त।", false, false, sink);
        return e;
    }();
    return engine;
}

void BM_TimeToFirstAudio(benchmark::State& state) {
    vorsan::SpeechEngine* engine = warmEngine();
    if (!engine) return state.SkipWithError("data/tolvane/install.sh failed");
    const std::u16string text = sampleText(static_cast<std::size_t>(state.range(0)) * 1024, static_cast<int>(state.range(1)));
    double cpu = 0;
    for (auto _ : state) {
        TimingSink sink(engine);
        const double cpu0 = processCpuMs();
        const auto t0 = Clock::now();
        try {
            engine->renderText(text, false, false, sink);
        } catch (const vorsan::MException& e) {
            return state.SkipWithError(("renderText failed: " + e.message()).c_str());
        }
        if (!sink.seen) return state.SkipWithError("no audio");
        state.SetIterationTime(std::chrono::duration<double>(sink.firstAt - t0).count());
        cpu += sink.firstCpuMs - cpu0;
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpu / static_cast<double>(state.iterations()));
    state.counters["target_ms"] = 5;
}
// Arguments: KB of text; its kind (0 English and Hindi taking turns, 1 Hindi, 2 English).
BENCHMARK(BM_TimeToFirstAudio)->ArgsProduct({{1, 1024}, {0, 1, 2}})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3)->ReportAggregatesOnly();

// Time per KB for the whole of a request, to show that it grows linearly.
template <typename Work>
void perKb(benchmark::State& state, Work work) {
    vorsan::SpeechEngine* engine = warmEngine();
    if (!engine) return state.SkipWithError("data/tolvane/install.sh failed");
    const double kb = static_cast<double>(state.range(0));
    const std::u16string text = mixedText(static_cast<std::size_t>(state.range(0)) * 1024);
    double cpu = 0;
    for (auto _ : state) {
        const double cpu0 = processCpuMs();
        const auto t0 = Clock::now();
        try {
            work(*engine, text);
        } catch (const vorsan::MException& e) {
            return state.SkipWithError(("the request failed: " + e.message()).c_str());
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
        cpu += processCpuMs() - cpu0;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["cpu_ms"] = cpu / n;
    state.counters["cpu_ms_per_kb"] = cpu / n / kb;
}
void BM_PhonemesWhole(benchmark::State& state) {
    perKb(state, [](vorsan::SpeechEngine& e, const std::u16string& t) {
        benchmark::DoNotOptimize(e.convertTextToPhoneme(t, false, false, false).size());
    });
}
void BM_RenderWhole(benchmark::State& state) {
    perKb(state, [](vorsan::SpeechEngine& e, const std::u16string& t) {
        TimingSink sink;
        e.renderText(t, false, false, sink);
        benchmark::DoNotOptimize(sink.samples);
    });
}
BENCHMARK(BM_PhonemesWhole)->RangeMultiplier(4)->Range(1, 1024)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();
BENCHMARK(BM_RenderWhole)->RangeMultiplier(4)->Range(4, 256)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly();

void BM_LoadConfigurationWarm(benchmark::State& state) {
    vorsan::SpeechEngine* engine = warmEngine();
    if (!engine) return state.SkipWithError("data/tolvane/install.sh failed");
    double cpu = 0;
    for (auto _ : state) {
        const double cpu0 = processCpuMs();
        const auto t0 = Clock::now();
        engine->loadConfiguration();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
        cpu += processCpuMs() - cpu0;
    }
    state.counters["cpu_ms"] = cpu / static_cast<double>(state.iterations());
    state.counters["languages"] = static_cast<double>(engine->allSupportedLanguages().size());
    state.counters["target_ms"] = 25;
}
BENCHMARK(BM_LoadConfigurationWarm)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// Peak resident memory (MB) of a fresh process that loads the configuration,
// speaks one sentence to a file and then, when kb > 0, converts a text of
// that size to a WAVE file. Forked before this process has loaded anything
// of its own, so the child's peak is its own.
double childPeakMb(std::size_t kb, double* seconds) {
    return vorsan::bench::childPeakMb(
        [kb] {
            vorsan::SpeechEngine engine;
            engine.loadConfiguration();
            const std::string out = (profile().dir / ("peak-" + std::to_string(getpid()) + ".wav")).string();
            engine.convertTextToNamedFile(u"Hello world. नमस्ते दोस्त।", false, false, vorsan::kSoundWAVE, out);
            const auto t0 = Clock::now();
            if (kb > 0) engine.convertTextToNamedFile(mixedText(kb * 1024), false, false, vorsan::kSoundWAVE, out);
            const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
            std::error_code ec;
            fs::remove(out, ec);
            return seconds;
        },
        seconds);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void memoryCases(std::size_t kb, int runs) {
    std::vector<double> base, big, secs;
    for (int i = 0; i < runs; ++i) {
        base.push_back(childPeakMb(0, nullptr));
        double s = 0;
        big.push_back(childPeakMb(kb, &s));
        secs.push_back(s);
    }
    std::printf("Peak memory (VmHWM, median of %d processes each):\n", runs);
    std::printf("  warm engine, one sentence to a file:      %7.1f MB\n", median(base));
    std::printf("  same, then %zu KB of text to one WAVE file: %7.1f MB (target <= 60 MB; conversion %.1f s)\n", kb,
                median(big), median(secs));
    std::fflush(stdout);
}

// Prints each size's time per KB and its ratio to the previous size's
// (linear growth: 2x the text costs 2x the time, so a ratio near 1).
class PerKbReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.aggregate_name != "median") continue;
            const std::string name = r.run_name.function_name;
            if (name != "BM_PhonemesWhole" && name != "BM_RenderWhole") continue;
            const std::string args = r.run_name.args;
            const double kb = std::atof(args.c_str());
            if (kb <= 0) continue;
            const double wallMs = r.GetAdjustedRealTime() / kb;
            const auto cpu = r.counters.find("cpu_ms");
            perKb_[name].push_back({kb, wallMs, cpu == r.counters.end() ? 0.0 : cpu->second.value / kb});
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [name, rows] : perKb_) {
            std::printf("%s, median ms per KB (wall, CPU) and ratio to the previous size:\n", name.c_str());
            for (std::size_t i = 0; i < rows.size(); ++i) {
                std::printf("  %6.0f KB  %9.3f  %9.3f", rows[i].kb, rows[i].wall, rows[i].cpu);
                if (i > 0)
                    std::printf("   x%.2f text -> wall x%.2f, CPU x%.2f time", rows[i].kb / rows[i - 1].kb,
                                rows[i].wall * rows[i].kb / (rows[i - 1].wall * rows[i - 1].kb),
                                rows[i].cpu * rows[i].kb / (rows[i - 1].cpu * rows[i - 1].kb));
                std::printf("\n");
            }
        }
    }

private:
    struct Row {
        double kb, wall, cpu;
    };
    std::map<std::string, std::vector<Row>> perKb_;
};

} // namespace

int main(int argc, char** argv) {
    std::size_t memoryKb = 1024;
    int memoryRuns = 3;
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 < argc && a == "--memory-kb") memoryKb = static_cast<std::size_t>(std::atol(argv[++i]));
        else if (i + 1 < argc && a == "--memory-runs") memoryRuns = std::max(1, std::atoi(argv[++i]));
        else rest.push_back(argv[i]);
    }
    if (!profile().installed) {
        std::fprintf(stderr, "preparing the profile folder failed\n");
        return 1;
    }
    if (memoryKb > 0) memoryCases(memoryKb, memoryRuns);
    int n = static_cast<int>(rest.size());
    benchmark::Initialize(&n, rest.data());
    PerKbReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
