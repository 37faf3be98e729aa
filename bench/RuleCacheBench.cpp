// Load time of the six shipped language rule files without their compiled
// copies (XML parsing, then the copies written) and with them, the same for
// the shipped emotion and accent files, and the engine's whole configuration
// load (seven languages, emotion and accent files) from a profile made by the
// data installer, both ways.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "vorsan/accent/AccentDatabase.h"
#include "vorsan/core/Paths.h"
#include "vorsan/emotion/EmotionDatabase.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/language/LanguageRuleBase.h"

namespace fs = std::filesystem;

namespace {

// A temporary profile folder for the whole run, with the shipped data
// installed the way a user gets it.
struct Profile : vorsan::bench::InstalledProfile {
    Profile() : InstalledProfile("vorsan-cache-bench") {}
    void dropCopies() const {
        std::error_code ec;
        fs::remove_all(vorsan::speechFilesFolder() + "/Cache", ec);
    }
};

Profile& profile() {
    static Profile p;
    return p;
}

std::vector<std::string> shippedFiles(const char* folder) {
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(fs::path(VORSAN_SOURCE_DIR "/data") / folder))
        if (e.path().extension() == ".xml") files.push_back(e.path().string());
    return files;
}
std::vector<std::string> shippedRuleFiles() { return shippedFiles("pelmira"); }

void loadShipped(benchmark::State& state, bool warm) {
    const Profile& p = profile();
    const auto files = shippedRuleFiles();
    p.dropCopies();
    for (const auto& f : files) vorsan::LanguageRuleBase::load(f); // warms the page cache (and makes copies)
    for (auto _ : state) {
        if (!warm) {
            state.PauseTiming();
            p.dropCopies();
            state.ResumeTiming();
        }
        for (const auto& f : files) benchmark::DoNotOptimize(vorsan::LanguageRuleBase::load(f).get());
    }
    state.counters["files"] = double(files.size());
}
void BM_LoadShippedRuleFilesCold(benchmark::State& state) { loadShipped(state, false); }
void BM_LoadShippedRuleFilesWarm(benchmark::State& state) { loadShipped(state, true); }
BENCHMARK(BM_LoadShippedRuleFilesCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadShippedRuleFilesWarm)->Unit(benchmark::kMillisecond);

void loadMoodsAndAccents(benchmark::State& state, bool warm) {
    const Profile& p = profile();
    const auto moods = shippedFiles("ruvetta");
    const auto accents = shippedFiles("oskalen");
    p.dropCopies();
    for (const auto& f : moods) vorsan::EmotionDatabase::load(f);
    for (const auto& f : accents) vorsan::AccentDatabase::load(f);
    for (auto _ : state) {
        if (!warm) {
            state.PauseTiming();
            p.dropCopies();
            state.ResumeTiming();
        }
        for (const auto& f : moods) benchmark::DoNotOptimize(vorsan::EmotionDatabase::load(f).get());
        for (const auto& f : accents) benchmark::DoNotOptimize(vorsan::AccentDatabase::load(f).get());
    }
    state.counters["files"] = double(moods.size() + accents.size());
}
void BM_LoadShippedMoodAndAccentFilesCold(benchmark::State& state) { loadMoodsAndAccents(state, false); }
void BM_LoadShippedMoodAndAccentFilesWarm(benchmark::State& state) { loadMoodsAndAccents(state, true); }
BENCHMARK(BM_LoadShippedMoodAndAccentFilesCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadShippedMoodAndAccentFilesWarm)->Unit(benchmark::kMillisecond);

void loadConfiguration(benchmark::State& state, bool warm) {
    const Profile& p = profile();
    if (!p.installed) return state.SkipWithError("data/tolvane/install.sh failed");
    vorsan::SpeechEngine engine;
    p.dropCopies();
    engine.loadConfiguration();
    for (auto _ : state) {
        if (!warm) {
            state.PauseTiming();
            p.dropCopies();
            state.ResumeTiming();
        }
        engine.loadConfiguration();
    }
    state.counters["languages"] = double(engine.allSupportedLanguages().size());
}
void BM_LoadConfigurationCold(benchmark::State& state) { loadConfiguration(state, false); }
void BM_LoadConfigurationWarm(benchmark::State& state) { loadConfiguration(state, true); }
BENCHMARK(BM_LoadConfigurationCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadConfigurationWarm)->Unit(benchmark::kMillisecond);

} // namespace
