#include "vorsan/core/PhoneLines.h"


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

} // namespace vorsan
