#pragma once
// The settings speech-dispatcher sends in SET blocks, the voices the module
// offers (every language, and each of its moods as a variant), and how a
// message's settings become what the engine speaks it with.
#include <string>
#include <string_view>
#include <vector>

namespace vorsan::speechd {

enum class Punctuation { None, Some, Most, All };

// speech-dispatcher's voice types. The engine has one voice per language, so
// each is that voice with its pitch and formants moved (voiceTypePreset).
enum class VoiceType { Male1, Male2, Male3, Female1, Female2, Female3, ChildMale, ChildFemale };

struct VoiceTypePreset {
    const char* name;    // as the protocol sends it: "MALE1", "CHILD_FEMALE"
    VoiceType type;
    double pitch;        // factor on the configuration's pitch
    double formants;     // factor on the voice's formants (its audio is
                         // played that much faster, its speech made slower
                         // and lower to match)
};
const VoiceTypePreset& voiceTypePreset(VoiceType type);

struct VoiceEntry {
    std::string name;      // "Hindi", "Hindi (Happy)"
    std::string code;      // "hi"
    std::string variant;   // the mood, or "none"
    std::string language;  // the engine's language name
    std::u16string mood;   // "" for the configuration's moods
};

struct Settings {
    int rate = 0, pitch = 0, volume = 0; // -100..100; 0 is the configuration's value
    std::string language;                // "" for none ("NULL")
    std::string synthesisVoice;          // "" for none
    Punctuation punctuation = Punctuation::None;
    bool spelling = false;               // spelling_mode: every message spelled out
    VoiceType voiceType = VoiceType::Male1;

    // One "key=value" line of a SET block; blocks are partial, so only the
    // named value changes. A new language without a voice in the same block
    // drops a chosen voice of another language (at the block's end).
    // Unknown keys are ignored.
    void set(std::string_view key, std::string_view value);
    void endBlock(const std::vector<VoiceEntry>& voices);

private:
    bool languageChanged_ = false, voiceNamed_ = false;
};

// What a message is spoken with: the language (the engine's name when a
// voice was chosen, else the message's language tag; both empty: each run of
// text is read by its script), the mood ("" for the configuration's), and
// the factors on the configuration's speaking rate and pitch ratio (the
// voice type's included), on the engine's loudness and on the voice's
// formants (the voice type's).
struct VoiceState {
    std::string language;
    std::string code;
    std::u16string mood;
    double speakingRate = 1; // 0.5 (rate -100) .. 1 (0) .. 3.5 (100)
    double pitch = 1;        // 0.6 (pitch -100) .. 1 (0) .. 1.6 (100)
    double volume = 1;       // 0 (volume -100) .. 1 (0) .. 2 (100)
    double formants = 1;     // factor on the voice's formants
};
VoiceState voiceState(const Settings& settings, const std::vector<VoiceEntry>& voices);

} // namespace vorsan::speechd
