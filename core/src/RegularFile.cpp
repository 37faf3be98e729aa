#include "vorsan/core/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vorsan {

RegularFile::RegularFile(const std::string& path) {
    // O_NONBLOCK: a FIFO with no writer would otherwise block the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        state_ = State::NotRegular;
        return;
    }
    // Regular files never block; clear the flag all the same so later
    // reads behave as ordinary blocking reads.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    fd_ = fd;
    size_ = static_cast<std::uintmax_t>(st.st_size);
    state_ = State::Open;
}

RegularFile::~RegularFile() {
    if (fd_ >= 0) ::close(fd_);
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
        const ssize_t n = ::read(fd_, out.data() + got, out.size() - got);
        if (n < 0 && errno == EINTR) continue;
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
