#pragma once
// An accent database: read from one accent (Oskalen) XML file, it converts
// phoneme text written for one MBROLA voice database into phoneme text for
// another, and carries the voice settings to use with the target database.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vorsan/accent/AccentTables.h"
#include "vorsan/core/PhonemeText.h"

namespace vorsan {

// Voice settings of the target database.
struct MbrolaInfo {
    std::string fromMbroladb, toMbroladb;
    int32_t voice = 22050;
    float pitch = 1.0f, time = 1.0f;
};

class AccentDatabase {
public:
    // Loads an accent file; raises MException on failure (no database is left).
    static std::unique_ptr<AccentDatabase> load(const std::string& path);

    // fromMbroladb + "_TO_" + toMbroladb, from the MBROLA information.
    std::string key() const;
    const MbrolaInfo& mbrolaInfo() const;
    const AccentFileInfo& fileInfo() const;

    // Converts phone records for the source database into records for the
    // target database: substitution, then context rules; every record made
    // keeps its source's pitch targets. Raises MException ("Phonem/Duration
    // missing", "Sound does not exist") and gives no partial result. With
    // `origin`, also the index of the source record each result record was
    // made from. Read-only, so calls may run concurrently.
    PhonemeRecordList mapPhonemes(const PhonemeRecordList& phones, std::vector<std::size_t>* origin = nullptr) const;
    // The same for phoneme text.
    std::string mapPhonemes(std::string_view phonemeText) const;

private:
    AccentDatabase() = default;
    friend class AccentFileReader;

    // Substitution pass: every record checked against the source inventory
    // and replaced by its mapped target phonemes.
    PhonemeRecordList substitute(const PhonemeRecordList& phones, std::vector<std::size_t>* origin) const;
    // Context pass: each record rewritten by the rule for its successor.
    PhonemeRecordList applyContextRules(const PhonemeRecordList& phones, std::vector<std::size_t>* origin) const;
    const ContextRule* findContextRule(std::string_view name, std::string_view successor,
                                       std::string& scratch) const;

    AccentFileInfo fileInfo_;
    MbrolaInfo mbrolaInfo_;
    PhonemeMapping mapping_;
    ContextRules rules_;
    PhonemeInventory fromInventory_;
    PhonemeInventory toInventory_;
};

} // namespace vorsan
