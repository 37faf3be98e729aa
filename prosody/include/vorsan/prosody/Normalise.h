#pragma once
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
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "vorsan/language/LanguageRuleBase.h"

namespace vorsan {

// With `origin`, also the input index each output character stands for, plus
// one more entry: the input's end.
std::u16string normaliseText(std::u16string_view text, const LanguageRuleBase& language,
                             std::vector<std::size_t>* origin = nullptr);

} // namespace vorsan
