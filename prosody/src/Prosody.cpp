#include "vorsan/prosody/Prosody.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <cstdint>
#include <span>
#include <vector>

#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/normalise/Normalise.h"

namespace vorsan {

namespace {

constexpr std::u16string_view kWordDelimiters = u" \n\t?,;:!-";
constexpr int64_t kFrameMs = 20;
constexpr int64_t kPatternSpanMs = 10000; // 500 frames of 20 ms

std::u16string_view trimView(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
    return s;
}

struct Segment {
    std::u16string_view text;
    std::string typeName; // empty when unidentified
    bool unidentified = false;
};

enum class SegmentKind { Sentence, Clause };

// Cuts x into segments, each ending with the first identifier (of any type)
// found in the rest of the text. Each identifier's next occurrence is cached
// and searched again only once the cut has passed it, so the whole cut costs
// one pass over the text per identifier.
template <class TypeMap>
std::vector<Segment> identifySegments(std::u16string_view x, const TypeMap* types, SegmentKind kind) {
    constexpr std::size_t kUnsearched = std::u16string_view::npos - 1;
    std::vector<std::size_t> next;
    if (types)
        for (const auto& [name, type] : *types) next.insert(next.end(), type.identifiers.size(), kUnsearched);

    std::vector<Segment> segments;
    std::size_t start = 0;
    while (start < x.size()) {
        bool found = false;
        std::size_t bestPos = 0, bestEnd = 0;
        int32_t bestRank = 0;
        const std::string* bestName = nullptr;
        std::size_t k = 0;
        if (types) {
            for (const auto& [name, type] : *types) {
                bool typeFound = false;
                std::size_t pos = 0, end = 0;
                int32_t rank = 0;
                for (const Identifier& id : type.identifiers) {
                    std::size_t& cached = next[k++];
                    if (id.text.empty()) continue; // an empty identifier never matches
                    if (cached == kUnsearched || (cached != std::u16string_view::npos && cached < start))
                        cached = x.find(id.text, start);
                    if (cached == std::u16string_view::npos) continue;
                    if (!typeFound || cached < pos || (cached == pos && id.rank > rank)) {
                        typeFound = true;
                        pos = cached;
                        end = cached + id.text.size();
                        rank = id.rank;
                    } else if (cached == pos && id.rank == rank) {
                        throw MException("Two Identifier matched have same rank");
                    }
                }
                if (!typeFound) continue;
                if (!found || pos < bestPos || (pos == bestPos && rank > bestRank)) {
                    found = true;
                    bestPos = pos;
                    bestEnd = end;
                    bestRank = rank;
                    bestName = &name;
                } else if (pos == bestPos && rank == bestRank) {
                    throw MException(kind == SegmentKind::Sentence ? "Two sentence identifier matched have same rank"
                                                                   : "Two Clause identifier matched have same rank");
                }
            }
        }
        if (!found) {
            std::u16string_view rest = trimView(x.substr(start));
            if (!rest.empty()) segments.push_back(Segment{rest, {}, true});
            break;
        }
        segments.push_back(Segment{x.substr(start, bestEnd - start), *bestName, false});
        start = bestEnd;
    }
    return segments;
}

struct ClauseUnits {
    std::vector<PhonemeUnit> units;
    int64_t duration = 0;
    // Each word that has phones: its place in the clause text and its first unit.
    struct Word {
        std::size_t offset, length, unit;
    };
    std::vector<Word> words;
};

// The phones of every word of the text, each word closed by a boundary "_".
ClauseUnits wordUnits(std::u16string_view text, const LanguageRuleBase& language) {
    ClauseUnits out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && kWordDelimiters.find(text[i]) != std::u16string_view::npos) ++i;
        const std::size_t b = i;
        while (i < text.size() && kWordDelimiters.find(text[i]) == std::u16string_view::npos) ++i;
        if (i == b) break;
        std::vector<PhonemeUnit> word = language.convertWord(text.substr(b, i - b));
        if (word.empty()) continue;
        out.words.push_back({b, i - b, out.units.size()});
        for (auto& u : word) out.units.push_back(std::move(u));
        if (!isWordBoundary(out.units.back())) out.units.push_back(PhonemeUnit{"_", 0, {}});
    }
    for (const auto& u : out.units) out.duration += u.duration;
    return out;
}

// The end of a 10-second pattern that covers `duration` ms.
std::span<const int32_t> patternTail(const std::vector<int32_t>& pattern, int64_t duration) {
    std::span<const int32_t> all(pattern);
    if (duration >= kPatternSpanMs) return all;
    const int64_t n = static_cast<int64_t>(pattern.size());
    const int64_t from = std::clamp<int64_t>(n - (n * duration) / kPatternSpanMs, 0, n);
    return all.subspan(static_cast<std::size_t>(from));
}

