// The letter-to-sound rule lists, in the order in which they are tried (the
// NRL Report 7948 rule set). Within a list the first applicable rule wins.
// Context symbols: # one or more vowels, : zero or more consonants,
// ^ one consonant, . one voiced consonant, + one front vowel, % a suffix
// (E, ER, ES, ED, ELY, ING), " " the word boundary.
#include "vorsan/english/LetterToSoundRules.h"

#include <array>

namespace vorsan {
namespace {

using Rule = LetterToSoundRules::Rule;

// Punctuation (11 rules)
constexpr Rule kPunctuation[] = {
    {"", " ", "'", ""},
    {"", " ", "", " "},
    {"", "-", "", ""},
    {".", "'S", "", "z"},
    {"#:.E", "'S", "", "z"},
    {"#", "'S", "", "z"},
    {"", "'", "", ""},
    {"", ",", "", " "},
    {"", ".", "", " "},
    {"", "?", "", " "},
    {"", "!", "", " "},
};

// A (33 rules)
constexpr Rule kLetterA[] = {
    {"", "A", " ", "AX"},
    {" ", "ARE", " ", "AAr"},
    {" ", "AR", "O", "AXr"},
    {"", "AR", "#", "EHr"},
    {"^", "AS", "#", "EYs"},
    {"", "A", "WA", "AX"},
    {"", "AW", "", "AO"},
    {" :", "ANY", "", "EHnIY"},
    {"", "A", "^+#", "EY"},
    {"#:", "ALLY", "", "AXlIY"},
    {" ", "AL", "#", "AXl"},
    {"", "AGAIN", "", "AXgEHn"},
    {"#:", "AG", "E", "IHj"},
    {"", "A", "^+:#", "AE"},
    {" :", "A", "^+ ", "EY"},
    {"", "A", "^%", "EY"},
    {" ", "ARR", "", "AXr"},
    {"", "ARR", "", "AEr"},
    {" :", "AR", " ", "AAr"},
    {"", "AR", " ", "ER"},
    {"", "AR", "", "AAr"},
    {"", "AIR", "", "EHr"},
    {"", "AI", "", "EY"},
    {"", "AY", "", "EY"},
    {"", "AU", "", "AO"},
    {"#:", "AL", " ", "AXl"},
    {"#:", "ALS", " ", "AXlz"},
    {"", "ALK", "", "AOk"},
    {"", "AL", "^", "AOl"},
    {" :", "ABLE", "", "EYbAXl"},
    {"", "ABLE", "", "AXbAXl"},
    {"", "ANG", "+", "EYnj"},
    {"", "A", "", "AE"},
};

// B (6 rules)
constexpr Rule kLetterB[] = {
    {" ", "BE", "^#", "bIH"},
    {"", "BEING", "", "bIYIHNG"},
    {" ", "BOTH", " ", "bOWTH"},
    {" ", "BUS", "#", "bIHz"},
    {"", "BUIL", "", "bIHl"},
    {"", "B", "", "b"},
};

// C (11 rules)
constexpr Rule kLetterC[] = {
    {" ", "CH", "^", "k"},
    {"^E", "CH", "", "k"},
    {"", "CH", "", "CH"},
    {" S", "CI", "#", "sAY"},
    {"", "CI", "A", "SH"},
    {"", "CI", "O", "SH"},
    {"", "CI", "EN", "SH"},
    {"", "C", "+", "s"},
    {"", "CK", "", "k"},
    {"", "COM", "%", "kAHm"},
    {"", "C", "", "k"},
};

// D (10 rules)
constexpr Rule kLetterD[] = {
    {"#:", "DED", " ", "dIHd"},
    {".E", "D", " ", "d"},
    {"#^:E", "D", " ", "t"},
    {" ", "DE", "^#", "dIH"},
    {" ", "DO", " ", "dUW"},
    {" ", "DOES", "", "dAHz"},
    {" ", "DOING", "", "dUWIHNG"},
    {" ", "DOW", "", "dAW"},
    {"", "DU", "A", "jUW"},
    {"", "D", "", "d"},
};

// E (52 rules)
constexpr Rule kLetterE[] = {
    {"#:", "E", " ", ""},
    {"'^:", "E", " ", ""},
    {" :", "E", " ", "IY"},
    {"#", "ED", " ", "d"},
    {"#:", "E", "D ", ""},
    {"", "EV", "ER", "EHv"},
    {"", "E", "^%", "IY"},
    {"", "ERI", "#", "IYrIY"},
    {"", "ERI", "", "EHrIH"},
    {"#:", "ER", "#", "ER"},
    {"", "ER", "#", "EHr"},
    {"", "ER", "", "ER"},
    {" ", "EVEN", "", "IYvEHn"},
    {"#:", "E", "W", ""},
    {"T", "EW", "", "UW"},
    {"S", "EW", "", "UW"},
    {"R", "EW", "", "UW"},
    {"D", "EW", "", "UW"},
    {"L", "EW", "", "UW"},
    {"Z", "EW", "", "UW"},
    {"N", "EW", "", "UW"},
    {"J", "EW", "", "UW"},
    {"TH", "EW", "", "UW"},
    {"CH", "EW", "", "UW"},
    {"SH", "EW", "", "UW"},
    {"", "EW", "", "YUw"},
    {"", "E", "O", "IY"},
    {"#:S", "ES", " ", "IHz"},
    {"#:C", "ES", " ", "IHz"},
    {"#:G", "ES", " ", "IHz"},
    {"#:Z", "ES", " ", "IHz"},
    {"#:X", "ES", " ", "IHz"},
    {"#:J", "ES", " ", "IHz"},
    {"#:CH", "ES", " ", "IHz"},
    {"#:SH", "ES", " ", "IHz"},
    {"#:", "E", "S ", ""},
    {"#:", "ELY", " ", "lIY"},
    {"#:", "EMENT", "", "mEHnt"},
    {"", "EFUL", "", "fUHl"},
    {"", "EE", "", "IY"},
    {"", "EARN", "", "ERn"},
    {" ", "EAR", "^", "ER"},
    {"", "EAD", "", "EHd"},
    {"#:", "EA", " ", "IYAX"},
    {"", "EA", "SU", "EH"},
    {"", "EA", "", "IY"},
    {"", "EIGH", "", "EY"},
    {"", "EI", "", "IY"},
    {" ", "EYE", "", "AY"},
    {"", "EY", "", "IY"},
    {"", "EU", "", "YUw"},
    {"", "E", "", "EH"},
};

// F (2 rules)
constexpr Rule kLetterF[] = {
    {"", "FUL", "", "fUHl"},
    {"", "F", "", "f"},
};

// G (10 rules)
constexpr Rule kLetterG[] = {
    {"", "GIV", "", "gIHv"},
    {" ", "G", "I^", "g"},
    {"", "GE", "T", "gEH"},
    {"SU", "GGES", "", "gjEHs"},
    {"", "GG", "", "g"},
    {" B#", "G", "", "g"},
    {"", "G", "+", "j"},
    {"", "GREAT", "", "grEYt"},
    {"#", "GH", "", ""},
    {"", "G", "", "g"},
};

// H (6 rules)
constexpr Rule kLetterH[] = {
    {" ", "HAV", "", "hAEv"},
    {" ", "HERE", "", "hIYr"},
    {" ", "HOUR", "", "AWER"},
    {"", "HOW", "", "hAW"},
    {"", "H", "#", "h"},
    {"", "H", "", ""},
};

// I (28 rules)
constexpr Rule kLetterI[] = {
    {" ", "IN", "", "IHn"},
    {" ", "I", " ", "AY"},
    {"", "IN", "D", "AYn"},
    {"", "IER", "", "IYER"},
    {"#:R", "IED", "", "IYd"},
    {"", "IED", " ", "AYd"},
    {"", "IEN", "", "IYEHn"},
    {"", "IE", "T", "AYEH"},
    {" :", "I", "%", "AY"},
    {"", "I", "%", "IY"},
    {"", "IE", "", "IY"},
    {"", "I", "^+:#", "IH"},
    {"", "IR", "#", "AYr"},
    {"", "IZ", "%", "AYz"},
    {"", "IS", "%", "AYz"},
    {"", "I", "D%", "AY"},
    {"+^", "I", "^+", "IH"},
    {"", "I", "T%", "AY"},
    {"#^:", "I", "^+", "IH"},
    {"", "I", "^+", "AY"},
    {"", "IR", "", "ER"},
    {"", "IGH", "", "AY"},
    {"", "ILD", "", "AYld"},
    {"", "IGN", " ", "AYn"},
    {"", "IGN", "^", "AYn"},
    {"", "IGN", "%", "AYn"},
    {"", "IQUE", "", "IYk"},
    {"", "I", "", "IH"},
};

// J (1 rule)
constexpr Rule kLetterJ[] = {
    {"", "J", "", "j"},
};

// K (2 rules)
constexpr Rule kLetterK[] = {
    {" ", "K", "N", ""},
    {"", "K", "", "k"},
};

// L (5 rules)
constexpr Rule kLetterL[] = {
    {"", "LO", "C#", "lOW"},
    {"L", "L", "", ""},
    {"#^:", "L", "%", "AXl"},
    {"", "LEAD", "", "lIYd"},
    {"", "L", "", "l"},
};

// M (2 rules)
constexpr Rule kLetterM[] = {
    {"", "MOV", "", "mUWv"},
    {"", "M", "", "m"},
};

// N (8 rules)
constexpr Rule kLetterN[] = {
    {"E", "NG", "+", "nj"},
    {"", "NG", "R", "NGg"},
    {"", "NG", "#", "NGg"},
    {"", "NGL", "%", "NGgAXl"},
    {"", "NG", "", "NG"},
    {"", "NK", "", "NGk"},
    {" ", "NOW", " ", "nAW"},
    {"", "N", "", "n"},
};

// O (48 rules)
constexpr Rule kLetterO[] = {
    {"", "OF", " ", "AXv"},
    {"", "OROUGH", "", "EROW"},
    {"#:", "OR", " ", "ER"},
    {"#:", "ORS", " ", "ERz"},
    {"", "OR", "", "AOr"},
    {" ", "ONE", "", "wAHn"},
    {"", "OW", "", "OW"},
    {" ", "OVER", "", "OWvER"},
    {"", "OV", "", "AHv"},
    {"", "O", "^%", "OW"},
    {"", "O", "^EN", "OW"},
    {"", "O", "^I#", "OW"},
    {"", "OL", "D", "OWl"},
    {"", "OUGHT", "", "AOt"},
    {"", "OUGH", "", "AHf"},
    {" ", "OU", "", "AW"},
    {"H", "OU", "S#", "AW"},
    {"", "OUS", "", "AXs"},
    {"", "OUR", "", "AOr"},
    {"", "OULD", "", "UHd"},
    {"^", "OU", "^L", "AH"},
    {"", "OUP", "", "UWp"},
    {"", "OU", "", "AW"},
    {"", "OY", "", "OY"},
    {"", "OING", "", "OWIHNG"},
    {"", "OI", "", "OY"},
    {"", "OOR", "", "AOr"},
    {"", "OOK", "", "UHk"},
    {"", "OOD", "", "UHd"},
    {"", "OO", "", "UW"},
    {"", "O", "E", "OW"},
    {"", "O", " ", "OW"},
    {"", "OA", "", "OW"},
    {" ", "ONLY", "", "OWnlIY"},
    {" ", "ONCE", "", "wAHns"},
    {"", "ON'T", "", "OWnt"},
    {"C", "O", "N", "AA"},
    {"", "O", "NG", "AO"},
    {"^:", "O", "N", "AH"},
    {"I", "ON", "", "AXn"},
    {"#:", "ON", " ", "AXn"},
    {"#^", "ON", "", "AXn"},
    {"", "O", "ST ", "OW"},
    {"", "OF", "^", "AOf"},
    {"", "OTHER", "", "AHDHER"},
    {"", "OSS", " ", "AOs"},
    {"#^:", "OM", "", "AHm"},
    {"", "O", "", "AA"},
};

// P (5 rules)
constexpr Rule kLetterP[] = {
    {"", "PH", "", "f"},
    {"", "PEOP", "", "pIYp"},
    {"", "POW", "", "pAW"},
    {"", "PUT", " ", "pUHt"},
    {"", "P", "", "p"},
};

// Q (3 rules)
constexpr Rule kLetterQ[] = {
    {"", "QUAR", "", "kwAOr"},
    {"", "QU", "", "kw"},
    {"", "Q", "", "k"},
};

// R (2 rules)
constexpr Rule kLetterR[] = {
    {" ", "RE", "^#", "rIY"},
    {"", "R", "", "r"},
};

// S (23 rules)
constexpr Rule kLetterS[] = {
    {"", "SH", "", "SH"},
    {"#", "SION", "", "ZHAXn"},
    {"", "SOME", "", "sAHm"},
    {"#", "SUR", "#", "ZHER"},
    {"", "SUR", "#", "SHER"},
    {"#", "SU", "#", "ZHUW"},
    {"#", "SSU", "#", "SHUW"},
    {"#", "SED", " ", "zd"},
    {"#", "S", "#", "z"},
    {"", "SAID", "", "sEHd"},
    {"^", "SION", "", "SHAXn"},
    {"", "S", "S", ""},
    {".", "S", " ", "z"},
    {"#:.E", "S", " ", "z"},
    {"#^:##", "S", " ", "z"},
    {"#^:#", "S", " ", "s"},
    {"U", "S", " ", "s"},
    {" :#", "S", " ", "z"},
    {" ", "SCH", "", "sk"},
    {"", "S", "C+", ""},
    {"#", "SM", "", "zm"},
    {"#", "SN", "'", "zAXn"},
    {"", "S", "", "s"},
};

// T (26 rules)
constexpr Rule kLetterT[] = {
    {" ", "THE", " ", "DHAX"},
    {"", "TO", " ", "tUW"},
    {"", "THAT", " ", "DHAEt"},
    {" ", "THIS", " ", "DHIHs"},
    {" ", "THEY", "", "DHEY"},
    {" ", "THERE", "", "DHEHr"},
    {"", "THER", "", "DHER"},
    {"", "THEIR", "", "DHEHr"},
    {" ", "THAN", " ", "DHAEn"},
    {" ", "THEM", " ", "DHEHm"},
    {"", "THESE", " ", "DHIYz"},
    {" ", "THEN", "", "DHEHn"},
    {"", "THROUGH", "", "THrUW"},
    {"", "THOSE", "", "DHOWz"},
    {"", "THOUGH", " ", "DHOW"},
    {" ", "THUS", "", "DHAHs"},
    {"", "TH", "", "TH"},
    {"#:", "TED", " ", "tIHd"},
    {"S", "TI", "#N", "CH"},
    {"", "TI", "O", "SH"},
    {"", "TI", "A", "SH"},
    {"", "TIEN", "", "SHAXn"},
    {"", "TUR", "#", "CHER"},
    {"", "TU", "A", "CHUW"},
    {" ", "TWO", "", "tUW"},
    {"", "T", "", "t"},
};

// U (35 rules)
constexpr Rule kLetterU[] = {
    {" ", "UN", "I", "yUWn"},
    {" ", "UN", "", "AHn"},
    {" ", "UPON", "", "AXpAOn"},
    {"T", "UR", "#", "UHr"},
    {"S", "UR", "#", "UHr"},
    {"R", "UR", "#", "UHr"},
    {"D", "UR", "#", "UHr"},
    {"L", "UR", "#", "UHr"},
    {"Z", "UR", "#", "UHr"},
    {"N", "UR", "#", "UHr"},
    {"J", "UR", "#", "UHr"},
    {"TH", "UR", "#", "UHr"},
    {"CH", "UR", "#", "UHr"},
    {"SH", "UR", "#", "UHr"},
    {"", "UR", "#", "yUHr"},
    {"", "UR", "", "ER"},
    {"", "U", "^ ", "AH"},
    {"", "U^^", "", "AH"},
    {"", "UY", "", "AY"},
    {" G", "U", "#", ""},
    {"G", "U", "%", ""},
    {"G", "U", "#", "w"},
    {"#N", "U", "", "YUw"},
    {"T", "U", "", "UW"},
    {"S", "U", "", "UW"},
    {"R", "U", "", "UW"},
    {"D", "U", "", "UW"},
    {"L", "U", "", "UW"},
    {"Z", "U", "", "UW"},
    {"N", "U", "", "UW"},
    {"J", "U", "", "UW"},
    {"TH", "U", "", "UW"},
    {"CH", "U", "", "UW"},
    {"SH", "U", "", "UW"},
    {"", "U", "", "YUw"},
};

// V (2 rules)
constexpr Rule kLetterV[] = {
    {"", "VIEW", "", "vYUw"},
    {"", "V", "", "v"},
};

// W (12 rules)
constexpr Rule kLetterW[] = {
    {" ", "WERE", "", "wER"},
    {"", "WA", "S", "wAA"},
    {"", "WA", "T", "wAA"},
    {"", "WERE", "", "WHEHr"},
    {"", "WHAT", "", "WHAAt"},
    {"", "WHOL", "", "hOWl"},
    {"", "WHO", "", "hUW"},
    {"", "WH", "", "WH"},
    {"", "WAR", "", "wAOr"},
    {"", "WOR", "^", "wER"},
    {"", "WR", "", "r"},
    {"", "W", "", "w"},
};

// X (1 rule)
constexpr Rule kLetterX[] = {
    {"", "X", "", "ks"},
};

// Y (11 rules)
constexpr Rule kLetterY[] = {
    {"", "YOUNG", "", "yAHNG"},
    {" ", "YOU", "", "yUW"},
    {" ", "YES", "", "yEHs"},
    {" ", "Y", "", "y"},
    {"#^:", "Y", " ", "IY"},
    {"#^:", "Y", "I", "IY"},
    {" :", "Y", " ", "AY"},
    {" :", "Y", "#", "AY"},
    {" :", "Y", "^+:#", "IH"},
    {" :", "Y", "^#", "AY"},
    {"", "Y", "", "IH"},
};

// Z (1 rule)
constexpr Rule kLetterZ[] = {
    {"", "Z", "", "z"},
};


const std::array<std::span<const Rule>, LetterToSoundRules::kListCount> kLists = {{
    kPunctuation, kLetterA, kLetterB, kLetterC, kLetterD, kLetterE, kLetterF, kLetterG, kLetterH,
    kLetterI,     kLetterJ, kLetterK, kLetterL, kLetterM, kLetterN, kLetterO, kLetterP, kLetterQ,
    kLetterR,     kLetterS, kLetterT, kLetterU, kLetterV, kLetterW, kLetterX, kLetterY, kLetterZ,
}};

} // namespace

std::span<const LetterToSoundRules::Rule> LetterToSoundRules::list(std::size_t index) {
    return index < kLists.size() ? kLists[index] : std::span<const Rule>{};
}

} // namespace vorsan
