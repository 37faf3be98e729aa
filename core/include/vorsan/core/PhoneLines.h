#pragma once
// The line and token reader under the one phoneme-text reader
// (PhonemeRecordList::read).
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

} // namespace vorsan
