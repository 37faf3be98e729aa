#pragma once
// A speaking rate as people speak faster or slower: pauses change most,
// vowels more than consonants (which carry most of what tells words apart),
// so fast speech stays clear; the whole comes out at the asked rate.
#include "vorsan/core/PhonemeText.h"

namespace vorsan {

// Changes every duration for `rate` (2: half as long in all), record for
// record (so word places stay).
void atSpeakingRate(PhonemeRecordList& phones, float rate);

} // namespace vorsan
