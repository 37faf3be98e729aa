// The three entry kinds of tolvane.xml, read from and written to their
// elements by the engine's code for the file.
#include "vorsan/core/Text.h"
#include "vorsan/engine/ConfigurationDocument.h"
#include "vorsan/manager/ConfigEntries.h"

namespace vorsan::manager {

namespace cf = configfile;

namespace {

cf::Language record(const PelmiraConfig& l) {
    return {l.PelmiraName(), l.PelmiraDialect(), l.PelmiraFileLocation(), l.PelmiraMbrolaDatabase(),
            l.PelmiraPitchRatio(), l.PelmiraTimeRatio(), l.PelmiraVoiceFrequency(), l.RuvettaRef(), l.OskalenRef(),
            utf8ToUtf16(l.PreferredEmotion()), {}};
}

} // namespace

// --- PelmiraConfig -----------------------------------------------------------

void PelmiraConfig::ParsePelmiraNode(DOMElement* element) {
    node_ = element;
    const cf::Language l = cf::readLanguage(*element, cf::Numbers::asWritten);
    name_ = l.name;
    dialect_ = l.dialect;
    location_ = trimBlanks(l.location);
    mbrola_ = trimBlanks(l.mbrolaDatabase);
    // Missing or unreadable values keep what the engine gives such a
    // language: 1.0 for the built-in English, 0.75 for a rule file.
    const double fresh = location_.empty() ? 1.0 : kNewLanguageRatio;
    pitch_ = l.pitch.value_or(fresh);
    time_ = l.time.value_or(fresh);
    voice_ = l.voice.value_or(kNewLanguageVoice);
    emotionDb_ = l.emotionDatabase;
    preferredEmotion_ = utf16ToUtf8(l.mood);
    accentDb_ = l.accentDatabase;
}

DOMElement* PelmiraConfig::CreateLanguageNode(DOMDocument* doc) {
    node_ = cf::newLanguage(*doc, record(*this));
    return node_;
}

void PelmiraConfig::WriteLanguageNode() {
    if (!node_) return;
    cf::writeLanguage(*node_, record(*this));
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
    cf::Emotion e = cf::readEmotion(*element);
    name_ = std::move(e.name);
    location_ = std::move(e.location);
    mbrola_ = std::move(e.mbrolaDatabase);
}

DOMElement* RuvettaConfig::CreateRuvettaNode(DOMDocument* doc) {
    node_ = cf::newEmotion(*doc, {name_, location_, mbrola_});
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
    cf::Accent a = cf::readAccent(*element);
    name_ = std::move(a.name);
    location_ = std::move(a.location);
    from_ = std::move(a.fromDatabase);
    to_ = std::move(a.toDatabase);
}

DOMElement* OskalenConfig::CreateOskalenNode(DOMDocument* doc) {
    node_ = cf::newAccent(*doc, {name_, location_, from_, to_});
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
