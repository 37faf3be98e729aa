#include "PitchMarks.h"

#include <algorithm>
#include <cmath>

namespace vorsan::synth {

std::vector<double> placePitchmarks(const std::function<double(double)>& hzAt, double end) {
    std::vector<double> marks;
    if (!(end > 0) || !std::isfinite(end)) return marks;
    marks.reserve(static_cast<std::size_t>(end * kMaxVoicePitch) + 2);
    double t = 0;
    while (t < end) {
        double hz = hzAt(t);
        if (!std::isfinite(hz)) hz = kMinVoicePitch;
        t += 1.0 / std::clamp(hz, kMinVoicePitch, kMaxVoicePitch);
        marks.push_back(t);
    }
    return marks;
}

FilledMarks fillMarkGaps(const std::vector<double>& times, double maxGap, double spacing) {
    FilledMarks out;
    out.times.reserve(times.size());
    out.from.reserve(times.size());
    out.index.reserve(times.size());
    double previous = 0;
    for (std::size_t j = 0; j < times.size(); ++j) {
        const double gap = times[j] - previous;
        if (gap > maxGap) {
            const auto parts = static_cast<std::size_t>(std::ceil(gap / spacing));
            for (std::size_t m = 1; m < parts; ++m) {
                const double share = static_cast<double>(m) / static_cast<double>(parts);
                out.times.push_back(previous + gap * share);
                out.from.push_back(j > 0 && share < 0.5 ? j - 1 : j);
            }
        }
        out.index.push_back(out.times.size());
        out.times.push_back(times[j]);
        out.from.push_back(j);
        previous = std::max(previous, times[j]);
    }
    return out;
}

bool usableDiphone(const std::vector<double>& times, int middleFrame) {
    if (times.size() < 2 || middleFrame < 0 || static_cast<std::size_t>(middleFrame) >= times.size()) return false;
    double previous = 0;
    for (double t : times) {
        if (!std::isfinite(t) || t < previous) return false;
        previous = t;
    }
    return times.front() > 0 && times.back() < 5.0;
}

std::vector<int> mapPitchmarks(const std::vector<double>& sourceMarks, const std::vector<double>& sourceEnds,
                               const std::vector<double>& targetEnds, const std::vector<double>& targetMarks) {
    std::vector<int> map;
    const std::size_t segments = std::min(sourceEnds.size(), targetEnds.size());
    if (sourceMarks.empty() || segments == 0) return map;
    map.reserve(targetMarks.size());
    const int last = static_cast<int>(sourceMarks.size()) - 1;
    std::size_t k = 0;
    double targetStart = 0, sourceStart = 0;
    for (double t : targetMarks) {
        while (k < segments && t > targetEnds[k]) {
            targetStart = std::max(targetStart, targetEnds[k]);
            sourceStart = std::max(sourceStart, sourceEnds[k]);
            ++k;
        }
        if (k == segments) break;
        const double span = targetEnds[k] - targetStart;
        const double share = span > 0 ? std::clamp((t - targetStart) / span, 0.0, 1.0) : 1.0;
        const double at = sourceStart + share * std::max(0.0, sourceEnds[k] - sourceStart);
        // Nearest source mark; marks never go back, but may repeat.
        auto next = std::lower_bound(sourceMarks.begin(), sourceMarks.end(), at);
        int index = static_cast<int>(next - sourceMarks.begin());
        if (index > last) {
            index = last;
        } else if (index > 0 && at - sourceMarks[static_cast<std::size_t>(index) - 1] < *next - at) {
            --index;
        }
        map.push_back(index);
    }
    return map;
}

} // namespace vorsan::synth
