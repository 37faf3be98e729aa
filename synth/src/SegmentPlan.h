#pragma once
// Turns phoneme text into what the diphone voice is asked to say: voice
// phones on a timeline counted in output samples, pitch targets in the
// voice's own terms, missing diphones mended, and the whole cut into pieces
// at pauses so that synthesis streams and can be stopped promptly.
//
// Rates: the voice speaks at its native rate N while the output is labelled
// with the voice frequency F. A phone of d ms therefore lasts d*ratio*F/1000
// samples in both views, i.e. d*ratio*F/N ms of native time, and a pitch p
// is asked of the voice as p*ratio*N/F, so that at F both come out as asked.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vorsan/core/PhonemeText.h"
#include "vorsan/synth/VoiceDatabase.h"

namespace vorsan::synth {

struct PlanSettings {
    float pitchRatio = 1.0f;
    float durationRatio = 1.0f;
    int32_t voiceFrequency = 16000;
};

struct PlanSegment {
    std::string phone;   // voice phone
    std::string asLeft;  // name used when this phone is the left half of a diphone ("" = phone)
    std::string asRight; // name used when it is the right half ("" = phone)
    int64_t start = 0;   // output samples
    int64_t end = 0;
};

struct PlanTarget {
    double at = 0;   // output samples
    double hz = 0;   // pitch asked of the voice (native terms)
};

// Segments [first, last) of the plan, synthesised together.
struct PlanPiece {
    std::size_t first = 0;
    std::size_t last = 0;
};

struct SegmentPlan {
    std::vector<PlanSegment> segments;
    std::vector<PlanTarget> targets; // sorted by time
    std::vector<PlanPiece> pieces;
    std::vector<std::string> missing; // diphones no fallback covers ("a-b")
    double defaultHz = 120;           // used when there are no targets
    int32_t voiceFrequency = 16000;   // output samples per second
    int64_t totalSamples = 0;
    // Output sample at which each record begins (records that hold no phone
    // too), then the end of the last: the run's own clock, with every phone
    // already cut to its longest.
    std::vector<int64_t> lineStarts;
    // Whether a shortened stop keeps its release (the renderer's choice);
    // false scales every segment's frames evenly, as Festival's back end does.
    bool keepReleases = true;

    // Pitch (native Hz) at a time: linear between targets, held before the
    // first and after the last.
    double pitchAt(double at) const;
};

// Raises MException for a phone the voice cannot say. When `stop` is raised
// while the records are laid out, the plan comes back empty. Pitches are
// taken within 50..500 Hz and positions within 0..100 %.
SegmentPlan buildSegmentPlan(const PhonemeRecordList& phones, const VoiceDatabase& voice, const DiphoneIndex& index,
                             const PlanSettings& settings, const std::atomic<bool>* stop = nullptr);
// The same for phoneme text (read with the one phoneme-text reader).
SegmentPlan buildSegmentPlan(std::string_view phonemeText, const VoiceDatabase& voice, const DiphoneIndex& index,
                             const PlanSettings& settings, const std::atomic<bool>* stop = nullptr);

// Piece length limits, in seconds of output: a piece ends at the first pause
// after kPieceSeconds, or anywhere after kMaxPieceSeconds.
inline constexpr double kPieceSeconds = 0.8;
inline constexpr double kMaxPieceSeconds = 2.5;
// Longest phone (or pause) the plan lays out, in ms of phoneme text; longer
// ones are cut to it.
inline constexpr int32_t kMaxPhoneMs = 10000;

} // namespace vorsan::synth
