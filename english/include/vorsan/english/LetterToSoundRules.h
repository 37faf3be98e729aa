#pragma once
// English letter-to-sound rules: context-sensitive rewrite rules that turn a
// word the dictionary does not know into a string of phoneme codes (IY, AX,
// DH, lower-case single consonants, ...).
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace vorsan {

class LetterToSoundRules {
public:
    // One rewrite rule: when `match` stands at the current position with
    // `left` before it and `right` after it, `output` is emitted. An empty
    // context matches anything; " " matches the word boundary.
    struct Rule {
        const char* left;
        const char* match;
        const char* right;
        const char* output;
    };

    // Number of rule lists: 0 for every character that is not an upper-case
    // letter, 1 to 26 for A to Z.
    static constexpr std::size_t kListCount = 27;

    // The ordered rules of one list (0..26).
    static std::span<const Rule> list(std::size_t index);

    // Converts one word (any bytes, no spaces) into its code string; the
    // result may be empty.
    std::string Convert(std::string_view word) const;
};

} // namespace vorsan
