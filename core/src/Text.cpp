#include "vorsan/core/Text.h"

#include <algorithm>
#include <limits>

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
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c >> 5) == 0x6 || (c >> 4) == 0xE || (c >> 3) == 0x1E) {
            len = (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : 4;
            char32_t v = len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
            bool ok = i + len <= n;
            for (std::size_t k = 1; ok && k < len; ++k) {
                unsigned char cc = static_cast<unsigned char>(s[i + k]);
                if ((cc >> 6) != 0x2) ok = false;
                else v = (v << 6) | (cc & 0x3F);
            }
            static const char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
            if (ok && v >= kMin[len] && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF)) cp = v;
            else len = 1;
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
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
