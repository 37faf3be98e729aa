#pragma once
// The reading of a run of a rule-based language: the text is walked
// character by character (typographic marks folded to ASCII first), and a
// digit, a currency sign, a listed abbreviation or a Latin word starts a
// form that is read with what surrounds it. The words come from the
// language's number words (its rule file's DigitData).
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Common.h"
#include "vorsan/language/LanguageRuleBase.h"

namespace vorsan {

inline bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// A number as written: its integer digits (grouping commas dropped) and the
// digits after a decimal point.
struct Numeral {
    std::string whole, fraction;
    std::size_t end = 0;
    bool grouped = false, point = false;
    bool plain() const { return !grouped && !point; }
};

inline std::string withoutLeadingZeros(const std::string& digits) {
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? std::string() : digits.substr(first);
}

class IndianReader {
public:
    IndianReader(std::u16string_view text, const LanguageRuleBase& language, std::vector<std::size_t>* origin);
    std::u16string run();

private:
    void collectEntries();
    static std::vector<std::u16string> split(std::u16string_view s);
    const std::u16string* entry(std::string_view key) const;
    int digitAt(std::size_t j) const;

    // A letter of a word: ASCII, or the script's own (not its digits or dandas).
    bool isLetter(std::size_t j) const;
    bool textAt(std::size_t j, std::u16string_view s) const { return t_.compare(j, s.size(), s) == 0; }

    // --- output ----------------------------------------------------------
    std::size_t copy(std::size_t from, std::size_t to);

    // Words standing for the input from `at` on, set apart by spaces.
    void emitWords(std::u16string_view s, std::size_t at);

    // --- words -------------------------------------------------------------
    std::u16string say(const std::string& digits) const;
    std::u16string digitByDigit(std::string_view digits) const;
    std::u16string cardinal(const Numeral& a) const;

    // A template's {name} places filled; a template without {n} follows n.
    static std::u16string fill(const std::u16string& tmpl,
                               std::initializer_list<std::pair<std::u16string_view, std::u16string_view>> values);
    bool yearLike(const Numeral& a) const;

    // A year 1100-1999 as the language says it (nineteen hundred forty-seven).
    std::u16string year(const std::string& digits) const;
    std::u16string yearOrCardinal(const Numeral& a) const { return yearLike(a) ? year(a.whole) : cardinal(a); }

    // --- reading -------------------------------------------------------------
    Numeral readNumeral(std::size_t i) const;
    std::string digitsAt(std::size_t j, std::size_t& end) const;

    // A currency sign at j, of the shared list or of the language's own
    // ("@alias:" entries), whose currency the language names: sets code_
    // and len.
    bool currencyAt(std::size_t j, std::size_t& len);

    // The longest sign of the shared list at j; a code of letters only as a
    // word of its own ("INR", not the start of "INRI").
    const normalise::CurrencySign* listedSignAt(std::size_t j) const;
    bool mayStartCurrency(char16_t c) const;

    // An abbreviation written as a word of its own (डॉ. for doctor): its
    // full form, with end_ after it. Its point is not a sentence end.
    const std::u16string* abbreviationAt(std::size_t j);
    const std::u16string* unitAt(std::size_t j, std::size_t& len) const;

    // --- the forms -----------------------------------------------------------
    std::u16string money(const Numeral& a, const std::string& code, std::u16string_view range) const;

    // A time h:mm (or h.mm before an hour word); true when one was read.
    bool time(std::size_t i, std::size_t at);

    // A date d/m/y, d-m-y or d.m.y; true when one was read.
    bool date(std::size_t i, std::size_t at);

    // Digits read one by one, groups as written; true when the digits at i
    // are a phone number.
    bool phone(std::size_t i, std::size_t at, bool plus);

    // The last word's sign or word `x` replaced by `y`, for the first "x=y"
    // of the list that applies.
    static void replaceEnding(std::u16string& w, const std::vector<std::u16string>& pairs);

    // A number's words as they stand before a noun (a currency or a unit).
    std::u16string attributive(std::u16string w) const;

    // An ordinal: digits with the language's ordinal ending written after them.
    bool ordinal(const Numeral& a, std::size_t j, std::size_t at);

    // A number at i (after a minus sign when `negative`), with what it
    // means told by what surrounds it. Returns where reading goes on.
    std::size_t number(std::size_t i, std::size_t at, bool negative);

    // A Latin word: a currency code before an amount, a month name in a
    // date, or text left as it is.
    std::size_t latinWord(std::size_t i);

    const DigitWords* words_;
    std::vector<std::size_t>* origin_;
    DigitMap map_{};
    char16_t first_ = 0, last_ = 0;
    std::u16string t_;
    std::vector<std::size_t> tOrigin_;
    std::u16string out_;
    std::vector<std::pair<std::u16string, const std::u16string*>> units_;
    std::vector<std::pair<std::u16string, std::string>> aliases_;
    std::vector<std::pair<std::u16string, const std::u16string*>> abbreviations_;
    std::vector<std::u16string> ordinalSuffixes_, ordinalJoins_, hourWords_, attributives_, rangeJoins_;
    std::string code_;   // the currency currencyAt found
    std::size_t end_ = 0; // where the last form read ended
};

} // namespace vorsan
