#pragma once
// A word being taken apart by the English front end, without copying it at
// every step: the bytes text[start, end) of the original word, in which every
// hyphen before `frontier` has been removed (the halves joined). Positions are
// indexes into the original word; every scan moves forward only, so taking a
// long word apart costs time linear in its length.
#include <string>
#include <string_view>

#include "vorsan/english/EnglishFrontEnd.h"

namespace vorsan {

class EnglishFrontEnd::WordCursor {
public:
    explicit WordCursor(std::string_view text) : s_(text), end_(text.size()) {}

    std::string_view text() const { return s_; }
    std::size_t end() const { return end_; }
    char at(std::size_t i) const { return s_[i]; }

    // Position of the first character of the (joined) word; end() when empty.
    std::size_t first() {
        normalize();
        return start_;
    }
    bool empty() { return first() == end_; }
    // Position of the character after the one at `i`.
    std::size_t next(std::size_t i) const { return skipRemoved(i + 1); }
    void startAt(std::size_t i) {
        start_ = i;
        normalize();
    }

    // Trims spaces and tabs at both ends.
    void trimBlanks() {
        normalize();
        while (start_ < end_ && isBlank(s_[start_])) start_ = skipRemoved(start_ + 1);
        while (end_ > start_ && (isBlank(s_[end_ - 1]) || removed(end_ - 1))) --end_;
    }
    void dropLast() {
        if (end_ > start_) --end_;
        normalize();
    }

    // True when the joined word holds at most `limit` characters.
    bool sizeAtMost(std::size_t limit) {
        std::size_t n = 0;
        for (std::size_t i = first(); i < end_; i = next(i))
            if (++n > limit) return false;
        return true;
    }
    bool singleCharacter() {
        const std::size_t p = first();
        return p < end_ && next(p) == end_;
    }

    // Joins the halves around the first hyphen still in the word.
    void removeFirstHyphen() {
        std::size_t q = frontier_ < start_ ? start_ : frontier_;
        while (q < end_ && s_[q] != '-') ++q;
        frontier_ = q < end_ ? q + 1 : end_;
        normalize();
    }

    // Position of the first character of `set` in the joined word (removed
    // hyphens are not part of it); end() when there is none.
    std::size_t findFirstOf(std::string_view set) {
        std::size_t i = first();
        if (scanFrom_ > i) i = scanFrom_;
        while (i < end_ && (removed(i) || set.find(s_[i]) == std::string_view::npos)) ++i;
        scanFrom_ = i;
        return i;
    }

    // The joined characters of [from, to).
    std::string copy(std::size_t from, std::size_t to) const {
        std::string out;
        out.reserve(to - from);
        for (std::size_t i = skipRemoved(from); i < to; i = next(i)) out.push_back(s_[i]);
        return out;
    }
    std::string copy() { return copy(first(), end_); }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t'; }
    bool removed(std::size_t i) const { return i >= start_ && i < frontier_ && s_[i] == '-'; }
    std::size_t skipRemoved(std::size_t i) const {
        while (i < end_ && i < frontier_ && s_[i] == '-') ++i;
        return i;
    }
    void normalize() {
        start_ = skipRemoved(start_);
        while (end_ > start_ && removed(end_ - 1)) --end_;
        if (frontier_ > end_) frontier_ = end_;
    }

    std::string_view s_;
    std::size_t start_ = 0;
    std::size_t end_;
    std::size_t frontier_ = 0; // hyphens in [start_, frontier_) are removed
    std::size_t scanFrom_ = 0; // no searched-for character in [start_, scanFrom_)
};

} // namespace vorsan
