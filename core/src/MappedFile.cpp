#include "vorsan/core/MappedFile.h"

#include <sys/mman.h>

#include "vorsan/core/RegularFile.h"

namespace vorsan {

MappedFile::MappedFile(const std::string& path, bool populate) {
    const RegularFile file(path);
    if (file.open() && file.size() > 0) {
        const auto size = static_cast<std::size_t>(file.size());
        void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | (populate ? MAP_POPULATE : 0), file.descriptor(), 0);
        if (p != MAP_FAILED) {
            data_ = static_cast<const char*>(p);
            size_ = size;
        }
    }
}

MappedFile::~MappedFile() {
    if (data_) ::munmap(const_cast<char*>(data_), size_);
}

} // namespace vorsan
