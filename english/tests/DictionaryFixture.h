#pragma once
// Writes small english.dat files for tests: 130-byte records (headword at
// byte 0, pronunciation at byte 23, spaces to 128 characters, CR LF), sorted
// in byte order.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "vorsan/testing/TestSupport.h"

namespace vorsan::testing {

using DictionaryEntries = std::vector<std::pair<std::string, std::string>>;

// The file's bytes, records sorted by headword.
inline std::string dictionaryBytes(DictionaryEntries entries) {
    std::sort(entries.begin(), entries.end());
    std::string out;
    for (const auto& [word, pronunciation] : entries) {
        std::string line = word;
        line.resize(23, ' ');
        line += pronunciation;
        line.resize(128, ' ');
        out += line + "\r\n";
    }
    return out;
}

// Writes the records as Speechfiles/English/english.dat under the profile
// and returns the full path.
inline std::string writeDictionary(const TempProfile& profile, const DictionaryEntries& entries) {
    return profile.write("Speechfiles/English/english.dat", dictionaryBytes(entries));
}

} // namespace vorsan::testing
