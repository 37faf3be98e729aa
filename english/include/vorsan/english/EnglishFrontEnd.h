#pragma once
// The built-in English front end: splits 8-bit English text into words,
// reads numbers and symbols as words, finds each word's pronunciation in the
// dictionary or by letter-to-sound rules, and returns phoneme text for the
// English voice, sentence by sentence.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vorsan/core/PhonemeText.h"
#include "vorsan/english/EnglishDictionary.h"
#include "vorsan/english/EnglishWord.h"
#include "vorsan/english/LetterToSoundRules.h"

namespace vorsan {

class EnglishNormaliser;
struct NormalisedText;

class EnglishFrontEnd {
public:
    // Opens the dictionary; a failure to open is only reported (the words
    // then all go through the letter-to-sound rules).
    explicit EnglishFrontEnd(std::string dictionaryPath);
    ~EnglishFrontEnd();
    EnglishFrontEnd(const EnglishFrontEnd&) = delete;
    EnglishFrontEnd& operator=(const EnglishFrontEnd&) = delete;

    // 8-bit (Latin-1) or UTF-16 text -> phoneme text. The text is first
    // normalised (numbers, money, dates, times, units, abbreviations,
    // acronyms, addresses and typographic punctuation become the words said
    // for them). Never fails; characters that nothing handles are dropped.
    std::string Convert(std::string_view text);
    std::string Convert(std::u16string_view text);
    // The same, sentence by sentence: `each` gets the phone records of every
    // sentence as soon as it is ready, with where its words begin (byte
    // offsets in `text`), and is called at least once (last with the closing
    // pause); together they are Convert's result.
    using SentenceHandler = std::function<void(PhonemeRecordList&& phones, std::vector<WordMark>&& words)>;
    void ConvertSentences(std::string_view text, const SentenceHandler& each);
    // The same for UTF-16 text (offsets in UTF-16 code units); typographic
    // quotes, dashes, the ellipsis and currency signs outside Latin-1 are
    // read as such here, where the 8-bit form cannot carry them.
    void ConvertSentences(std::u16string_view text, const SentenceHandler& each);

    const EnglishDictionary& dictionary() const { return dictionary_; }

    // How phones are timed (EnglishRhythm in EnglishWord.h); the phone
    // table until set.
    void setRhythm(EnglishRhythm rhythm) { rhythm_ = rhythm; }
    EnglishRhythm rhythm() const { return rhythm_; }

    static constexpr int kPrimaryStressRaise = 25;
    static constexpr int kSecondaryStressRaise = 15;
    // Words after which a sentence without an end is sent out anyway.
    static constexpr std::size_t kLongestSentence = 300;

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
    std::unique_ptr<EnglishNormaliser> normaliser_;
    std::unique_ptr<NormalisedText> normalised_;
    EnglishIntonation intonation_;
    EnglishRhythm rhythm_ = EnglishRhythm::Table;
    std::vector<EnglishWord> sentence_;
};

// speechFilesFolder() + "/English/english.dat", else the installation's
// english.dat when the user has none.
std::string defaultEnglishDictionaryPath();

} // namespace vorsan
