// The waveform back ends side by side: CPU time per second of audio of our
// diphone renderer and of Festival's back end on the same segment plans, for
// English (kal) and Hindi (NSK), and the cost of opening a voice without
// Festival's interpreter (mapping its group file, reading its index).
// Process CPU time of the rendering thread; run by hand: bench/renderer_bench.
#include <benchmark/benchmark.h>

#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "FestivalEngine.h"
#include "renderer/DiphoneRenderer.h"

using namespace vorsan::synth;

namespace {

double threadCpu() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Phoneme text of about `seconds` of speech in syllables of the given onsets
// and vowels, a pitch target on every vowel and a pause every dozen.
std::string speechText(const std::vector<const char*>& onsets, const std::vector<const char*>& vowels,
                       double seconds) {
    std::string text = "_ 200\n";
    double ms = 200;
    for (std::size_t i = 0; ms < seconds * 1000; ++i) {
        text += std::string(onsets[i % onsets.size()]) + " 70\n";
        text += std::string(vowels[(i * 7) % vowels.size()]) + " 120 50 " + std::to_string(100 + (i * 37) % 50) + "\n";
        ms += 190;
        if (i % 12 == 11) {
            text += "_ 250\n";
            ms += 250;
        }
    }
    return text + "_ 200\n";
}

const std::string& englishText() {
    static const std::string t = speechText({"p", "b", "t", "d", "k", "g", "m", "n", "l", "r", "f", "v", "s", "z", "h",
                                             "w", "tS", "dZ", "T", "D", "S", "j"},
                                            {"i:", "A:", "O:", "u:", "3:", "I", "e", "{", "V", "Q", "U", "@", "eI",
                                             "aI", "OI", "@U", "aU"},
                                            20.0);
    return t;
}

const std::string& hindiText() {
    static const std::string t = speechText({"k", "kh", "g", "gh", "ch", "j", "T", "D", "t", "th", "d", "dh", "n", "p",
                                             "b", "bh", "m", "y", "r", "l", "v", "sh", "s", "h"},
                                            {"a", "aa", "i", "ii", "u", "uu", "e", "ee", "o", "oo", "ai", "au"}, 20.0);
    return t;
}

void render(benchmark::State& state, const char* database, const std::string& text, bool festival) {
    const VoiceDatabase voice = loadVoiceDatabase(voiceDatabasePath(database), database);
    const auto ours = renderer::loadRenderVoice(voice);
    const LoadedVoice* theirs = festival ? &FestivalEngine::instance().load(voice) : nullptr;
    const SegmentPlan plan = buildSegmentPlan(text, voice, ours->index, PlanSettings{});
    std::vector<int16_t> samples;
    double cpu = 0;
    for (auto _ : state) {
        const double t0 = threadCpu();
        for (const PlanPiece& piece : plan.pieces) {
            if (festival)
                samples = FestivalEngine::instance().synthesise(*theirs, voice, plan, piece);
            else
                renderer::renderPiece(*ours, voice, plan, piece, samples);
            benchmark::DoNotOptimize(samples.data());
        }
        cpu += threadCpu() - t0;
    }
    const double audio = static_cast<double>(plan.totalSamples) / plan.voiceFrequency;
    state.counters["audio_s"] = audio;
    state.counters["cpu_per_audio_s"] = cpu / static_cast<double>(state.iterations()) / audio;
}

void BM_EnglishOurs(benchmark::State& s) { render(s, "en1", englishText(), false); }
void BM_EnglishFestival(benchmark::State& s) { render(s, "en1", englishText(), true); }
void BM_HindiOurs(benchmark::State& s) { render(s, "in1", hindiText(), false); }
void BM_HindiFestival(benchmark::State& s) { render(s, "in1", hindiText(), true); }
BENCHMARK(BM_EnglishOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnglishFestival)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HindiOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HindiFestival)->Unit(benchmark::kMillisecond);

// Opening a voice for our renderer: its group file mapped and indexed, and
// the diphone index the segment plans use (target: 10 ms).
void voiceStartUp(benchmark::State& state, const char* database) {
    const VoiceDatabase voice = loadVoiceDatabase(voiceDatabasePath(database), database);
    const std::string path = diphoneIndexPath(voice);
    for (auto _ : state) {
        renderer::GroupFile file(path);
        const DiphoneIndex index = DiphoneIndex::read(path, true);
        benchmark::DoNotOptimize(file.rate() + static_cast<int>(index.entries().size()));
    }
}
void BM_VoiceStartUpEnglish(benchmark::State& s) { voiceStartUp(s, "en1"); }
void BM_VoiceStartUpHindi(benchmark::State& s) { voiceStartUp(s, "in1"); }
BENCHMARK(BM_VoiceStartUpEnglish)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VoiceStartUpHindi)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // Voices are found in the profile folder first: keep the real one out of it.
    const auto profile = std::filesystem::temp_directory_path() / ("vorsan-renderer-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(profile);
    setenv("USERPROFILE", profile.c_str(), 1);
#ifdef VORSAN_SOURCE_DATA
    setenv("VORSAN_DATA_DIR", VORSAN_SOURCE_DATA, 0);
#endif
    // Festival's collector scans this thread's stack from its outermost frame.
    volatile int outermost = 0;
    FestivalEngine::instance().anchor(const_cast<int*>(&outermost));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(profile);
    return 0;
}
