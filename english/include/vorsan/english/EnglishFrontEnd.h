#pragma once
// The built-in English front end: splits 8-bit English text into words,
// reads numbers and symbols as words, finds each word's pronunciation in the
// dictionary or by letter-to-sound rules, and returns phoneme text for the
// English voice, sentence by sentence.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vorsan/english/EnglishDictionary.h"
#include "vorsan/english/EnglishWord.h"
#include "vorsan/english/LetterToSoundRules.h"

namespace vorsan {

class EnglishFrontEnd {
public:
    // Opens the dictionary; a failure to open is only reported (the words
    // then all go through the letter-to-sound rules).
    explicit EnglishFrontEnd(std::string dictionaryPath);

    // 8-bit text -> phoneme text. Never fails; characters that nothing
    // handles are dropped.
    std::string Convert(std::string_view text);

    const EnglishDictionary& dictionary() const { return dictionary_; }

    static constexpr int kPrimaryStressRaise = 25;
    static constexpr int kSecondaryStressRaise = 15;

private:
    class WordCursor;

    // Adds the records of one word to the current sentence; returns 1 when
    // the word ends the sentence, 0 otherwise. `wordStart` is true for a word
    // as it stood in the text (a leading minus before a digit is read then).
    int ProcessWord(std::string_view word, bool wordStart = false);
    int processSingle(char c);
    void readNumber(WordCursor& w);
    void SayNumber(int64_t value);
    void SaySymbol(char c);
    void say(std::string_view word) { ProcessWord(word); }
    void sayDigit(char digit);

    LetterToSoundRules rules_;
    EnglishDictionary dictionary_;
    EnglishIntonation intonation_;
    std::vector<EnglishWord> sentence_;
};

// speechFilesFolder() + "/English/english.dat".
std::string defaultEnglishDictionaryPath();

} // namespace vorsan
