// The speech-dispatcher module sd_vorsan as the server drives it: one module
// process over pipes, started and warmed up (INIT, AUDIO, one message), with
// the shipped data in a temporary profile folder (nothing registered):
// - SPEAK to the first 705 AUDIO line, for one sentence and for 5,000 words
//   (each message is stopped at its first audio);
// - STOP to 703 STOP, the STOP sent 300 ms into a long message's audio.
//   Wall time (manual time); target 50 ms for both.
// - The module's CPU time (every thread's, from /proc) per second of the
//   audio it sends, for a long English text spoken whole; the same for
//   eSpeak NG's module sd_espeak-ng over the same protocol when it is
//   installed, and the ratio of the two.
//
// Not a test: run it by hand, speechd_bench [benchmark flags].
#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* kEspeakModule = "/usr/lib/speech-dispatcher-modules/sd_espeak-ng";
constexpr const char* kEspeakConfig = "/etc/speech-dispatcher/modules/espeak-ng.conf";

class Module {
public:
    fs::path dir = fs::temp_directory_path() / ("vorsan-speechd-bench-" + std::to_string(::getpid()));
    std::string failure;

    // The module `program` started with `argument` (its configuration file).
    Module(const char* program, const char* argument) {
        fs::create_directories(dir);
        setenv("USERPROFILE", dir.c_str(), 1);
        setenv("VORSAN_SYSTEM_REGISTRY", (dir / "etc-registry").c_str(), 1);
        const std::string install = "bash '" VORSAN_SOURCE_DIR "/data/tolvane/install.sh' > /dev/null";
        if (std::system(install.c_str()) != 0) {
            failure = "data/tolvane/install.sh failed";
            return;
        }
        // The build's English dictionary, as the user's data has it.
        std::error_code ec;
        fs::create_directories(dir / "Speechfiles/English", ec);
        fs::create_symlink(VORSAN_ENGLISH_DAT, dir / "Speechfiles/English/english.dat", ec);
        int toChild[2], fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0) {
            failure = "pipe";
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            dup2(toChild[0], STDIN_FILENO);
            dup2(fromChild[1], STDOUT_FILENO);
            for (int fd = 3; fd < 1024; ++fd) close(fd);
            execl(program, program, argument, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        in_ = toChild[1];
        out_ = fromChild[0];
        send("INIT\n");
        if (!skipTo("299 ")) {
            failure = "INIT failed";
            return;
        }
        send("AUDIO\naudio_output_method=server\n.\n");
        skipTo("203");
        send("SET\nlanguage=en\n.\n");
        skipTo("203 OK SETTINGS RECEIVED");
        send("SPEAK\n<speak>Hello world. नमस्ते दोस्त।</speak>\n.\n");
        if (!skipTo("702 END")) failure = "the module spoke nothing";
    }
    ~Module() {
        send("QUIT\n");
        close(in_);
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    void send(const std::string& s) {
        for (std::size_t at = 0; at < s.size();) {
            const ssize_t n = write(in_, s.data() + at, s.size() - at);
            if (n <= 0) return;
            at += static_cast<std::size_t>(n);
        }
    }
    std::string line() {
        for (;;) {
            if (const std::size_t lf = buffer_.find('\n'); lf != std::string::npos) {
                std::string l = buffer_.substr(0, lf);
                buffer_.erase(0, lf + 1);
                return l;
            }
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, 60000) <= 0) return "<timeout>";
            char chunk[65536];
            const ssize_t n = read(out_, chunk, sizeof chunk);
            if (n <= 0) return "<eof>";
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }
    // Reads up to the line that starts with `prefix`; false at the end.
    bool skipTo(const std::string& prefix) {
        for (std::string l; (l = line())[0] != '<';)
            if (l.rfind(prefix, 0) == 0) return true;
        return false;
    }
    // Seconds of CPU the process has used so far, all its threads.
    double cpuSeconds() const {
        std::ifstream f("/proc/" + std::to_string(pid_) + "/stat");
        std::string all((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        // Fields after the command name (in parentheses): state is field 3,
        // utime and stime fields 14 and 15.
        std::istringstream rest(all.substr(all.rfind(')') + 2));
        std::string field;
        double ticks = 0;
        for (int i = 3; i <= 15 && rest >> field; ++i)
            if (i >= 14) ticks += std::stod(field);
        return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    // Speaks the message whole; the seconds of audio it sent (0 when it
    // did not end with 702 END).
    double speakWhole(const std::string& message) {
        send(message);
        double seconds = 0, samples = 0;
        for (std::string l; (l = line())[0] != '<';) {
            if (l.rfind("705-num_samples=", 0) == 0) samples = std::stod(l.substr(16));
            else if (l.rfind("705-sample_rate=", 0) == 0) seconds += samples / std::stod(l.substr(16));
            else if (l == "702 END") return seconds;
            else if (l == "703 STOP" || l.rfind("301", 0) == 0) return 0;
        }
        return 0;
    }

private:
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
    std::string buffer_;
};

Module& module() {
    static Module m(SD_VORSAN, "vorsan.conf");
    return m;
}

std::string message(int words) {
    std::string t = "SPEAK\n<speak>";
    if (words <= 12) t += "The train to the city leaves at seven in the morning.";
    else
        for (int i = 0; i < words / 12; ++i) t += "The train to the city leaves at seven in the morning, every day. ";
    return t + "</speak>\n.\n";
}

// state.range(0): words in the message.
void BM_SpeakToFirstAudio(benchmark::State& state) {
    Module& m = module();
    if (!m.failure.empty()) return state.SkipWithError(m.failure.c_str());
    const std::string text = message(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const auto t0 = Clock::now();
        m.send(text);
        if (!m.skipTo("705-")) return state.SkipWithError("no audio");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
        m.send("STOP\n");
        while (true) {
            const std::string l = m.line();
            if (l == "703 STOP" || l == "702 END" || l[0] == '<') break;
        }
    }
    state.counters["target_ms"] = 50;
}
BENCHMARK(BM_SpeakToFirstAudio)->Arg(10)->Arg(5000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly();

void BM_StopToEnd(benchmark::State& state) {
    Module& m = module();
    if (!m.failure.empty()) return state.SkipWithError(m.failure.c_str());
    const std::string text = message(5000);
    for (auto _ : state) {
        m.send(text);
        if (!m.skipTo("705-")) return state.SkipWithError("no audio");
        const auto until = Clock::now() + std::chrono::milliseconds(300);
        while (Clock::now() < until) m.line();
        const auto t0 = Clock::now();
        m.send("STOP\n");
        if (!m.skipTo("703 STOP")) return state.SkipWithError("no 703 STOP");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
    }
    state.counters["target_ms"] = 50;
}
BENCHMARK(BM_StopToEnd)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly();

// A long English text (about 1,300 words: several minutes of speech), the
// same for every module.
std::string longEnglish() {
    static const char* const kSentences[] = {
        "The train to the city leaves at seven in the morning, every day except Sunday.",
        "Most travellers buy their tickets the evening before, when the queue is short.",
        "On the way, the line crosses two rivers and a long valley full of rice fields.",
        "A small café near the station serves tea, bread and fresh fruit from the market.",
        "When the weather is clear, the mountains can be seen far away to the north.",
    };
    std::string t = "SPEAK\n<speak>";
    for (int i = 0; i < 18; ++i)
        for (const char* s : kSentences) t += std::string(s) + " ";
    return t + "</speak>\n.\n";
}

double cpuPerAudioSecond(benchmark::State& state, Module& m) {
    if (!m.failure.empty()) {
        state.SkipWithError(m.failure.c_str());
        return 0;
    }
    const std::string text = longEnglish();
    double cpu = 0, audio = 0;
    for (auto _ : state) {
        const double before = m.cpuSeconds();
        const double seconds = m.speakWhole(text);
        if (seconds <= 0) {
            state.SkipWithError("the message was not spoken whole");
            return 0;
        }
        cpu += m.cpuSeconds() - before;
        audio += seconds;
    }
    state.counters["audio_s"] = audio / static_cast<double>(state.iterations());
    state.counters["cpu_ms_per_audio_s"] = 1000 * cpu / audio;
    return 1000 * cpu / audio;
}

double vorsanCpu = 0; // the last figure of sd_vorsan, for the ratio

void BM_CpuPerAudioSecond(benchmark::State& state) {
    vorsanCpu = cpuPerAudioSecond(state, module());
}
BENCHMARK(BM_CpuPerAudioSecond)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_CpuPerAudioSecondEspeakNg(benchmark::State& state) {
    if (!fs::exists(kEspeakModule)) return state.SkipWithError("sd_espeak-ng is not installed");
    static Module espeak(kEspeakModule, kEspeakConfig);
    const double figure = cpuPerAudioSecond(state, espeak);
    if (figure > 0 && vorsanCpu > 0) state.counters["vorsan_over_espeak"] = vorsanCpu / figure;
}
BENCHMARK(BM_CpuPerAudioSecondEspeakNg)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
