#pragma once
// What several benchmarks share (POSIX only): a temporary profile folder
// with the shipped data installed as a user gets it, and the peak memory of
// work done in a fresh process.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#ifndef VORSAN_SOURCE_DIR
#error "a benchmark using BenchSupport.h defines VORSAN_SOURCE_DIR"
#endif

namespace vorsan::bench {

// $USERPROFILE is pointed at a new folder "<name>-<pid>" in the temporary
// folder, set up by data/tolvane/install.sh; with `linkUserDictionary`, the
// English dictionary of the real user's data, when there is one, is linked
// in (the engine opens it when made; it is not part of what is measured).
struct InstalledProfile {
    std::filesystem::path dir;
    bool installed = false;

    explicit InstalledProfile(const std::string& name, bool linkUserDictionary = true)
        : dir(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()))) {
        namespace fs = std::filesystem;
        fs::create_directories(dir);
        setenv("USERPROFILE", dir.c_str(), 1);
        const std::string install = "bash '" VORSAN_SOURCE_DIR "/data/tolvane/install.sh' > /dev/null";
        installed = std::system(install.c_str()) == 0;
        const char* home = std::getenv("HOME");
        if (!linkUserDictionary || !home) return;
        std::error_code ec;
        const fs::path dict = fs::path(home) / "Speechfiles/English/english.dat";
        fs::create_directories(dir / "Speechfiles/English", ec);
        if (fs::exists(dict, ec)) fs::create_symlink(dict, dir / "Speechfiles/English/english.dat", ec);
    }
    ~InstalledProfile() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    InstalledProfile(const InstalledProfile&) = delete;
    InstalledProfile& operator=(const InstalledProfile&) = delete;
};

// Runs `work` in a forked child (before which this process should have
// loaded nothing of its own, so the child's peak is its work's) and returns
// the child's peak resident memory in MB (VmHWM), -1 when it failed; the
// seconds `work` returns go to *seconds. An exception in `work` counts as a
// failure.
inline double childPeakMb(const std::function<double()>& work, double* seconds) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        double result[2] = {-1, 0};
        try {
            result[1] = work();
            std::ifstream status("/proc/self/status");
            for (std::string line; std::getline(status, line);)
                if (line.rfind("VmHWM:", 0) == 0) result[0] = std::atof(line.c_str() + 6) / 1024.0;
        } catch (...) {
        }
        if (write(fds[1], result, sizeof result) != sizeof result) _exit(1);
        _exit(0);
    }
    close(fds[1]);
    double result[2] = {-1, 0};
    if (read(fds[0], result, sizeof result) != sizeof result) result[0] = -1;
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (seconds) *seconds = result[1];
    return result[0];
}

} // namespace vorsan::bench
