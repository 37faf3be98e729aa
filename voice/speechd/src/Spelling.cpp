#include "Spelling.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace vorsan::speechd {

namespace {

constexpr const char* kLetters[26] = {"ay",  "bee", "see",  "dee", "ee",   "eff", "jee",        "aitch", "eye",
                                      "jay", "kay", "el",   "em",  "en",   "oh",  "pee",        "cue",   "ar",
                                      "ess", "tee", "you",  "vee", "double you", "ex", "why", "zed"};

struct Symbol {
    char c;
    const char* name;
    Punctuation from; // the least mode that names it
};
constexpr Symbol kSymbols[] = {
    {'@', "at", Punctuation::Some},         {'#', "hash", Punctuation::Some},      {'$', "dollar", Punctuation::Some},
    {'%', "percent", Punctuation::Some},    {'^', "caret", Punctuation::Some},     {'&', "and", Punctuation::Some},
    {'*', "star", Punctuation::Some},       {'_', "underscore", Punctuation::Some}, {'+', "plus", Punctuation::Some},
    {'=', "equals", Punctuation::Some},     {'|', "bar", Punctuation::Some},       {'\\', "backslash", Punctuation::Some},
    {'/', "slash", Punctuation::Some},      {'~', "tilde", Punctuation::Some},     {'<', "less than", Punctuation::Some},
    {'>', "greater than", Punctuation::Some}, {'(', "left paren", Punctuation::Most}, {')', "right paren", Punctuation::Most},
    {'[', "left bracket", Punctuation::Most}, {']', "right bracket", Punctuation::Most}, {'{', "left brace", Punctuation::Most},
    {'}', "right brace", Punctuation::Most}, {'"', "quote", Punctuation::Most},    {'\'', "apostrophe", Punctuation::Most},
    {'-', "dash", Punctuation::Most},       {'`', "grave", Punctuation::Most},     {',', "comma", Punctuation::All},
    {';', "semicolon", Punctuation::All},   {':', "colon", Punctuation::All},      {'.', "dot", Punctuation::All},
    {'!', "exclamation", Punctuation::All}, {'?', "question", Punctuation::All}};

const Symbol* symbolOf(char c) {
    for (const Symbol& s : kSymbols)
        if (s.c == c) return &s;
    return nullptr;
}

// Length of the UTF-8 sequence that starts with this byte (1 for a stray
// continuation byte, so a walk always moves on).
std::size_t sequenceLength(unsigned char b) {
    if (b >= 0xF0) return 4;
    if (b >= 0xE0) return 3;
    if (b >= 0xC0) return 2;
    return 1;
}

struct KeyName {
    const char* key;
    const char* name;
};
constexpr KeyName kKeys[] = {
    {"space", "space"},        {"underscore", "underscore"}, {"double-quote", "double quote"}, {"alt", "alt"},
    {"control", "control"},    {"hyper", "hyper"},           {"meta", "meta"},                 {"shift", "shift"},
    {"super", "super"},        {"backspace", "backspace"},   {"break", "break"},               {"delete", "delete"},
    {"down", "down"},          {"end", "end"},               {"enter", "enter"},               {"escape", "escape"},
    {"home", "home"},          {"insert", "insert"},         {"left", "left"},                 {"menu", "menu"},
    {"next", "page down"},     {"num-lock", "num lock"},     {"pause", "pause"},               {"print", "print"},
    {"prior", "page up"},      {"return", "return"},         {"right", "right"},               {"scroll-lock", "scroll lock"},
    {"tab", "tab"},            {"up", "up"},                 {"window", "window"},             {"kp-enter", "keypad enter"},
    {"kp-*", "keypad star"},   {"kp-+", "keypad plus"},      {"kp--", "keypad minus"},         {"kp-.", "keypad dot"},
    {"kp-/", "keypad slash"}};

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

std::string keyPart(std::string_view part) {
    const std::string l = lower(part);
    for (const KeyName& k : kKeys)
        if (l == k.key) return k.name;
    if (l.size() == 4 && l.starts_with("kp-") && std::isdigit(static_cast<unsigned char>(l[3])))
        return "keypad " + l.substr(3);
    if (l.size() >= 2 && l.size() <= 3 && l[0] == 'f' && std::isdigit(static_cast<unsigned char>(l[1])))
        return "F " + l.substr(1);
    return characterText(part);
}

} // namespace

std::string characterText(std::string_view c) {
    if (c.empty()) return {};
    if (c == " " || c == "space") return "space";
    if (c == "\n") return "new line";
    if (c == "\t") return "tab";
    const auto b = static_cast<unsigned char>(c[0]);
    if (c.size() == 1) {
        if (std::isalpha(b)) return std::string(std::isupper(b) ? "capital " : "") + kLetters[std::tolower(b) - 'a'];
        if (const Symbol* s = symbolOf(c[0])) return s->name;
    }
    return std::string(c);
}

std::string keyText(std::string_view key) {
    if (key.empty()) return {};
    if (key == "_") return "underscore";
    std::string out;
    std::size_t at = 0;
    // Modifiers are joined to the key by '_' ("shift_a", "control_alt_x").
    while (at <= key.size()) {
        std::size_t next = key.find('_', at);
        if (next == at) next = key.find('_', at + 1); // "shift__": the key is "_"
        const std::string_view part = key.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at);
        if (!part.empty()) {
            if (!out.empty()) out += ' ';
            out += keyPart(part);
        }
        if (next == std::string_view::npos) break;
        at = next + 1;
    }
    return out;
}

std::string spelledText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = std::min(sequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
        const std::string_view c = text.substr(i, n);
        i += n;
        if (c == " " || c == "\n" || c == "\t" || c == "\r") continue;
        if (!out.empty()) out += ", ";
        out += characterText(c);
    }
    return out;
}

std::string namePunctuation(std::string_view text, Punctuation mode) {
    if (mode == Punctuation::None) return std::string(text);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const Symbol* s = symbolOf(c);
        if (!s || static_cast<int>(s->from) > static_cast<int>(mode)) {
            out += c;
            continue;
        }
        out += ' ';
        out += s->name;
        const bool sentenceEnd = (c == '.' || c == '!' || c == '?') &&
                                 (i + 1 == text.size() || std::isspace(static_cast<unsigned char>(text[i + 1])));
        out += sentenceEnd ? std::string(1, c) : std::string(" ");
    }
    return out;
}

} // namespace vorsan::speechd
