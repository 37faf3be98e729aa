#pragma once
// A progress bar on standard error while speech is synthesised: chunk by
// chunk from the engine, and within a chunk from the synthesiser.
#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

#include "vorsan/engine/SpeechEngine.h"

namespace vorsan::cli {

class Progress {
public:
    Progress(bool enabled, std::size_t textLength, const SpeechEngine& engine);
    ~Progress();
    void start();
    void chunk(std::size_t index, std::size_t count);
    void finish();
    // Whether a bar is drawn (asked for, on a terminal, for a long text).
    bool enabled() const { return enabled_; }

private:
    void draw(double fraction);
    bool enabled_;
    const SpeechEngine& engine_;
    std::atomic<std::size_t> index_{0}, count_{1};
    std::atomic<bool> running_{false};
    std::thread painter_;
};

// Both follow the engine's chunks only while a bar is drawn: without one
// (quiet, no terminal, a short text) no observer is set on the engine.
// `rate`: the speaking rate over the configuration's (2: twice as fast).
void speakWithProgress(SpeechEngine& engine, std::u16string_view text, bool withEmotion, bool withAccent,
                       Progress& progress, float rate = 1.0f);
// Without `output`, one file per language run in the profile folder; with it,
// every run joined into that one file, written under a temporary name beside
// it and renamed when complete.
StringList writeWithProgress(SpeechEngine& engine, std::u16string_view text, bool withEmotion, bool withAccent,
                             int16_t type, const std::string& output, Progress& progress, float rate = 1.0f,
                             uint32_t durationJitter = 0);

} // namespace vorsan::cli
