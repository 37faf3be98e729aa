#pragma once
// A speaking rate as people speak faster or slower: pauses change most,
// vowels more than consonants (which carry most of what tells words apart),
// so fast speech stays clear; the whole comes out at the asked rate.
#include <string>

namespace vorsan {

// The phoneme text with every duration changed for `rate` (2: half as long
// in all), line for line (so word places stay).
std::string atSpeakingRate(const std::string& phonemes, float rate);

} // namespace vorsan
