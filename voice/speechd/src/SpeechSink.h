#pragma once
// Where the engine's speech of one message goes: 705 AUDIO blocks at the
// rate each run was made at (no conversion), the samples scaled by the
// message's volume, and each 700 INDEX MARK just before the audio in which
// the word after it starts. The engine says where each run's words start
// (in samples from the run's start); a mark waits for the first word at or
// after its place in the text, and marks with no word after them go out at
// the end of their stretch.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "ProtocolWriter.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/synth/AudioSink.h"

namespace vorsan::speechd {

class SpeechSink final : public synth::AudioSink {
public:
    // `abort` is watched: once raised nothing more is sent and `stop` is
    // called (once) to end the engine's work.
    SpeechSink(MessageEvents& events, double volume, const std::atomic<bool>& abort, std::function<void()> stop)
        : events_(events), volume_(volume), abort_(abort), stop_(std::move(stop)) {}

    // Each run's audio is announced at its rate times this factor, so it
    // plays that much faster: pitch, formants and tempo all rise by it.
    void setPlaybackFactor(double factor) { playback_ = factor; }
    // The volume from here on (a stretch's own).
    void setVolume(double volume) { volume_ = volume; }
    // The next stretch's marks, by place in its text, in order.
    void startStretch(std::vector<std::pair<std::size_t, std::string>> marks);
    // The word starts of the run that just began (the engine's observer).
    void words(const std::vector<SpeechEngine::WordStart>& starts);
    // Every mark of the stretch not sent yet.
    void endStretch();
    // Silence at the rate of the last run (16000 Hz before any).
    void silence(unsigned ms);

    void beginRun(int32_t rate) override;
    void write(std::span<const int16_t> samples) override;

private:
    bool aborted();
    void send(const int16_t* samples, std::size_t count);

    struct Placed {
        int64_t sample; // from the run's start
        std::string name;
    };
    MessageEvents& events_;
    double volume_;
    double playback_ = 1;
    const std::atomic<bool>& abort_;
    std::function<void()> stop_;
    bool stopped_ = false;
    unsigned rate_ = 16000;
    std::vector<std::pair<std::size_t, std::string>> marks_; // the stretch's
    std::size_t nextMark_ = 0;                                // first not placed yet
    std::deque<Placed> placed_;                               // placed in this run, not sent yet
    int64_t runSamples_ = 0;                                  // sent in this run
    std::vector<int16_t> scaled_;
};

} // namespace vorsan::speechd
