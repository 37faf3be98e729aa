// English text to phone records: word splitting, punctuation pauses, sentence
// ends, and the choice between the dictionary and the letter-to-sound rules.
#include "vorsan/english/EnglishFrontEnd.h"

#include <array>
#include <filesystem>
#include <utility>

#include "WordCursor.h"
#include "vorsan/core/Paths.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/Text.h"
#include "vorsan/normalise/Normalise.h"

namespace vorsan {
namespace {

// The names of the letters in the dictionary's notation.
constexpr std::array<std::string_view, 26> kLetterNames = {
    "'eI", "b'i", "s'i", "d'i",  "'i",  "'ef",      "dZ'i", "'eItS", "'aI", "dZ'eI", "k'eI", "'el", "'em",
    "'en", "'@U", "p'i", "kj'u", "'Ar", "'es",      "t'i",  "j'u",   "v'i", "d'Vb@lju", "'eks", "w'aI", "z'i"};

constexpr std::string_view kSplitCharacters = " \n\t";
constexpr std::string_view kSentencePunctuation = ".?!:;,";
constexpr std::string_view kLongPause = ".:?!";
constexpr std::string_view kSentenceEnd = ".!?";
constexpr std::string_view kSymbols = "$+/=-&*#%";
constexpr std::string_view kBreakCharacters = ".,;:?!%&#/-+*=$0123456789\"'";
constexpr std::string_view kQuotes = "'\"";
// Longest word that can equal a headword of the dictionary.
constexpr std::size_t kLongestHeadword = 128;

bool contains(std::string_view set, char c) { return set.find(c) != std::string_view::npos; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isControl(char c) { return static_cast<unsigned char>(c) < 32; }
bool hasInnerUpper(std::string_view w) {
    for (std::size_t i = 1; i < w.size(); ++i)
        if (w[i] >= 'A' && w[i] <= 'Z') return true;
    return false;
}
std::string lowerAscii(std::string_view w) {
    std::string out(w);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view trimBlanksView(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// "the" and "to" are said with their strong vowel before a word that starts
// with a vowel (the apple, the hour: the vowel of "see"; to eat: the vowel of
// "too") and with their weak schwa, the dictionary's form, before a
// consonant. Only the vowel changes, so the word keeps its number of phones.
void weakFormsBeforeVowels(std::vector<EnglishWord>& sentence) {
    static const int schwa = englishphones::number("@");
    static const int firstVowel = englishphones::number("i:");
    static const int uu = englishphones::number("u:");
    for (std::size_t i = 0; i + 1 < sentence.size(); ++i) {
        EnglishWord& w = sentence[i];
        const EnglishWord& next = sentence[i + 1];
        if (w.count != 2 || w.phones[1] != schwa) continue;
        if (next.isPause() || next.count == 0 || next.phones[0] < firstVowel) continue;
        const std::string word = lowerAscii(w.text);
        if (word == "the") w.phones[1] = static_cast<uint16_t>(firstVowel);
        else if (word == "to") w.phones[1] = static_cast<uint16_t>(uu);
    }
}

} // namespace

std::string defaultEnglishDictionaryPath() {
    // The user's copy, else the installation's (an installed program works
    // before the user's data folder has been set up).
    std::string own = speechFilesFolder() + "/English/english.dat";
    std::error_code ec;
    if (std::filesystem::exists(platform::nativePath(own), ec)) return own;
    std::string shipped = installedDataFolder() + "/english/english.dat";
    return std::filesystem::exists(platform::nativePath(shipped), ec) ? shipped : own;
}

EnglishFrontEnd::EnglishFrontEnd(std::string dictionaryPath)
    : dictionary_(std::move(dictionaryPath)), normaliser_(std::make_unique<EnglishNormaliser>(
          [this](const std::string& word) { return !dictionary_.Lookup(word).empty(); })),
      normalised_(std::make_unique<NormalisedText>()) {}

EnglishFrontEnd::~EnglishFrontEnd() = default;

std::string EnglishFrontEnd::Convert(std::string_view input) {
    std::string all;
    ConvertSentences(input, [&](PhonemeRecordList&& piece, std::vector<WordMark>&&) { piece.writeTo(all); });
    return all;
}

std::string EnglishFrontEnd::Convert(std::u16string_view input) {
    std::string all;
    ConvertSentences(input, [&](PhonemeRecordList&& piece, std::vector<WordMark>&&) { piece.writeTo(all); });
    return all;
}

void EnglishFrontEnd::ConvertSentences(std::string_view input, const SentenceHandler& each) {
    // Latin-1 widens to UTF-16 one byte a code unit, so offsets stay the same.
    std::u16string wide(input.size(), u' ');
    for (std::size_t i = 0; i < input.size(); ++i) wide[i] = static_cast<unsigned char>(input[i]);
    ConvertSentences(std::u16string_view(wide), each);
}

void EnglishFrontEnd::ConvertSentences(std::u16string_view input, const SentenceHandler& each) {
    dictionary_.open(); // picks up a dictionary installed since the last call
    sentence_.clear();
    PhonemeRecordList result;
    // Words of the sentence being gathered: their place in the input and
    // their first record.
    std::vector<WordMark> marks;
    auto sendSentence = [&] {
        // The sentence's first line is its opening pause; a pause record is
        // one line, a word one line per phone.
        std::vector<WordMark> words;
        std::size_t line = 1, record = 0;
        for (WordMark m : marks) {
            for (; record < m.line && record < sentence_.size(); ++record)
                line += sentence_[record].isPause() ? 1 : static_cast<std::size_t>(sentence_[record].count);
            if (record < sentence_.size() && sentence_[record].isPause()) continue; // said nothing
            m.line = line;
            words.push_back(m);
        }
        marks.clear();
        weakFormsBeforeVowels(sentence_);
        appendSentenceOutput(result, sentence_, intonation_, rhythm_);
        return words;
    };
    NormalisedText& n = *normalised_;
    for (std::size_t from = 0; from < input.size();) {
        const std::size_t to = pieceEnd(input, from); // normalised piece by piece
        n.clear();
        normaliser_->normalise(input.substr(from, to - from), from, n);
        from = to;
        std::string_view text = trimBlanksView(n.text);
        while (!text.empty()) {
            const std::size_t split = text.find_first_of(kSplitCharacters);
            const std::string_view word = text.substr(0, split);
            const std::size_t before = sentence_.size();
            const int ends = ProcessWord(word, true);
            if (sentence_.size() > before) {
                // Several words said for one written token mark it once.
                const std::size_t at = static_cast<std::size_t>(word.data() - n.text.data());
                const std::size_t start = n.from[at], end = n.to[at + word.size() - 1];
                if (marks.empty() || marks.back().offset != start)
                    marks.push_back(WordMark{start, end > start ? end - start : 1, before});
            }
            // A word that ends a sentence sends the sentence out; so does a
            // sentence that grows without end, so that text without
            // punctuation is spoken piece by piece rather than held whole.
            if (ends == 1 || sentence_.size() >= kLongestSentence) {
                std::vector<WordMark> words = sendSentence();
                if (!result.empty()) each(std::exchange(result, {}), std::move(words));
            }
            text = split == std::string_view::npos ? std::string_view{} : trimBlanksView(text.substr(split + 1));
        }
    }
    std::vector<WordMark> words = sendSentence();
    if (!result.empty()) {
        PhonemeRecord closing = pauseRecord(100);
        closing.blankLineAfter = true;
        result.push_back(std::move(closing));
    }
    each(std::move(result), std::move(words));
}

int EnglishFrontEnd::processSingle(char c) {
    if (contains(kSentencePunctuation, c)) {
        sentence_.push_back(EnglishWord::pause(std::string(1, c), contains(kLongPause, c) ? "_ 600" : "_ 300"));
        return contains(kSentenceEnd, c) ? 1 : 0;
    }
    if (contains(kSymbols, c)) {
        SaySymbol(c);
    } else if (isDigit(c)) {
        SayNumber(c - '0');
    } else {
        // Single characters never go to the letter-to-sound rules.
        const std::string letter(1, c);
        std::string pronunciation = dictionary_.Lookup(letter);
        if (!pronunciation.empty())
            sentence_.push_back(EnglishWord::fromPronunciation(letter, std::move(pronunciation),
                                                               kPrimaryStressRaise, kSecondaryStressRaise));
    }
    return 0;
}

// Each pass of the loop is one step of the word's reading; a step that would
// go on with the rest of the word moves the cursor instead of recursing, so a
// word of any length is read in linear time and constant stack depth.
int EnglishFrontEnd::ProcessWord(std::string_view word, bool wordStart) {
    WordCursor w(word);
    bool sentenceEnds = false; // a leading character already ended the sentence
    auto finish = [&](int result) { return sentenceEnds ? 1 : result; };

    for (;;) {
        w.trimBlanks();
        if (w.empty()) return finish(0);
        const std::size_t last = w.end() - 1;
        if (isControl(w.at(last))) w.dropLast(); // a carriage return left by the split
        w.trimBlanks();
        if (w.empty()) return finish(0);

        std::size_t p = w.first();
        if (w.at(p) == kLetterNameMark) {
            const std::size_t letter = w.next(p);
            if (letter < w.end() && isAsciiLetter(w.at(letter))) {
                const int index = (w.at(letter) | 0x20) - 'a';
                sentence_.push_back(EnglishWord::fromPronunciation(
                    std::string(1, w.at(letter)), std::string(kLetterNames[static_cast<std::size_t>(index)]),
                    kPrimaryStressRaise, kSecondaryStressRaise));
                w.startAt(w.next(letter));
            } else {
                w.startAt(letter);
            }
            continue;
        }
        if (w.singleCharacter()) return finish(processSingle(w.at(p)));

        // A minus sign directly before a digit at the start of a word.
        if (wordStart && w.at(p) == '-' && isDigit(w.at(w.next(p)))) {
            say("minus");
            w.startAt(w.next(p));
            wordStart = false;
            continue;
        }
        wordStart = false;

        w.removeFirstHyphen();
        p = w.first();
        if (p == w.end()) return finish(0);

        if (isAsciiLetter(w.at(p)) && w.sizeAtMost(kLongestHeadword)) {
            std::string whole = w.copy();
            std::string pronunciation = dictionary_.Lookup(whole);
            // Words in capitals ("HELLO", "NASA") are found in lower case.
            if (pronunciation.empty() && hasInnerUpper(whole)) pronunciation = dictionary_.Lookup(lowerAscii(whole));
            if (!pronunciation.empty()) {
                sentence_.push_back(EnglishWord::fromPronunciation(std::move(whole), std::move(pronunciation),
                                                                   kPrimaryStressRaise, kSecondaryStressRaise));
                return finish(0);
            }
        }

        if (isDigit(w.at(p))) {
            readNumber(w);
            continue;
        }

        const std::size_t b = w.findFirstOf(kBreakCharacters);
        if (b == p) {
            if (!contains(kQuotes, w.at(p)) && processSingle(w.at(p)) == 1) sentenceEnds = true;
            w.startAt(w.next(p));
            continue;
        }
        if (b < w.end()) {
            ProcessWord(w.copy(p, b)); // holds no break character, so this does not nest further
            w.startAt(b);
            continue;
        }
        if (!isAsciiLetter(w.at(p))) { // leading brackets, non-ASCII bytes and the like
            w.startAt(w.next(p));
            continue;
        }
        std::string whole = w.copy();
        std::string codes = rules_.Convert(whole);
        if (!codes.empty()) sentence_.push_back(EnglishWord::fromCodes(std::move(whole), std::move(codes)));
        return finish(0);
    }
}

} // namespace vorsan
