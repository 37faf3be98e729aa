#include "DictionaryFixture.h"

#include <algorithm>

namespace vorsan::testing {

std::string dictionaryBytes(DictionaryEntries entries) {
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

DictionaryEntries commonWords() {
    DictionaryEntries base = {
        {"hello", "h@l'@U"},       {"world", "w'3:ld"},      {"the", "D@"},           {"a", "@"},
        {"yes", "j'es"},           {"why", "w'aI"},          {"what", "w'0t"},        {"is", "'Iz"},
        {"it", "'It"},             {"one", "w'Vn"},          {"two", "t'u:"},         {"three", "Tr'i:"},
        {"four", "f'O:"},          {"five", "f'aIv"},        {"six", "s'Iks"},        {"seven", "s'ev@n"},
        {"eight", "'eIt"},         {"nine", "n'aIn"},        {"ten", "t'en"},         {"zero", "z'I@r@U"},
        {"twelve", "tw'elv"},      {"twenty", "tw'enti"},    {"thirty", "T'3:ti"},    {"hundred", "h'Vndr@d"},
        {"thousand", "T'aUz@nd"},  {"million", "m'Ilj@n"},   {"and", "&nd"},          {"minus", "m'aIn@s"},
        {"point", "p'oInt"},       {"dollars", "d'0l@z"},    {"percent", "p@s'ent"},  {"plus", "pl'Vs"},
        {"kitchen", "k'ItS@n"},    {"watch", "w'0tS"},       {"church", "tS'3:tS"},   {"don't", "d'@Unt"},
        {"x", "'eks"},             {"go", "g'@U"},           {"sir", "s'3:"},         {"where", "w'e@"},
        {"billion", "b'Ilj@n"},    {"fifty", "f'Ifti"},      {"ninety", "n'aInti"},   {"nineteen", "n,aInt'i:n"},
        {"infinity", "Inf'In@ti"}, {"hash", "h'&S"},         {"slash", "sl'&S"},      {"equals", "'i:kw@lz"},
    };
    DictionaryEntries all = base;
    for (auto [word, pronunciation] : base) {
        word[0] = static_cast<char>(word[0] - 'a' + 'A');
        all.emplace_back(word, pronunciation);
    }
    return all;
}

std::string writeDictionary(const TempProfile& profile, const DictionaryEntries& entries) {
    return profile.write("Speechfiles/English/english.dat", dictionaryBytes(entries));
}

} // namespace vorsan::testing
