#pragma once
// Opening a data file so that nothing but a regular file is read. A device
// reports a size of 0 and never ends (/dev/zero), a FIFO blocks the open and
// every read: the file is opened without blocking, then the open descriptor
// (not the name, which may change meanwhile) must be a regular file. Reads
// stop one byte past the limit, whatever size the file reports.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vorsan {

class RegularFile {
public:
    enum class State { Open, Missing, NotRegular };

    // Opens `path` read-only; state() says whether that gave a regular file.
    explicit RegularFile(const std::string& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    State state() const { return state_; }
    bool open() const { return state_ == State::Open; }
    // The descriptor (blocking reads again), -1 unless open().
    int descriptor() const { return fd_; }
    // The size the file reported when it was opened.
    std::uintmax_t size() const { return size_; }
    // The descriptor, now the caller's to close.
    int release();

    // Reads from the current position to the end, but no more than
    // maxBytes + 1 bytes: a result longer than maxBytes means the file is
    // too large. False on a read error.
    bool readAll(std::string& out, std::size_t maxBytes);

private:
    int fd_ = -1;
    State state_ = State::Missing;
    std::uintmax_t size_ = 0;
};

// "File '<path>' is not a regular file": the refusal every data file loader
// gives for a device, FIFO, socket or folder.
std::string notRegularMessage(const std::string& path);

} // namespace vorsan
