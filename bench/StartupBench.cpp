// Start-up cost of one short sentence to a sound file, side by side with
// eSpeak NG: each run is a whole fresh process, measured by the kernel's
// accounting of that process alone (CPU time, user plus system, and peak
// resident memory). Our CLI runs with the installed configuration: a
// temporary profile folder prepared by scripts/install-data.sh (tolvane.xml
// with every language, emotion and accent file, and the English
// dictionary). The two programs alternate run by run, the one going first
// alternating each round, after a warm-up; medians are compared.
//
// Not a test: run it by hand,
//   startup_bench [--rounds N] [--warmup N] [--text TEXT | --file PATH]
//                 [--espeak-voice VOICE] [--profile DIR]
// (--file: the text of a file instead, e.g. some 10 KB, to weigh the whole
// pipeline against the audio it makes: CPU seconds per second of audio are
// printed too; --espeak-voice: eSpeak NG's voice for the text, e.g. hi;
// --profile: an already prepared profile folder, used as it is.)
//
// This program forks the runs itself, and stays small, because a child's
// peak memory also counts what it held before it started the program.
//
// The profile's files are first written out and dropped from the page
// cache, so that every run of the benchmark starts from files as read from
// disk: a file just written sits in the cache in large folios, and a
// memory-mapped lookup (the English dictionary) then maps whole folios,
// which adds some 15 MB to the peak until the cache is renewed.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kCpuRatioTarget = 3.0; // times eSpeak NG's CPU time
constexpr double kPeakMbTarget = 40.0;
constexpr double kCpuPerAudioTarget = 0.0005; // a long text, start-up included

struct Usage {
    double cpuMs = 0;
    double peakMb = 0;
};

struct Program {
    const char* name;
    std::vector<std::string> argv;
    fs::path output;
    std::vector<double> cpuMs, peakMb;
    double audioSeconds = 0;
};

// Seconds of audio in a WAVE file: its data chunk's size over the format
// chunk's bytes per second; 0 when the file is not such a file.
double waveSeconds(const fs::path& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return 0;
    auto u32 = [](const unsigned char* b) {
        return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
               static_cast<uint32_t>(b[3]) << 24;
    };
    unsigned char head[12], chunk[8], fmt[16];
    double bytesPerSecond = 0, seconds = 0;
    if (std::fread(head, 1, 12, f) == 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0) {
        while (std::fread(chunk, 1, 8, f) == 8) {
            const uint32_t size = u32(chunk + 4);
            if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16 && std::fread(fmt, 1, 16, f) == 16) {
                bytesPerSecond = u32(fmt + 8);
                std::fseek(f, static_cast<long>(size - 16 + size % 2), SEEK_CUR);
            } else if (std::memcmp(chunk, "data", 4) == 0) {
                if (bytesPerSecond > 0) seconds = size / bytesPerSecond;
                break;
            } else {
                std::fseek(f, static_cast<long>(size + size % 2), SEEK_CUR);
            }
        }
    }
    std::fclose(f);
    return seconds;
}

// Runs argv to its end with the profile folder as USERPROFILE and HOME,
// output and diagnostics discarded; exits on failure.
Usage run(const std::vector<std::string>& argv, const fs::path& profile) {
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        std::exit(2);
    }
    if (pid == 0) {
        setenv("USERPROFILE", profile.c_str(), 1);
        setenv("HOME", profile.c_str(), 1);
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d); run it by hand to see why\n", argv[0].c_str(), status);
        std::exit(1);
    }
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return {(seconds(usage.ru_utime) + seconds(usage.ru_stime)) * 1000.0, static_cast<double>(usage.ru_maxrss) / 1024.0};
}

// Writes out every file under `folder` and drops it from the page cache.
void settle(const fs::path& folder) {
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        const int fd = open(it->path().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        fdatasync(fd);
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        close(fd);
    }
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void printRow(const Program& p) {
    const auto [cpuMin, cpuMax] = std::minmax_element(p.cpuMs.begin(), p.cpuMs.end());
    const auto [peakMin, peakMax] = std::minmax_element(p.peakMb.begin(), p.peakMb.end());
    std::printf("%-10s %8.1f (%.1f-%.1f)  %8.1f (%.1f-%.1f)  %8.1f  %.5f\n", p.name, median(p.cpuMs), *cpuMin, *cpuMax,
                median(p.peakMb), *peakMin, *peakMax, p.audioSeconds,
                p.audioSeconds > 0 ? median(p.cpuMs) / 1000.0 / p.audioSeconds : 0.0);
}

} // namespace

