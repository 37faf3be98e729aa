#include "Settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace vorsan::speechd {

namespace {

int level(std::string_view value) {
    int v = 0;
    const auto r = std::from_chars(value.data(), value.data() + value.size(), v);
    if (r.ec != std::errc()) return 0;
    return std::clamp(v, -100, 100);
}

std::string primaryTag(std::string_view code) {
    std::string p(code.substr(0, code.find_first_of("-_")));
    for (char& c : p) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return p;
}

// -100..100 onto low..1..high, geometric on each side of 0 (each step of
// the same size changes the value by the same factor).
double scale(int value, double low, double high) {
    return value >= 0 ? std::pow(high, value / 100.0) : std::pow(low, -value / 100.0);
}

// MALE1 is the configuration's own voice; the others are told apart by
// pitch and by formants (raised formants shorten the voice's apparent
// vocal tract, as a woman's or a child's is shorter). Each differs
// from its neighbours by at least about 15 % in pitch or 8 % in formants.
constexpr VoiceTypePreset kPresets[] = {
    {"MALE1", VoiceType::Male1, 1.0, 1.0},
    {"MALE2", VoiceType::Male2, 0.8, 0.92},           // deeper
    {"MALE3", VoiceType::Male3, 1.15, 1.06},          // lighter
    {"FEMALE1", VoiceType::Female1, 1.5, 1.15},
    {"FEMALE2", VoiceType::Female2, 1.3, 1.1},        // lower
    {"FEMALE3", VoiceType::Female3, 1.75, 1.2},       // higher
    {"CHILD_MALE", VoiceType::ChildMale, 1.8, 1.25},
    {"CHILD_FEMALE", VoiceType::ChildFemale, 2.0, 1.3},
};

} // namespace

const VoiceTypePreset& voiceTypePreset(VoiceType type) {
    for (const VoiceTypePreset& p : kPresets)
        if (p.type == type) return p;
    return kPresets[0];
}

void Settings::set(std::string_view key, std::string_view value) {
    const bool null = value == "NULL";
    if (key == "rate") rate = level(value);
    else if (key == "pitch") pitch = level(value);
    else if (key == "volume") volume = level(value);
    else if (key == "language") {
        language = null ? "" : std::string(value);
        languageChanged_ = true;
    } else if (key == "synthesis_voice") {
        synthesisVoice = null ? "" : std::string(value);
        voiceNamed_ = true;
    } else if (key == "voice_type" || key == "voice") {
        // speech-dispatcher 0.11 sends "voice=female1" (its client command
        // is VOICE_TYPE, and the type's name is upper case there); any case
        // and either key is taken. An unknown type (or NULL) is the
        // configuration's voice. The server sends no voice type with a
        // synthesis voice: the last one stays.
        voiceType = VoiceType::Male1;
        for (const VoiceTypePreset& p : kPresets)
            if (value.size() == std::string_view(p.name).size() &&
                std::equal(value.begin(), value.end(), p.name, [](char a, char b) {
                    return std::toupper(static_cast<unsigned char>(a)) == b;
                }))
                voiceType = p.type;
    } else if (key == "spelling_mode") {
        spelling = value == "on" || value == "1";
    } else if (key == "punctuation_mode") {
        if (value == "none") punctuation = Punctuation::None;
        else if (value == "some") punctuation = Punctuation::Some;
        else if (value == "most") punctuation = Punctuation::Most;
        else if (value == "all") punctuation = Punctuation::All;
    }
}

void Settings::endBlock(const std::vector<VoiceEntry>& voices) {
    const bool check = languageChanged_ && !voiceNamed_;
    languageChanged_ = voiceNamed_ = false;
    if (!check) return;
    for (const VoiceEntry& v : voices)
        if (v.name == synthesisVoice && primaryTag(v.code) != primaryTag(language)) synthesisVoice.clear();
}

VoiceState voiceState(const Settings& settings, const std::vector<VoiceEntry>& voices) {
    VoiceState s;
    s.code = settings.language;
    for (const VoiceEntry& v : voices)
        if (!settings.synthesisVoice.empty() && v.name == settings.synthesisVoice) {
            s.language = v.language;
            s.code = v.code;
            s.mood = v.mood;
        }
    s.speakingRate = scale(settings.rate, 0.5, 3.5);
    const VoiceTypePreset& type = voiceTypePreset(settings.voiceType);
    s.pitch = scale(settings.pitch, 0.6, 1.6) * type.pitch;
    s.formants = type.formants;
    s.volume = (100 + settings.volume) / 100.0;
    return s;
}

} // namespace vorsan::speechd
