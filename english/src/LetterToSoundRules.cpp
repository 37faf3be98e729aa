// Applies the letter-to-sound rule lists to one word.
#include "vorsan/english/LetterToSoundRules.h"

#include <cstring>

namespace vorsan {
namespace {

bool isUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool inSet(unsigned char c, const char* set) { return c != 0 && std::strchr(set, c) != nullptr; }
bool isVowel(unsigned char c) { return inSet(c, "AEIOUY"); }
bool isConsonant(unsigned char c) { return inSet(c, "BCDFGHJKLMNPQRSTVWXZ"); }
bool isVoiced(unsigned char c) { return inSet(c, "BDVGJLMNRWZ"); }
bool isFrontVowel(unsigned char c) { return inSet(c, "EIY"); }

// Matches a left context read backwards from `pos` (the character before the
// match). Running out of word before the context is used up counts as a
// match.
bool leftMatches(std::string_view context, std::string_view word, std::ptrdiff_t pos) {
    for (std::ptrdiff_t k = static_cast<std::ptrdiff_t>(context.size()) - 1; k >= 0; --k) {
        if (pos < 0) return true;
        const auto c = static_cast<unsigned char>(word[static_cast<std::size_t>(pos)]);
        auto at = [&](std::ptrdiff_t i) {
            return static_cast<unsigned char>(word[static_cast<std::size_t>(i)]);
        };
        switch (context[static_cast<std::size_t>(k)]) {
        case '#':
            if (!isVowel(c)) return false;
            while (pos >= 0 && isVowel(at(pos))) --pos;
            break;
        case ':':
            while (pos >= 0 && isConsonant(at(pos))) --pos;
            break;
        case '^':
            if (!isConsonant(c)) return false;
            --pos;
            break;
        case '.':
            if (!isVoiced(c)) return false;
            --pos;
            break;
        case '+':
            if (!isFrontVowel(c)) return false;
            --pos;
            break;
        default: {
            const auto sym = static_cast<unsigned char>(context[static_cast<std::size_t>(k)]);
            if (!(isUpper(sym) || sym == '\'' || sym == ' ') || c != sym) return false;
            --pos;
        }
        }
    }
    return true;
}

// Matches a right context read forwards from `pos` (the character after the
// match). The padded word always ends in a space, so the contexts never need
// more; running past the end fails.
bool rightMatches(std::string_view context, std::string_view word, std::size_t pos) {
    const std::size_t n = word.size();
    auto at = [&](std::size_t i) { return i < n ? static_cast<unsigned char>(word[i]) : 0u; };
    for (const char symbol : context) {
        if (pos >= n) return false;
        const unsigned char c = at(pos);
        switch (symbol) {
        case '#':
            if (!isVowel(c)) return false;
            while (pos < n && isVowel(at(pos))) ++pos;
            break;
        case ':':
            while (pos < n && isConsonant(at(pos))) ++pos;
            break;
        case '^':
            if (!isConsonant(c)) return false;
            ++pos;
            break;
        case '.':
            if (!isVoiced(c)) return false;
            ++pos;
            break;
        case '+':
            if (!isFrontVowel(c)) return false;
            ++pos;
            break;
        case '%':
            // Suffixes E, ER, ES, ED, ELY and ING.
            if (c == 'E') {
                const unsigned char next = at(pos + 1);
                if (next == 'L') pos += at(pos + 2) == 'Y' ? 3 : 1;
                else if (next == 'R' || next == 'S' || next == 'D') pos += 2;
                else pos += 1;
            } else if (c == 'I') {
                if (at(pos + 1) != 'N' || at(pos + 2) != 'G') return false;
                pos += 3;
            } else {
                return false;
            }
            break;
        default: {
            const auto sym = static_cast<unsigned char>(symbol);
            if (!(isUpper(sym) || sym == '\'' || sym == ' ') || c != sym) return false;
            ++pos;
        }
        }
    }
    return true;
}

} // namespace

std::string LetterToSoundRules::Convert(std::string_view word) const {
    // Upper-case (ASCII only, as the C locale does) and pad with the boundary.
    std::string padded;
    padded.reserve(word.size() + 2);
    padded.push_back(' ');
    for (const char ch : word) {
        const auto c = static_cast<unsigned char>(ch);
        padded.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : ch);
    }
    padded.push_back(' ');

    const std::string_view text(padded);
    std::string result;
    std::size_t pos = 1;
    while (pos + 1 < text.size()) {
        const auto c = static_cast<unsigned char>(text[pos]);
        const std::span<const Rule> rules = list(isUpper(c) ? c - 'A' + 1 : 0);
        std::size_t advance = 1;
        for (const Rule& rule : rules) {
            const std::size_t len = std::strlen(rule.match);
            if (text.compare(pos, len, rule.match) != 0) continue;
            if (!leftMatches(rule.left, text, static_cast<std::ptrdiff_t>(pos) - 1)) continue;
            if (!rightMatches(rule.right, text, pos + len)) continue;
            result += rule.output;
            advance = len;
            break;
        }
        pos += advance;
    }
    return result;
}

} // namespace vorsan
