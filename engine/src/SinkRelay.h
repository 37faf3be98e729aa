#pragma once
// Hands what the synthesiser's worker produces to a caller's sink on the
// caller's own thread: the worker queues runs and samples here, and the
// thread that asked for the speech delivers them while it waits. The queue
// holds at most about two seconds of audio; the worker serves other callers
// while it is full.
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <vector>

#include "vorsan/core/Sync.h"
#include "vorsan/synth/AudioSink.h"

namespace vorsan {

class SinkRelay final : public synth::AudioSink {
public:
    // Worker side.
    void lineStarts(std::span<const int64_t> starts) override;
    void beginRun(int32_t rate) override;
    void write(std::span<const int16_t> samples) override;
    void endRun() override;
    bool ready() const override;

    // Caller side: waits up to `wait` for something to deliver, then hands
    // everything queued to `target`, calling `begun` with the run's line
    // starts right after each run's beginRun. Raises what the target raises.
    using RunBegun = std::function<void(const std::vector<int64_t>& lineStarts)>;
    void deliver(synth::AudioSink& target, const RunBegun& begun, std::chrono::milliseconds wait);

private:
    struct Event {
        enum Kind { Begin, Samples, End } kind;
        int32_t rate = 0;
        std::vector<int16_t> samples;
        std::vector<int64_t> lineStarts;
    };
    mutable Mutex m_;
    ConditionVariable arrived_;
    std::deque<Event> events_;
    std::size_t queued_ = 0; // samples
    int32_t rate_ = 16000;
    std::vector<int64_t> lineStarts_; // of the run about to begin
};

} // namespace vorsan
