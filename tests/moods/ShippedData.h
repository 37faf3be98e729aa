#pragma once
// Facts about the shipped emotion, accent and voice files that the mood and
// accent tests check against: the phone sets of the voice databases, the
// expected files, and readers for the parts of the files the engine's public
// interface does not show (the accent inventories and output phones).
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vorsan::testing {

// Every phone (and "_") of a voice database: the fixed Indian set for in1,
// mr1 and tl1, the English front end's set for en1.
const std::set<std::string>& phoneSet(const std::string& database);
bool isVowelOf(const std::string& database, const std::string& phone);

struct ShippedEmotionFile {
    std::string file;     // under data/ruvetta
    std::string language; // LanguageName
    std::string database; // MbrolaDatabase
};
const std::vector<ShippedEmotionFile>& shippedEmotionFiles();

struct ShippedAccentFile {
    std::string file; // under data/oskalen
    std::string from, to;
};
const std::vector<ShippedAccentFile>& shippedAccentFiles();

// The phones of an accent file's fromMbrolaPhone or toMbrolaPhone list with
// their type letter; and every target phone the file can write (mapping
// targets and context-rule phones).
std::map<std::string, char> accentInventory(const std::string& path, const char* listName);
std::set<std::string> accentOutputPhones(const std::string& path);

// Full path of a shipped data file (data/<relative>).
std::string dataPath(const std::string& relative);
bool dataFileExists(const std::string& relative);

} // namespace vorsan::testing