int main(int argc, char** argv) {
    int rounds = 15, warmup = 2;
    std::string text = "Hello world.", textFile, espeakVoice, profileArg;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 < argc && a == "--rounds") rounds = std::max(1, std::atoi(argv[++i]));
        else if (i + 1 < argc && a == "--warmup") warmup = std::max(0, std::atoi(argv[++i]));
        else if (i + 1 < argc && a == "--text") text = argv[++i];
        else if (i + 1 < argc && a == "--file") textFile = fs::absolute(argv[++i]).string();
        else if (i + 1 < argc && a == "--espeak-voice") espeakVoice = argv[++i];
        else if (i + 1 < argc && a == "--profile") profileArg = argv[++i];
        else {
            std::fprintf(stderr,
                         "usage: %s [--rounds N] [--warmup N] [--text TEXT | --file PATH] [--espeak-voice VOICE]"
                         " [--profile DIR]\n",
                         argv[0]);
            return 2;
        }
    }
    if (std::system("command -v espeak-ng >/dev/null 2>&1") != 0) {
        std::fprintf(stderr, "espeak-ng is not installed\n");
        return 1;
    }

    fs::path profile = profileArg;
    if (profileArg.empty()) {
        profile = fs::temp_directory_path() / ("vorsan-startup-" + std::to_string(getpid()));
        fs::create_directories(profile);
        const std::string install = "USERPROFILE='" + profile.string() + "' HOME='" + profile.string() + "' '" +
                                    VORSAN_SOURCE_DIR "/scripts/install-data.sh' >/dev/null";
        if (std::system(install.c_str()) != 0) {
            std::fprintf(stderr, "preparing the profile folder failed\n");
            fs::remove_all(profile);
            return 1;
        }
    }

    settle(profile);

    std::vector<std::string> ours = {VORSAN_CLI, "-q", "tofile", "-o", (profile / "vorsan.wav").string()};
    std::vector<std::string> espeak = {"espeak-ng", "-w", (profile / "espeak.wav").string()};
    if (!espeakVoice.empty()) espeak.insert(espeak.end(), {"-v", espeakVoice});
    if (textFile.empty()) {
        ours.push_back(text);
        espeak.push_back(text);
    } else {
        ours.insert(ours.end(), {"--file", textFile});
        espeak.insert(espeak.end(), {"-f", textFile});
    }
    std::vector<Program> programs = {{"vorsan", ours, profile / "vorsan.wav", {}, {}},
                                     {"espeak-ng", espeak, profile / "espeak.wav", {}, {}}};
    for (int i = 0; i < warmup; ++i)
        for (const Program& p : programs) run(p.argv, profile);
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t k = 0; k < programs.size(); ++k) {
            Program& p = programs[round % 2 ? programs.size() - 1 - k : k];
            const Usage u = run(p.argv, profile);
            p.cpuMs.push_back(u.cpuMs);
            p.peakMb.push_back(u.peakMb);
        }
    }
    bool wrote = true;
    for (Program& p : programs) {
        std::error_code ec;
        p.audioSeconds = waveSeconds(p.output);
        if (fs::file_size(p.output, ec) <= 44 || ec) {
            std::fprintf(stderr, "%s wrote no audio\n", p.name);
            wrote = false;
        }
    }
    if (profileArg.empty()) fs::remove_all(profile);
    if (!wrote) return 1;

    if (textFile.empty())
        std::printf("One short sentence to a WAVE file (\"%s\"), whole process, installed configuration;\n", text.c_str());
    else
        std::printf("The text of %s to a WAVE file, whole process, installed configuration;\n", textFile.c_str());
    std::printf("%d interleaved rounds after %d warm-up; median (min-max)\n", rounds, warmup);
    std::printf("%-10s %22s  %22s  %8s  %s\n", "", "CPU ms", "peak MB", "audio s", "CPU s per audio s");
    for (const Program& p : programs) printRow(p);
    const double cpuRatio = median(programs[0].cpuMs) / median(programs[1].cpuMs);
    const double peakRatio = median(programs[0].peakMb) / median(programs[1].peakMb);
    std::printf("%-10s %8.1fx %13s  %8.1fx\n", "ratio", cpuRatio, "", peakRatio);
    const char* peakMet = median(programs[0].peakMb) <= kPeakMbTarget ? "met" : "not met";
    if (textFile.empty()) {
        std::printf("targets: CPU <= %gx eSpeak NG's: %s; peak <= %g MB: %s\n", kCpuRatioTarget,
                    cpuRatio <= kCpuRatioTarget ? "met" : "not met", kPeakMbTarget, peakMet);
    } else {
        const double perAudio = programs[0].audioSeconds > 0 ? median(programs[0].cpuMs) / 1000.0 / programs[0].audioSeconds : 1;
        std::printf("targets: CPU <= %g s per second of audio: %s; peak <= %g MB: %s\n", kCpuPerAudioTarget,
                    perAudio <= kCpuPerAudioTarget ? "met" : "not met", kPeakMbTarget, peakMet);
    }
    return 0;
}
