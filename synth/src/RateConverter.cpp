#include "vorsan/synth/RateConverter.h"

#include <samplerate.h>

#include <string>

#include "vorsan/core/MException.h"

namespace vorsan::synth {

namespace {
[[noreturn]] void fail(int err) { throw MException(std::string("cannot convert the sample rate: ") + src_strerror(err)); }
} // namespace

RateConverter::RateConverter(int32_t from, int32_t to) : ratio_(static_cast<double>(to) / from) {
    int err = 0;
    state_ = src_new(SRC_SINC_FASTEST, 1, &err);
    if (!state_) fail(err);
}

RateConverter::~RateConverter() { src_delete(state_); }

std::vector<int16_t> RateConverter::convert(std::span<const int16_t> samples, bool last) {
    std::vector<float> in(samples.size());
    if (!samples.empty()) src_short_to_float_array(samples.data(), in.data(), static_cast<int>(samples.size()));
    std::vector<float> out(static_cast<std::size_t>(static_cast<double>(samples.size()) * ratio_) + 4096);
    std::vector<int16_t> result;
    SRC_DATA d{};
    d.data_in = in.data();
    d.input_frames = static_cast<long>(in.size());
    d.src_ratio = ratio_;
    d.end_of_input = last ? 1 : 0;
    do {
        d.data_out = out.data();
        d.output_frames = static_cast<long>(out.size());
        if (int err = src_process(state_, &d); err != 0) fail(err);
        const std::size_t produced = static_cast<std::size_t>(d.output_frames_gen);
        const std::size_t at = result.size();
        result.resize(at + produced);
        if (produced) src_float_to_short_array(out.data(), result.data() + at, static_cast<int>(produced));
        d.data_in += d.input_frames_used;
        d.input_frames -= d.input_frames_used;
    } while (d.input_frames > 0 || (last && d.output_frames_gen > 0));
    if (last) src_reset(state_);
    return result;
}

} // namespace vorsan::synth
