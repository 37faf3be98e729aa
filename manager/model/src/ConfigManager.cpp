#include "vorsan/manager/ConfigManager.h"

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "vorsan/core/MException.h"
#include "vorsan/core/Paths.h"
#include "vorsan/core/Text.h"
#include "vorsan/core/Xml.h"
#include "vorsan/engine/ConfigurationDocument.h"
#include "vorsan/manager/DatabaseReaders.h"

namespace vorsan::manager {

namespace fs = std::filesystem;
namespace cf = configfile;
namespace names = configfile::names;

namespace {

bool fileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

// Whether two locations name the same file (however the paths are spelled).
bool sameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

void detach(DOMElement* element) {
    if (element && element->getParentNode()) element->getParentNode()->removeChild(element)->release();
}

// The XML files of a folder, by name (a stable order on every platform).
std::vector<std::string> xmlFiles(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
        if (ext == ".xml" && entry.is_regular_file(ec)) files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

ConfigManager::ConfigManager(MessageSink sink) : sink_(std::move(sink)) {
    homeFolder_ = profileFolder() + "/";
    configPath_ = homeFolder_ + "tolvane.xml";
    dataFolder_ = homeFolder_ + "Speechfiles/";
}

ConfigManager::~ConfigManager() = default;

void ConfigManager::show(const std::string& message) const {
    if (sink_) sink_(message);
}

bool ConfigManager::LoadConfig() {
    // Whatever the file system does (a folder or a loop of links where the
    // file should be, a folder that cannot be listed) is said, never thrown
    // out of the manager.
    try {
        return load();
    } catch (const std::exception& e) {
        show("Cannot read " + configPath_ + ": " + e.what());
    } catch (const MException& e) {
        show("Cannot read " + configPath_ + ": " + e.message());
    }
    return false;
}

bool ConfigManager::load() {
    std::unique_ptr<cf::Document> doc;
    bool created = false;
    std::error_code ec;
    const bool exists = fs::exists(configPath_, ec);
    if (ec) {
        show("Cannot read " + configPath_ + ": " + ec.message());
        return false;
    }
    if (!exists) {
        doc = std::make_unique<cf::Document>(cf::Document::create());
        created = true;
    } else {
        if (!fs::is_regular_file(configPath_, ec)) {
            show("Cannot read " + configPath_ + ": not a regular file");
            return false;
        }
        try {
            doc = std::make_unique<cf::Document>(cf::Document::load(configPath_, cf::Document::Layout::indented));
        } catch (const MException& e) {
            show("Error while parsing configuration file: " + e.message());
            return false;
        }
        if (!doc->isConfiguration()) {
            show("Not a valid Tolvane file");
            return false;
        }
    }
    languages_.clear();
    emotions_.clear();
    accents_.clear();
    primary_.clear();
    doc_ = std::move(doc);
    changed_ = created;
    readEntries();
    dropMissingFiles();
    for (auto& e : emotions_) {
        MoodReader reader(sink_);
        if (reader.ParseRuvettaFile(e->RuvettaFileLocation())) e->SetMoods(reader.AllMoods());
    }
    discoverFiles();
    return true;
}

void ConfigManager::readEntries() {
    for (const auto* c : xml::childElements(doc_->root())) {
        const auto entries = xml::childElements(*c);
        if (xml::nameIs(*c, names::languages)) {
            for (const auto* e : entries) {
                languages_.push_back(std::make_unique<PelmiraConfig>());
                languages_.back()->ParsePelmiraNode(const_cast<DOMElement*>(e));
            }
        } else if (xml::nameIs(*c, names::emotions)) {
            for (const auto* e : entries) {
                emotions_.push_back(std::make_unique<RuvettaConfig>());
                emotions_.back()->ParseRuvettaNode(const_cast<DOMElement*>(e));
            }
        } else if (xml::nameIs(*c, names::accents)) {
            for (const auto* e : entries) {
                accents_.push_back(std::make_unique<OskalenConfig>());
                accents_.back()->ParseOskalenNode(const_cast<DOMElement*>(e));
            }
        } else if (xml::nameIs(*c, names::primary)) {
            primary_ = trimBlanks(cf::readPrimary(*c));
        }
    }
}

void ConfigManager::dropMissingFiles() {
    for (std::size_t i = 0; i < languages_.size();) {
        const PelmiraConfig& l = *languages_[i];
        if (l.PelmiraName() != kEnglishName && !l.PelmiraFileLocation().empty() &&
            !fileExists(l.PelmiraFileLocation())) {
            detach(l.LanguageNode());
            languages_.erase(languages_.begin() + static_cast<std::ptrdiff_t>(i));
            changed_ = true;
        } else {
            ++i;
        }
    }
    for (std::size_t i = 0; i < emotions_.size();) {
        if (!fileExists(emotions_[i]->RuvettaFileLocation())) removeEmotion(i);
        else ++i;
    }
    for (std::size_t i = 0; i < accents_.size();) {
        if (!fileExists(accents_[i]->OskalenFileLocation())) removeAccent(i);
        else ++i;
    }
}

void ConfigManager::removeEmotion(std::size_t index) {
    const std::string name = emotions_[index]->RuvettaName();
    detach(emotions_[index]->RuvettaNode());
    emotions_.erase(emotions_.begin() + static_cast<std::ptrdiff_t>(index));
    for (auto& l : languages_)
        if (l->RuvettaRef() == name && !RuvettaConfigRef(name)) {
            l->RemoveRuvettaReferences();
            l->WriteLanguageNode();
        }
    changed_ = true;
}

void ConfigManager::removeAccent(std::size_t index) {
    const std::string name = accents_[index]->OskalenName();
    detach(accents_[index]->OskalenNode());
    accents_.erase(accents_.begin() + static_cast<std::ptrdiff_t>(index));
    for (auto& l : languages_)
        if (l->OskalenRef() == name && !OskalenConfigRef(name)) {
            l->RemoveOskalenReferences();
            l->WriteLanguageNode();
        }
    changed_ = true;
}

void ConfigManager::discoverFiles() {
    if (!fs::is_directory(dataFolder_)) {
        show(dataFolder_ + " folder not found");
        return;
    }
    for (const char* kind : {"Pelmira", "Ruvetta", "Oskalen"}) {
        const std::string folder = dataFolder_ + kind;
        if (!fs::is_directory(folder)) {
            show(folder + " folder not found");
            return;
        }
        const std::string k = kind;
        for (const std::string& path : xmlFiles(folder)) {
            auto known = [&](const auto& entries, auto location) {
                return std::any_of(entries.begin(), entries.end(),
                                   [&](const auto& e) { return sameFile(((*e).*location)(), path); });
            };
            // A second file of a database already present adds nothing: the
            // engine keeps the first database of a name.
            if (k == "Pelmira") {
                if (known(languages_, &PelmiraConfig::PelmiraFileLocation)) continue;
                Language reader(sink_);
                if (!reader.ParsePelmiraFile(path) || PelmiraConfigRef(reader.LanguageName())) continue;
                auto entry = std::make_unique<PelmiraConfig>();
                entry->SetData(reader.LanguageName(), reader.LanguageDialect(), path, reader.LanguageMbrolaDatabase());
                doc_->section(names::languages).appendChild(entry->CreateLanguageNode(&doc_->dom()));
                languages_.push_back(std::move(entry));
            } else if (k == "Ruvetta") {
                if (known(emotions_, &RuvettaConfig::RuvettaFileLocation)) continue;
                MoodReader reader(sink_);
                if (!reader.ParseRuvettaFile(path) || RuvettaConfigRef(reader.MoodReaderName())) continue;
                auto entry = std::make_unique<RuvettaConfig>();
                entry->SetData(reader.MoodReaderName(), path, reader.MoodReaderMbrolaDatabase(), reader.AllMoods());
                doc_->section(names::emotions).appendChild(entry->CreateRuvettaNode(&doc_->dom()));
                emotions_.push_back(std::move(entry));
            } else {
                if (known(accents_, &OskalenConfig::OskalenFileLocation)) continue;
                DBTranslate reader(sink_);
                if (!reader.ParseOskalenFile(path) || OskalenConfigRef(reader.DBMapperName())) continue;
                auto entry = std::make_unique<OskalenConfig>();
                entry->SetData(reader.DBMapperName(), path, reader.DBMapperFromMbrolaDB(), reader.DBMapperToMbrolaDB());
                doc_->section(names::accents).appendChild(entry->CreateOskalenNode(&doc_->dom()));
                accents_.push_back(std::move(entry));
            }
            changed_ = true;
        }
    }
}

bool ConfigManager::SaveConfig() {
    if (!doc_) {
        show("The configuration was not read, so " + configPath_ + " is left as it is");
        return false;
    }
    doc_->setPrimary(primary_);
    std::string failure;
    try {
        failure = doc_->save(configPath_);
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (const MException& e) {
        failure = e.message();
    }
    if (!failure.empty()) {
        show("Could not save the configuration (" + failure + "); your changes are kept");
        return false;
    }
    changed_ = false;
    return true;
}

bool ConfigManager::CheckReferences(const PelmiraConfig& language, const std::string& emotionDatabase,
                                    const std::string& accentDatabase) const {
    if (!emotionDatabase.empty()) {
        const RuvettaConfig* e = RuvettaConfigRef(emotionDatabase);
        if (!e || e->RuvettaMbrolaDatabase() != language.PelmiraMbrolaDatabase()) {
            show("Ruvetta's Mbrola databases doesn't match with Pelmira");
            return false;
        }
    }
    if (!accentDatabase.empty()) {
        const OskalenConfig* a = OskalenConfigRef(accentDatabase);
        if (!a || a->FromMbrolaDatabase() != language.PelmiraMbrolaDatabase()) {
            show("Oskalen's Mbrola databases doesn't match with Pelmira");
            return false;
        }
    }
    return true;
}

bool ConfigManager::ApplyLanguage(const std::string& name, const LanguageSettings& s) {
    PelmiraConfig* language = PelmiraConfigRef(name);
    if (!language) {
        show("Language " + name + " is not in the configuration");
        return false;
    }
    if (!s.emotionDatabase.empty() && s.preferredEmotion.empty()) {
        show("Select Preferred Emotion");
        return false;
    }
    // The engine refuses a whole configuration that holds a value outside
    // these, so such a value never reaches the file.
    const auto ratioOk = [](double v) { return v >= cf::kMinRatio && v <= cf::kMaxRatio; };
    if (!ratioOk(s.pitch) || !ratioOk(s.time)) {
        show(std::string(ratioOk(s.pitch) ? "Time" : "Pitch") + " must be a ratio from 0.001 to 100");
        return false;
    }
    if (s.voice < cf::kMinVoice || s.voice > cf::kMaxVoice) {
        show("Voice must be a frequency from 4000 to 192000 Hz");
        return false;
    }
    if (!CheckReferences(*language, s.emotionDatabase, s.accentDatabase)) return false;
    const std::string mood = s.emotionDatabase.empty() ? std::string() : s.preferredEmotion;
    auto before = std::make_tuple(language->PelmiraPitchRatio(), language->PelmiraTimeRatio(),
                                  language->PelmiraVoiceFrequency(), language->RuvettaRef(),
                                  language->PreferredEmotion(), language->OskalenRef());
    if (before == std::make_tuple(s.pitch, s.time, s.voice, s.emotionDatabase, mood, s.accentDatabase)) return true;
    language->UpdateConfig(s.pitch, s.time, s.voice, s.emotionDatabase, mood, s.accentDatabase);
    UpdateLanguage(*language);
    return true;
}

void ConfigManager::UpdateLanguage(PelmiraConfig& language) {
    language.WriteLanguageNode();
    changed_ = true;
}

void ConfigManager::SetPrimaryLanguage(const std::string& name) {
    if (name == primary_) return;
    primary_ = name;
    changed_ = true;
}

PelmiraConfig* ConfigManager::PelmiraConfigRef(const std::string& name) const {
    for (const auto& e : languages_)
        if (e->PelmiraName() == name) return e.get();
    return nullptr;
}

RuvettaConfig* ConfigManager::RuvettaConfigRef(const std::string& name) const {
    for (const auto& e : emotions_)
        if (e->RuvettaName() == name) return e.get();
    return nullptr;
}

OskalenConfig* ConfigManager::OskalenConfigRef(const std::string& name) const {
    for (const auto& e : accents_)
        if (e->OskalenName() == name) return e.get();
    return nullptr;
}

std::vector<RuvettaConfig*> ConfigManager::SuitableRuvettaFiles(const std::string& mbrolaDatabase) const {
    std::vector<RuvettaConfig*> out;
    for (const auto& e : emotions_)
        if (e->RuvettaMbrolaDatabase() == mbrolaDatabase) out.push_back(e.get());
    return out;
}

std::vector<OskalenConfig*> ConfigManager::SuitableOskalenFiles(const std::string& mbrolaDatabase) const {
    std::vector<OskalenConfig*> out;
    for (const auto& e : accents_)
        if (e->FromMbrolaDatabase() == mbrolaDatabase) out.push_back(e.get());
    return out;
}

} // namespace vorsan::manager
