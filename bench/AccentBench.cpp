// Throughput of AccentDatabase::mapPhonemes in phoneme lines per second, on
// texts of a few thousand lines; the two sizes show that the cost is linear.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

#include "vorsan/accent/AccentDatabase.h"

namespace {

// A realistic small accent file: every source phone in the inventory, a
// third of them split or renamed, a context rule set for the plosives.
std::string accentFile() {
    const char* phones[] = {"a", "aa", "i", "ii", "u", "uu", "e", "o", "k", "kh", "g", "c", "j", "t", "th",
                            "d", "n", "p", "ph", "b", "m", "y", "r", "l", "v", "s", "sh", "h", "_"};
    std::string from = "<fromMbrolaPhone>", to = "<toMbrolaPhone>", mapping = "<mapping>", rules = "<dbrules>";
    int index = 0;
    for (const char* p : phones) {
        std::string name = p;
        bool vowel = index < 8;
        from += "<Sound mbrolaType='" + std::string(vowel ? "V" : "C") + "' mbrolaPhonem='" + name +
                "' mbrolaUsage=''/>";
        to += "<Sound mbrolaType='" + std::string(vowel ? "v" : "C") + "' mbrolaPhonem='" + name +
              "' mbrolaUsage=''/>";
        if (index % 3 == 0) {
            mapping += "<fromPhonem fromPhonemName='" + name + "'><toPhonem toPhonemName='" + name +
                       "' toPhonemDuration='70'/>";
            if (index % 2 == 0) mapping += "<toPhonem toPhonemName='@' toPhonemDuration='30'/>";
            mapping += "</fromPhonem>";
        }
        if (!vowel && index % 2 == 0) {
            rules += "<Sound soundName='" + name + "'><Priority priorityName='2'><Rule ruleName='" + name +
                     "+a'><Phonem PhonemName='" + name + "h' PhonemDuration='100'/></Rule></Priority>"
                     "<Priority priorityName='1'><Rule ruleName='" + name + "+V'><Phonem PhonemName='" + name +
                     "' PhonemDuration='90'/></Rule></Priority></Sound>";
        }
        ++index;
    }
    return "<dbMapper><File_Information><Title>bench</Title></File_Information>"
           "<Mbrola_Information><fromMbroladb>hn1</fromMbroladb><toMbroladb>en1</toMbroladb></Mbrola_Information>" +
           from + "</fromMbrolaPhone>" + to + "</toMbrolaPhone>" + mapping + "</mapping>" + rules + "</dbrules></dbMapper>";
}

const vorsan::AccentDatabase& database() {
    static std::unique_ptr<vorsan::AccentDatabase> db = [] {
        // A temporary profile folder too: loading writes the file's compiled
        // copy into the profile.
        const auto dir = std::filesystem::temp_directory_path() / ("vorsan-accent-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        setenv("USERPROFILE", dir.c_str(), 1);
        const auto path = dir / "bench.xml";
        std::ofstream(path) << accentFile();
        auto loaded = vorsan::AccentDatabase::load(path.string());
        std::filesystem::remove_all(dir);
        return loaded;
    }();
    return *db;
}

std::string phonemeText(int lines) {
    const char* phones[] = {"k", "a", "m", "aa", "l", "i", "t", "u", "p", "e", "n", "o", "s", "ii", "d", "a"};
    std::string text = "_ 200\n";
    for (int i = 1; i < lines; ++i) {
        text += phones[i % 16];
        text += " " + std::to_string(60 + i % 50) + " 0 " + std::to_string(110 + i % 40) + " 50 " +
                std::to_string(120 + i % 30) + " \n";
    }
    return text;
}

void BM_MapPhonemes(benchmark::State& state) {
    const auto& db = database();
    const int lines = static_cast<int>(state.range(0));
    const std::string text = phonemeText(lines);
    for (auto _ : state) benchmark::DoNotOptimize(db.mapPhonemes(text));
    state.SetItemsProcessed(state.iterations() * lines);
    state.SetLabel("items/s = phoneme lines/s");
}
BENCHMARK(BM_MapPhonemes)->Arg(2000)->Arg(8000);

} // namespace

BENCHMARK_MAIN();
