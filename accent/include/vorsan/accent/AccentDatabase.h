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

    // Converts phoneme text for the source database into phoneme text for the
    // target database: substitution, then context rules. Raises MException
    // ("Phonem/Duration missing", "Sound does not exist") and returns no
    // partial text. Read-only, so calls may run concurrently.
    std::string mapPhonemes(std::string_view phonemeText) const;
    // The same, also giving for every line of the result the index of the
    // source line (blank lines not counted) it was made from.
    std::string mapPhonemes(std::string_view phonemeText, std::vector<std::size_t>& lineOrigin) const;

private:
    AccentDatabase() = default;
    friend class AccentFileReader;

    // Substitution pass: every line checked against the source inventory and
    // replaced by its mapped target phonemes.
    std::string substitute(std::string_view text, std::vector<std::size_t>* origin) const;
    // Context pass: each line rewritten by the rule for its successor.
    std::string applyContextRules(std::string_view text, std::vector<std::size_t>* origin) const;
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
