#include "ShippedData.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "vorsan/core/Xml.h"
#include "vorsan/testing/TestSupport.h"

namespace vorsan::testing {

namespace fs = std::filesystem;

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

std::vector<std::string> filesIn(const std::string& folder, const std::string& extension) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dataPath(folder)))
        if (e.is_regular_file() && e.path().extension() == extension)
            out.push_back(dataPath(folder) + "/" + e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

std::string dataPath(const std::string& relative) { return sourcePath("data/" + relative); }

const std::vector<ShippedLanguage>& shippedLanguages() {
    static const std::vector<ShippedLanguage> languages = {
        {"English (United States)", "", "en1", "en1_TO_in1",
         u"The weather is fine today, and the market opens at nine. We will walk there together."},
        {"Hindi", "newPelmiraHindi.xml", "in1", "in1_TO_in1",
         u"आज मौसम बहुत अच्छा है, और बाज़ार नौ बजे खुलता है। हम साथ में वहाँ चलेंगे।"},
        {"Marathi", "PelmiraMarathi.xml", "mr1", "", u"आज हवामान खूप छान आहे, आणि बाजार नऊ वाजता उघडतो."},
        {"Gujarati", "PelmiraGujarati.xml", "in1", "in1_TO_in1", u"આજે હવામાન ખૂબ સરસ છે, અને બજાર નવ વાગ્યે ખૂલે છે."},
        {"Telugu", "PelmiraTelugu.xml", "tl1", "tl1_TO_tl1",
         u"ఈ రోజు వాతావరణం చాలా బాగుంది, మరియు బజారు తొమ్మిది గంటలకు తెరుస్తారు."},
        {"Kannada", "PelmiraKannada.xml", "tl1", "tl1_TO_tl1",
         u"ಇಂದು ಹವಾಮಾನ ತುಂಬಾ ಚೆನ್ನಾಗಿದೆ, ಮತ್ತು ಮಾರುಕಟ್ಟೆ ಒಂಬತ್ತು ಗಂಟೆಗೆ ತೆರೆಯುತ್ತದೆ."},
        {"Tamil", "PelmiraTamil.xml", "tl1", "tl1_TO_tl1",
         u"இன்று வானிலை மிகவும் நன்றாக இருக்கிறது, மற்றும் சந்தை ஒன்பது மணிக்கு திறக்கும்."},
    };
    return languages;
}

const std::vector<std::pair<std::string, std::string>>& shippedAccents() {
    static const std::vector<std::pair<std::string, std::string>> accents = {
        {"in1", "in1"}, {"tl1", "tl1"}, {"en1", "in1"}, {"in1", "en1"}, {"tl1", "in1"}, {"in1", "tl1"}};
    return accents;
}

const std::set<std::string>& phoneSet(const std::string& database) {
    static const std::set<std::string> indian = words(std::string(kIndianVowels) + " " + kIndianConsonants);
    static const std::set<std::string> english = words(std::string(kEnglishVowels) + " " + kEnglishConsonants);
    return database == "en1" ? english : indian;
}

bool isVowelOf(const std::string& database, const std::string& phone) {
    static const std::set<std::string> indian = words(kIndianVowels), english = words(kEnglishVowels);
    return (database == "en1" ? english : indian).count(phone) != 0;
}

std::map<std::string, char> accentInventory(const std::string& path, const char* listName) {
    std::map<std::string, char> out;
    const std::u16string list(listName, listName + std::char_traits<char>::length(listName));
    xml::parseFile(path, {}, [&](const xml::DOMElement& root) {
        if (const xml::DOMElement* section = xml::firstChildNamed(root, list))
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

std::vector<std::string> ruleFiles() { return filesIn("pelmira", ".xml"); }

std::vector<WordList> wordLists() {
    std::vector<WordList> lists;
    for (const std::string& path : filesIn("pronunciation", ".tsv")) {
        WordList list{path, fs::path(path).stem().string(), {}};
        std::ifstream in(path);
        std::string line;
        for (int n = 1; std::getline(in, line); ++n) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty() || line[0] == '#') continue;
            const auto tab = line.find('\t');
            std::string phones;
            std::istringstream rest(tab == std::string::npos ? "" : line.substr(tab + 1));
            for (std::string p; rest >> p;) phones += (phones.empty() ? "" : " ") + p;
            list.entries.push_back({n, line.substr(0, tab), phones});
        }
        lists.push_back(std::move(list));
    }
    return lists;
}

synth::VoiceDatabase shippedVoice(const std::string& database) {
    return synth::loadVoiceDatabase(dataPath("voices/" + database + ".xml"), database);
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

std::string spokenPhones(const std::vector<PhonemeUnit>& units) {
    std::string s;
    for (const auto& u : units)
        if (u.name != "_") s += (s.empty() ? "" : " ") + u.name;
    return s;
}

} // namespace vorsan::testing
