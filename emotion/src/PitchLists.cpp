#include "PitchLists.h"

#include <cmath>

#include "vorsan/core/PhonemeText.h"

namespace vorsan::pitch {

int32_t clampToRange(double value) {
    // Written so that NaN also ends at the floor.
    if (!(value >= kPitchFloor)) return kPitchFloor;
    if (value >= kPitchCeiling) return kPitchCeiling;
    return static_cast<int32_t>(std::trunc(value));
}

void scale(std::span<int32_t> values, uint32_t percent) {
    const double factor = static_cast<double>(percent) * kPercent;
    for (auto& v : values) v = clampToRange(factor * static_cast<double>(v));
}

void spread(std::span<int32_t> values, int32_t rate, double centre) {
    const auto p16 = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(rate) & 0xFFFFu));
    const double f = static_cast<double>(static_cast<int32_t>(p16) - 100) * kPercent;
    for (auto& v : values) {
        const double dv = static_cast<double>(v);
        const double w = dv + std::trunc((dv - centre) * f);
        if (f > 0) {
            v = clampToRange(w);
        } else if (dv <= centre) {
            v = clampToRange(w > centre ? std::trunc(centre) : w);
        } else {
            v = clampToRange(w < centre ? std::trunc(centre) : w);
        }
    }
}

void jitter(std::span<int32_t> values, int32_t percent) {
    const double factor = static_cast<double>(percent) * kPercent;
    for (std::size_t k = 0; k < values.size(); ++k) {
        const double dv = static_cast<double>(values[k]);
        const double change = std::trunc(factor * dv);
        values[k] = clampToRange(k % 2 == 0 ? dv + change : dv - change);
    }
}

void ramp(std::span<int32_t> values, int64_t from, int64_t to) {
    const auto n = static_cast<int64_t>(values.size());
    if (n == 0) return;
    if (from == to) {
        for (auto& v : values) v = clampToRange(static_cast<double>(from));
        return;
    }
    const int64_t step = (from < to ? to - from : from - to) / n;
    for (int64_t k = 0; k < n; ++k) {
        const int64_t value = from < to ? from + k * step : from - k * step;
        values[static_cast<std::size_t>(k)] = clampToRange(static_cast<double>(value));
    }
}

double mean(std::span<const int32_t> values) {
    if (values.empty()) return 0.0;
    uint64_t sum = 0;
    for (auto v : values) sum += static_cast<uint32_t>(v);
    return static_cast<double>(sum / values.size());
}

int32_t scaleDuration(int32_t duration, uint32_t percent) {
    const uint32_t product = static_cast<uint32_t>(duration) * percent;
    return static_cast<int32_t>(product / 100u);
}

} // namespace vorsan::pitch
