#pragma once
// A voice database of the synthesiser: one small XML file that names the
// Festival diphone voice to use, its native sample rate, how each phone name
// of the phoneme text maps onto the voice's own phones, and what to do for
// phone pairs the voice has no diphone for.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace vorsan::synth {

// One voice phone a phoneme-text phone becomes, with its share (percent) of
// that phone's duration.
struct VoicePart {
    std::string phone;
    int32_t share = 100;
};

// What to do when the voice lacks the diphone left-right. The lists hold voice
// phones; an empty list matches any phone.
struct Fallback {
    std::vector<std::string> left;
    std::vector<std::string> right;
    std::string leftAs;   // use this name for the left phone in this diphone
    std::string rightAs;  // use this name for the right phone in this diphone
    std::string insert;   // put this phone between the two
    int32_t share = 30;   // percent of the left phone's time the inserted phone takes

    bool matches(std::string_view a, std::string_view b) const;
};

struct VoiceDatabase {
    std::string name;            // database name, as given to MBR_SetDatabase
    std::string path;            // file it was read from
    std::string festivalVoice;   // e.g. "kal_diphone"
    std::string indexFile;       // diphone index, absolute or relative to the Festival voice folder
    int32_t nativeRate = 16000;  // Hz of the voice's own recordings
    std::string pausePhone;      // the voice's silence phone
    std::string defaultDiphone;  // last resort for a pair nothing covers
    double gain = 1.0;           // output scaling
    int32_t defaultPitch = 120;  // Hz, for text without any pitch target
    std::map<std::string, std::vector<VoicePart>, std::less<>> phones;
    std::vector<Fallback> fallbacks;

    // The first fallback that matches the pair, or nullptr.
    const Fallback* fallbackFor(std::string_view a, std::string_view b) const;
};

// Path of the database file for a name: "<profile>/Speechfiles/Voices/<name>.xml",
// else "<installed data>/voices/<name>.xml"; empty when neither is readable or
// the name is not a plain file name.
std::string voiceDatabasePath(const std::string& name);

// Reads a voice database file; raises MException on any fault of the file.
VoiceDatabase loadVoiceDatabase(const std::string& path, const std::string& name);

// The set of diphones ("a-b") a Festival diphone voice holds, read from the
// text part of its index file (read a block at a time, up to the end of its
// entries).
class DiphoneIndex {
public:
    // Where a grouped index keeps one diphone's data.
    struct Entry {
        std::string name;      // "a-b"
        long trackStart = -1;  // offset of its pitch-mark track from the end of the text entries (-1: not grouped)
        int middleFrame = -1;  // frame of the boundary between its phones
    };

    // Raises MException. With `dropUnusable`, the diphones of a grouped
    // index whose data cannot be used (see usableDiphone) count as missing:
    // has() denies them and size() leaves them out, while entries() still
    // lists them. Each diphone's pitch-mark track is read when has() first
    // asks for it, so the index keeps its file open.
    static DiphoneIndex read(const std::string& path, bool dropUnusable = false);
    // Safe to call from several threads at once.
    bool has(std::string_view left, std::string_view right) const;
    bool hasPhone(std::string_view phone) const { return phones_.count(std::string(phone)) != 0; }
    // Diphones the voice holds (with `dropUnusable`, this checks them all).
    std::size_t size() const;
    const std::vector<Entry>& entries() const { return entries_; }

private:
    class TrackCheck;
    bool usable(std::size_t entry) const;

    std::unordered_map<std::string, std::size_t> diphones_; // name -> its first entry
    std::unordered_set<std::string> phones_;
    std::vector<Entry> entries_;
    std::shared_ptr<TrackCheck> check_; // with dropUnusable; shared by copies
};

// Folder of an installed Festival voice (searched under $VORSAN_FESTIVAL_VOICES,
// the installed data folder's festival/voices, then the system's Festival
// voice folders); empty when not found.
std::string festivalVoiceFolder(const std::string& voice);

// Full path of the voice's diphone index; raises MException when the Festival
// voice is not installed.
std::string diphoneIndexPath(const VoiceDatabase& voice);

} // namespace vorsan::synth
