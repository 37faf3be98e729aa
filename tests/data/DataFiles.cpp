#include "DataFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "vorsan/testing/TestSupport.h"

namespace vorsan::datatest {

namespace fs = std::filesystem;

namespace {
std::vector<std::string> filesIn(const std::string& folder, const std::string& extension) {
    std::vector<std::string> out;
    const fs::path dir = testing::sourcePath(folder);
    if (!fs::is_directory(dir)) return out;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.is_regular_file() && e.path().extension() == extension) out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> splitBlanks(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}
} // namespace

std::vector<std::string> ruleFiles() { return filesIn("data/pelmira", ".xml"); }

std::vector<WordList> wordLists() {
    std::vector<WordList> lists;
    for (const std::string& path : filesIn("data/pronunciation", ".tsv")) {
        WordList list;
        list.path = path;
        list.languageName = fs::path(path).stem().string();
        std::ifstream in(path);
        std::string line;
        for (int n = 1; std::getline(in, line); ++n) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty() || line[0] == '#') continue;
            const auto tab = line.find('\t');
            ListEntry e;
            e.line = n;
            e.word = line.substr(0, tab);
            if (tab != std::string::npos) e.phones = splitBlanks(line.substr(tab + 1));
            list.entries.push_back(std::move(e));
        }
        lists.push_back(std::move(list));
    }
    return lists;
}

synth::VoiceDatabase shippedVoice(const std::string& database) {
    return synth::loadVoiceDatabase(testing::sourcePath("data/voices/" + database + ".xml"), database);
}

std::set<std::string> phonesOfRuleFile(const LanguageRuleBase& language) {
    std::set<std::string> out;
    auto add = [&](const std::vector<PhonemeUnit>& units) {
        for (const auto& u : units) out.insert(u.name);
    };
    if (const CharacterTable* t = language.characters()) {
        for (const CharacterMap* m : {&t->vowels, &t->consonants, &t->dependents, &t->signs, &t->digits})
            for (const auto& [glyph, entry] : *m) add(entry.phones);
        if (t->halant) add(t->halant->phones);
        if (t->baseFormCorrection) add(t->baseFormCorrection->phones);
    }
    if (const ExactMatchTable* exact = language.exactMatches())
        for (const auto& [match, rule] : *exact) add(rule.phones);
    if (const RuleCharacterTable* rules = language.ruleCharacters())
        for (const auto& [glyph, character] : *rules)
            for (const auto& [no, group] : character.priorities)
                for (const auto& [match, rule] : group.rules) add(rule.phones);
    return out;
}

std::vector<std::string> phoneNames(const std::vector<PhonemeUnit>& units) {
    std::vector<std::string> out;
    for (const auto& u : units)
        if (u.name != "_") out.push_back(u.name);
    return out;
}

std::string join(const std::vector<std::string>& phones) {
    std::string s;
    for (const auto& p : phones) s += (s.empty() ? "" : " ") + p;
    return s;
}

} // namespace vorsan::datatest
