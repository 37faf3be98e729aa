#pragma once
// A whole regular file mapped read-only into memory, unmapped when the object
// goes. Data files are read in place this way instead of being copied: the
// pages come straight from the page cache and are shared between processes.
#include <cstddef>
#include <string>
#include <string_view>

namespace vorsan {

class MappedFile {
public:
    // Maps `path`; `populate` reads every page in at once (for a file that
    // is read whole right away). A file that cannot be opened, is not a
    // regular file, is empty or cannot be mapped leaves the object empty.
    explicit MappedFile(const std::string& path, bool populate = false);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool mapped() const { return data_ != nullptr; }
    std::string_view bytes() const { return {data_, size_}; }

private:
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace vorsan
