#pragma once
// Compounds: a word that ends in a listed second member (Hindi दिन|भर,
// पागल|पन, देख|कर) is said as its first member, which ends like a word of
// its own, followed by the member's listed phones. So the rules that drop a
// word-final inherent vowel see the boundary inside the compound.
//
// Second members are exact-match entries whose match is "-" and the member
// ("-भर"); words are cut at the delimiters, which include "-", so no word is
// looked up under such a key. The longest listed member that ends a word
// decides; an entry without phones ("-ंकर") marks an ending that is not a
// boundary (शंकर is one word, not शं|कर).
#include <cstddef>
#include <optional>
#include <string_view>

#include "vorsan/language/CharacterTable.h"
#include "vorsan/language/RuleTables.h"

namespace vorsan {

struct CompoundSplit {
    std::size_t firstLength; // code units of the first member
    const Rule* second;      // the member's entry
};

// Where the word (closing punctuation after it allowed) divides, if it is a
// compound: the first member must be at least two code units long and must
// not end in a halant (the member's first letter would belong to a
// conjunct).
std::optional<CompoundSplit> splitCompound(std::u16string_view word, const ExactMatchTable& exact,
                                           const CharacterTable& table);

} // namespace vorsan
