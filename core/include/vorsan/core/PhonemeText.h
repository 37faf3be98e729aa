#pragma once
// Phone records, which every stage of the engine passes on, and phoneme text,
// the line format they are read from and printed as where callers meet them
// (phone name, duration in ms, then position-percent/pitch-Hz pairs, every
// field followed by one space).
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorsan {

// One phone produced by a language's rules or by the English front end.
struct PhonemeUnit {
    std::string name;
    int32_t duration = 0;
    // Optional (position, pitch) points given by a rule file; prosody sets
    // the pitch of every phone itself, so they are only carried along.
    std::vector<std::pair<int32_t, int32_t>> pitchPoints;
    bool operator==(const PhonemeUnit&) const = default;
};

inline bool isWordBoundary(const PhonemeUnit& u) { return u.name == "_"; }

// Pitch limits of what is spoken (the mood and the synthesiser keep pitches
// within them).
inline constexpr int32_t kPitchFloor = 50;
inline constexpr int32_t kPitchCeiling = 500;

// How a record's line is printed: the usual "name duration pos pitch ... "
// line, a line that ends at its duration (the pauses of the rule-based
// front end), or a transcription's "name " without a line feed.
enum class LineForm : uint8_t { Full, Short, Word };

// One phone as the stages pass it on (front ends, mood, accent, speaking
// rate, synthesiser), and one line of phoneme text where text is read or
// printed.
struct PhonemeRecord {
    std::string name;
    std::vector<int32_t> pitches;   // Hz as given; bounded by classify()
    std::vector<int32_t> positions; // percent of the duration
    int32_t duration = 0;
    LineForm form = LineForm::Full;
    uint8_t nameWidth = 0;       // the name is printed padded with spaces to this width
    bool blankLineAfter = false; // a line of one space follows (the English front end's closing)
    int32_t soundType = -1;   // class from the emotion sound table, -1 unknown
    int32_t contourMark = 0;  // 1, 2 or 3 when the line had a leading mark
    bool voiced = false;
    double meanPitch = 0.0;   // integer mean of the pitches as read
    int32_t emotionValue = 0; // working value of emotion processing

    void setPitches(const std::vector<int32_t>& values); // clamps
};

// A pause ("_") of `ms` milliseconds.
PhonemeRecord pauseRecord(int32_t ms, LineForm form = LineForm::Full);

// Sound-class table consulted while reading (phone name -> class number).
using SoundClassMap = std::map<std::string, int32_t, std::less<>>;

// True for the voiced sound classes (long/short vowel, liquid, nasal,
// voiced fricative, voiced plosive).
bool isVoicedSoundClass(int32_t soundClass);

class PhonemeRecordList {
public:
    // Replaces the content with the records read from phoneme text, values
    // as written. When a sound table is given, the records are classified.
    void read(std::string_view text, const SoundClassMap* sounds = nullptr);
    // Readies the records for the mood: the integer mean of each record's
    // pitches is kept, then the pitches are clamped to 50..500, and each name
    // is looked up in the sound table for its class and voicing.
    void classify(const SoundClassMap& sounds);
    // Prints every record in its form (blank lines as the records note).
    std::string write() const;
    // Appends the printed records to `out`.
    void writeTo(std::string& out) const;
    // Every record printed as a full line, nothing else (how the mood and the
    // accent print what they give).
    void makeFull();

    std::size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }
    PhonemeRecord& operator[](std::size_t i) { return records_[i]; }
    const PhonemeRecord& operator[](std::size_t i) const { return records_[i]; }
    void clear() { records_.clear(); }
    void push_back(PhonemeRecord r) { records_.push_back(std::move(r)); }
    PhonemeRecord& back() { return records_.back(); }
    void append(PhonemeRecordList&& more);
    auto begin() { return records_.begin(); }
    auto end() { return records_.end(); }
    auto begin() const { return records_.begin(); }
    auto end() const { return records_.end(); }

private:
    std::vector<PhonemeRecord> records_;
};

// Where a word of the input text begins: its place in the text (offset and
// length in UTF-16 code units) and the index of its first phone record (of
// its first phone line in phoneme text, blank lines not counted).
struct WordMark {
    std::size_t offset = 0;
    std::size_t length = 0;
    std::size_t line = 0;
    bool operator==(const WordMark&) const = default;
};

// A piece of synthesiser input: its phones with the voice they are for, and
// (when the pipeline made it) where the words of its text begin. Inside the
// engine the phones travel as records; phoneString holds them printed only
// where a caller asks for phoneme text.
struct SpeechChunk {
    std::string phoneString;
    std::string mbrolaDatabase;
    float pitch = 1.0f;
    float time = 1.0f;
    int32_t voiceFrequency = 16000;
    std::vector<WordMark> words;
    PhonemeRecordList phones{};
};

using ChunkList = std::vector<SpeechChunk>;
using StringList = std::vector<std::u16string>;

} // namespace vorsan
