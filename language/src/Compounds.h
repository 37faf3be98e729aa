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

#include "WordListFile.h"
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

// Compounds of two words of the language's word list (Hindi जन|मत,
// पवन|चक्की), its "+" lines. A word that is not an exact match is cut when it
// is a listed word ending in a consonant letter that keeps its inherent
// vowel, followed by a listed word starting with a letter, each of at least
// two letters; each member is then said as a word of its own, so its final
// inherent vowel drops like any word's. The code units of the first member,
// when the word divides; of several cuts, the longest first member's.
std::optional<std::size_t> splitListedCompound(std::u16string_view word, const WordListFile& words,
                                               const CharacterTable& table);

} // namespace vorsan
