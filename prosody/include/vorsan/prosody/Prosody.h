#pragma once
// Sentence and clause prosody for a run of a rule-based language: the run is
// cut into sentences and clauses by the identifier strings of the language's
// sentence and clause types, every word is converted by the language's
// rules, a pitch contour from the type's pattern is laid over the phones (one
// target per 20 ms), and the pauses of the types are inserted.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vorsan/core/PhonemeText.h"
#include "vorsan/language/LanguageRuleBase.h"

namespace vorsan {

// Phoneme text of a run of a rule-based language. Null language raises
// "getPhonem->language is null". transcription=true gives the transcription-only form.
std::string prosodyConversion(std::u16string_view text, const LanguageRuleBase* language,
                              bool transcription = false);

// The same, sentence by sentence: `each` gets the phone records of every
// sentence in order as soon as it is converted (the first also carries the
// run's opening pause, unless `opening` is false: the text goes on a run
// begun by an earlier call), with where its words begin (offsets in `text`;
// none for transcriptions); together they are prosodyConversion's result.
// Long text is normalised and cut into sentences a piece at a time, so the
// first sentence comes before the rest is looked at; text without a sentence
// end comes in pieces of a bounded length.
using SentenceHandler = std::function<void(PhonemeRecordList&& phones, std::vector<WordMark>&& words)>;
void prosodySentences(std::u16string_view text, const LanguageRuleBase* language, bool transcription,
                      const SentenceHandler& each, bool opening = true);

// The run's text goes through normaliseText (vorsan/normalise/Normalise.h) before it is cut
// into sentences. normaliseNumbers is its older, narrower step, kept for
// callers: the text with the commas that group digits inside a number
// (1,00,000 or 12,345) removed, and a decimal point between digits replaced by the
// language's word for it (its number-words entry "."), when it has one.
// With `origin`, also the input index each output character stands for (and
// one more entry: the input's end).
std::u16string normaliseNumbers(std::u16string_view text, const LanguageRuleBase& language,
                                std::vector<std::size_t>* origin = nullptr);

} // namespace vorsan
