#pragma once
// The English reading of the normalisation stage: the text is cut into
// blank-separated tokens (opening punctuation, core, closing punctuation) and
// each token, with its neighbours where they decide the reading, is said as
// words. Every byte of the result remembers the span of the input it came
// from, so word positions can be given in the caller's text.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vorsan/normalise/Normalise.h"

namespace vorsan {

class EnglishReader {
public:
    explicit EnglishReader(KnownWord known) : known_(std::move(known)) {}

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
    void sayPhrase(std::string_view words); // words separated by spaces
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
    // The readings of a token without digits; word() returns whether a full
    // stop after the token is the word's own.
    struct WordContext {
        std::size_t i;
        const Token& t;
        std::string w; // the core in lower case
        bool period = false, nextUpper = false, previousUpper = false, nextIsNumber = false, endsSentence = false;
    };
    WordContext contextOf(std::size_t i) const;
    bool word(std::size_t i);
    bool dayRange(const WordContext& c);
    bool contextAbbreviation(const WordContext& c, bool& dropPeriod);
    bool listedAbbreviation(const WordContext& c, bool& dropPeriod);
    bool calendarAbbreviation(const WordContext& c);
    bool lettersWithStops(const WordContext& c, bool& dropPeriod);
    bool romanNumeral(const WordContext& c);
    bool initial(const WordContext& c, bool& dropPeriod);
    bool acronym(const WordContext& c);
    static bool plainWord(const Token& t);
    void sayAsWritten(std::u16string_view core);

    KnownWord known_;
    std::vector<Token> tokens_;
    NormalisedText* out_ = nullptr;
    uint32_t from_ = 0, to_ = 0; // input span of the words being said
    bool phoneMode_ = false;     // digit groups read one digit at a time
};

} // namespace vorsan
