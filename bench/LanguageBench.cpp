// Word conversion throughput and rule-file load time on a rule file of
// realistic size.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "HindiBenchData.h"
#include "vorsan/core/Paths.h"
#include "vorsan/language/LanguageRuleBase.h"

namespace {

// Every benchmark of this program runs in a temporary profile folder, where
// rule-file loads keep their compiled copies.
struct TemporaryProfile {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("vorsan-bench-profile-" + std::to_string(::getpid()));
    TemporaryProfile() {
        std::filesystem::create_directories(dir);
        setenv("USERPROFILE", dir.c_str(), 1);
    }
    ~TemporaryProfile() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
} temporaryProfile;

void BM_ConvertWord(benchmark::State& state) {
    const std::string path = vorsan::benchdata::writeRuleFile();
    auto language = vorsan::LanguageRuleBase::load(path);
    vorsan::benchdata::removeRuleFile(path);
    const auto words = vorsan::benchdata::words(4000);
    std::size_t phones = 0;
    for (auto _ : state) {
        for (const auto& w : words) {
            auto units = language->convertWord(w);
            phones += units.size();
            benchmark::DoNotOptimize(units.data());
        }
    }
    state.counters["words/s"] =
        benchmark::Counter(double(words.size()) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["phones/word"] = double(phones) / (double(words.size()) * double(state.iterations()));
}
BENCHMARK(BM_ConvertWord)->Unit(benchmark::kMillisecond);

// Loading from the XML, then writing the compiled copy: the copy is removed
// before every load (language_cache_bench measures loads from the copies).
void BM_LoadRuleFile(benchmark::State& state) {
    std::size_t rules = 0;
    const std::string path = vorsan::benchdata::writeRuleFile(&rules);
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ec;
        std::filesystem::remove_all(vorsan::speechFilesFolder() + "/Cache", ec);
        state.ResumeTiming();
        auto language = vorsan::LanguageRuleBase::load(path);
        benchmark::DoNotOptimize(language.get());
    }
    vorsan::benchdata::removeRuleFile(path);
    state.counters["rules"] = double(rules);
}
BENCHMARK(BM_LoadRuleFile)->Unit(benchmark::kMillisecond);

} // namespace