// Phone records of the units with one pitch target per full 20 ms of each
// phone, taken from consecutive pattern values at equal steps of the phone.
void addTargets(PhonemeRecord& r, std::span<const int32_t> pattern, int64_t& k, int64_t& a) {
    int64_t n = r.duration / kFrameMs; // phones under 20 ms get no targets
    if (n <= 0) return;
    a += r.duration;
    const int64_t e = a / kFrameMs;
    if (e != k + n) n = e - k; // keeps the frame count from drifting
    if (n > 0) {
        const int64_t step = 100 / n;
        int64_t p = step;
        for (int64_t j = k; j < e; ++j) {
            if (j >= static_cast<int64_t>(pattern.size())) { // pattern exhausted: start it again
                k = 0;
                a = 0;
                break;
            }
            r.positions.push_back(static_cast<int32_t>(p));
            r.pitches.push_back(pattern[static_cast<std::size_t>(j)]);
            p += step;
        }
    }
    k += n;
}

void addPhoneRecords(PhonemeRecordList& out, const std::vector<PhonemeUnit>& units, std::span<const int32_t> pattern,
                     int64_t total, bool transcription) {
    int64_t k = 0; // next pattern frame
    int64_t a = 0; // duration spoken so far
    for (const auto& u : units) {
        PhonemeRecord r;
        r.name = u.name;
        if (transcription) {
            r.form = LineForm::Word;
        } else {
            r.duration = u.duration;
            if (!pattern.empty() && total != 0) addTargets(r, pattern, k, a);
        }
        out.push_back(std::move(r));
    }
}

// A pause: "_ 200" (a line ending at its duration), or "_" in a transcription.
PhonemeRecord pauseOf(int32_t pause, bool transcription) {
    return transcription ? pauseRecord(0, LineForm::Word) : pauseRecord(pause, LineForm::Short);
}

const std::vector<int32_t>& defaultPattern() {
    static const std::vector<int32_t> flat(500, 200);
    return flat;
}


} // namespace

namespace {

bool isNumberDigit(char16_t c, const LanguageRuleBase& language) {
    if (c >= u'0' && c <= u'9') return true;
    const CharacterTable* table = language.characters();
    return table && table->isDigit(c);
}

} // namespace

// Numbers as they are written inside running text. Indian and Western digit
// grouping (1,00,000 and 100,000) puts commas inside numbers: such a comma is
// neither a clause break nor a word break, so it is dropped and the number is
// spoken whole (a comma between a digit and a group of two or three digits
// that ends the number). A decimal point between digits is not a sentence
// end: when the language's number words name it (the entry "."), it becomes
// that word, and the digits after it are read one by one.
std::u16string normaliseNumbers(std::u16string_view text, const LanguageRuleBase& language,
                                std::vector<std::size_t>* origin) {
    const DigitWords* words = language.digitWords();
    const std::u16string* point = nullptr;
    if (words) {
        auto it = words->words.find(".");
        if (it != words->words.end()) point = &it->second;
    }
    std::u16string out;
    out.reserve(text.size());
    const std::size_t n = text.size();
    // Every character added takes the place of the input character i.
    std::size_t i = 0;
    auto add = [&](std::u16string_view piece) {
        out += piece;
        if (origin) origin->insert(origin->end(), piece.size(), i);
    };
    for (i = 0; i < n; ++i) {
        const bool afterDigit = i > 0 && isNumberDigit(text[i - 1], language);
        if (text[i] == u',' && afterDigit) {
            std::size_t j = i + 1;
            while (j < n && j - i <= 4 && isNumberDigit(text[j], language)) ++j;
            const std::size_t group = j - i - 1;
            const bool groupEnds = j == n || !isNumberDigit(text[j], language);
            if ((group == 2 || group == 3) && groupEnds) continue;
        }
        if (text[i] == u'.' && afterDigit && point && i + 1 < n && isNumberDigit(text[i + 1], language)) {
            add(u" ");
            add(*point);
            for (++i; i < n && isNumberDigit(text[i], language); ++i) {
                add(u" ");
                add(text.substr(i, 1));
            }
            --i;
            continue;
        }
        add(text.substr(i, 1));
    }
    if (origin) origin->push_back(n); // the end
    return out;
}

namespace {
// Text with no sentence end is cut at a word gap after this many characters,
// so a run without punctuation is converted and spoken piece by piece rather
// than held whole. Such text has the flat default contour, so the cut does
// not change its melody.
constexpr std::size_t kLongestPiece = 2000;

// Calls f for pieces of `text` of at most about kLongestPiece characters,
// cut at word gaps (a word longer than that is one piece).
template <class F>
void forEachPiece(std::u16string_view text, F&& f) {
    while (text.size() > kLongestPiece) {
        std::size_t cut = text.find_last_of(kWordDelimiters, kLongestPiece);
        if (cut == std::u16string_view::npos || cut == 0) cut = text.find_first_of(kWordDelimiters, kLongestPiece);
        if (cut == std::u16string_view::npos) break;
        f(text.substr(0, cut));
        text.remove_prefix(cut);
    }
    f(text);
}
} // namespace

