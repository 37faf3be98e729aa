#include "vorsan/core/PhoneLines.h"

#include "vorsan/core/Text.h"

namespace vorsan {

bool LineCursor::next(std::string_view& line) {
    if (done_) return false;
    const std::size_t lf = rest_.find('\n');
    if (lf == std::string_view::npos) {
        line = rest_;
        done_ = true;
    } else {
        line = rest_.substr(0, lf);
        rest_.remove_prefix(lf + 1);
    }
    return true;
}

bool nextToken(std::string_view& line, std::string_view& token) {
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        line = {};
        return false;
    }
    std::size_t end = line.find(' ', start);
    if (end == std::string_view::npos) end = line.size();
    token = line.substr(start, end - start);
    line.remove_prefix(end);
    return true;
}

bool isBlankLine(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

PhoneLine cutPhoneLine(std::string_view line, std::string& tail) {
    PhoneLine out;
    tail.clear();
    std::string_view token;
    if (!nextToken(line, token)) return out;
    out.name = token;
    out.tokens = 1;
    if (!nextToken(line, token)) return out;
    out.duration = scanInt(token);
    out.tokens = 2;
    while (nextToken(line, token)) {
        tail.append(token);
        tail.push_back(' ');
    }
    return out;
}

} // namespace vorsan
