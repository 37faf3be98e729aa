#pragma once
// Speech of several voices at one sample rate: a sink in front of another
// that converts each run whose own rate differs (libsamplerate) and scales
// places in a run (its line starts, a word's start) to match. Every part of
// the system that needs one rate (a sound file, the sound device, a caller
// asking for its own rate) goes through this one.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "vorsan/synth/AudioSink.h"

namespace vorsan::synth {

class RateAdapter final : public AudioSink {
public:
    // The rate the target takes, chosen once, at the first run, from that
    // run's rate (a file or a device opens at the first voice's rate; a
    // caller's own rate is kept whatever the voices).
    using RateChoice = std::function<int32_t(int32_t firstRunRate)>;
    static RateChoice firstRunRate();
    static RateChoice fixedRate(int32_t rate);

    RateAdapter(AudioSink& target, RateChoice choose);
    ~RateAdapter() override;
    RateAdapter(const RateAdapter&) = delete;
    RateAdapter& operator=(const RateAdapter&) = delete;

    void lineStarts(std::span<const int64_t> starts) override;
    void beginRun(int32_t rate) override;
    void write(std::span<const int16_t> samples) override;
    void endRun() override;
    bool ready() const override { return target_.ready(); }

    // The target's rate (0 before the first run).
    int32_t rate() const { return rate_; }
    // A place in the current run, counted at the run's own rate, at the
    // target's rate.
    int64_t place(int64_t sample) const;

private:
    class Converter;
    AudioSink& target_;
    RateChoice choose_;
    int32_t rate_ = 0;
    int32_t runRate_ = 0;
    std::unique_ptr<Converter> converter_; // while the run's rate differs
    std::vector<int64_t> pendingStarts_;   // of the run about to begin
};

} // namespace vorsan::synth
