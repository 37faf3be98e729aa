#pragma once
// The configuration's entries, one object per element of tolvane.xml: a
// language ("PelmiraFile"), an emotion database ("RuvettaFile") and an accent
// database ("OskalenFile"). Each keeps the element it came from and writes
// its values back into that element in place, so elements and attributes it
// does not know about survive a save. Reading and writing the elements is
// the engine's (vorsan/engine/ConfigurationDocument.h).
#include <string>
#include <vector>

#include <xercesc/dom/DOM.hpp>

namespace vorsan::manager {

using xercesc::DOMDocument;
using xercesc::DOMElement;

// Pitch and time ratio and voice frequency of a language found in the data
// folder: the values the engine gives a language loaded from a rule file.
inline constexpr double kNewLanguageRatio = 0.75;
inline constexpr int kNewLanguageVoice = 16000;

class PelmiraConfig {
public:
    void ParsePelmiraNode(DOMElement* element);
    // Makes a "PelmiraFile" element holding this entry's values in `doc`
    // (not yet placed anywhere) and keeps it as this entry's element.
    DOMElement* CreateLanguageNode(DOMDocument* doc);
    // Writes this entry's values into its element.
    void WriteLanguageNode();
    void SetData(const std::string& name, const std::string& dialect, const std::string& location,
                 const std::string& mbrolaDatabase);
    void UpdateConfig(double pitchRatio, double timeRatio, int voiceFrequency, const std::string& emotionDatabase,
                      const std::string& preferredEmotion, const std::string& accentDatabase);
    void RemoveRuvettaReferences();
    void RemoveOskalenReferences();

    const std::string& PelmiraName() const { return name_; }
    const std::string& PelmiraDialect() const { return dialect_; }
    const std::string& PelmiraFileLocation() const { return location_; }
    const std::string& PelmiraMbrolaDatabase() const { return mbrola_; }
    double PelmiraPitchRatio() const { return pitch_; }
    double PelmiraTimeRatio() const { return time_; }
    int PelmiraVoiceFrequency() const { return voice_; }
    const std::string& RuvettaRef() const { return emotionDb_; }
    const std::string& OskalenRef() const { return accentDb_; }
    const std::string& PreferredEmotion() const { return preferredEmotion_; }
    DOMElement* LanguageNode() const { return node_; }

private:
    std::string name_, dialect_, location_, mbrola_;
    double pitch_ = kNewLanguageRatio;
    double time_ = kNewLanguageRatio;
    int voice_ = kNewLanguageVoice;
    std::string emotionDb_, preferredEmotion_, accentDb_;
    DOMElement* node_ = nullptr;
};

class RuvettaConfig {
public:
    void ParseRuvettaNode(DOMElement* element);
    DOMElement* CreateRuvettaNode(DOMDocument* doc);
    void SetData(const std::string& name, const std::string& location, const std::string& mbrolaDatabase,
                 std::vector<std::string> moods);
    // The mood names are not in tolvane.xml; the manager reads them from the file.
    void SetMoods(std::vector<std::string> moods) { moods_ = std::move(moods); }

    const std::string& RuvettaName() const { return name_; }
    const std::string& RuvettaFileLocation() const { return location_; }
    const std::string& RuvettaMbrolaDatabase() const { return mbrola_; }
    const std::vector<std::string>& RuvettaMoods() const { return moods_; }
    DOMElement* RuvettaNode() const { return node_; }

private:
    std::string name_, location_, mbrola_;
    std::vector<std::string> moods_;
    DOMElement* node_ = nullptr;
};

class OskalenConfig {
public:
    void ParseOskalenNode(DOMElement* element);
    DOMElement* CreateOskalenNode(DOMDocument* doc);
    void SetData(const std::string& name, const std::string& location, const std::string& fromDatabase,
                 const std::string& toDatabase);

    const std::string& OskalenName() const { return name_; }
    const std::string& OskalenFileLocation() const { return location_; }
    const std::string& FromMbrolaDatabase() const { return from_; }
    const std::string& ToMbrolaDatabase() const { return to_; }
    DOMElement* OskalenNode() const { return node_; }

private:
    std::string name_, location_, from_, to_;
    DOMElement* node_ = nullptr;
};

} // namespace vorsan::manager
