#pragma once
// Test helpers: a temporary folder that serves as the user profile folder
// (USERPROFILE points at it for the test's lifetime), and file writers.
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "vorsan/core/MException.h"

namespace vorsan::testing {

class TempProfile {
public:
    TempProfile();
    ~TempProfile();
    TempProfile(const TempProfile&) = delete;
    TempProfile& operator=(const TempProfile&) = delete;

    const std::filesystem::path& path() const { return dir_; }
    // Writes `content` to a file under the folder (creating parents) and
    // returns its full path.
    std::string write(const std::string& relative, std::string_view content) const;

private:
    std::filesystem::path dir_;
    std::string oldProfile_;
    bool hadProfile_ = false;
};

// The message of the MException that `f` raises, or `none` when it raises
// nothing.
inline std::string messageOf(const std::function<void()>& f, const std::string& none = "no failure") {
    try {
        f();
    } catch (const MException& e) {
        return e.message();
    }
    return none;
}

// Full path of a file in the source tree (for shipped data files).
std::string sourcePath(const std::string& relative);

// Captures what the code under test writes to std::cout.
class CoutCapture {
public:
    CoutCapture();
    ~CoutCapture();
    std::string text() const;

private:
    struct Impl;
    Impl* impl_;
};

} // namespace vorsan::testing
