#pragma once
// A speaking rate as people speak faster or slower: pauses change most,
// vowels more than consonants (which carry most of what tells words apart),
// so fast speech stays clear; the whole comes out at the asked rate.
#include "vorsan/core/PhonemeText.h"

namespace vorsan {

// Changes every duration for `rate` (2: half as long in all), record for
// record (so word places stay).
void atSpeakingRate(PhonemeRecordList& phones, float rate);

// Changes every phone's duration (not the pauses') by a random factor from
// 0.9 to 1.1, drawn from `seed` and the sentence's phones, so one seed
// always gives one sentence the same change.
void jitterDurations(PhonemeRecordList& phones, uint32_t seed);

} // namespace vorsan
