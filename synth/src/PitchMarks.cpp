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

namespace {

enum class Kind { Quiet, Release, Loud };

struct Run {
    Kind kind;
    double length; // seconds of source
};

// The runs of one segment's marks [first, last) between source times
// [from, to): each mark owns the time from the midpoint with the mark
// before to the midpoint with the mark after.
void runsOf(const std::vector<double>& marks, const std::vector<float>& energy, std::size_t first, std::size_t last,
            double from, double to, float loudest, std::vector<Run>& runs) {
    double start = from, loudSince = -1;
    for (std::size_t j = first; j < last; ++j) {
        const double end = j + 1 < last ? (marks[j] + marks[j + 1]) / 2 : to;
        Kind kind = energy[j] < kQuietShare * loudest ? Kind::Quiet : Kind::Loud;
        if (kind == Kind::Loud) {
            if (loudSince < 0 && !runs.empty() && runs.back().kind == Kind::Quiet) loudSince = start;
            if (loudSince >= 0 && start - loudSince < kReleaseSeconds - 1e-9) kind = Kind::Release;
        } else {
            loudSince = -1;
        }
        if (!runs.empty() && runs.back().kind == kind) runs.back().length += end - start;
        else runs.push_back({kind, end - start});
        start = end;
    }
}

} // namespace

SegmentEnds splitAtClosures(const std::vector<double>& sourceMarks, const std::vector<float>& energy,
                            const std::vector<double>& sourceEnds, const std::vector<double>& targetEnds) {
    SegmentEnds out;
    const std::size_t segments = std::min(sourceEnds.size(), targetEnds.size());
    std::size_t j = 0;
    double sourceStart = 0, targetStart = 0;
    const float pieceLoudest = energy.empty() ? 0.0f : *std::max_element(energy.begin(), energy.end());
    std::vector<Run> runs;
    for (std::size_t k = 0; k < segments; ++k) {
        const double sourceEnd = std::max(sourceStart, sourceEnds[k]);
        const double targetEnd = std::max(targetStart, targetEnds[k]);
        const std::size_t first = j;
        while (j < sourceMarks.size() && j < energy.size() && sourceMarks[j] < sourceEnd) ++j;
        float loudest = 0;
        for (std::size_t m = first; m < j; ++m) loudest = std::max(loudest, energy[m]);
        const double target = targetEnd - targetStart;
        // Only a shortened segment with a real release (not the breath
        // noise of a pause) is cut into runs.
        runs.clear();
        if (target < sourceEnd - sourceStart && loudest >= kReleaseShare * pieceLoudest)
            runsOf(sourceMarks, energy, first, j, sourceStart, sourceEnd, loudest, runs);
        double quiet = 0, release = 0, loud = 0;
        for (const Run& r : runs) (r.kind == Kind::Quiet ? quiet : r.kind == Kind::Release ? release : loud) += r.length;
        const double rest = target - release; // for the quiet and the other loud runs
        // The rate of each kind: quiet runs take the change; loud ones only
        // what is left once the quiet runs are at their floor, and down to
        // kLoudFloor of their length.
        double quietRate = 1, loudRate = 1;
        bool split = quiet > 0 && release + loud > 0 && target >= 2 * release;
        if (split) {
            if (rest - loud >= kQuietFloor * quiet) {
                quietRate = (rest - loud) / quiet;
            } else if (rest - kQuietFloor * quiet >= kLoudFloor * loud) {
                quietRate = kQuietFloor;
                loudRate = (rest - kQuietFloor * quiet) / loud;
            } else {
                loudRate = kLoudFloor;
                quietRate = (rest - kLoudFloor * loud) / quiet;
                split = quietRate > 0;
            }
        }
        if (split) {
            double s = sourceStart, t = targetStart;
            for (std::size_t r = 0; r + 1 < runs.size(); ++r) {
                s += runs[r].length;
                t += runs[r].length * (runs[r].kind == Kind::Quiet ? quietRate : runs[r].kind == Kind::Loud ? loudRate : 1);
                out.source.push_back(s);
                out.target.push_back(std::min(t, targetEnd));
            }
        }
        out.source.push_back(sourceEnds[k]);
        out.target.push_back(targetEnds[k]);
        sourceStart = sourceEnd;
        targetStart = targetEnd;
    }
    return out;
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
