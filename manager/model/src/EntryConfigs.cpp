// The three entry kinds of tolvane.xml and how each reads and writes its element.
#include <charconv>
#include <optional>

#include "DomFile.h"
#include "vorsan/core/Text.h"
#include "vorsan/manager/ConfigEntries.h"

namespace vorsan::manager {

namespace {

template <typename T>
std::optional<T> number(const std::string& text) {
    T v{};
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return v;
}

// Shortest text that reads back as the same value, always with a decimal
// point ("1.0", "0.75", "1.2").
std::string ratioText(double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, r.ptr);
    if (s.find_first_of(".eE") == std::string::npos) s += ".0";
    return s;
}

} // namespace

// --- PelmiraConfig -----------------------------------------------------------

void PelmiraConfig::ParsePelmiraNode(DOMElement* element) {
    node_ = element;
    name_ = dom::attribute(element, u"name");
    dialect_ = dom::attribute(element, u"Dialect");
    location_ = dom::text(dom::child(element, u"location"));
    mbrola_ = dom::text(dom::child(element, u"MbrolaDatabase"));
    // Missing or unreadable values keep what the engine gives such a
    // language: 1.0 for the built-in English, 0.75 for a rule file.
    const double fresh = location_.empty() ? 1.0 : kNewLanguageRatio;
    pitch_ = number<double>(dom::text(dom::child(element, u"Pitch"))).value_or(fresh);
    time_ = number<double>(dom::text(dom::child(element, u"Time"))).value_or(fresh);
    voice_ = number<int>(dom::text(dom::child(element, u"Voice"))).value_or(kNewLanguageVoice);
    DOMElement* emotion = dom::child(element, u"RuvettaRef");
    emotionDb_ = dom::attribute(emotion, u"name");
    preferredEmotion_ = dom::attribute(emotion, u"preferredEmotion");
    accentDb_ = dom::attribute(dom::child(element, u"OskalenRef"), u"name");
}

DOMElement* PelmiraConfig::CreateLanguageNode(DOMDocument* doc) {
    node_ = doc->createElement(u"PelmiraFile");
    WriteLanguageNode();
    return node_;
}

void PelmiraConfig::WriteLanguageNode() {
    if (!node_) return;
    dom::setAttribute(node_, u"name", name_);
    dom::setAttribute(node_, u"Dialect", dialect_);
    dom::setChildText(node_, u"location", location_);
    dom::setChildText(node_, u"MbrolaDatabase", mbrola_);
    dom::setChildText(node_, u"Pitch", ratioText(pitch_));
    dom::setChildText(node_, u"Time", ratioText(time_));
    dom::setChildText(node_, u"Voice", std::to_string(voice_));
    DOMElement* emotion = dom::childOrNew(node_, u"RuvettaRef");
    dom::setAttribute(emotion, u"name", emotionDb_);
    dom::setAttribute(emotion, u"preferredEmotion", preferredEmotion_);
    dom::setAttribute(dom::childOrNew(node_, u"OskalenRef"), u"name", accentDb_);
}

void PelmiraConfig::SetData(const std::string& name, const std::string& dialect, const std::string& location,
                            const std::string& mbrolaDatabase) {
    name_ = name;
    dialect_ = dialect;
    location_ = location;
    mbrola_ = mbrolaDatabase;
}

void PelmiraConfig::UpdateConfig(double pitchRatio, double timeRatio, int voiceFrequency,
                                 const std::string& emotionDatabase, const std::string& preferredEmotion,
                                 const std::string& accentDatabase) {
    pitch_ = pitchRatio;
    time_ = timeRatio;
    voice_ = voiceFrequency;
    emotionDb_ = emotionDatabase;
    preferredEmotion_ = emotionDatabase.empty() ? std::string() : preferredEmotion;
    accentDb_ = accentDatabase;
}

void PelmiraConfig::RemoveRuvettaReferences() {
    emotionDb_.clear();
    preferredEmotion_.clear();
}

void PelmiraConfig::RemoveOskalenReferences() { accentDb_.clear(); }

// --- RuvettaConfig -----------------------------------------------------------

void RuvettaConfig::ParseRuvettaNode(DOMElement* element) {
    node_ = element;
    name_ = dom::attribute(element, u"name");
    location_ = dom::attribute(element, u"location");
    mbrola_ = dom::attribute(element, u"MbrolaDatabase");
}

DOMElement* RuvettaConfig::CreateRuvettaNode(DOMDocument* doc) {
    node_ = doc->createElement(u"RuvettaFile");
    dom::setAttribute(node_, u"name", name_);
    dom::setAttribute(node_, u"location", location_);
    dom::setAttribute(node_, u"MbrolaDatabase", mbrola_);
    return node_;
}

void RuvettaConfig::SetData(const std::string& name, const std::string& location, const std::string& mbrolaDatabase,
                            std::vector<std::string> moods) {
    name_ = name;
    location_ = location;
    mbrola_ = mbrolaDatabase;
    moods_ = std::move(moods);
}

// --- OskalenConfig -----------------------------------------------------------

void OskalenConfig::ParseOskalenNode(DOMElement* element) {
    node_ = element;
    name_ = dom::attribute(element, u"name");
    location_ = dom::attribute(element, u"location");
    from_ = dom::attribute(element, u"fromMbroladb");
    to_ = dom::attribute(element, u"toMbroladb");
}

DOMElement* OskalenConfig::CreateOskalenNode(DOMDocument* doc) {
    node_ = doc->createElement(u"OskalenFile");
    dom::setAttribute(node_, u"name", name_);
    dom::setAttribute(node_, u"location", location_);
    dom::setAttribute(node_, u"fromMbroladb", from_);
    dom::setAttribute(node_, u"toMbroladb", to_);
    return node_;
}

void OskalenConfig::SetData(const std::string& name, const std::string& location, const std::string& fromDatabase,
                            const std::string& toDatabase) {
    name_ = name;
    location_ = location;
    from_ = fromDatabase;
    to_ = toDatabase;
}

} // namespace vorsan::manager
