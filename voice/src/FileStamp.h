#pragma once
// A file's modification time and size, taken with one stat: enough to tell
// that a file was rewritten since it was last read, cheaply enough to ask
// before every message.
#include <sys/stat.h>

#include <string>

namespace vorsan::voice {

struct FileStamp {
    long long seconds = -1; // -1: no such file
    long long nanoseconds = 0;
    long long size = -1;

    static FileStamp of(const std::string& path) {
        struct stat s {};
        if (::stat(path.c_str(), &s) != 0) return {};
        return {static_cast<long long>(s.st_mtim.tv_sec), static_cast<long long>(s.st_mtim.tv_nsec),
                static_cast<long long>(s.st_size)};
    }
    bool operator==(const FileStamp&) const = default;
};

} // namespace vorsan::voice
