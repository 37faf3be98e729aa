// Word conversion throughput and rule-file load time on a rule file of
// realistic size.
#include <benchmark/benchmark.h>

#include <iostream>

#include "HindiBenchData.h"
#include "vorsan/language/LanguageRuleBase.h"

namespace {

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

void BM_LoadRuleFile(benchmark::State& state) {
    std::size_t rules = 0;
    const std::string path = vorsan::benchdata::writeRuleFile(&rules);
    for (auto _ : state) {
        auto language = vorsan::LanguageRuleBase::load(path);
        benchmark::DoNotOptimize(language.get());
    }
    vorsan::benchdata::removeRuleFile(path);
    state.counters["rules"] = double(rules);
}
BENCHMARK(BM_LoadRuleFile)->Unit(benchmark::kMillisecond);

} // namespace
