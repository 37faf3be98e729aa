#include "ShippedData.h"

#include <filesystem>
#include <sstream>

#include "vorsan/core/Xml.h"
#include "vorsan/testing/TestSupport.h"

namespace vorsan::testing {

namespace {

std::set<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::set<std::string> out;
    for (std::string w; in >> w;) out.insert(w);
    return out;
}

const char* const kIndianVowels = "a aa i ii u uu e ee ai o oo au ae ao aN aaN iN iiN uN uuN eeN aiN ooN auN";
const char* const kIndianConsonants = "k kh g gh ng ch chh j jh ny T Th D Dh N t th d dh n p ph b bh m "
                                      "y r l v sh Sh s h L R Rh q x G z f zh rr nn _";
const char* const kEnglishVowels = "i: A: O: u: 3: I e { V Q U @ eI aI OI @U aU I@ e@ U@";
const char* const kEnglishConsonants = "p b t d k m n l r f v s z h w g tS dZ N T D S Z j _";

bool isEnglish(const std::string& db) { return db == "en1"; }

} // namespace

const std::set<std::string>& phoneSet(const std::string& database) {
    static const std::set<std::string> indian = [] {
        auto s = words(kIndianVowels);
        s.merge(words(kIndianConsonants));
        return s;
    }();
    static const std::set<std::string> english = [] {
        auto s = words(kEnglishVowels);
        s.merge(words(kEnglishConsonants));
        return s;
    }();
    return isEnglish(database) ? english : indian;
}

bool isVowelOf(const std::string& database, const std::string& phone) {
    static const std::set<std::string> indian = words(kIndianVowels), english = words(kEnglishVowels);
    return (isEnglish(database) ? english : indian).count(phone) != 0;
}

const std::vector<ShippedEmotionFile>& shippedEmotionFiles() {
    static const std::vector<ShippedEmotionFile> files = {
        {"Hindi_in1.xml", "Hindi", "in1"},
        {"Marathi_mr1.xml", "Marathi", "mr1"},
        {"Gujarati_in1.xml", "Gujarati", "in1"},
        {"Telugu_tl1.xml", "Telugu", "tl1"},
        {"Kannada_tl1.xml", "Kannada", "tl1"},
        {"Tamil_tl1.xml", "Tamil", "tl1"},
        {"English (United States)_en1.xml", "English (United States)", "en1"},
    };
    return files;
}

const std::vector<ShippedAccentFile>& shippedAccentFiles() {
    static const std::vector<ShippedAccentFile> files = {
        {"in1toin1.xml", "in1", "in1"}, {"tl1totl1.xml", "tl1", "tl1"}, {"en1toin1.xml", "en1", "in1"},
        {"in1toen1.xml", "in1", "en1"}, {"tl1toin1.xml", "tl1", "in1"}, {"in1totl1.xml", "in1", "tl1"},
    };
    return files;
}

std::map<std::string, char> accentInventory(const std::string& path, const char* listName) {
    std::map<std::string, char> out;
    const std::u16string list(listName, listName + std::char_traits<char>::length(listName));
    xml::parseFile(path, {}, [&](const xml::DOMElement& root) {
        const xml::DOMElement* section = xml::firstChildNamed(root, list);
        if (!section) return;
        for (const auto* sound : xml::childElements(*section)) {
            const std::string type = xml::attrUtf8(*sound, u"mbrolaType");
            out.emplace(xml::attrUtf8(*sound, u"mbrolaPhonem"), type.empty() ? '\0' : type[0]);
        }
    });
    return out;
}

std::set<std::string> accentOutputPhones(const std::string& path) {
    std::set<std::string> out;
    xml::parseFile(path, {}, [&](const xml::DOMElement& root) {
        if (const auto* mapping = xml::firstChildNamed(root, u"mapping"))
            for (const auto* from : xml::childElements(*mapping))
                for (const auto* to : xml::childElements(*from)) out.insert(xml::attrUtf8(*to, u"toPhonemName"));
        if (const auto* rules = xml::firstChildNamed(root, u"dbrules"))
            for (const auto* sound : xml::childElements(*rules))
                for (const auto* priority : xml::childElements(*sound))
                    for (const auto* rule : xml::childElements(*priority))
                        for (const auto* phone : xml::childElements(*rule))
                            out.insert(xml::attrUtf8(*phone, u"PhonemName"));
    });
    return out;
}

std::string dataPath(const std::string& relative) { return sourcePath("data/" + relative); }

bool dataFileExists(const std::string& relative) { return std::filesystem::is_regular_file(dataPath(relative)); }

} // namespace vorsan::testing
