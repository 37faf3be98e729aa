// The system voice Nimbrel22 on a warm voice, created by ProgID with the
// engine's server registered in a temporary registry, the way a client of
// the speech API meets it, speaking to an output site that records the audio:
// - time from Speak to the site's first Write for a text of 5,000 words (the
//   request is aborted at that first write);
// - abort latency: the site raises SPVES_ABORT from another thread a while
//   after the first write (by default 300 ms), and the time from there until
//   Speak returns is measured.
// - peak memory of a process whose voice speaks a 512 K-character token.
// Times are wall time (manual time) with the process's CPU time (every
// thread, user plus system) as the counter cpu_ms, since the machine may be
// shared. A temporary profile folder holds the installed configuration.
//
// Not a test: run it by hand, voice_bench [benchmark flags].
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include "BenchSupport.h"
#include "TestSite.h"
#include "vorsan/automation/Creation.h"
#include "vorsan/voice/Sapi.h"
#include "vorsan/voice/VoiceToken.h"

namespace fs = std::filesystem;
using namespace vorsan;
using namespace vorsan::sapi;
using Clock = std::chrono::steady_clock;

namespace {

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The profile folder with the shipped data installed the way a user gets it
// (the user's English dictionary linked in), the servers registered in a
// registry inside it, and one voice with its token that has spoken once.
struct Setup {
    fs::path dir = fs::temp_directory_path() / ("vorsan-voice-bench-" + std::to_string(::getpid()));
    ComPtr<ISpTTSEngine> voice;
    std::string failure;

