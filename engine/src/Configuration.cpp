// Loading and unloading the master configuration file (tolvane.xml).
#include <charconv>
#include <optional>

#include "Registries.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/core/Xml.h"

namespace vorsan {

namespace {

// A whole element text as a number (blanks around it allowed), or nothing.
template <typename T>
std::optional<T> parseNumberText(const std::string& s) {
    const std::string t = trimBlanks(s);
    T v{};
    auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size() || t.empty()) return std::nullopt;
    return v;
}

// One "PelmiraFile" element: the language file it names and the voice
// settings to give it. Settings that are missing or not numbers keep the
// values a freshly loaded language has.
void applyLanguageElement(const xml::DOMElement& e, SpeechEngine::Registries& reg,
                          const std::function<void(SpeechEngine::Registries&)>& registerEnglish) {
    std::string location;
    std::optional<int32_t> voice;
    std::optional<float> pitch, time;
    std::string emotionDb, accentDb;
    std::u16string mood;
    for (const auto* child : xml::childElements(e)) {
        // A number must be one the synthesiser accepts.
        const auto number = [&](auto& target) {
            target = parseNumberText<std::remove_reference_t<decltype(*target)>>(xml::textUtf8(*child).value_or(""));
            const bool isVoice = xml::nameIs(*child, u"Voice");
            if (target)
                xml::requireIn(*child, u"", xml::text(*child).value_or(u""), static_cast<double>(*target),
                               isVoice ? 4000.0 : 1e-3, isVoice ? 192000.0 : 100.0);
        };
        if (xml::nameIs(*child, u"location")) location = xml::textUtf8(*child).value_or("");
        else if (xml::nameIs(*child, u"Voice")) number(voice);
        else if (xml::nameIs(*child, u"Pitch")) number(pitch);
        else if (xml::nameIs(*child, u"Time")) number(time);
        else if (xml::nameIs(*child, u"RuvettaRef")) {
            emotionDb = xml::attrUtf8(*child, u"name");
            mood = xml::attr(*child, u"preferredEmotion");
        } else if (xml::nameIs(*child, u"OskalenRef")) {
            accentDb = xml::attrUtf8(*child, u"name");
        }
    }
    std::unique_ptr<LanguageEntry> entry;
    if (trimBlanks(location).empty()) {
        SpeechEngine::Registries scratch;
        registerEnglish(scratch);
        entry = std::move(scratch.languages.begin()->second);
    } else {
        entry = std::make_unique<LanguageEntry>(LanguageRuleBase::load(location), false);
    }
    if (pitch) entry->pitch = *pitch;
    if (time) entry->time = *time;
    if (voice) entry->voiceFrequency = *voice;
    entry->emotionDatabase = emotionDb;
    entry->accentDatabase = accentDb;
    entry->activeMood = mood;
    std::string name = entry->name();
    reg.languages.emplace(name, std::move(entry)); // an earlier entry of that name stays
}

} // namespace

bool SpeechEngine::loadConfiguration() {
    if (!xml::isReadableFile(configPath_)) throw MException(configPath_ + " Config file not found");

    // Everything is loaded into fresh registries and swapped in only when the
    // whole file loaded, so a broken file leaves the engine as it was.
    auto fresh = std::make_unique<Registries>();
    auto registerEnglishInto = [this](Registries& r) { registerEnglish(r); };
    xml::GuardStyle style;
    style.printXmlMessage = false;
    style.stdFailureLine = "Unknown Exception\n";
    style.printUnknownLine = true;
    xml::parseFile(configPath_, style, [&](const xml::DOMElement& root) {
        if (!xml::nameIs(root, u"ZenloraConfig")) throw MException("Not a Tolvane file");
        std::string pendingPrimary;
        for (const auto* section : xml::childElements(root)) {
            if (xml::nameIs(*section, u"Pelmira")) {
                for (const auto* e : xml::childElements(*section)) applyLanguageElement(*e, *fresh, registerEnglishInto);
            } else if (xml::nameIs(*section, u"Ruvetta")) {
                for (const auto* e : xml::childElements(*section)) {
                    auto db = EmotionDatabase::load(xml::attrUtf8(*e, u"location"));
                    std::string key = db->key();
                    fresh->emotions.emplace(key, std::move(db));
                }
            } else if (xml::nameIs(*section, u"Oskalen")) {
                for (const auto* e : xml::childElements(*section)) {
                    auto db = AccentDatabase::load(xml::attrUtf8(*e, u"location"));
                    std::string key = db->key();
                    fresh->accents.emplace(key, std::move(db));
                }
            } else if (xml::nameIs(*section, u"PrimaryLanguage")) {
                if (auto t = xml::textUtf8(*section)) pendingPrimary = *t;
            } else if (xml::nameIs(*section, u"ChooseLanguageBySentence")) {
                // Optional (older files lack it: on); any text but "true" turns it off.
                fresh->chooseLanguageBySentence = xml::parseBool(xml::text(*section).value_or(u""));
            }
            auto it = fresh->languages.find(pendingPrimary);
            if (!pendingPrimary.empty() && it != fresh->languages.end()) fresh->primary = it->second.get();
        }
    }, xml::kMaxConfigurationBytes);
    reg_ = std::move(fresh);
    locked_ = true;
    return true;
}

bool SpeechEngine::unloadConfiguration() {
    auto fresh = std::make_unique<Registries>();
    registerEnglish(*fresh);
    reg_ = std::move(fresh);
    locked_ = false;
    return true;
}

} // namespace vorsan
