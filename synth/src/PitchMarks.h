#pragma once
// The pitch-synchronous steps between Festival's unit concatenation and its
// overlap-add synthesis, done here so that whatever the phoneme text asks,
// the overlap-add only ever receives frame indices that exist and frames that
// fit the signal it allocates:
// - target pitch marks from our own pitch contour (always rising, inside a
//   range the voice can take);
// - the map from every target mark to a source frame, segment by segment;
// - units whose own pitch marks leave long gaps (unvoiced stretches marked
//   sparsely in the recordings) get extra marks, so that no analysis frame
//   spans a quarter of a second and is added on top of itself dozens of times.
// Times are seconds.
#include <cstddef>
#include <functional>
#include <vector>

namespace vorsan::synth {

// Range of pitch (Hz, in the voice's own terms) the diphone voice is driven at.
inline constexpr double kMinVoicePitch = 30.0;
inline constexpr double kMaxVoicePitch = 500.0;

// Unit pitch marks further apart than this are given extra marks in between,
// at most kFillSpacing apart.
inline constexpr double kMaxMarkGap = 0.02;
inline constexpr double kFillSpacing = 0.01;

// Pitch marks one period apart, following `hzAt` (clamped to the range
// above), from the first one period after 0 up to and including the first
// mark at or after `end`.
std::vector<double> placePitchmarks(const std::function<double(double)>& hzAt, double end);

// A unit's pitch marks with long gaps filled: `times` are the new marks,
// `from[i]` the original mark whose coefficients mark i takes (the nearer end
// of its gap), `index[j]` where original mark j went. The first gap is
// counted from 0, where a unit's signal starts.
struct FilledMarks {
    std::vector<double> times;
    std::vector<std::size_t> from;
    std::vector<std::size_t> index;
};
FilledMarks fillMarkGaps(const std::vector<double>& times, double maxGap = kMaxMarkGap,
                         double spacing = kFillSpacing);

// Whether a diphone's pitch marks (and the frame index of its phone
// boundary) can be used at all: at least two marks, finite, positive, never
// going back, the boundary inside, and a sane total length.
bool usableDiphone(const std::vector<double>& times, int middleFrame);

// Where a segment's duration change goes. A stop's recording is a quiet
// closure, a short loud release and its aspiration; changed in proportion,
// a stop said in half its recorded time loses every other frame of its
// release, and its burst (the listener's main cue to which stop it is)
// comes out a quarter as strong. So a segment holding both quiet and loud
// frames is cut into runs, and its change of length is taken by the quiet
// runs first: the first kReleaseSeconds of loud after a quiet run keep
// their recorded length, the other loud frames change only once the quiet
// ones are down to kQuietFloor of theirs (and then down to kLoudFloor of
// their own; past that the quiet runs go shorter still). Lengthened
// segments, segments shorter than twice their releases, segments whose
// loudest frame is below kReleaseShare of the loudest of all (a pause's
// breath noise) and segments all quiet or all loud (vowels, fricatives)
// change evenly.
// `energy` holds one value a source mark (the frame's RMS); a mark is quiet
// below kQuietShare of its segment's loudest. Returns the finer segment ends
// (source and target, ending where the given ones end) for mapPitchmarks.
inline constexpr double kQuietShare = 0.15;
inline constexpr double kReleaseShare = 0.25;
inline constexpr double kReleaseSeconds = 0.02;
inline constexpr double kQuietFloor = 0.3;
inline constexpr double kLoudFloor = 0.1;
struct SegmentEnds {
    std::vector<double> source;
    std::vector<double> target;
};
SegmentEnds splitAtClosures(const std::vector<double>& sourceMarks, const std::vector<float>& energy,
                            const std::vector<double>& sourceEnds, const std::vector<double>& targetEnds);

// Segment-by-segment map from target marks to source frames. Segment k runs
// to targetEnds[k] in the output and to sourceEnds[k] in the concatenated
// source; a target mark takes the source frame nearest to its proportional
// position in its segment. Marks after the last segment get no frame (the
// map is shorter than targetMarks). Every index is < sourceMarks.size();
// an empty source gives an empty map.
std::vector<int> mapPitchmarks(const std::vector<double>& sourceMarks, const std::vector<double>& sourceEnds,
                               const std::vector<double>& targetEnds, const std::vector<double>& targetMarks);

} // namespace vorsan::synth
