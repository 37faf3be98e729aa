#pragma once
// Writes small english.dat files for tests: 130-byte records (headword at
// byte 0, pronunciation at byte 23, spaces to 128 characters, CR LF), sorted
// in byte order.
#include <string>
#include <utility>
#include <vector>

#include "vorsan/testing/TestSupport.h"

namespace vorsan::testing {

using DictionaryEntries = std::vector<std::pair<std::string, std::string>>;

// The file's bytes, records sorted by headword.
std::string dictionaryBytes(DictionaryEntries entries);

// A few dozen common words with their pronunciations (lower case and
// capitalised), enough for the front-end tests.
DictionaryEntries commonWords();

// Writes the records as Speechfiles/English/english.dat under the profile
// and returns the full path.
std::string writeDictionary(const TempProfile& profile, const DictionaryEntries& entries);

} // namespace vorsan::testing
