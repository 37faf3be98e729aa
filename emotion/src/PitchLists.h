#pragma once
// The list operations the mood settings are built from. Every value going in
// lies in 50..500 Hz (records are clamped); every value coming out is clamped
// to the same range. Products follow the order (p x 0.01) x v in double
// precision and truncated, so results are reproducible to the hertz
// (p = 29, v = 100 gives 28.999999999999996 -> 28). Results are computed in
// double or 64-bit arithmetic and clamped before any narrowing conversion.
#include <cstdint>
#include <span>

namespace vorsan::pitch {

inline constexpr double kPercent = 0.01;
// Semitone constant (close to ln 2 / 12).
inline constexpr double kSemitone = 0.0577622666837643;

// Truncates toward zero and clamps to 50..500 (infinities included).
int32_t clampToRange(double value);

// Each v becomes trunc(p x 0.01 x v); p is a percent taken as unsigned.
void scale(std::span<int32_t> values, uint32_t percent);

// Multiplies each value's distance from `centre` by p/100, p being the rate's
// low 16 bits as a signed number; when shrinking, values never cross the
// centre.
void spread(std::span<int32_t> values, int32_t rate, double centre);

// Even positions rise by p percent, odd positions fall by it.
void jitter(std::span<int32_t> values, int32_t percent);

// A straight line from `from` towards `to` over the values, stopping one
// step short of `to` (step = distance / count, integer division).
void ramp(std::span<int32_t> values, int64_t from, int64_t to);

// Integer mean of the values as a double; 0.0 for no values.
double mean(std::span<const int32_t> values);

// duration x p / 100 with a 32-bit unsigned product and unsigned division
// (defined wrap-around for negative or huge inputs).
int32_t scaleDuration(int32_t duration, uint32_t percent);

} // namespace vorsan::pitch
