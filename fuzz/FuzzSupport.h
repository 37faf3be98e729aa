#pragma once
// Helpers shared by the fuzz targets: a private temporary folder per process
// (removed at exit; also the process's profile folder), writing an input to a
// file there, the shipped data folder, and the split of an input into a file
// part and a text part.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vorsan::fuzz {

// A folder of its own for this process, made on first use and removed when
// the process exits normally (libFuzzer ends a timed run with exit()).
inline const std::string& tempFolder() {
    static const std::string folder = [] {
        std::filesystem::path base = std::filesystem::temp_directory_path();
        std::string pattern = (base / "vorsan-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        static std::string removeAtExit;
        removeAtExit = pattern;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removeAtExit, ignored);
        });
        return pattern;
    }();
    return folder;
}

// The temporary folder is also the profile folder, so the compiled copies
// that loading a file writes stay out of the user's profile.
inline const bool kPrivateProfile = [] { return setenv("USERPROFILE", tempFolder().c_str(), 1) == 0; }();

// Writes the bytes to `relative` under the temporary folder (making the
// folders on the way) and returns the full path.
inline std::string writeTemp(const std::string& relative, std::string_view bytes) {
    std::filesystem::path path = std::filesystem::path(tempFolder()) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::abort();
    }
    return path.string();
}

// The project's shipped data folder (rule, emotion and accent files).
inline std::string dataFile(const std::string& relative) {
    return std::string(VORSAN_FUZZ_DATA_DIR) + "/" + relative;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::abort();
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An input made of a file and, after the first NUL byte, an optional text to
// run through what the file loaded. XML cannot hold a NUL, so the split never
// takes anything a well-formed file needs.
struct FileAndText {
    std::string_view file;
    std::optional<std::string_view> text;
};

inline FileAndText splitAtNul(const uint8_t* data, std::size_t size) {
    std::string_view all(reinterpret_cast<const char*>(data), size);
    std::size_t nul = all.find('\0');
    if (nul == std::string_view::npos) return {all, std::nullopt};
    return {all.substr(0, nul), all.substr(nul + 1)};
}

// Stops the run with a message when a property of the code under test does
// not hold (libFuzzer then saves the input as a crash).
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "property violated: %s\n", what);
    std::abort();
}

} // namespace vorsan::fuzz
