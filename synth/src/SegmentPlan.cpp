#include "SegmentPlan.h"

#include <algorithm>
#include <cmath>

#include "vorsan/core/MException.h"
#include "vorsan/core/PhonemeText.h"

namespace vorsan::synth {

namespace {

const std::string& leftName(const PlanSegment& s) { return s.asLeft.empty() ? s.phone : s.asLeft; }
const std::string& rightName(const PlanSegment& s) { return s.asRight.empty() ? s.phone : s.asRight; }

// How many records are laid out between looks at the stop flag, so that a
// long text can be stopped while it is being laid out.
constexpr std::size_t kRecordsPerLook = 1024;

const std::vector<VoicePart>& partsOf(const PhonemeRecord& r, const VoiceDatabase& voice, const DiphoneIndex& index,
                                      std::vector<VoicePart>& asIs) {
    if (auto it = voice.phones.find(r.name); it != voice.phones.end()) return it->second;
    if (!index.hasPhone(r.name)) throw MException("unknown phone '" + r.name + "' for voice '" + voice.name + "'");
    asIs.assign(1, {r.name, 100});
    return asIs;
}

// The record's pitch targets, within the pitch limits, on the timeline.
void addTargets(const PhonemeRecord& r, int64_t start, int64_t end, double pitchScale, SegmentPlan& plan) {
    for (std::size_t i = 0; i < r.pitches.size() && i < r.positions.size(); ++i) {
        const double pos = std::clamp(r.positions[i], 0, 100) / 100.0;
        const int32_t hz = std::clamp(r.pitches[i], kPitchFloor, kPitchCeiling);
        plan.targets.push_back({static_cast<double>(start) + pos * static_cast<double>(end - start), hz * pitchScale});
    }
}

// Lays the voice phones of every record on the sample timeline and collects
// the pitch targets. Returns false when stopped part-way.
bool layOut(const PhonemeRecordList& phones, const VoiceDatabase& voice, const DiphoneIndex& index,
            const PlanSettings& s, const std::atomic<bool>* stop, SegmentPlan& plan) {
    const double samplesPerMs = static_cast<double>(s.durationRatio) * s.voiceFrequency / 1000.0;
    const double pitchScale = static_cast<double>(s.pitchRatio) * voice.nativeRate / s.voiceFrequency;
    std::vector<VoicePart> asIs;
    int64_t elapsedMs = 0;
    for (std::size_t k = 0; k < phones.size(); ++k) {
        if (stop && k % kRecordsPerLook == 0 && *stop) return false;
        const PhonemeRecord& r = phones[k];
        // Boundaries come from the running total, so rounding never drifts.
        const int64_t start = std::llround(static_cast<double>(elapsedMs) * samplesPerMs);
        plan.lineStarts.push_back(start);
        if (r.name.empty() || r.duration <= 0) continue; // takes no time
        const std::vector<VoicePart>& parts = partsOf(r, voice, index, asIs);
        // However long a phone is asked to be, it lasts at most kMaxPhoneMs,
        // so no text can make one piece of audio hold more than that (times
        // the duration ratio).
        elapsedMs += std::min(r.duration, kMaxPhoneMs);
        const int64_t end = std::llround(static_cast<double>(elapsedMs) * samplesPerMs);
        addTargets(r, start, end, pitchScale, plan);
        int32_t shareSoFar = 0;
        int64_t partStart = start;
        for (const VoicePart& part : parts) {
            shareSoFar += part.share;
            const int64_t partEnd = start + (end - start) * shareSoFar / 100;
            if (partEnd > partStart) plan.segments.push_back({part.phone, {}, {}, partStart, partEnd});
            partStart = partEnd;
        }
    }
    plan.totalSamples = plan.segments.empty() ? 0 : plan.segments.back().end;
    plan.lineStarts.push_back(plan.totalSamples);
    std::stable_sort(plan.targets.begin(), plan.targets.end(),
                     [](const PlanTarget& a, const PlanTarget& b) { return a.at < b.at; });
    plan.defaultHz = voice.defaultPitch * static_cast<double>(s.pitchRatio);
    return true;
}

// Lists a pair nothing covers and has it spoken with the voice's default
// diphone (also when the voice holds the pair but its data is unusable).
void notePair(PlanSegment& a, PlanSegment& b, const VoiceDatabase& voice, const DiphoneIndex& index,
              SegmentPlan& plan) {
    if (index.has(leftName(a), rightName(b))) return;
    std::string pair = leftName(a) + "-" + rightName(b);
    if (std::find(plan.missing.begin(), plan.missing.end(), pair) == plan.missing.end()) plan.missing.push_back(pair);
    if (const auto dash = voice.defaultDiphone.find('-'); dash != std::string::npos) {
        a.asLeft = voice.defaultDiphone.substr(0, dash);
        b.asRight = voice.defaultDiphone.substr(dash + 1);
    }
}

// Applies the voice's fallbacks to every pair the voice has no diphone for;
// pairs still uncovered afterwards are listed in plan.missing.
void mendPairs(const VoiceDatabase& voice, const DiphoneIndex& index, SegmentPlan& plan) {
    std::vector<PlanSegment> out;
    out.reserve(plan.segments.size());
    for (std::size_t i = 0; i < plan.segments.size(); ++i) {
        PlanSegment seg = plan.segments[i];
        if (!out.empty() && !index.has(leftName(out.back()), rightName(seg))) {
            if (const Fallback* f = voice.fallbackFor(out.back().phone, seg.phone)) {
                if (!f->insert.empty()) {
                    PlanSegment& prev = out.back();
                    const int64_t take = (prev.end - prev.start) * f->share / 100;
                    if (take > 0) {
                        PlanSegment bridge{f->insert, {}, {}, prev.end - take, prev.end};
                        prev.end -= take;
                        out.push_back(std::move(bridge));
                        notePair(out[out.size() - 2], out.back(), voice, index, plan);
                    }
                } else {
                    if (!f->leftAs.empty()) out.back().asLeft = f->leftAs;
                    if (!f->rightAs.empty()) seg.asRight = f->rightAs;
                }
            }
            notePair(out.back(), seg, voice, index, plan);
        }
        out.push_back(std::move(seg));
    }
    plan.segments = std::move(out);
}

void cutPieces(const VoiceDatabase& voice, const PlanSettings& s, SegmentPlan& plan) {
    const int64_t soft = static_cast<int64_t>(kPieceSeconds * s.voiceFrequency);
    const int64_t hard = static_cast<int64_t>(kMaxPieceSeconds * s.voiceFrequency);
    std::size_t first = 0;
    for (std::size_t i = 0; i < plan.segments.size(); ++i) {
        const int64_t length = plan.segments[i].end - plan.segments[first].start;
        const bool pause = plan.segments[i].phone == voice.pausePhone;
        if ((pause && length >= soft) || length >= hard) {
            plan.pieces.push_back({first, i + 1});
            first = i + 1;
        }
    }
    if (first < plan.segments.size()) plan.pieces.push_back({first, plan.segments.size()});
}

} // namespace

double SegmentPlan::pitchAt(double at) const {
    if (targets.empty()) return defaultHz;
    if (at <= targets.front().at) return targets.front().hz;
    if (at >= targets.back().at) return targets.back().hz;
    auto next = std::upper_bound(targets.begin(), targets.end(), at,
                                 [](double t, const PlanTarget& p) { return t < p.at; });
    auto prev = next - 1;
    const double span = next->at - prev->at;
    if (span <= 0) return next->hz;
    return prev->hz + (next->hz - prev->hz) * (at - prev->at) / span;
}

SegmentPlan buildSegmentPlan(const PhonemeRecordList& phones, const VoiceDatabase& voice, const DiphoneIndex& index,
                             const PlanSettings& settings, const std::atomic<bool>* stop) {
    if (settings.voiceFrequency <= 0) throw MException("voice frequency must be positive");
    if (!(settings.durationRatio > 0) || !(settings.pitchRatio > 0)) throw MException("ratios must be positive");
    SegmentPlan plan;
    plan.voiceFrequency = settings.voiceFrequency;
    if (!layOut(phones, voice, index, settings, stop, plan)) return SegmentPlan{};
    mendPairs(voice, index, plan);
    cutPieces(voice, settings, plan);
    return plan;
}

SegmentPlan buildSegmentPlan(std::string_view phonemeText, const VoiceDatabase& voice, const DiphoneIndex& index,
                             const PlanSettings& settings, const std::atomic<bool>* stop) {
    PhonemeRecordList phones;
    phones.read(phonemeText);
    return buildSegmentPlan(phones, voice, index, settings, stop);
}

} // namespace vorsan::synth
