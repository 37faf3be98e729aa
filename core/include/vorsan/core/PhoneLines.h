#pragma once
// Reading phoneme text line by line without building records: the one line
// and token reader every stage uses (records are built on it too).
#include <cstdint>
#include <string>
#include <string_view>

namespace vorsan {

// Walks the pieces of a text between line feeds (a last piece without a line
// feed included).
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : rest_(text) {}
    bool next(std::string_view& line);

private:
    std::string_view rest_;
    bool done_ = false;
};

// Takes the next space-separated token of `line` (runs of spaces are one
// separator; tabs and carriage returns stay inside tokens); false when none
// is left.
bool nextToken(std::string_view& line, std::string_view& token);

// True for a line of spaces and tabs only.
bool isBlankLine(std::string_view line);

// One line cut into its phone name, duration and canonical tail (every
// remaining token followed by one space).
struct PhoneLine {
    std::string_view name;
    int32_t duration = 0;
    int tokens = 0; // how many of name and duration were present (0..2)
};

// Cuts `line`; the tail is written into `tail` (cleared first). A duration
// without a leading number reads as 0.
PhoneLine cutPhoneLine(std::string_view line, std::string& tail);

} // namespace vorsan
