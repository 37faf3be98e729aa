#pragma once
// Facts about the shipped data files that the data, mood and accent tests
// check against, and readers for what the engine's interface does not show.
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "vorsan/language/LanguageRuleBase.h"
#include "vorsan/synth/VoiceDatabase.h"

namespace vorsan::testing {

// Full path of a shipped data file (data/<relative>).
std::string dataPath(const std::string& relative);

struct ShippedLanguage {
    std::string name;       // LanguageName; its emotion file is ruvetta/<name>_<database>.xml
    std::string ruleFile;   // under data/pelmira; empty for the built-in English
    std::string database;   // the voice database its rule file names
    std::string accent;     // the accent the installed tolvane.xml gives it, or ""
    std::u16string sentence; // two sentences, the first with a comma, for audio tests
    std::string emotionFile() const { return "ruvetta/" + name + "_" + database + ".xml"; }
};
// English first, then every language with a rule file.
const std::vector<ShippedLanguage>& shippedLanguages();

// Every shipped accent as (source, target) database; its file is
// oskalen/<source>to<target>.xml, its key <source>_TO_<target>.
const std::vector<std::pair<std::string, std::string>>& shippedAccents();

// Every phone (and "_") of a voice database: the Indian set for in1, mr1
// and tl1, the English front end's set for en1.
const std::set<std::string>& phoneSet(const std::string& database);
bool isVowelOf(const std::string& database, const std::string& phone);

// An accent file's fromMbrolaPhone or toMbrolaPhone list (phone -> type
// letter); every phone the file can write (mapping and context-rule targets).
std::map<std::string, char> accentInventory(const std::string& path, const char* listName);
std::set<std::string> accentOutputPhones(const std::string& path);

// Every data/pelmira/*.xml, sorted.
std::vector<std::string> ruleFiles();

// The word lists data/pronunciation/<language name>.tsv: a word and its
// expected phones (without "_") per line.
struct WordList {
    struct Entry {
        int line = 0;
        std::string word; // UTF-8
        std::string phones;
    };
    std::string path, languageName;
    std::vector<Entry> entries;
};
std::vector<WordList> wordLists();

// The shipped voice file of a database name (data/voices/<name>.xml).
synth::VoiceDatabase shippedVoice(const std::string& database);

// Every phone a rule file can give (characters, context rules, exact matches).
std::set<std::string> phonesOfRuleFile(const LanguageRuleBase& language);

// The phones of a converted word, space separated, without the boundaries "_".
std::string spokenPhones(const std::vector<PhonemeUnit>& units);

} // namespace vorsan::testing
