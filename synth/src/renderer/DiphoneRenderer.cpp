#include "renderer/DiphoneRenderer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <mutex>
#include <numbers>
#include <string_view>

#include "PitchMarks.h"
#include "vorsan/core/MException.h"

namespace vorsan::synth::renderer {

namespace {

const std::array<int16_t, 256>& muLawTable() {
    static const std::array<int16_t, 256> table = [] {
        std::array<int16_t, 256> t{};
        for (int b = 0; b < 256; ++b) t[static_cast<std::size_t>(b)] = muLawToLinear(static_cast<unsigned char>(b));
        return t;
    }();
    return table;
}

// Symmetric Hanning window of a length, computed once per length for the
// process (entries of a map stay where they are as others are added).
// Its last point is 0: a frame's last sample is never taken from the signal.
const std::vector<float>& hanning(std::size_t length) {
    static std::map<std::size_t, std::vector<float>> cache;
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    auto [it, added] = cache.try_emplace(length);
    if (added) {
        std::vector<float>& w = it->second;
        w.assign(length, 0.0f);
        const std::size_t half = length / 2;
        if (length % 2) w[half] = 1.0f;
        const float k = static_cast<float>(2.0 * std::numbers::pi / static_cast<double>(length));
        for (std::size_t i = 0; i < half; ++i)
            w[i] = w[length - 1 - i] = static_cast<float>(0.5 - 0.5 * std::cos(k * (static_cast<double>(i) + 0.5)));
        if (length > 0) w[length - 1] = 0.0f;
    }
    return it->second;
}

const std::string& leftName(const PlanSegment& s) { return s.asLeft.empty() ? s.phone : s.asLeft; }
const std::string& rightName(const PlanSegment& s) { return s.asRight.empty() ? s.phone : s.asRight; }

int16_t clamp16(double v) { return static_cast<int16_t>(std::clamp(v, -32768.0, 32767.0)); }

// One analysis frame of the concatenated units: the residual stretch
// [first, last] of its unit around a pitch mark, Hanning-windowed.
struct Frame {
    uint32_t unit = 0;
    uint32_t row = 0; // coefficient row in the unit's track
    int first = 0;
    int last = 0;
    int length() const { return last - first + 1; }
};

// The all-pole LPC filter over buffer positions [from, to): each output is
// the excitation plus the prediction from the `order` outputs before it. The
// excitation of position k is excitation[k - order].
//
// The filter is a chain through its outputs, so what bounds its speed is how
// soon each output can start the next one. The three newest outputs are kept
// in registers and added last, one after another: the newest output waits
// only for one multiply and one add. The older ones, stored several samples
// before, are summed in four independent parts meanwhile; read back from
// memory so soon after their store, the newest outputs would stall the
// loads that span them.
template <int N>
void synthesisFilter(const float* coefs, float* out, const int32_t* excitation, std::size_t from, std::size_t to) {
    static_assert(N >= 4);
    if (from >= to) return;
    float c[N + 1];
    std::copy(coefs, coefs + N + 1, c);
    float y1 = out[from - 1], y2 = out[from - 2], y3 = out[from - 3];
    for (std::size_t k = from; k < to; ++k) {
        const float* past = out + k;
        float part[4] = {0, 0, 0, 0};
        int j = 4;
        for (; j + 3 <= N; j += 4) {
            part[0] += c[j] * past[-j];
            part[1] += c[j + 1] * past[-j - 1];
            part[2] += c[j + 2] * past[-j - 2];
            part[3] += c[j + 3] * past[-j - 3];
        }
        for (; j <= N; ++j) part[0] += c[j] * past[-j];
        float y = ((part[0] + part[1]) + (part[2] + part[3])) + static_cast<float>(excitation[k - N]);
        y += c[3] * y3;
        y += c[2] * y2;
        y += c[1] * y1;
        out[k] = y;
        y3 = y2;
        y2 = y1;
        y1 = y;
    }
}

// The same filter for any other order.
void synthesisFilter(const float* coefs, float* out, const int32_t* excitation, std::size_t from, std::size_t to,
                     int order) {
    for (std::size_t k = from; k < to; ++k) {
        float y = static_cast<float>(excitation[k - static_cast<std::size_t>(order)]);
        for (int j = order; j >= 1; --j) y += coefs[j] * out[k - static_cast<std::size_t>(j)];
        out[k] = y;
    }
}

struct Scratch {
    std::vector<PlanSegment> list;
    std::vector<Diphone> units;
    std::vector<float> segEnds, sourceEnds;
    std::vector<double> sourceMarks;
    std::vector<Frame> frames;
    std::vector<int32_t> sum;
    std::vector<float> filtered;
    std::vector<float> energy;
};

// RMS of a frame's residual, the excitation's strength there, from every
// fourth sample: enough to tell a closure from a release (every eighth
// already misjudges some bursts), at a quarter of the cost.
float frameEnergy(const Diphone& d, const Frame& f) {
    const auto& table = muLawTable();
    const long from = std::max(0, f.first);
    const long to = std::min(static_cast<long>(f.last) + 1, static_cast<long>(d.residualCount));
    double sum = 0;
    long count = 0;
    for (long j = from; j < to; j += 4, ++count) {
        const double v = table[d.residual[j]];
        sum += v * v;
    }
    return count ? static_cast<float>(std::sqrt(sum / static_cast<double>(count))) : 0.0f;
}

} // namespace

bool festivalBackEnd() {
    const char* choice = std::getenv("VORSAN_SYNTH");
    return choice && std::string_view(choice) == "festival";
}

std::shared_ptr<const RenderVoice> loadRenderVoice(const VoiceDatabase& voice) {
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<const RenderVoice>> loaded;
    // Keyed by what names the index, not by where it was found: finding a
    // Festival voice's folder lists the voice folders, which is not free
    // (on Windows each step is a call into the system), and a loaded voice
    // stays what it was for the life of the process.
    const std::string key = voice.festivalVoice + "|" + voice.indexFile + "|" + voice.defaultDiphone;
    std::lock_guard lock(mutex);
    auto& slot = loaded[key];
    if (!slot) {
        const std::string path = diphoneIndexPath(voice);
        auto v = std::make_shared<RenderVoice>();
        v->file = std::make_shared<const GroupFile>(path);
        v->nativeRate = v->file->rate();
        v->index = DiphoneIndex::read(path, true);
        v->defaultEntry = v->file->find(voice.defaultDiphone);
        Diphone probe;
        if (v->defaultEntry < 0 || !v->file->diphone(v->defaultEntry, probe)) {
            loaded.erase(key);
            throw MException("voice '" + voice.name + "': default diphone '" + voice.defaultDiphone + "' is not in the voice");
        }
        slot = std::move(v);
    }
    if (slot->nativeRate != voice.nativeRate)
        throw MException("voice '" + voice.name + "' declares a native rate of " + std::to_string(voice.nativeRate) +
                         " Hz but its diphones are recorded at " + std::to_string(slot->nativeRate) + " Hz");
    return slot;
}

void renderPiece(const RenderVoice& loaded, const VoiceDatabase& voice, const SegmentPlan& plan,
                 const PlanPiece& piece, std::vector<int16_t>& out) {
#ifdef _WIN32
    Scratch s; // not thread-local under MinGW: see appendRulePhones
#else
    thread_local Scratch s;
#endif
    const auto& segs = plan.segments;
    const int64_t pieceStart = segs[piece.first].start;
    const int64_t pieceEnd = segs[piece.last - 1].end;
    const int64_t count = pieceEnd - pieceStart;
    out.assign(static_cast<std::size_t>(std::max<int64_t>(count, 0)), 0);
    if (count <= 0) return;

    // One phone of context on each side (a short pause at the ends) gives the
    // piece's outer phones their proper diphones; it is cut off afterwards.
    const int64_t context = std::max<int64_t>(1, plan.voiceFrequency / 12);
    s.list.clear();
    if (piece.first > 0) {
        PlanSegment prev = segs[piece.first - 1];
        prev.start = std::max(prev.start, pieceStart - context);
        s.list.push_back(std::move(prev));
    } else {
        s.list.push_back({voice.pausePhone, {}, {}, pieceStart - context, pieceStart});
    }
    s.list.insert(s.list.end(), segs.begin() + static_cast<std::ptrdiff_t>(piece.first),
                  segs.begin() + static_cast<std::ptrdiff_t>(piece.last));
    if (piece.last < segs.size()) {
        PlanSegment next = segs[piece.last];
        next.end = std::min(next.end, pieceEnd + context);
        s.list.push_back(std::move(next));
    } else {
        s.list.push_back({voice.pausePhone, {}, {}, pieceEnd, pieceEnd + context});
    }
    const int64_t origin = s.list.front().start;
    const int64_t finish = s.list.back().end;
    const double rate = loaded.nativeRate;
    const float rateF = static_cast<float>(loaded.nativeRate);

    // The diphones, and where each phone boundary falls in the source.
    const GroupFile& file = *loaded.file;
    s.units.resize(s.list.size() - 1);
    for (std::size_t i = 0; i + 1 < s.list.size(); ++i) {
        const long entry = file.find(leftName(s.list[i]) + "-" + rightName(s.list[i + 1]));
        if (entry < 0 || !file.diphone(entry, s.units[i])) file.diphone(loaded.defaultEntry, s.units[i]);
    }
    s.segEnds.clear();
    for (const PlanSegment& seg : s.list)
        s.segEnds.push_back(static_cast<float>(static_cast<double>(seg.end - origin) / rate));
    s.sourceEnds.assign(s.list.size(), 0.0f);
    {
        float previous = 0, second = 0;
        for (std::size_t u = 0; u < s.units.size(); ++u) {
            const Diphone& d = s.units[u];
            const std::size_t middle = static_cast<std::size_t>(std::max(0, d.middleFrame));
            const std::size_t last = std::max(d.times.size() - 1, middle);
            const float first = d.times[middle];
            second = d.times[last] - first;
            s.sourceEnds[u] = first + previous;
            previous = s.sourceEnds[u] + second;
        }
        s.sourceEnds.back() = second + previous;
    }

    // Units' marks with long gaps filled (unvoiced stretches marked sparsely
    // would otherwise give frames a quarter of a second wide), concatenated.
    s.frames.clear();
    s.sourceMarks.clear();
    int widest = 0;
    float offset = 0;
    for (std::size_t u = 0; u < s.units.size(); ++u) {
        Diphone& d = s.units[u];
        std::vector<std::size_t> rows;
        const FilledMarks filled = fillMarkGaps(std::vector<double>(d.times.begin(), d.times.end()));
        if (filled.times.size() != d.times.size()) {
            d.times.assign(filled.times.size(), 0.0f);
            for (std::size_t i = 0; i < filled.times.size(); ++i) d.times[i] = static_cast<float>(filled.times[i]);
            rows = filled.from;
        }
        float previousMark = 0;
        for (std::size_t j = 0; j < d.times.size(); ++j) {
            const float mark = d.times[j];
            const int centre = static_cast<int>(std::rint(mark * rateF));
            const int first = static_cast<int>(std::rint(previousMark * rateF));
            Frame f{static_cast<uint32_t>(u), static_cast<uint32_t>(rows.empty() ? j : rows[j]), first, 2 * centre - first};
            widest = std::max(widest, f.length());
            s.frames.push_back(f);
            s.sourceMarks.push_back(static_cast<float>(mark + offset));
            previousMark = mark;
        }
        offset = static_cast<float>(s.sourceMarks.back());
    }

    // Target pitch marks from the whole text's contour, so pieces join
    // smoothly, running on past the last segment by the widest frame.
    const auto hzAt = [&](double t) { return plan.pitchAt(static_cast<double>(origin) + t * rate); };
    const double keep = static_cast<double>(finish - origin) / rate;
    const double marksEnd = std::max(keep, static_cast<double>(s.segEnds.back())) + widest / rate + 0.01;
    std::vector<double> targets = placePitchmarks(hzAt, marksEnd);
    if (targets.empty()) return;
    for (double& t : targets) t = static_cast<float>(t);
    std::vector<double> sourceEnds(s.sourceEnds.begin(), s.sourceEnds.end());
    std::vector<double> targetEnds(s.segEnds.begin(), s.segEnds.end());
    SegmentEnds ends{sourceEnds, targetEnds};
    if (plan.keepReleases) {
        s.energy.clear();
        for (const Frame& f : s.frames) s.energy.push_back(frameEnergy(s.units[f.unit], f));
        ends = splitAtClosures(s.sourceMarks, s.energy, sourceEnds, targetEnds);
    }
    std::vector<int> map = mapPitchmarks(s.sourceMarks, ends.source, ends.target, targets);
    const auto sampleAt = [rateF](double t) { return static_cast<long>(std::rint(static_cast<float>(t) * rateF)); };
    const int lastHalf = (s.frames.back().length() - 1) / 2;
    const long signalEnd = sampleAt(targets.back()) + lastHalf; // last sample of the overlap-added signal
    std::size_t fitting = 0;
    while (fitting < map.size() &&
           sampleAt(targets[fitting]) + (s.frames[static_cast<std::size_t>(map[fitting])].length() - 1) / 2 + 1 <
               signalEnd)
        ++fitting;
    map.resize(fitting);
    if (map.empty()) return;

    // Overlap-add of the windowed residual frames at the target marks, only
    // as far as the piece needs.
    const int64_t skip = pieceStart - origin;
    const std::size_t needed = static_cast<std::size_t>(std::min<int64_t>(skip + count, signalEnd + 1));
    const auto& table = muLawTable();
    s.sum.assign(needed, 0);
    for (std::size_t i = 0; i < map.size(); ++i) {
        const Frame& f = s.frames[static_cast<std::size_t>(map[i])];
        const int length = f.length();
        const long start = sampleAt(targets[i]) - (length - 1) / 2;
        if (start >= static_cast<long>(needed)) break;
        const Diphone& d = s.units[f.unit];
        const std::vector<float>& w = hanning(static_cast<std::size_t>(length));
        const long from = std::max({0L, -static_cast<long>(f.first), -start});
        const long to = std::min({static_cast<long>(length) - 1, static_cast<long>(d.residualCount) - f.first,
                                  static_cast<long>(needed) - start});
        for (long j = from; j < to; ++j)
            s.sum[static_cast<std::size_t>(start + j)] +=
                static_cast<int>(static_cast<float>(table[d.residual[f.first + j]]) * w[static_cast<std::size_t>(j)]);
    }
    for (int32_t& v : s.sum) v = std::clamp(v, -32768, 32767);

    // LPC resynthesis: each target mark's frame filters the residual from
    // the midpoint before it to the one after it (delayed by the filter
    // order, as the voices were made for).
    const int order = std::max(0, s.units[0].channels - 1);
    s.filtered.assign(needed + static_cast<std::size_t>(order), 0.0f);
    const std::size_t signalLength = static_cast<std::size_t>(signalEnd + 1);
    std::size_t k = static_cast<std::size_t>(order);
    float coefs[257] = {};
    for (std::size_t i = 0; i + 1 < targets.size() && k < needed + static_cast<std::size_t>(order); ++i) {
        const float t0 = static_cast<float>(targets[i]), t1 = static_cast<float>(targets[i + 1]);
        // Frame ends are counted in the filter's buffer, which starts `order`
        // samples early; the signal's own length bounds them.
        const std::size_t end = std::min({needed + static_cast<std::size_t>(order), signalLength,
                                          static_cast<std::size_t>(std::max(0, static_cast<int>((t0 + t1) * rateF) / 2))});
        if (i < map.size()) {
            const Frame& f = s.frames[static_cast<std::size_t>(map[i])];
            const Diphone& d = s.units[f.unit];
            for (int c = 1; c <= order; ++c) coefs[c] = c < d.channels ? d.coef(f.row, c) : 0.0f;
        } else {
            std::fill(coefs, coefs + order + 1, 0.0f);
        }
        if (k < end) {
            if (order == 16)
                synthesisFilter<16>(coefs, s.filtered.data(), s.sum.data(), k, end);
            else if (order == 20)
                synthesisFilter<20>(coefs, s.filtered.data(), s.sum.data(), k, end);
            else
                synthesisFilter(coefs, s.filtered.data(), s.sum.data(), k, end, order);
            k = end;
        }
    }
    const std::size_t filteredEnd = k - static_cast<std::size_t>(order);
    for (int64_t i = 0; i < count; ++i) {
        const std::size_t at = static_cast<std::size_t>(skip + i);
        if (at >= needed) break;
        const double v = at < filteredEnd ? static_cast<double>(clamp16(s.filtered[at + static_cast<std::size_t>(order)]))
                                          : static_cast<double>(s.sum[at]);
        const double scaled = v * voice.gain; // rounded half away from zero
        out[static_cast<std::size_t>(i)] =
            clamp16(static_cast<double>(static_cast<int64_t>(scaled + (scaled < 0 ? -0.5 : 0.5))));
    }
}

} // namespace vorsan::synth::renderer
