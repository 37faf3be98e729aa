#pragma once
// The normalisation stage: text as it is written -> text as it is said, for
// English and for the rule-based languages. Numbers, money, dates, times,
// ordinals, units, codes, abbreviations and typographic marks become words;
// plain words and punctuation stay as they are. The words said come from
// each language's own data: English's built-in tables, and a rule-based
// language's number words (its rule file's DigitData).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vorsan/language/LanguageRuleBase.h"

namespace vorsan {

// ---------------------------------------------------------------- English

// A letter to be said by its name ("F B I") is written as this byte and the
// letter; the English front end reads the pair as the letter's name.
inline constexpr char kLetterNameMark = '\x1F';

// English normalised text: every byte of `text` with the input span it came from.
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

// Whether a lower-case word is a word of the pronouncing dictionary; it
// tells acronyms said as words ("NASA") from those spelled ("FBI").
using KnownWord = std::function<bool(const std::string& lowerWord)>;

class EnglishReader;

class EnglishNormaliser {
public:
    explicit EnglishNormaliser(KnownWord known);
    ~EnglishNormaliser();
    EnglishNormaliser(const EnglishNormaliser&) = delete;
    EnglishNormaliser& operator=(const EnglishNormaliser&) = delete;

    // Appends the normalised form of `text` to `out`; offsets are `base` plus
    // the position in `text`.
    void normalise(std::u16string_view text, std::size_t base, NormalisedText& out);

private:
    std::unique_ptr<EnglishReader> reader_;
};

// ---------------------------------------------------------------- rule-based languages

// Text as it is written -> text as it is said, for a run of a rule-based
// language. Numbers (with Indian or Western grouping and decimals, every
// digit after the point said, zeros included), money before or after the
// amount with its minor unit, percentages, negative numbers, ranges, years,
// numeric and written dates, times, ordinals, phone numbers and units become
// words of the language; typographic quotes, dashes, the ellipsis and the
// no-break space become their ASCII counterparts.
//
// The words come from the language's number words (its rule file's
// DigitData): the entries for numbers, "." for the decimal point, and the
// entries whose keys begin with "@" (month, currency, unit names, ordinal
// forms, templates for percent, minus, ranges, times and years). A rule file
// without the "@" entries gets plain numbers and digit-by-digit phone
// numbers; what it cannot say is left as written.
// With `origin`, also the input index each output character stands for, plus
// one more entry: the input's end.
std::u16string normaliseText(std::u16string_view text, const LanguageRuleBase& language,
                             std::vector<std::size_t>* origin = nullptr);

} // namespace vorsan
