#include "AudioAnalysis.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#ifdef _WIN32
#define ENABLE_SNDFILE_WINDOWS_PROTOTYPES 1
#endif
#include <sndfile.h>

#include "vorsan/core/Platform.h"

namespace vorsan::testing {

Audio readAudio(const std::string& path) {
    SF_INFO info{};
#ifdef _WIN32
    SNDFILE* f = sf_wchar_open(platform::nativePath(path).c_str(), SFM_READ, &info);
#else
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
#endif
    if (!f) throw std::runtime_error("cannot read '" + path + "': " + sf_strerror(nullptr));
    std::vector<float> all(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(f, all.data(), info.frames);
    sf_close(f);
    Audio a;
    a.rate = info.samplerate;
    a.format = info.format & SF_FORMAT_TYPEMASK;
    a.samples.resize(static_cast<std::size_t>(info.frames));
    for (sf_count_t i = 0; i < info.frames; ++i)
        a.samples[static_cast<std::size_t>(i)] = all[static_cast<std::size_t>(i * info.channels)];
    return a;
}

namespace {
std::size_t index(const Audio& a, double t) {
    return static_cast<std::size_t>(std::clamp(t * a.rate, 0.0, static_cast<double>(a.samples.size())));
}
} // namespace

double rms(const Audio& audio, double from, double to) {
    const std::size_t b = index(audio, from), e = index(audio, to);
    if (e <= b) return 0.0;
    double sum = 0;
    for (std::size_t i = b; i < e; ++i) sum += static_cast<double>(audio.samples[i]) * audio.samples[i];
    return std::sqrt(sum / static_cast<double>(e - b));
}

std::optional<double> pitchAt(const Audio& audio, double at, double window, double minHz, double maxHz) {
    const std::size_t b = index(audio, at - window / 2), e = index(audio, at + window / 2);
    const auto minLag = static_cast<std::size_t>(audio.rate / maxHz);
    const auto maxLag = static_cast<std::size_t>(audio.rate / minHz);
    if (e <= b || e - b < 2 * maxLag) return std::nullopt;
    const float* x = audio.samples.data() + b;
    const std::size_t n = e - b - maxLag - 1; // lags run up to maxLag + 1
    auto corr = [&](std::size_t lag) {
        double xy = 0, xx = 0, yy = 0;
        for (std::size_t i = 0; i < n; ++i) {
            xy += static_cast<double>(x[i]) * x[i + lag];
            xx += static_cast<double>(x[i]) * x[i];
            yy += static_cast<double>(x[i + lag]) * x[i + lag];
        }
        return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0.0;
    };
    std::vector<double> r(maxLag + 2, 0.0);
    for (std::size_t lag = minLag; lag <= maxLag + 1; ++lag) r[lag] = corr(lag);
    // The first strong peak, so that multiples of the period do not win.
    double best = 0;
    for (std::size_t lag = minLag; lag <= maxLag; ++lag) best = std::max(best, r[lag]);
    if (best < 0.5) return std::nullopt;
    for (std::size_t lag = minLag + 1; lag <= maxLag; ++lag) {
        if (r[lag] >= 0.85 * best && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]) {
            // Parabolic refinement of the peak.
            const double a = r[lag - 1], c = r[lag + 1], m = r[lag];
            const double denom = a - 2 * m + c;
            const double shift = denom != 0 ? 0.5 * (a - c) / denom : 0.0;
            return audio.rate / (static_cast<double>(lag) + shift);
        }
    }
    return std::nullopt;
}

std::optional<double> medianPitch(const Audio& audio, double from, double to) {
    std::vector<double> found;
    int windows = 0;
    for (double t = from; t <= to; t += 0.01, ++windows)
        if (auto p = pitchAt(audio, t)) found.push_back(*p);
    if (windows == 0 || found.size() * 2 < static_cast<std::size_t>(windows)) return std::nullopt;
    std::nth_element(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(found.size() / 2), found.end());
    return found[found.size() / 2];
}

} // namespace vorsan::testing
