#pragma once
// One word (or pause) of an English sentence with its phones and stress, and
// the sentence output that turns a list of them into phoneme text.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vorsan/core/PhonemeText.h"

namespace vorsan {

// The English phone set, numbered 33 to 76; numbers 32 and below mean no phone.
namespace englishphones {
inline constexpr int kFirst = 33;
inline constexpr int kLast = 76;
// Two-character name cell of a phone ("p ", "tS", "i:", ...); empty for a
// number outside the set.
std::string_view cell(int phone);
// The phone's name without the padding space ("p", "tS").
std::string_view name(int phone);
// Default duration in ms; 0 outside the set.
int duration(int phone);
// Number of the phone with the given name; 0 when there is none.
int number(std::string_view name);
} // namespace englishphones

struct EnglishWord {
    static constexpr int kMaxPhones = 50;
    // The pitch raises (Hz) of primary and secondary stress.
    static constexpr int kPrimaryRaise = 25;
    static constexpr int kSecondaryRaise = 15;

    std::string text; // the word as written, or the punctuation of a pause
    std::string code; // pronunciation, letter-to-sound codes, or a pause line
    int count = 0;
    std::array<uint16_t, kMaxPhones> phones{};
    std::array<int32_t, kMaxPhones> stress{};
    // True for a dictionary pronunciation, whose stress marks are the
    // word's own (a word without any is a function word); false for the
    // letter-to-sound rules, which give no stress.
    bool lexicalStress = false;

    // A word converted by the letter-to-sound rules (all stress 0).
    static EnglishWord fromCodes(std::string text, std::string codes);
    // A word whose dictionary pronunciation ("'" primary and "," secondary
    // stress before a phone) is given; stress values are the raises in Hz.
    static EnglishWord fromPronunciation(std::string text, std::string pronunciation,
                                         int primaryRaise = kPrimaryRaise, int secondaryRaise = kSecondaryRaise);
    // A pause record: `code` is a pause line such as "_ 600".
    static EnglishWord pause(std::string text, std::string code);

    bool isPause() const { return !code.empty() && code[0] == '_'; }
    // Appends a phone (dropped once the word holds kMaxPhones).
    void append(int phone, int32_t stressValue);
};

// Pitch settings of the sentence output (Hz).
struct EnglishIntonation {
    int baseHz = 120;
    int highHz = 130;
    int lowHz = 110;
    bool on = true;
};

// How the sentence output times the phones:
//  - Table: every phone its fixed duration from the phone table, a stressed
//    short vowel held longer and 60 ms more at the end of every word;
//  - Natural: each phone's mean duration in natural speech, lengthened by
//    stress and at the end of a phrase, shortened in function words,
//    unstressed syllables and longer words.
enum class EnglishRhythm : uint8_t { Table, Natural };

// Turns the word records of one sentence into phoneme text ("_ 75 \n" first),
// with a rising, falling or flat contour chosen by the final punctuation and
// the first word; empties the list.
std::string sentenceOutput(std::vector<EnglishWord>& sentence, const EnglishIntonation& tune = {},
                           EnglishRhythm rhythm = EnglishRhythm::Table);
// Appends the same as phone records to `out`.
void appendSentenceOutput(PhonemeRecordList& out, std::vector<EnglishWord>& sentence,
                          const EnglishIntonation& tune = {}, EnglishRhythm rhythm = EnglishRhythm::Table);

} // namespace vorsan