void prosodySentences(std::u16string_view text, const LanguageRuleBase* language, bool transcription,
                      const SentenceHandler& each, bool opening) {
    if (!language) throw MException("getPhonem->language is null");
    PhonemeRecordList out;
    if (opening) out.push_back(pauseOf(200, transcription));
    std::vector<WordMark> words;

    // The text is normalised and cut into sentences a piece at a time, so the
    // first sentence of a long text is spoken without the rest being looked
    // at; pieces end after a sentence where one ends near their mark.
    std::vector<std::size_t> origin; // of the piece: where each character of `t` stands in `text`
    std::u16string t;

    auto flush = [&] {
        if (!out.empty()) each(std::exchange(out, {}), std::exchange(words, {}));
    };
    // Phone records of a clause's units, noting where its words begin.
    // A written token read as several words (a number, a symbol, a date)
    // is one word of the text: marked once, at its first word, over the
    // whole token. Its spoken words all stand for the token's first
    // character; the token ends where the text after them stands.
    std::size_t tokenFrom = std::u16string::npos, tokenTo = 0;
    auto tokenEnd = [&](std::size_t from, std::size_t k) {
        if (from == tokenFrom) return tokenTo;
        while (k + 1 < origin.size() && origin[k] <= from) ++k;
        tokenFrom = from;
        tokenTo = std::max(origin[k], from + 1);
        return tokenTo;
    };
    auto clauseLines = [&](std::u16string_view clause, const ClauseUnits& c, std::span<const int32_t> pattern) {
        if (!transcription) {
            const std::size_t at = static_cast<std::size_t>(clause.data() - t.data());
            for (const auto& w : c.words) {
                const std::size_t from = origin[at + w.offset];
                std::size_t to = origin[at + w.offset + w.length];
                if (to <= from) to = tokenEnd(from, at + w.offset + w.length);
                if (!words.empty() && words.back().offset == from) continue;
                words.push_back(WordMark{from, std::max(to, from + 1) - from, out.size() + w.unit});
            }
        }
        addPhoneRecords(out, c.units, pattern, c.duration, transcription);
    };
    auto pause = [&](int32_t ms) { out.push_back(pauseOf(ms, transcription)); };
    auto defaultConversion = [&](std::u16string_view piece) {
        forEachPiece(piece, [&](std::u16string_view part) {
            ClauseUnits c = wordUnits(part, *language);
            if (!c.units.empty()) clauseLines(part, c, defaultPattern());
            flush();
        });
    };
    const SentenceTypeTable* types = language->sentenceTypes();
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t to = pieceEnd(text, from);
        t = normaliseText(text.substr(from, to - from), *language, &origin);
        for (std::size_t& o : origin) o += from;
        from = to;
        for (char16_t& c : t)
            if (c == u'\n' || c == u'\r' || c == u'\t' || c == u'\f' || c == u'\v') c = u' ';
        const auto sentences = identifySegments(std::u16string_view(t), types, SegmentKind::Sentence);
        if (sentences.empty()) {
            defaultConversion(t);
            continue;
        }
        for (const Segment& s : sentences) {
            if (s.unidentified) {
                defaultConversion(s.text);
                continue;
            }
            const SentenceType& st = types->at(s.typeName);
            const auto clauses = identifySegments(s.text, &st.clauseTypes, SegmentKind::Clause);
            std::vector<ClauseUnits> units;
            units.reserve(clauses.size());
            for (const Segment& c : clauses) units.push_back(wordUnits(c.text, *language));
            for (std::size_t i = 0; i < clauses.size(); ++i) {
                const Segment& c = clauses[i];
                if (c.unidentified) {
                    clauseLines(c.text, units[i], patternTail(st.pitchPattern, units[i].duration));
                    continue;
                }
                const ClauseType& ct = st.clauseTypes.at(c.typeName);
                clauseLines(c.text, units[i], patternTail(ct.pitchPattern, units[i].duration));
                pause(ct.pause);
            }
            pause(st.pause);
            flush();
        }
    }
    flush();
}

std::string prosodyConversion(std::u16string_view text, const LanguageRuleBase* language, bool transcription) {
    std::string all;
    prosodySentences(text, language, transcription,
                     [&](PhonemeRecordList&& piece, std::vector<WordMark>&&) { piece.writeTo(all); });
    return all;
}

} // namespace vorsan