    Setup() {
        fs::create_directories(dir);
        setenv("USERPROFILE", dir.c_str(), 1);
        setenv("VORSAN_SYSTEM_REGISTRY", (dir / "etc-registry").c_str(), 1);
        const std::string install = "bash '" VORSAN_SOURCE_DIR "/data/tolvane/install.sh' > /dev/null";
        if (std::system(install.c_str()) != 0) {
            failure = "data/tolvane/install.sh failed";
            return;
        }
        if (const char* home = std::getenv("HOME")) {
            std::error_code ec;
            const fs::path dict = fs::path(home) / "Speechfiles/English/english.dat";
            fs::create_directories(dir / "Speechfiles/English", ec);
            if (fs::exists(dict, ec)) fs::create_symlink(dict, dir / "Speechfiles/English/english.dat", ec);
        }
        if (registerServerLibrary(VORSAN_COM_LIBRARY) != S_OK || registerServerLibrary(NIMBREL22_LIBRARY) != S_OK) {
            failure = "registering the servers failed";
            return;
        }
        ComPtr<ISpObjectWithToken> withToken;
        if (createInstance(kProgIdNimbrel22Independent, IID_ISpTTSEngine, voice) != S_OK ||
            voice.as(IID_ISpObjectWithToken, withToken) != S_OK) {
            failure = "creating the voice failed";
            return;
        }
        ComPtr<ISpObjectToken> token(new VoiceToken(u"Nimbrel22", u"Nimbrel22", {{u"Language", u"hi"}}));
        if (withToken->SetObjectToken(token.get()) != S_OK) {
            failure = "the voice refused its token";
            return;
        }
        testing::TestSite site;
        testing::Fragments warm;
        warm.add(u"Hello world. नमस्ते दोस्त।");
        if (voice->Speak(0, SPDFID_WaveFormatEx, nullptr, warm.first(), &site) != S_OK || site.bytes() == 0)
            failure = "the voice spoke nothing";
    }
    ~Setup() {
        voice = {};
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Setup& setup() {
    static Setup s;
    return s;
}

// About 5,000 words of English sentences.
const std::u16string& longText() {
    static const std::u16string text = [] {
        std::u16string t;
        for (int i = 0; i < 500; ++i) t += u"The train to the city leaves at seven in the morning, every day. ";
        return t;
    }();
    return text;
}

void BM_VoiceSpeakToFirstWrite(benchmark::State& state) {
    Setup& s = setup();
    if (!s.failure.empty()) return state.SkipWithError(s.failure.c_str());
    double cpu = 0;
    for (auto _ : state) {
        testing::TestSite site;
        Clock::time_point first;
        double firstCpu = 0;
        site.onFirstWrite = [&] {
            first = Clock::now();
            firstCpu = processCpuMs();
            site.abort();
        };
        testing::Fragments text;
        text.add(longText());
        const double cpu0 = processCpuMs();
        const auto t0 = Clock::now();
        s.voice->Speak(0, SPDFID_WaveFormatEx, nullptr, text.first(), &site);
        if (site.bytes() == 0) return state.SkipWithError("no audio");
        state.SetIterationTime(std::chrono::duration<double>(first - t0).count());
        cpu += firstCpu - cpu0;
    }
    state.counters["cpu_ms"] = cpu / static_cast<double>(state.iterations());
    state.counters["target_ms"] = 50;
}
BENCHMARK(BM_VoiceSpeakToFirstWrite)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly();

// state.range(0): how long after the first write the abort comes, in ms.
void BM_VoiceAbortLatency(benchmark::State& state) {
    Setup& s = setup();
    if (!s.failure.empty()) return state.SkipWithError(s.failure.c_str());
    const auto delay = std::chrono::milliseconds(state.range(0));
    double cpu = 0;
    for (auto _ : state) {
        testing::TestSite site;
        std::thread aborter;
        std::atomic<bool> raised{false};
        Clock::time_point at;
        double atCpu = 0;
        site.onFirstWrite = [&] {
            aborter = std::thread([&] {
                std::this_thread::sleep_for(delay);
                at = Clock::now();
                atCpu = processCpuMs();
                raised = true;
                site.abort();
            });
        };
        testing::Fragments text;
        text.add(longText());
        s.voice->Speak(0, SPDFID_WaveFormatEx, nullptr, text.first(), &site);
        const auto end = Clock::now();
        const double endCpu = processCpuMs();
        if (aborter.joinable()) aborter.join();
        if (!raised) return state.SkipWithError("the request ended before the abort");
        state.SetIterationTime(std::chrono::duration<double>(end - at).count());
        cpu += endCpu - atCpu;
    }
    state.counters["cpu_ms"] = cpu / static_cast<double>(state.iterations());
    state.counters["target_ms"] = 50;
}
BENCHMARK(BM_VoiceAbortLatency)->Arg(50)->Arg(300)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly();

} // namespace

// Peak resident memory (MB) of a fresh process whose voice speaks a
// 512 K-character unbroken token (Arg 0: Latin letters, 1: a Devanagari
// letter sequence) to a site that counts the audio without keeping it;
// Arg -1: the warm voice alone. Target: <= 60 MB.
void BM_VoiceTokenPeakMemory(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    double peak = -1, seconds = 0;
    for (auto _ : state) {
        peak = bench::childPeakMb(
            [kind] {
                const Setup& s = setup();
                if (!s.failure.empty()) throw std::runtime_error(s.failure);
                const auto t0 = Clock::now();
                if (kind >= 0) {
                    std::u16string token;
                    while (token.size() < 512 * 1024) token += kind == 0 ? u"a" : u"क्षि";
                    testing::TestSite site;
                    site.keepAudio = false;
                    testing::Fragments text;
                    text.add(token);
                    s.voice->Speak(0, SPDFID_WaveFormatEx, nullptr, text.first(), &site);
                }
                const double taken = std::chrono::duration<double>(Clock::now() - t0).count();
                // The child ends without destructors: a profile it made itself
                // (named with its own process id) is removed here.
                std::error_code ec;
                if (s.dir.filename().string().ends_with("-" + std::to_string(::getpid()))) fs::remove_all(s.dir, ec);
                return taken;
            },
            &seconds);
        state.SetIterationTime(seconds > 0 ? seconds : 1e-6);
    }
    if (peak < 0) state.SkipWithError("the child process failed");
    state.counters["peak_mb"] = peak;
    state.counters["target_mb"] = 60;
}
BENCHMARK(BM_VoiceTokenPeakMemory)->Arg(-1)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
