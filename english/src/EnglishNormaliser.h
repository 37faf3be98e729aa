#pragma once
// The English normalisation stage: rewrites a piece of text into the words a
// reader says for it (money, years, dates, times, ordinals, phone numbers,
// units, Roman numerals, acronyms, abbreviations, URLs and e-mail addresses,
// typographic punctuation), leaving plain words and punctuation as they are.
// Every byte of the result remembers the span of the input it came from, so
// word positions can be given in the caller's text.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorsan {

class EnglishDictionary;

// A letter to be said by its name ("F B I") is written as this byte and the
// letter; the front end reads the pair as the letter's name.
inline constexpr char kLetterNameMark = '\x1F';

struct NormalisedText {
    std::string text;
    std::vector<uint32_t> from; // per byte of text: first input offset of its source
    std::vector<uint32_t> to;   // per byte of text: input offset after its source
    void clear() {
        text.clear();
        from.clear();
        to.clear();
    }
};

class EnglishNormaliser {
public:
    // `dictionary` tells acronyms said as words from those spelled.
    explicit EnglishNormaliser(const EnglishDictionary& dictionary) : dictionary_(dictionary) {}

    // Appends the normalised form of `text` to `out`; offsets are `base` plus
    // the position in `text`.
    void normalise(std::u16string_view text, std::size_t base, NormalisedText& out);

    // One blank-separated piece of the text: opening punctuation, the core
    // that is read, closing punctuation.
    struct Token {
        std::u16string_view lead, core, trail;
        uint32_t at; // input offset of the token's first character
    };

private:
    std::size_t readToken(std::size_t i); // returns how many tokens it used
    void say(std::string_view word);
    void sayAs(std::string_view word, uint32_t from, uint32_t to);
    void punctuation(std::u16string_view marks, uint32_t at);
    void sayCardinal(uint64_t value);
    void sayOrdinal(uint64_t value);
    void sayYear(uint64_t value);
    void sayDigits(std::u16string_view digits);
    void sayLetters(std::u16string_view letters);
    void sayDecimal(std::u16string_view text); // "12", "-3.05", "1,234.5"
    void spellOut(std::u16string_view text);  // URLs and e-mail addresses

    bool money(std::size_t i, std::size_t& used);
    bool timeOfDay(std::size_t i, std::size_t& used);
    bool date(std::size_t i, std::size_t& used);
    bool numberWithContext(std::size_t i, std::size_t& used);
    bool word(std::size_t i, std::size_t& used);
    static bool plainWord(const Token& t);
    void sayAsWritten(std::u16string_view core);

    const EnglishDictionary& dictionary_;
    std::vector<Token> tokens_;
    NormalisedText* out_ = nullptr;
    uint32_t from_ = 0, to_ = 0; // input span of the words being said
    bool phoneMode_ = false;     // digit groups read one digit at a time
};

} // namespace vorsan
