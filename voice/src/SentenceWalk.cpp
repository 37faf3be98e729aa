#include "SentenceWalk.h"

namespace vorsan::voice {

namespace {
constexpr std::u16string_view kLeading = u"(\"{'[";
constexpr std::u16string_view kTrailing = u",\";:)}'].!?\u0964\u0965";
constexpr std::u16string_view kSentenceEnds = u".!?\u0964\u0965";
constexpr std::u16string_view kImplicitStop = u".";

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v'; }
bool in(std::u16string_view set, char16_t c) { return set.find(c) != std::u16string_view::npos; }
} // namespace

SentenceWalk::SentenceWalk(const sapi::SPVTEXTFRAG* first) : fragment_(first) {}

void SentenceWalk::advanceFragment() {
    fragment_ = fragment_->pNext;
    at_ = 0;
}

bool SentenceWalk::next(std::vector<SentenceItem>& items) {
    items.clear();
    if (!fragment_) return false;
    while (fragment_) {
        const sapi::SPVTEXTFRAG& f = *fragment_;
        const std::u16string_view text(f.pTextStart ? sapi::units(f.pTextStart) : u"", f.pTextStart ? f.ulTextLen : 0);
        auto item = [&](std::size_t from, std::size_t length) {
            items.push_back({&f.State, text.substr(from, length), static_cast<ULONG>(f.ulTextSrcOffset + from),
                             static_cast<ULONG>(length), &f});
        };
        if (f.State.eAction != sapi::SPVA_Speak) {
            item(0, text.size());
            advanceFragment();
            continue;
        }
        while (at_ < text.size() && isSpace(text[at_])) ++at_;
        if (at_ >= text.size()) {
            advanceFragment();
            continue;
        }
        std::size_t begin = at_, end = at_;
        while (end < text.size() && !isSpace(text[end])) ++end;
        at_ = end;
        std::vector<SentenceItem> trailing;
        bool ends = false;
        for (; begin < end && in(kLeading, text[begin]); ++begin) item(begin, 1);
        std::size_t middleEnd = end;
        while (middleEnd > begin && in(kTrailing, text[middleEnd - 1])) {
            --middleEnd;
            ends = ends || in(kSentenceEnds, text[middleEnd]);
        }
        if (middleEnd > begin) item(begin, middleEnd - begin);
        for (std::size_t i = middleEnd; i < end; ++i) item(i, 1);
        // The end of the whole text ends the sentence, with a full stop when
        // it has none.
        std::size_t rest = at_;
        while (rest < text.size() && isSpace(text[rest])) ++rest;
        const bool lastToken = rest >= text.size() && !f.pNext;
        if (lastToken && !ends) {
            items.push_back({&f.State, kImplicitStop, static_cast<ULONG>(f.ulTextSrcOffset + end), 0, &f});
            ends = true;
        }
        if (at_ >= text.size()) advanceFragment();
        if (ends) break;
    }
    return !items.empty() || fragment_;
}

bool isWordItem(const SentenceItem& item) {
    if (item.action() != sapi::SPVA_Speak || item.text.empty() || item.sourceLength == 0) return false;
    const char16_t c = item.text.front();
    if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) return true;
    // Letters and digits of the Indian scripts and the rest of Unicode's
    // letters; punctuation blocks and the dandas are not words.
    if (c < 0xC0) return false;
    if (c >= 0x2000 && c <= 0x2BFF) return false; // punctuation, symbols, arrows, shapes
    if (c == 0x0964 || c == 0x0965) return false;
    return !(c >= 0xD800 && c <= 0xDFFF) || (c >= 0xD800 && c <= 0xDBFF);
}

} // namespace vorsan::voice
