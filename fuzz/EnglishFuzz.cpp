// Fuzz target: the English front end on arbitrary 8-bit text, with a small
// dictionary so that both the dictionary and the letter-to-sound rules run.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "DictionaryFixture.h"
#include "FuzzSupport.h"
#include "vorsan/english/EnglishFrontEnd.h"

namespace {
std::string dictionaryPath;

// A small english.dat: each word as listed and capitalised.
std::string dictionaryBytes() {
    vorsan::testing::DictionaryEntries words = {
        {"hello", "h@l'@U"}, {"world", "w'3:ld"}, {"the", "D@"},      {"a", "@"},
        {"one", "w'Vn"},     {"two", "t'u:"},     {"hundred", "h'Vndr@d"}, {"thousand", "T'aUz@nd"},
        {"point", "p'oInt"}, {"minus", "m'aIn@s"}, {"dollars", "d'0l@z"}, {"percent", "p@s'ent"},
        {"don't", "d'@Unt"}, {"what", "w'0t"},    {"is", "'Iz"},      {"it", "'It"}};
    const std::size_t n = words.size();
    for (std::size_t i = 0; i < n; ++i) {
        auto capital = words[i];
        capital.first[0] = static_cast<char>(capital.first[0] - 'a' + 'A');
        words.push_back(capital);
    }
    return vorsan::testing::dictionaryBytes(std::move(words));
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    dictionaryPath = vorsan::fuzz::writeTemp("english.dat", dictionaryBytes());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    vorsan::EnglishFrontEnd frontEnd(dictionaryPath);
    if (!frontEnd.dictionary().isOpen()) vorsan::fuzz::fail("the dictionary opens");
    (void)frontEnd.Convert(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
