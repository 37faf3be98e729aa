#pragma once
// A Festival diphone voice's group file, mapped into memory and read in
// place: the text index of diphones, then for each diphone its pitch-mark
// track (LPC coefficients per mark) and its LPC residual (8-bit mu-law).
// Nothing of the voice data is copied; a diphone's description points into
// the mapping, which lives as long as the GroupFile.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "vorsan/core/MappedFile.h"

namespace vorsan::synth::renderer {

// One diphone as the renderer needs it.
struct Diphone {
    std::vector<float> times;         // pitch-mark times in seconds, one per frame, never going back
    int middleFrame = 0;              // frame of the boundary between its two phones
    int channels = 0;                 // coefficient channels per frame (0 is the gain, 1.. the predictor)
    const unsigned char* coefs = nullptr; // first frame's channel 0
    std::size_t frameStride = 0;      // bytes from one frame's channels to the next
    bool swapBytes = false;           // the track is big-endian
    const unsigned char* residual = nullptr; // mu-law samples
    std::size_t residualCount = 0;
    int32_t rate = 0;                 // residual sample rate

    // Channel c of frame f (both in range).
    float coef(std::size_t f, int c) const;
};

class GroupFile {
public:
    // Maps and indexes the file; raises MException when it is not a grouped
    // diphone index.
    explicit GroupFile(const std::string& path);
    GroupFile(const GroupFile&) = delete;
    GroupFile& operator=(const GroupFile&) = delete;

    // Entry of a diphone ("a-b"), -1 when the voice has none. A name listed
    // twice means its last entry, as the voice's own loader reads it.
    long find(std::string_view name) const;
    // Reads an entry's track and residual headers; false when they are
    // damaged or run past the end of the file, or the marks are unusable.
    bool diphone(long entry, Diphone& out) const;
    // Sample rate of the residuals (that of the pause diphone), 0 when unknown.
    int32_t rate() const { return rate_; }
    const std::string& path() const { return path_; }

private:
    struct Entry {
        std::size_t track = 0; // offsets from the start of the file
        std::size_t wave = 0;
        int middle = 0;
    };
    bool readTrack(std::size_t at, Diphone& out) const;
    bool readWave(std::size_t at, Diphone& out) const;

    std::string path_;
    MappedFile map_;
    const unsigned char* data_ = nullptr; // map_'s bytes
    std::size_t size_ = 0;
    std::vector<Entry> entries_;
    std::unordered_map<std::string, long> byName_;
    int32_t rate_ = 0;
};

// The 16-bit value of a mu-law byte.
int16_t muLawToLinear(unsigned char byte);

} // namespace vorsan::synth::renderer
