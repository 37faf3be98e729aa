#include "vorsan/synth/RateAdapter.h"

#include <samplerate.h>

#include <cmath>
#include <string>
#include <vector>

#include "vorsan/core/MException.h"

namespace vorsan::synth {

namespace {
[[noreturn]] void fail(int err) { throw MException(std::string("cannot convert the sample rate: ") + src_strerror(err)); }
} // namespace

// Streaming conversion of 16-bit mono audio from one rate to another.
class RateAdapter::Converter {
public:
    Converter(int32_t from, int32_t to) : ratio_(static_cast<double>(to) / from) {
        int err = 0;
        state_ = src_new(SRC_SINC_FASTEST, 1, &err);
        if (!state_) fail(err);
    }
    ~Converter() { src_delete(state_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // The next samples; `last` flushes what the converter holds back.
    std::vector<int16_t> convert(std::span<const int16_t> samples, bool last) {
        in_.resize(samples.size());
        if (!samples.empty()) src_short_to_float_array(samples.data(), in_.data(), static_cast<int>(samples.size()));
        out_.resize(static_cast<std::size_t>(static_cast<double>(samples.size()) * ratio_) + 4096);
        std::vector<int16_t> result;
        SRC_DATA d{};
        d.data_in = in_.data();
        d.input_frames = static_cast<long>(in_.size());
        d.src_ratio = ratio_;
        d.end_of_input = last ? 1 : 0;
        do {
            d.data_out = out_.data();
            d.output_frames = static_cast<long>(out_.size());
            if (int err = src_process(state_, &d); err != 0) fail(err);
            const std::size_t produced = static_cast<std::size_t>(d.output_frames_gen);
            const std::size_t at = result.size();
            result.resize(at + produced);
            if (produced) src_float_to_short_array(out_.data(), result.data() + at, static_cast<int>(produced));
            d.data_in += d.input_frames_used;
            d.input_frames -= d.input_frames_used;
        } while (d.input_frames > 0 || (last && d.output_frames_gen > 0));
        return result;
    }

private:
    SRC_STATE* state_ = nullptr;
    double ratio_;
    std::vector<float> in_, out_;
};

RateAdapter::RateChoice RateAdapter::firstRunRate() {
    return [](int32_t first) { return first; };
}

RateAdapter::RateChoice RateAdapter::fixedRate(int32_t rate) {
    return [rate](int32_t) { return rate; };
}

RateAdapter::RateAdapter(AudioSink& target, RateChoice choose) : target_(target), choose_(std::move(choose)) {}

RateAdapter::~RateAdapter() = default;

int64_t RateAdapter::place(int64_t sample) const {
    if (runRate_ <= 0 || rate_ == runRate_) return sample;
    return std::llround(static_cast<double>(sample) * rate_ / runRate_);
}

void RateAdapter::lineStarts(std::span<const int64_t> starts) {
    // Given before the run begins: scaled once its rate is known.
    pendingStarts_.assign(starts.begin(), starts.end());
}

void RateAdapter::beginRun(int32_t rate) {
    if (rate_ == 0) rate_ = choose_(rate);
    runRate_ = rate;
    converter_.reset();
    if (rate != rate_) converter_ = std::make_unique<Converter>(rate, rate_);
    for (int64_t& s : pendingStarts_) s = place(s);
    target_.lineStarts(pendingStarts_);
    pendingStarts_.clear();
    target_.beginRun(rate_);
}

void RateAdapter::write(std::span<const int16_t> samples) {
    if (!converter_) return target_.write(samples);
    const std::vector<int16_t> converted = converter_->convert(samples, false);
    if (!converted.empty()) target_.write(converted);
}

void RateAdapter::endRun() {
    if (converter_) {
        const std::vector<int16_t> rest = converter_->convert({}, true);
        if (!rest.empty()) target_.write(rest);
        converter_.reset();
    }
    target_.endRun();
}

} // namespace vorsan::synth
