#include "Settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace vorsan::speechd {

namespace {

struct Known {
    const char* code;
    const char16_t* language;
    uint16_t id;
};
constexpr Known kLanguages[] = {{"hi", u"Hindi", 0x0439},    {"mr", u"Marathi", 0x044E}, {"gu", u"Gujarati", 0x0447},
                                {"te", u"Telugu", 0x044A},   {"kn", u"Kannada", 0x044B}, {"ta", u"Tamil", 0x0449},
                                {"en", u"English (United States)", 0x0409}};

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

} // namespace

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

std::string codeOfLanguage(std::u16string_view engineLanguage) {
    for (const Known& k : kLanguages)
        if (engineLanguage == k.language) return k.code;
    return {};
}

uint16_t languageId(std::string_view code) {
    const std::string p = primaryTag(code);
    for (const Known& k : kLanguages)
        if (p == k.code) return k.id;
    return 0;
}

VoiceState voiceState(const Settings& settings, const std::vector<VoiceEntry>& voices) {
    VoiceState s;
    s.langId = languageId(settings.language);
    for (const VoiceEntry& v : voices)
        if (!settings.synthesisVoice.empty() && v.name == settings.synthesisVoice) {
            s.langId = languageId(v.code);
            s.mood = v.mood;
        }
    s.rateAdj = static_cast<int32_t>(std::lround(settings.rate / 10.0));
    s.pitchAdj = static_cast<int32_t>(std::lround(settings.pitch / 10.0));
    s.volume = static_cast<uint32_t>(100 + settings.volume);
    return s;
}

} // namespace vorsan::speechd
