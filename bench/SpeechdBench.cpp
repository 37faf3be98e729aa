// The speech-dispatcher module sd_vorsan as the server drives it: one module
// process over pipes, started and warmed up (INIT, AUDIO, one message), with
// the servers registered in a temporary registry and the shipped data in a
// temporary profile folder:
// - SPEAK to the first 705 AUDIO line, for one sentence and for 5,000 words
//   (each message is stopped at its first audio);
// - STOP to 703 STOP, the STOP sent 300 ms into a long message's audio.
// Wall time (manual time); target 50 ms for both.
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
#include <string>
#include <thread>

#include "vorsan/automation/Creation.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

class Module {
public:
    fs::path dir = fs::temp_directory_path() / ("vorsan-speechd-bench-" + std::to_string(::getpid()));
    std::string failure;

    Module() {
        fs::create_directories(dir);
        setenv("USERPROFILE", dir.c_str(), 1);
        setenv("VORSAN_SYSTEM_REGISTRY", (dir / "etc-registry").c_str(), 1);
        const std::string install = "bash '" VORSAN_SOURCE_DIR "/data/tolvane/install.sh' > /dev/null";
        if (std::system(install.c_str()) != 0) {
            failure = "data/tolvane/install.sh failed";
            return;
        }
        if (vorsan::registerServerLibrary(VORSAN_COM_LIBRARY) != vorsan::S_OK ||
            vorsan::registerServerLibrary(NIMBREL22_LIBRARY) != vorsan::S_OK) {
            failure = "registering the servers failed";
            return;
        }
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
            execl(SD_VORSAN, SD_VORSAN, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        in_ = toChild[1];
        out_ = fromChild[0];
        send("INIT\n");
        if (line().rfind("299", 0) != 0) {
            failure = "INIT failed";
            return;
        }
        send("AUDIO\naudio_output_method=server\n.\n");
        line();
        line();
        send("SET\nlanguage=en\n.\n");
        line();
        line();
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

private:
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
    std::string buffer_;
};

Module& module() {
    static Module m;
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

} // namespace

BENCHMARK_MAIN();
