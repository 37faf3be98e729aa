#pragma once
// A progress bar on standard error while speech is synthesised: chunk by
// chunk from the engine, and within a chunk from the synthesiser.
#include <atomic>
#include <cstddef>
#include <thread>

#include "vorsan/engine/SpeechEngine.h"

namespace vorsan::cli {

class Progress {
public:
    Progress(bool enabled, std::size_t textLength);
    ~Progress();
    void start();
    void chunk(std::size_t index, std::size_t count);
    void finish();

private:
    void draw(double fraction);
    bool enabled_;
    std::atomic<std::size_t> index_{0}, count_{1};
    std::atomic<bool> running_{false};
    std::thread painter_;
};

void speakWithProgress(SpeechEngine& engine, std::u16string_view text, bool withEmotion, bool withAccent,
                       Progress& progress);
StringList writeWithProgress(SpeechEngine& engine, std::u16string_view text, bool withEmotion, bool withAccent,
                             int16_t type, Progress& progress);

} // namespace vorsan::cli
