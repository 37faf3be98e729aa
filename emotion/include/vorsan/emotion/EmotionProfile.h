#pragma once
// The model of one mood: its eighteen prosody settings, plus the sound
// classes and contour kinds the settings and the sound table are made of.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorsan {

// Phoneme classes of the emotion stage. Value 1 is never stored: semivowels
// are filed as voiced fricatives.
enum class SoundClass : int32_t {
    Unknown = -1,
    LongVowel = 0,
    ShortVowel = 2,
    Liquide = 3,
    Nasal = 4,
    FricativeVoiced = 5,
    FricativeVoiceless = 6,
    PlosiveVoiced = 7,
    PlosiveVoiceless = 8,
    Silence = 9,
};

// Arrays indexed by sound class have this many slots (0..9).
inline constexpr int32_t kSoundClassCount = 10;

// Class of a sound-table element name ("SemiVowel" gives FricativeVoiced);
// Unknown for any other name.
SoundClass soundClassFromName(std::u16string_view elementName);

enum class Contour : int32_t { Invalid = -1, Flat = 1, Raising = 2, Falling = 3 };

// "Flat", "Raising" or "Falling", matched exactly; anything else is Invalid
// (refused only when a setting that needs it is applied).
Contour contourFromText(std::u16string_view text);

// One setting as read from its element. Which fields matter depends on the
// setting: every one but PitchContourStressed has a rate; PhraseContour and
// PitchContourStressed have a contour; PitchContourStressed has a gradient
// (semitones per second, used as an unsigned number); Stressed, NonStressed
// and PitchContourStressed have the flag.
struct EmotionSetting {
    int32_t rate = 0;
    Contour contour = Contour::Invalid;
    int32_t gradient = 0;
    bool forPhraseAndWordAlso = false;
};

struct EmotionProfile {
    // Settings by their position in the Emotion element.
    enum Setting : std::size_t {
        AverageBaseFrequency = 0,
        Range,
        Vairability,
        PhraseContour,
        StressedAVRF,
        PitchContourStressed,
        Jitter,
        SpeechRate,
        Stressed,
        NonStressed,
        Vowels,
        Liquides,
        Nasals,
        FricativeVoiced,
        FricativeVoiceless,
        PlosiveVoiced,
        PlosiveVoiceless,
        Silence,
        SettingCount
    };

    std::string name;
    std::array<EmotionSetting, SettingCount> settings{};

    EmotionSetting& operator[](Setting s) { return settings[s]; }
    const EmotionSetting& operator[](Setting s) const { return settings[s]; }

    // A mood whose every setting is at its neutral value (nothing is applied).
    static EmotionProfile neutral(std::string name);
};

} // namespace vorsan
