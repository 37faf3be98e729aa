// Synthesiser speed through the MBR_ calls, writing WAVE files of English.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "vorsan/synth/Mbrola.h"

namespace {

// English-like phoneme text of roughly `seconds` of speech: syllables of
// varied phones with pitch targets on the vowels and a pause every dozen.
std::string englishText(double seconds) {
    static const char* onsets[] = {"p", "b", "t", "d", "k", "g", "m", "n", "l", "r", "f", "v", "s", "z",
                                   "h", "w", "tS", "dZ", "T", "D", "S", "j"};
    static const char* vowels[] = {"i:", "A:", "O:", "u:", "3:", "I", "e", "{", "V", "Q", "U", "@",
                                   "eI", "aI", "OI", "@U", "aU", "I@", "e@"};
    static const char* codas[] = {"n", "t", "s", "N", "l", "d", "m", "k", "z"};
    std::string text = "_ 200 \n";
    double ms = 200;
    for (unsigned i = 0; ms < seconds * 1000; ++i) {
        const int pitch = 100 + static_cast<int>((i * 37) % 50);
        text += std::string(onsets[i % 22]) + " 70 \n";
        text += std::string(vowels[(i * 7) % 19]) + " 120 50 " + std::to_string(pitch) + " \n";
        ms += 190;
        if (i % 3 == 2) {
            text += std::string(codas[i % 9]) + " 80 \n";
            ms += 80;
        }
        if (i % 12 == 11) {
            text += "_ 250 \n";
            ms += 250;
        }
    }
    return text + "_ 200 \n";
}

std::string outPath(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

bool speak(const std::string& text, const std::string& path) {
    if (MBR_SetDatabase("en1") || MBR_SetPitchRatio(1.0f) || MBR_SetDurationRatio(1.0f) || MBR_SetVoiceFreq(16000))
        return false;
    return MBR_Play(text.c_str(), MBR_FLAG_WAVE, path.c_str(), nullptr) == 0 && MBR_WaitForEnd() == 0;
}

// The first request of the process starts Festival and loads the voice.
void BM_StartUp(benchmark::State& state) {
    const std::string path = outPath("vorsan-bench-start.wav");
    for (auto _ : state) {
        if (!speak("_ 10 \n", path)) state.SkipWithError(MBR_LastError());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_StartUp)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ShortChunkToFile(benchmark::State& state) {
    const std::string text = englishText(1.0), path = outPath("vorsan-bench-short.wav");
    for (auto _ : state) {
        if (!speak(text, path)) state.SkipWithError(MBR_LastError());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_ShortChunkToFile)->Unit(benchmark::kMillisecond);

void BM_ThirtySecondsToFile(benchmark::State& state) {
    const std::string text = englishText(30.0), path = outPath("vorsan-bench-long.wav");
    double synthesis = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        if (!speak(text, path)) state.SkipWithError(MBR_LastError());
        synthesis += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    const double audio = static_cast<double>(std::filesystem::file_size(path) - 44) / 2 / 16000;
    state.counters["audio_s"] = audio;
    state.counters["rtf"] = synthesis / static_cast<double>(state.iterations()) / audio;
    std::filesystem::remove(path);
}
BENCHMARK(BM_ThirtySecondsToFile)->Unit(benchmark::kMillisecond);

// How long MBR_Stop takes to end long work (target: under 50 ms), for a file
// being written and for speech on the (null) sound device.
void stopLatency(benchmark::State& state, int32_t flags) {
    const std::string text = englishText(600.0), path = outPath("vorsan-bench-stop.wav");
    setenv("VORSAN_ALSA_DEVICE", "null", 1);
    for (auto _ : state) {
        state.PauseTiming();
        if (MBR_SetDatabase("en1") || MBR_Play(text.c_str(), flags, flags ? path.c_str() : nullptr, nullptr) != 0)
            state.SkipWithError(MBR_LastError());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        state.ResumeTiming();
        MBR_Stop();
        MBR_WaitForEnd();
    }
    unsetenv("VORSAN_ALSA_DEVICE");
}
void BM_StopWritingFile(benchmark::State& state) { stopLatency(state, MBR_FLAG_WAVE); }
void BM_StopSpeaking(benchmark::State& state) { stopLatency(state, 0); }
BENCHMARK(BM_StopWritingFile)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_StopSpeaking)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    // Voices are found in the profile folder first: keep the real one out of it.
    setenv("USERPROFILE", std::filesystem::temp_directory_path().c_str(), 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
