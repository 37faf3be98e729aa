// Throughput of EnglishFrontEnd::Convert in English words per second on a long
// text that mixes dictionary words, words left to the letter-to-sound rules,
// numbers and punctuation. Uses the installed english.dat when there is one,
// else a generated dictionary of the same order of size. A second benchmark
// feeds single words of 25 KB and 100 KB of awkward bytes to show that the
// cost stays linear in the input. A third measures the normalisation stage
// alone on the same text: its time against Convert's is the share of the
// text-to-phoneme time that normalisation costs (kept under a tenth).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "vorsan/normalise/Normalise.h"
#include "vorsan/core/Text.h"
#include "vorsan/english/EnglishDictionary.h"
#include "vorsan/english/EnglishFrontEnd.h"

namespace {

namespace fs = std::filesystem;

const char* const kPassage =
    "The quick brown fox jumps over the lazy dog. When the sun rose over the hills, the old farmer walked "
    "to the market with 12 baskets of apples and 3.5 kilos of cheese! Why would anyone pay $250 for a "
    "chair? Nobody knew, but the prices kept rising by 7% every year, from 1,000 to 12,345 dollars. "
    "Glorbix and Quandrel, two strangers from Vellamor, asked whether the kitchen was open; the cook said "
    "yes, and served them soup, bread, and well-known local wine. Is it true that the river flows north? "
    "Scientists measured -5 degrees at the station, near the frozen lake of Tarnwick. ";

int countWords(const std::string& text) {
    std::istringstream in(text);
    std::string w;
    int n = 0;
    while (in >> w) ++n;
    return n;
}

// A sorted dictionary of `size` records holding every word of the passage
// (lower case and capitalised) plus filler headwords.
std::string generatedDictionary(std::size_t size) {
    std::vector<std::string> words;
    std::istringstream in(kPassage);
    std::string w;
    while (in >> w) {
        std::string clean;
        for (char c : w)
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) clean += static_cast<char>(c | 0x20);
        if (clean.empty() || clean == "glorbix" || clean == "quandrel" || clean == "vellamor" ||
            clean == "tarnwick")
            continue; // left to the rules
        words.push_back(clean);
        words.push_back(static_cast<char>(clean[0] & ~0x20) + clean.substr(1));
    }
    for (const char* n : {"zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten",
                          "twelve", "twenty", "thirty", "forty", "fifty", "hundred", "thousand", "and", "point",
                          "minus", "percent", "dollars"})
        words.emplace_back(n);
    std::mt19937 random(1);
    while (words.size() < size) {
        std::string filler;
        for (int i = 0, len = 3 + static_cast<int>(random() % 8); i < len; ++i)
            filler += static_cast<char>('a' + random() % 26);
        words.push_back(filler);
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    std::string out;
    for (const std::string& word : words) {
        std::string line = word;
        line.resize(23, ' ');
        line += "p'@t@n";
        line.resize(128, ' ');
        out += line + "\r\n";
    }
    return out;
}

// The installed dictionary, or a generated one removed again at exit.
struct BenchDictionary {
    std::string path;
    bool generated = false;
    BenchDictionary() {
        path = vorsan::defaultEnglishDictionaryPath();
        if (fs::exists(path)) return;
        path = (fs::temp_directory_path() / ("vorsan-english-bench-" + std::to_string(getpid()))).string();
        std::ofstream(path, std::ios::binary) << generatedDictionary(130000);
        generated = true;
    }
    ~BenchDictionary() {
        std::error_code ec;
        if (generated) fs::remove(path, ec);
    }
};

const std::string& dictionaryPath() {
    static const BenchDictionary dictionary;
    return dictionary.path;
}

void BM_ConvertEnglishText(benchmark::State& state) {
    vorsan::EnglishFrontEnd frontEnd(dictionaryPath());
    std::string text;
    for (int i = 0; i < state.range(0); ++i) text += kPassage;
    const int words = countWords(text);
    for (auto _ : state) benchmark::DoNotOptimize(frontEnd.Convert(text));
    state.SetItemsProcessed(state.iterations() * words);
    state.SetLabel("items/s = words/s");
}
BENCHMARK(BM_ConvertEnglishText)->Arg(20)->Arg(200);

// The normalisation stage alone, on the text Convert reads above.
void BM_NormaliseEnglishText(benchmark::State& state) {
    vorsan::EnglishDictionary dictionary(dictionaryPath());
    vorsan::EnglishNormaliser normaliser(
        [&](const std::string& word) { return !dictionary.Lookup(word).empty(); });
    std::string text;
    for (int i = 0; i < state.range(0); ++i) text += kPassage;
    const std::u16string wide = vorsan::utf8ToUtf16(text);
    const int words = countWords(text);
    vorsan::NormalisedText out;
    for (auto _ : state) {
        out.clear();
        normaliser.normalise(wide, 0, out);
        benchmark::DoNotOptimize(out.text.data());
    }
    state.SetItemsProcessed(state.iterations() * words);
    state.SetLabel("items/s = words/s");
}
BENCHMARK(BM_NormaliseEnglishText)->Arg(20)->Arg(200);

// One word without spaces, made of pieces that each take a different road
// through the word reading (hyphen joins, break characters, digits, brackets,
// bytes above 127).
void BM_ConvertLongWord(benchmark::State& state) {
    vorsan::EnglishFrontEnd frontEnd(dictionaryPath());
    const std::string pieces[] = {"a-", "b.", "12", "(", "\xe9", "x'", "-", ",5", "well-known"};
    std::string word;
    for (std::size_t i = 0; word.size() < static_cast<std::size_t>(state.range(0)); ++i) word += pieces[i % 9];
    for (auto _ : state) benchmark::DoNotOptimize(frontEnd.Convert(word));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(word.size()));
}
BENCHMARK(BM_ConvertLongWord)->Arg(25000)->Arg(100000);

} // namespace

BENCHMARK_MAIN();
