#pragma once
// Phone durations of one English sentence with a natural rhythm.
#include <vector>

#include "vorsan/english/EnglishWord.h"

namespace vorsan::englishrhythm {

// The duration in ms of every phone of the sentence's words, in order (pause
// records have none): each phone's mean in natural speech, held longer under
// stress and in the last syllable before a pause or the sentence's end,
// shorter in function words, in unstressed syllables and in longer words.
std::vector<int> naturalDurations(const std::vector<EnglishWord>& sentence);

} // namespace vorsan::englishrhythm
