#pragma once
// Streaming sample-rate conversion of 16-bit mono audio (libsamplerate).
#include <cstdint>
#include <span>
#include <vector>

typedef struct SRC_STATE_tag SRC_STATE;

namespace vorsan::synth {

class RateConverter {
public:
    // Raises MException "cannot convert the sample rate: ..." on failure.
    RateConverter(int32_t from, int32_t to);
    ~RateConverter();
    RateConverter(const RateConverter&) = delete;
    RateConverter& operator=(const RateConverter&) = delete;

    // Converts the next samples; `last` flushes what the converter holds
    // back, after which the converter starts afresh.
    std::vector<int16_t> convert(std::span<const int16_t> samples, bool last);

private:
    SRC_STATE* state_ = nullptr;
    double ratio_;
};

} // namespace vorsan::synth
