#include "vorsan/core/RegularFile.h"

#include <algorithm>
#include <utility>

#include "vorsan/core/Platform.h"

namespace vorsan {

RegularFile::RegularFile(const std::string& path) {
    switch (platform::openRegularFile(path, fd_, size_)) {
    case platform::Opened::Regular: state_ = State::Open; break;
    case platform::Opened::Missing: state_ = State::Missing; break;
    case platform::Opened::NotRegular: state_ = State::NotRegular; break;
    }
}

RegularFile::~RegularFile() {
    if (fd_ >= 0) platform::closeFile(fd_);
}

int RegularFile::release() { return std::exchange(fd_, -1); }

bool RegularFile::readAll(std::string& out, std::size_t maxBytes) {
    out.clear();
    if (fd_ < 0) return false;
    const std::size_t cap = maxBytes + 1;
    out.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(size_ + 1, cap)));
    std::size_t got = 0;
    for (;;) {
        if (got == out.size()) {
            if (got >= cap) break;
            out.resize(std::min(cap, out.size() * 2 + 4096));
        }
        const long n = platform::readSome(fd_, out.data() + got, out.size() - got);
        if (n < 0) {
            out.clear();
            return false;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return true;
}

std::string notRegularMessage(const std::string& path) { return "File '" + path + "' is not a regular file"; }

} // namespace vorsan
