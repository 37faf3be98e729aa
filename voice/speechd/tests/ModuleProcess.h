#pragma once
// sd_vorsan as the server runs it: a child process spoken to over pipes,
// its replies read line by line with a time limit, and the events of a
// message decoded (audio samples, marks with the audio before them).
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "AudioAnalysis.h"
#include "vorsan/testing/TestSupport.h"

namespace vorsan::testing {

// The shipped data installed into the current profile folder (a temporary
// one in the tests): Speechfiles and tolvane.xml, as data/tolvane/install.sh
// installs them.
void installData();

class ModuleProcess {
public:
    ModuleProcess();
    ~ModuleProcess();
    ModuleProcess(const ModuleProcess&) = delete;
    ModuleProcess& operator=(const ModuleProcess&) = delete;

    void send(std::string_view text);
    // The next line without its LF; "<timeout>" or "<eof>" when none came.
    std::string line(double seconds = 60);
    // Lines up to and including the one with a space after its code.
    std::vector<std::string> reply();

    struct Message {
        std::vector<std::string> events;         // "701 BEGIN", "mark NAME", "audio", "702 END", ...
        std::vector<int16_t> samples;            // all audio, decoded
        std::vector<std::pair<std::string, std::size_t>> marks; // name, samples before it
        std::vector<unsigned> rates;             // each audio block's sample_rate
        std::vector<std::size_t> blockEnds;      // where each audio block ends in `samples`
        bool sizesMatch = true;                  // every block's num_samples * 2 == its decoded bytes
        double firstAudioSeconds = -1;           // from the call to the first 705
        std::string end;                         // the last event
        // Seconds of audio before the sample at `at`, each block at its own rate.
        double secondsAt(std::size_t at) const;
        double seconds() const { return secondsAt(samples.size()); }
    };
    // Events up to 702, 703 or 704.
    Message events();
    // INIT, AUDIO and LOGLEVEL as the server sends them at start-up.
    void start();
    // SET (when settings are given), then SPEAK (or another message command)
    // with the data dot-stuffed, and its events.
    Message speak(std::string_view data, std::string_view settings = {}, std::string_view command = "SPEAK");
    // Sends QUIT and waits for the process; its exit status.
    int quit();
    // What the module wrote on standard error.
    std::string errors() const;

private:
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
    std::string buffer_;
    std::string errorFile_;
};

// A test whose module runs in a temporary profile holding the shipped data,
// with a system registry of its own.
class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VORSAN_SYSTEM_REGISTRY", (profile.path() / "etc-registry").c_str(), 1);
        installData();
    }
    void TearDown() override { unsetenv("VORSAN_SYSTEM_REGISTRY"); }
    TempProfile profile;
};

// A message's audio at its first block's rate.
Audio audioOf(const ModuleProcess::Message& m);

} // namespace vorsan::testing
