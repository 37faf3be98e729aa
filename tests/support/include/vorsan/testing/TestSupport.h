#pragma once
// Test helpers: a temporary folder that serves as the user profile folder
// (USERPROFILE points at it for the test's lifetime), file writers, failure
// messages and the engine's diagnostic lines.
#include <filesystem>
#include <functional>
#include <string>
#include <memory>
#include <string_view>
#include <vector>

#include "vorsan/core/Diagnostics.h"
#include "vorsan/core/MException.h"

namespace vorsan::testing {

class TempProfile {
public:
    // `namePart`, when given, ends the folder's name (UTF-8: a profile
    // folder named in another script).
    explicit TempProfile(std::string_view namePart = {});
    ~TempProfile();
    TempProfile(const TempProfile&) = delete;
    TempProfile& operator=(const TempProfile&) = delete;

    const std::filesystem::path& path() const { return dir_; }
    // The folder's path as UTF-8.
    std::string folder() const;
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

// What a program run by runProgram gave: its exit status and what it wrote
// to standard output and standard error (both, in order).
struct ProgramRun {
    int status = -1;
    std::string output;
};

// Runs `program` with `arguments` (UTF-8, passed unchanged, whatever the
// characters), in this process's environment, with `input` on its standard
// input; waits for it to end.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& input = {});

// Full path of a file in the source tree (for shipped data files).
std::string sourcePath(const std::string& relative);

// A shipped rule file (under data/pelmira) as a new language: its
// LanguageName and LanguageCode replaced, written into the profile folder as
// "<name>.xml" (like a language someone adds without any change of code).
// Returns the file's path.
std::string renamedLanguageFile(const TempProfile& profile, const std::string& shippedFile, const std::string& name,
                                const std::string& code);

// Adds a language entry for the rule file at `location` to the profile's
// tolvane.xml (spoken with the voice database `db` at the given time ratio).
void addLanguageToConfiguration(const TempProfile& profile, const std::string& name, const std::string& location,
                                const std::string& db, float time = 0.75f);

// Length in seconds of phoneme text: the sum of its durations.
double phonemeSeconds(std::string_view phonemeText);

// Collects the diagnostic lines the code under test reports while it lives
// (each followed by a line feed), instead of letting them reach the sink the
// process had.
class DiagnosticCapture {
public:
    DiagnosticCapture();
    ~DiagnosticCapture();
    DiagnosticCapture(const DiagnosticCapture&) = delete;
    DiagnosticCapture& operator=(const DiagnosticCapture&) = delete;
    std::string text() const;

private:
    struct Lines; // shared with the sink, which the process may keep a while
    std::shared_ptr<Lines> lines_;
    DiagnosticSink previous_;
};
// The former name, from when diagnostics went to standard output.
using CoutCapture = DiagnosticCapture;

} // namespace vorsan::testing
