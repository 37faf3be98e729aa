#include "vorsan/core/Text.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include <utf8.h>

namespace vorsan {

namespace {
template <class S>
S trimImpl(S s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}
} // namespace

std::string trimBlanks(std::string_view s) { return std::string(trimImpl(s)); }
std::u16string trimBlanks(std::u16string_view s) { return std::u16string(trimImpl(s)); }

std::u16string utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    if (utf8::is_valid(s.begin(), s.end())) {
        utf8::unchecked::utf8to16(s.begin(), s.end(), std::back_inserter(out));
        return out;
    }
    std::string valid;
    valid.reserve(s.size() + 16);
    utf8::replace_invalid(s.begin(), s.end(), std::back_inserter(valid), 0xFFFD);
    utf8::unchecked::utf8to16(valid.begin(), valid.end(), std::back_inserter(out));
    return out;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    utf8::unchecked::append(c, std::back_inserter(out));
}

std::string utf16ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    const auto isHigh = [](char32_t c) { return c >= 0xD800 && c <= 0xDBFF; };
    const auto isLow = [](char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (isHigh(cp) && i + 1 < s.size() && isLow(s[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (isHigh(cp) || isLow(cp)) {
            cp = 0xFFFD; // a lone surrogate
        }
        utf8::unchecked::append(cp, std::back_inserter(out));
    }
    return out;
}

std::string narrowLatin1(std::u16string_view s) {
    std::string out(s.size(), ' ');
    for (std::size_t i = 0; i < s.size(); ++i)
        if (s[i] < 256) out[i] = static_cast<char>(s[i]);
    return out;
}

std::u16string widenLatin1(std::string_view s) {
    std::u16string out(s.size(), u' ');
    for (std::size_t i = 0; i < s.size(); ++i) out[i] = static_cast<unsigned char>(s[i]);
    return out;
}

int32_t readLeadingInt(std::string_view s) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    int64_t v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        v = v * 10 + (s[i] - '0');
        if (v > std::numeric_limits<int32_t>::max()) v = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

int32_t scanInt(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' || s[i] == '\f' || s[i] == '\v'))
        ++i;
    return readLeadingInt(s.substr(i));
}

std::u16string toU16(std::string_view ascii) { return widenLatin1(ascii); }

bool isBlankUnit(char16_t c) { return c == u' ' || c == u'\n' || c == u'\t' || c == u'\r'; }

namespace {
bool endsSentence(char16_t c) { return c == u'.' || c == u'!' || c == u'?' || c == 0x0964 || c == 0x0965; }
} // namespace

std::size_t pieceEnd(std::u16string_view text, std::size_t from, std::size_t size) {
    if (from >= text.size() || text.size() - from <= size) return text.size();
    const std::size_t mark = from + size;
    for (std::size_t i = mark; i > mark - size / 4; --i)
        if (isBlankUnit(text[i]) && endsSentence(text[i - 1])) return i;
    const std::size_t stop = std::min(text.size(), mark + kLongestToken);
    std::size_t i = mark;
    while (i < stop && !isBlankUnit(text[i])) ++i;
    return i < stop ? i : text.size();
}

} // namespace vorsan
