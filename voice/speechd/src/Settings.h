#pragma once
// The settings speech-dispatcher sends in SET blocks, the voices the module
// offers (every language, and each of its moods as a variant), and how a
// message's settings become the voice's state.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorsan::speechd {

enum class Punctuation { None, Some, Most, All };

struct VoiceEntry {
    std::string name;      // "Hindi", "Hindi (Happy)"
    std::string code;      // "hi"
    std::string variant;   // the mood, or "none"
    std::u16string language; // the engine's language name
    std::u16string mood;   // "" for the configuration's moods
};

struct Settings {
    int rate = 0, pitch = 0, volume = 0; // -100..100; 0 is the configuration's value
    std::string language;                // "" for none ("NULL")
    std::string synthesisVoice;          // "" for none
    Punctuation punctuation = Punctuation::None;
    bool spelling = false;               // spelling_mode: every message spelled out

    // One "key=value" line of a SET block; blocks are partial, so only the
    // named value changes. A new language without a voice in the same block
    // drops a chosen voice of another language (at the block's end).
    // Unknown keys are ignored.
    void set(std::string_view key, std::string_view value);
    void endBlock(const std::vector<VoiceEntry>& voices);

private:
    bool languageChanged_ = false, voiceNamed_ = false;
};

// The speech-dispatcher language code of an engine language ("" when it
// has none) and a language code's identifier for the voice (0 when not an
// engine language: the configuration decides).
std::string codeOfLanguage(std::u16string_view engineLanguage);
uint16_t languageId(std::string_view code);

// What a message is spoken with: the language identifier, the mood, and the
// rate, pitch (-10..10) and volume (0..200 percent) the voice takes.
struct VoiceState {
    uint16_t langId = 0;
    std::u16string mood;
    int32_t rateAdj = 0, pitchAdj = 0;
    uint32_t volume = 100;
};
VoiceState voiceState(const Settings& settings, const std::vector<VoiceEntry>& voices);

} // namespace vorsan::speechd
