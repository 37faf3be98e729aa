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

// The code point of the UTF-8 sequence at the start of `c` (0 for one cut off).
char32_t codePoint(std::string_view c) {
    if (c.empty()) return 0;
    const auto b = static_cast<unsigned char>(c[0]);
    const std::size_t n = sequenceLength(b);
    if (n == 1) return b;
    if (c.size() < n) return 0;
    char32_t v = b & (0x7F >> n);
    for (std::size_t i = 1; i < n; ++i) v = (v << 6) | (static_cast<unsigned char>(c[i]) & 0x3F);
    return v;
}

// A character that tells which language the text around it is: a Latin
// letter or a character beyond ASCII (the Indian scripts' letters, signs
// and digits all are), other than the general punctuation (dashes, curly
// quotes, ellipses) that every language writes.
bool letter(char32_t c) {
    if (c < 0x80) return std::isalpha(static_cast<int>(c)) != 0;
    return c < 0x2000 || c > 0x206F;
}

// The first letter of the text; 0 when it has none.
char32_t firstLetter(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = std::min(sequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
        const char32_t c = codePoint(text.substr(i, n));
        if (letter(c)) return c;
        i += n;
    }
    return 0;
}

std::string symbolName(const Symbol& s, char32_t context, const SymbolNamer& names) {
    if (names) {
        std::string name = names(s.c, context);
        if (!name.empty()) return name;
    }
    return s.name;
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

std::string keyPart(std::string_view part, const SymbolNamer& names) {
    const std::string l = lower(part);
    for (const KeyName& k : kKeys)
        if (l == k.key) return k.name;
    if (l.size() == 4 && l.starts_with("kp-") && std::isdigit(static_cast<unsigned char>(l[3])))
        return "keypad " + l.substr(3);
    if (l.size() >= 2 && l.size() <= 3 && l[0] == 'f' && std::isdigit(static_cast<unsigned char>(l[1])))
        return "F " + l.substr(1);
    return characterText(part, names);
}

} // namespace

std::string characterText(std::string_view c, const SymbolNamer& names) {
    if (c.empty()) return {};
    if (c == " " || c == "space") return "space";
    if (c == "\n") return "new line";
    if (c == "\t") return "tab";
    const auto b = static_cast<unsigned char>(c[0]);
    if (c.size() == 1) {
        if (std::isalpha(b)) return std::string(std::isupper(b) ? "capital " : "") + kLetters[std::tolower(b) - 'a'];
        if (const Symbol* s = symbolOf(c[0])) return symbolName(*s, 0, names);
    }
    return std::string(c);
}

std::string keyText(std::string_view key, const SymbolNamer& names) {
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
            out += keyPart(part, names);
        }
        if (next == std::string_view::npos) break;
        at = next + 1;
    }
    return out;
}

std::string spelledText(std::string_view text, const SymbolNamer& names) {
    std::string out;
    char32_t context = firstLetter(text);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = std::min(sequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
        const std::string_view c = text.substr(i, n);
        i += n;
        if (c == " " || c == "\n" || c == "\t" || c == "\r") continue;
        if (!out.empty()) out += ", ";
        const Symbol* s = c.size() == 1 ? symbolOf(c[0]) : nullptr;
        if (s) {
            out += symbolName(*s, context, names);
            continue;
        }
        if (const char32_t here = codePoint(c); letter(here)) context = here;
        out += characterText(c, names);
    }
    return out;
}

std::string namePunctuation(std::string_view text, Punctuation mode, const SymbolNamer& names) {
    if (mode == Punctuation::None) return std::string(text);
    std::string out;
    // The letter before each symbol (the first of the text before any).
    char32_t context = firstLetter(text);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = std::min(sequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
        const char c = text[i];
        const Symbol* s = n == 1 ? symbolOf(c) : nullptr;
        if (!s || static_cast<int>(s->from) > static_cast<int>(mode)) {
            if (const char32_t here = codePoint(text.substr(i, n)); letter(here)) context = here;
            out.append(text.substr(i, n));
            i += n;
            continue;
        }
        ++i;
        out += ' ';
        out += symbolName(*s, context, names);
        const bool sentenceEnd = (c == '.' || c == '!' || c == '?') &&
                                 (i == text.size() || std::isspace(static_cast<unsigned char>(text[i])));
        out += sentenceEnd ? std::string(1, c) : std::string(" ");
    }
    return out;
}

} // namespace vorsan::speechd
