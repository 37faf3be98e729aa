#pragma once
// Measurements of synthesised audio for tests: reading a sound file, loudness
// of a stretch, and the pitch of a stretch by autocorrelation.
#include <optional>
#include <string>
#include <vector>

namespace vorsan::testing {

struct Audio {
    int rate = 0;
    int format = 0;             // libsndfile's major type: SF_FORMAT_WAV, SF_FORMAT_AIFF, ...
    std::vector<float> samples; // mono, -1..1
    double seconds() const { return rate ? static_cast<double>(samples.size()) / rate : 0.0; }
};

// Reads any file libsndfile knows (first channel); throws std::runtime_error.
Audio readAudio(const std::string& path);

// Root-mean-square level between two times (seconds), clipped to the audio.
double rms(const Audio& audio, double from, double to);

// Pitch in Hz of a window centred at `at`, by normalised autocorrelation over
// minHz..maxHz; nullopt when the window is not clearly periodic.
std::optional<double> pitchAt(const Audio& audio, double at, double window = 0.04, double minHz = 60,
                              double maxHz = 400);

// Median of the pitches measured every 10 ms between two times; nullopt when
// fewer than half of the windows are periodic.
std::optional<double> medianPitch(const Audio& audio, double from, double to);

} // namespace vorsan::testing
