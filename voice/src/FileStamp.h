#pragma once
// A file's modification time and size, taken with one stat: enough to tell
// that a file was rewritten since it was last read, cheaply enough to ask
// before every message.
#include <string>

#include "vorsan/core/Platform.h"

namespace vorsan::voice {

struct FileStamp {
    platform::FileStamp stamp; // exists false: no such file

    static FileStamp of(const std::string& path) { return {platform::fileStamp(path)}; }
    bool operator==(const FileStamp&) const = default;
};

} // namespace vorsan::voice
