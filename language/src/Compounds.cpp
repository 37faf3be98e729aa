#include "Compounds.h"

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

} // namespace vorsan
