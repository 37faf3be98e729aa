// Phone records of one English sentence: one per phone with its duration (by
// the phone table, or by the natural rhythm of EnglishRhythm.cpp) and a pitch
// from the sentence's contour plus the phone's stress.
#include "EnglishRhythm.h"
#include "vorsan/english/EnglishWord.h"


namespace vorsan {
namespace {

enum class Contour { Flat, Falling, Rising };

// The short vowels I e { V Q U.
constexpr int kFirstShortVowel = 62;
constexpr int kLastShortVowel = 67;

std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool isWhQuestionWord(std::string_view text) {
    const std::string w = lowerAscii(text);
    return w == "why" || w == "where" || w == "what" || w == "how" || w == "who" || w == "when";
}

Contour chooseContour(const std::vector<EnglishWord>& sentence, bool intonationOn) {
    if (!intonationOn) return Contour::Flat;
    const std::string& last = sentence.back().text;
    if (last == "!") return Contour::Rising;
    if (last == ".") return Contour::Falling;
    if (last == "?") return isWhQuestionWord(sentence.front().text) ? Contour::Falling : Contour::Rising;
    return Contour::Flat;
}

} // namespace

void appendSentenceOutput(PhonemeRecordList& out, std::vector<EnglishWord>& sentence, const EnglishIntonation& tune,
                          EnglishRhythm rhythm) {
    out.push_back(pauseRecord(75));
    if (sentence.empty()) return;
    std::vector<int> natural;
    if (rhythm == EnglishRhythm::Natural) natural = englishrhythm::naturalDurations(sentence);
    const Contour contour = chooseContour(sentence, tune.on);
    long long total = 0;
    for (const EnglishWord& w : sentence) total += w.isPause() ? 0 : w.count;
    const long long span = tune.highHz - tune.lowHz;

    long long n = 0;
    for (const EnglishWord& w : sentence) {
        if (w.isPause()) {
            // A pause word's code is a phoneme-text line ("_ 600").
            PhonemeRecordList pause;
            pause.read(w.code);
            out.append(std::move(pause));
            continue;
        }
        for (int i = 0; i < w.count; ++i) {
            ++n;
            const int phone = w.phones[static_cast<std::size_t>(i)];
            const long long stress = tune.on ? w.stress[static_cast<std::size_t>(i)] : 0;
            long long pitch = tune.baseHz + stress;
            if (contour == Contour::Falling) pitch = tune.highHz + stress - (span * n) / total;
            else if (contour == Contour::Rising) pitch = tune.lowHz + stress + (span * n) / total;
            // A stressed short vowel is held longer: a fifth more for the
            // primary stress (raise 25), an eighth for the secondary (15).
            // Long vowels and diphthongs already have stressed lengths.
            int duration = englishphones::duration(phone);
            const int32_t raise = w.stress[static_cast<std::size_t>(i)];
            if (phone >= kFirstShortVowel && phone <= kLastShortVowel && raise > 0) duration += duration * raise / 125;
            if (i == w.count - 1) duration += 60;
            if (!natural.empty()) duration = natural[static_cast<std::size_t>(n - 1)];
            PhonemeRecord r;
            // Printed in the phone table's two-column cell ("h  57 ...").
            r.name = englishphones::name(phone);
            r.nameWidth = static_cast<uint8_t>(englishphones::cell(phone).size());
            r.duration = duration;
            r.positions.push_back(50);
            r.pitches.push_back(static_cast<int32_t>(pitch));
            out.push_back(std::move(r));
        }
    }
    sentence.clear();
}

std::string sentenceOutput(std::vector<EnglishWord>& sentence, const EnglishIntonation& tune, EnglishRhythm rhythm) {
    PhonemeRecordList out;
    appendSentenceOutput(out, sentence, tune, rhythm);
    return out.write();
}

} // namespace vorsan
