#pragma once
// The configuration manager's model of tolvane.xml: the file's document, one
// entry per language, emotion database and accent database, the primary
// language, the discovery of database files in the data folder, and saving.
//
// Every refusal is reported through the message sink and leaves the model as
// it was. The file is only ever written by SaveConfig, under a temporary name
// that is renamed over it, so a failed save leaves the old file intact.
#include <memory>
#include <string>
#include <vector>

#include "vorsan/manager/ConfigEntries.h"
#include "vorsan/manager/Messages.h"

namespace vorsan::configfile {
class Document;
}

namespace vorsan::manager {

// The values a user sets for one language in the window.
struct LanguageSettings {
    double pitch = kNewLanguageRatio;
    double time = kNewLanguageRatio;
    int voice = kNewLanguageVoice;
    std::string emotionDatabase; // "" for none
    std::string preferredEmotion;
    std::string accentDatabase; // "" for none
};

class ConfigManager {
public:
    static constexpr const char* kEnglishName = "English (United States)";

    // Paths come from the profile folder ($USERPROFILE, else $HOME) as it is now.
    explicit ConfigManager(MessageSink sink = {});
    ~ConfigManager();
    ConfigManager(const ConfigManager&) = delete;
    ConfigManager& operator=(const ConfigManager&) = delete;

    // Reads tolvane.xml (or starts a new configuration when there is none),
    // drops the entries whose files are gone and adds the database files
    // found in the data folder. False when the file could not be read; the
    // model then stays empty and SaveConfig refuses, so a file the manager
    // cannot read is never overwritten.
    bool LoadConfig();
    // Writes the file (temporary name, then rename). False, with a message,
    // when it cannot be written; the model and its changes stay.
    bool SaveConfig();

    // Checks the settings (a mood for a chosen emotion database, ratios and
    // voice the engine accepts, databases made for the language's MBROLA
    // database) and applies them to the
    // language and its element. False, with a message, when refused.
    bool ApplyLanguage(const std::string& language, const LanguageSettings& settings);
    // The consistency test alone: true when the emotion database (if any) is
    // for the language's MBROLA database and the accent database (if any)
    // maps from it; otherwise the mismatch message is shown.
    bool CheckReferences(const PelmiraConfig& language, const std::string& emotionDatabase,
                         const std::string& accentDatabase) const;
    // Rewrites the language's element from its values.
    void UpdateLanguage(PelmiraConfig& language);

    PelmiraConfig* PelmiraConfigRef(const std::string& name) const;
    RuvettaConfig* RuvettaConfigRef(const std::string& name) const;
    OskalenConfig* OskalenConfigRef(const std::string& name) const;
    std::vector<RuvettaConfig*> SuitableRuvettaFiles(const std::string& mbrolaDatabase) const;
    std::vector<OskalenConfig*> SuitableOskalenFiles(const std::string& mbrolaDatabase) const;
    const std::vector<std::unique_ptr<PelmiraConfig>>& AllPelmiraFiles() const { return languages_; }
    const std::vector<std::unique_ptr<RuvettaConfig>>& AllRuvettaFiles() const { return emotions_; }
    const std::vector<std::unique_ptr<OskalenConfig>>& AllOskalenFiles() const { return accents_; }

    const std::string& PrimaryLanguage() const { return primary_; }
    void SetPrimaryLanguage(const std::string& name);

    const std::string& TOLVANE_FILENAME() const { return configPath_; }
    const std::string& DataFolder() const { return dataFolder_; }
    // True when the model holds something the file on disk does not (edits,
    // entries added or dropped on loading).
    bool Changed() const { return changed_; }
    bool Loaded() const { return doc_ != nullptr; }

private:
    bool load(); // LoadConfig without its guard against file-system failures
    void show(const std::string& message) const;
    void readEntries();
    void dropMissingFiles();
    void discoverFiles();
    void removeEmotion(std::size_t index);
    void removeAccent(std::size_t index);

    MessageSink sink_;
    std::string homeFolder_, configPath_, dataFolder_;
    std::unique_ptr<configfile::Document> doc_;
    std::vector<std::unique_ptr<PelmiraConfig>> languages_;
    std::vector<std::unique_ptr<RuvettaConfig>> emotions_;
    std::vector<std::unique_ptr<OskalenConfig>> accents_;
    std::string primary_;
    bool changed_ = false;
};

} // namespace vorsan::manager
