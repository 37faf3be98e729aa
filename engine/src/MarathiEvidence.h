#pragma once
// Telling Marathi from Hindi in Devanagari text by what is written: letters
// only Marathi uses, frequent word forms of either language, and the words
// each language's word list has and the other's lacks.
#include <cstddef>
#include <string_view>

#include "vorsan/language/LanguageRuleBase.h"

namespace vorsan {

// Positive when the text reads as Marathi, negative when it reads as Hindi,
// 0 when it tells neither (or both as much). The languages give their own
// words (LanguageRuleBase::isOwnWord); either may be null.
int marathiEvidence(std::u16string_view text, const LanguageRuleBase* marathi = nullptr,
                    const LanguageRuleBase* hindi = nullptr);

// The end of the sentence that starts at `from`: just past the first
// sentence mark (. ? ! । ॥) followed by a blank, a closing quote or bracket,
// or the end of the text, or past a line feed; the text's size when there is
// none. So a point inside a number (3.5) ends nothing.
std::size_t sentenceEnd(std::u16string_view text, std::size_t from);

} // namespace vorsan
