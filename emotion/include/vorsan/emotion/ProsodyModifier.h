#pragma once
// Re-shapes a sentence's phone records by one mood: classifies every phone
// (sound class, voicing, syllable role, stress) and applies the mood's
// settings in their fixed order.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vorsan/core/PhonemeText.h"
#include "vorsan/emotion/EmotionProfile.h"

namespace vorsan {

// Stress level, held in a record's contour mark.
enum StressLevel : int32_t { StressNone = 0, StressWeak = 1, StressPitch = 2, StressFull = 3 };

// Syllable role, held in a record's emotion value. A syllable is a run of
// one to three voiced phonemes.
enum SyllableRole : int32_t { RoleOutside = 0, RoleStart = 1, RoleMiddle = 2, RoleEnd = 3, RoleSingle = 4 };

// Working storage of the emotion stage; one call at a time per object.
class ProsodyModifier {
public:
    // Classifies the records, applies every non-neutral setting of the
    // profile to them in place (they come back as full lines). Throws
    // MException "wrong pitch Contour" or "phraseContour: wrong Contour type"
    // when a setting needs an invalid contour.
    void apply(PhonemeRecordList& phones, const EmotionProfile& profile, const SoundClassMap& sounds);

    // Reads the text and computes roles, class statistics, the utterance mean
    // pitch and stress marks, without changing pitch or durations.
    void classify(std::string_view phonemeText, const SoundClassMap& sounds);

    const PhonemeRecordList& records() const { return records_; }
    double utteranceMeanPitch() const { return utteranceMean_; }
    int32_t classAverageDuration(SoundClass c) const;
    int32_t classCount(SoundClass c) const;

private:
    void reshape(const EmotionProfile& profile);
    void assignRolesAndStatistics();
    void markStress();
    void contourStressed(const EmotionSetting& s);
    void scaleStressed(uint32_t rate);
    void spreadSyllables(int32_t rate);
    void phraseContour(const EmotionSetting& s);
    void scaleDurations(uint32_t rate, bool (*selects)(const PhonemeRecord&, bool), bool flag);

    // Gathers the pitch values of records [first, last] into scratch_.
    void gather(std::size_t first, std::size_t last);
    // Hands scratch_ back to records [first, last], each taking as many
    // values as it had.
    void giveBack(std::size_t first, std::size_t last);

    PhonemeRecordList records_;
    double utteranceMean_ = 0.0;
    std::array<int32_t, kSoundClassCount> classAverage_{};
    std::array<int32_t, kSoundClassCount> classCount_{};
    std::vector<int32_t> scratch_;
    std::vector<std::size_t> phrase_;
};

} // namespace vorsan
