#pragma once
// The English reading of the normalisation stage: the text is cut into
// blank-separated tokens (opening punctuation, core, closing punctuation) and
// each token, with its neighbours where they decide the reading, is said as
// words. Every byte of the result remembers the span of the input it came
// from, so word positions can be given in the caller's text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vorsan/normalise/Normalise.h"
#include "vorsan/normalise/NumberWords.h"

namespace vorsan {

namespace normalise {
struct CurrencySign;
}
namespace normtext {
struct Number;
}

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
    void sayWords(const numberwords::Words& words);
    void sayCardinal(uint64_t value);
    void sayOrdinal(uint64_t value);
    void sayYear(uint64_t value);
    void sayDigits(std::u16string_view digits);
    void sayLetters(std::u16string_view letters);
    void sayDecimal(std::u16string_view text); // "12", "-3.05", "1,234.5"
    void spellOut(std::u16string_view text);  // URLs and e-mail addresses

    // The readings of a token with digits: each returns whether it read the
    // token (and `used` of them, counting it) and said the words.
    struct Money {
        const normalise::CurrencySign* currency = nullptr;
        std::u16string_view amount;
        std::size_t next = 0; // the token after the amount and its sign
    };
    struct Clock {
        uint64_t hour = 0, minute = 0;
        char16_t separator = 0; // ':' or '.' before the minutes
        std::string suffix;     // "am", "p.m" ...
    };
    bool money(std::size_t i, std::size_t& used);
    bool amountAfterSign(std::u16string_view amount, Money& m);
    bool signAfterAmount(std::u16string_view core, Money& m);
    bool scaleOf(std::u16string_view multiplier, std::size_t& next, std::string_view& scale) const;
    void sayMoney(const normtext::Number& n, const Money& m, std::string_view scale);
    bool timeOfDay(std::size_t i, std::size_t& used);
    static bool readClock(std::u16string_view core, Clock& c);
    bool date(std::size_t i, std::size_t& used);
    uint64_t yearAt(std::size_t k) const;
    int monthAt(std::size_t k) const;
    void endAt(std::size_t i, std::size_t k, std::size_t& used);
    void sayDayOfMonth(uint64_t day, int month);
    std::optional<bool> numericDate(std::u16string_view core);
    bool sayNumericDate(const std::u16string_view (&parts)[3]);
    bool dayMonthDate(std::size_t i, std::size_t& used);
    bool monthDayDate(std::size_t i, std::size_t& used);
    bool numberWithContext(std::size_t i, std::size_t& used);
    bool shortDecade(std::u16string_view core);
    bool digitByDigit(std::size_t i);
    bool readsDigitByDigit(std::size_t i) const;
    bool numberAndAfter(std::size_t i, std::size_t& used);
    bool range(std::u16string_view core, normtext::Number& n, std::u16string_view& rest);
    bool fraction(std::u16string_view core, const normtext::Number& n, std::u16string_view rest);
    bool yearAlone(std::size_t i, const normtext::Number& n, std::size_t& used);
    bool sayUnit(const normtext::Number& n, std::u16string_view sign);
    void unitInNextToken(std::size_t i, const normtext::Number& n, std::size_t& used);
    void sayAfterNumber(const normtext::Number& n, std::u16string_view rest);

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
