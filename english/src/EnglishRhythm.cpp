// A natural English rhythm. Every phone starts from its mean duration in
// natural speech (RhythmDurations.h) and is scaled by the classic factors of
// English timing (Klatt, "Linguistic uses of segmental duration in English",
// JASA 59, 1976; Klatt 1979 duration rules):
//   - a vowel under primary stress is held longer, under secondary stress a
//     little longer, and an unstressed full vowel is shortened;
//   - function words (a dictionary word with no stressed syllable: the, a,
//     to, of, and ...) are said quickly;
//   - vowels shorten as a word has more syllables;
//   - the last syllable before a pause or the sentence's end (its vowel and
//     the consonants after it) is lengthened, which tells a listener where a
//     phrase ends.
// Word ends get no fixed extra time: words join as in connected speech.
// The t that a "tch" spelling puts before tS ("catch") is only the start
// of tS's own closure: it is given a few milliseconds, not a t's length,
// or the word is heard with a stop and a pause in it.
#include "EnglishRhythm.h"

#include <algorithm>
#include <cmath>

#include "RhythmDurations.h"

namespace vorsan::englishrhythm {
namespace {

constexpr int kFirstVowel = 57; // i:, the first vowel of the phone table
constexpr int kSchwa = 68;
constexpr int kTchClosureMs = 15;

struct Factors {
    double primary = 1.2;
    double secondary = 1.05;
    double unstressed = 0.85;   // a full vowel without stress in a content word
    double functionVowel = 0.8;
    double functionConsonant = 0.9;
    double perExtraSyllable = 0.07;
    double shortestInLongWords = 0.75;
    double phraseFinal = 1.35;
};

bool isVowel(int phone) { return phone >= kFirstVowel && phone <= englishphones::kLast; }

int meanDuration(int phone) {
    if (phone < englishphones::kFirst || phone > englishphones::kLast) return 0;
    return kMeanDurations[static_cast<std::size_t>(phone - englishphones::kFirst)];
}

// The word's stress, one value a phone: the dictionary's marks; a word the
// letter-to-sound rules made has none, so its first full vowel (else its
// first vowel) takes the primary stress, as most English words do.
std::vector<int32_t> stressOf(const EnglishWord& w) {
    std::vector<int32_t> s(w.stress.begin(), w.stress.begin() + w.count);
    if (w.lexicalStress) return s;
    int first = -1;
    for (int i = 0; i < w.count; ++i) {
        const int p = w.phones[static_cast<std::size_t>(i)];
        if (!isVowel(p)) continue;
        if (first < 0) first = i;
        if (p != kSchwa) {
            first = i;
            break;
        }
    }
    if (first >= 0) s[static_cast<std::size_t>(first)] = EnglishWord::kPrimaryRaise;
    return s;
}

} // namespace

std::vector<int> naturalDurations(const std::vector<EnglishWord>& sentence) {
    const Factors f;
    std::vector<int> out;
    for (std::size_t wi = 0; wi < sentence.size(); ++wi) {
        const EnglishWord& w = sentence[wi];
        if (w.isPause()) continue;
        const std::vector<int32_t> stress = stressOf(w);
        int vowels = 0, lastVowel = -1;
        bool stressed = false;
        for (int i = 0; i < w.count; ++i) {
            if (!isVowel(w.phones[static_cast<std::size_t>(i)])) continue;
            ++vowels;
            lastVowel = i;
            stressed = stressed || stress[static_cast<std::size_t>(i)] > 0;
        }
        const bool functionWord = !stressed;
        const bool phraseFinal = wi + 1 == sentence.size() || sentence[wi + 1].isPause();
        const double longWord = std::max(f.shortestInLongWords, 1.0 - f.perExtraSyllable * std::max(0, vowels - 1));
        for (int i = 0; i < w.count; ++i) {
            const int p = w.phones[static_cast<std::size_t>(i)];
            const int32_t s = stress[static_cast<std::size_t>(i)];
            double d = meanDuration(p);
            static const int t = englishphones::number("t"), tS = englishphones::number("tS");
            if (p == t && i + 1 < w.count && w.phones[static_cast<std::size_t>(i + 1)] == tS) {
                out.push_back(kTchClosureMs);
                continue;
            }
            if (isVowel(p)) {
                if (functionWord) d *= f.functionVowel;
                else if (s >= EnglishWord::kPrimaryRaise) d *= f.primary;
                else if (s > 0) d *= f.secondary;
                else if (p != kSchwa) d *= f.unstressed;
                d *= longWord;
            } else if (functionWord) {
                d *= f.functionConsonant;
            }
            if (phraseFinal && lastVowel >= 0 && i >= lastVowel) d *= f.phraseFinal;
            out.push_back(static_cast<int>(std::lround(d)));
        }
    }
    return out;
}

} // namespace vorsan::englishrhythm
