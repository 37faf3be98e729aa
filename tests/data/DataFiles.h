#pragma once
// The shipped data files the data tests look at: language rule files, word
// lists with their expected phones, and the voice files the rule files name.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "vorsan/language/LanguageRuleBase.h"
#include "vorsan/synth/VoiceDatabase.h"

namespace vorsan::datatest {

// Every data/pelmira/*.xml, sorted.
std::vector<std::string> ruleFiles();

struct ListEntry {
    int line = 0;
    std::string word;                  // UTF-8
    std::vector<std::string> phones;   // expected phones, without "_"
};

struct WordList {
    std::string path;
    std::string languageName;          // the file name without ".tsv"
    std::vector<ListEntry> entries;
};

// Every data/pronunciation/*.tsv, sorted by path.
std::vector<WordList> wordLists();

// The shipped voice file of a database name (data/voices/<name>.xml).
synth::VoiceDatabase shippedVoice(const std::string& database);

// Every phone name a rule file can give: its characters, context rules and
// exact matches.
std::set<std::string> phonesOfRuleFile(const LanguageRuleBase& language);

// The phones of a converted word without the word-boundary units "_".
std::vector<std::string> phoneNames(const std::vector<PhonemeUnit>& units);

std::string join(const std::vector<std::string>& phones);

} // namespace vorsan::datatest
