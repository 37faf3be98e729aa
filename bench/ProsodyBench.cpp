// Prosody throughput on long Hindi-like text at two sizes: the time per
// character must stay the same when the text doubles.
#include <benchmark/benchmark.h>

#include "HindiBenchData.h"
#include "vorsan/prosody/Prosody.h"

namespace {

void BM_Prosody(benchmark::State& state) {
    const std::string path = vorsan::benchdata::writeRuleFile();
    auto language = vorsan::LanguageRuleBase::load(path);
    vorsan::benchdata::removeRuleFile(path);
    const auto text = vorsan::benchdata::text(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::string out = vorsan::prosodyConversion(text, language.get());
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["chars/s"] =
        benchmark::Counter(double(text.size()) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Prosody)->Arg(256 * 1024)->Arg(512 * 1024)->Arg(1024 * 1024)->Arg(2048 * 1024)->Unit(benchmark::kMillisecond);

} // namespace
