#include "Compounds.h"

#include <algorithm>

namespace vorsan {

namespace {
// Marks that may close a word without being said: sentence marks, closing
// quotes and brackets.
bool isClosingMark(char16_t c) {
    return c == u'.' || c == u')' || c == u']' || c == u'"' || c == u'\'' || c == 0x0964 || c == 0x0965 ||
           (c >= 0x2018 && c <= 0x201F);
}
} // namespace

std::optional<CompoundSplit> splitCompound(std::u16string_view word, const ExactMatchTable& exact,
                                           const CharacterTable& table) {
    constexpr std::u16string_view kMark = u"-";
    auto it = exact.lower_bound(kMark);
    if (it == exact.end() || !it->first.starts_with(kMark)) return std::nullopt;
    std::size_t end = word.size();
    while (end > 0 && isClosingMark(word[end - 1])) --end;
    const std::u16string_view body = word.substr(0, end);
    const Rule* best = nullptr;
    std::size_t bestSize = 0;
    for (; it != exact.end() && it->first.starts_with(kMark); ++it) {
        const std::u16string_view member = std::u16string_view(it->first).substr(kMark.size());
        if (member.size() > bestSize && member.size() < body.size() && body.ends_with(member)) {
            best = &it->second;
            bestSize = member.size();
        }
    }
    if (!best || best->phones.empty()) return std::nullopt;
    const std::size_t first = body.size() - bestSize;
    if (first < 2) return std::nullopt;
    if (table.classify(body.substr(first - 1, 1)) == unit_type::kHalant) return std::nullopt;
    return CompoundSplit{first, best};
}

namespace {
bool isLetter(char type) { return type == unit_type::kConsonant || type == unit_type::kVowel; }

std::size_t letters(std::u16string_view word, const CharacterTable& table) {
    std::size_t n = 0;
    for (char16_t c : word) n += isLetter(table.classify(std::u16string_view(&c, 1)));
    return n;
}

// The last letter is a consonant with no vowel sign or halant after it (a
// nukta, which only changes the consonant's sound, may follow it).
bool endsInBareConsonant(std::u16string_view word, const CharacterTable& table) {
    std::size_t end = word.size();
    while (end > 0 && table.classify(word.substr(end - 1, 1)) == unit_type::kBaseFormCorrection) --end;
    return end > 0 && table.classify(word.substr(end - 1, 1)) == unit_type::kConsonant;
}

// Cuts that are mostly not compounds, from the Hindi word lists: a first
// member that starts with a vowel letter is mostly a prefix (उप|लब्ध,
// अज|नन); one with a conjunct keeps its final vowel as a word does not
// (कर्मक्षम, आत्मचरित); ह closing it is a stem that runs on (मेहनत); a
// second member that starts with a conjunct, or is a consonant and न (with
// or without a vowel sign), is a word ending or a stem's tail (वि|लक्षण,
// आक|लन, बरत|ने, हर|सना).
bool mayBeFirstMember(std::u16string_view word, const CharacterTable& table) {
    if (table.classify(word.substr(0, 1)) != unit_type::kConsonant || word.back() == u'\u0939') return false;
    for (char16_t c : word)
        if (table.classify(std::u16string_view(&c, 1)) == unit_type::kHalant) return false;
    return endsInBareConsonant(word, table);
}

bool mayBeSecondMember(std::u16string_view word, const CharacterTable& table) {
    if (!isLetter(table.classify(word.substr(0, 1)))) return false;
    std::size_t next = 1;
    while (next < word.size() && table.classify(word.substr(next, 1)) == unit_type::kBaseFormCorrection) ++next;
    if (next < word.size() && table.classify(word.substr(next, 1)) == unit_type::kHalant) return false;
    // The last letter of a two-letter member, with any vowel sign after it.
    std::size_t last = word.size();
    while (last > 0 && !isLetter(table.classify(word.substr(last - 1, 1)))) --last;
    return !(letters(word, table) == 2 && last > 0 && word[last - 1] == u'\u0928');
}
} // namespace

std::optional<std::size_t> splitListedCompound(std::u16string_view word, const WordListFile& words,
                                               const CharacterTable& table) {
    for (std::size_t cut = word.size() - std::min<std::size_t>(word.size(), 2); cut >= 2; --cut) {
        const std::u16string_view first = word.substr(0, cut), second = word.substr(cut);
        if (!mayBeFirstMember(first, table) || !mayBeSecondMember(second, table)) continue;
        if (letters(first, table) < 2 || letters(second, table) < 2) continue;
        if (words.contains('+', first) && words.contains('+', second)) return cut;
    }
    return std::nullopt;
}

} // namespace vorsan
