#include "vorsan/core/MappedFile.h"

#include "vorsan/core/Platform.h"
#include "vorsan/core/RegularFile.h"

namespace vorsan {

MappedFile::MappedFile(const std::string& path, bool populate) {
    const RegularFile file(path);
    if (file.open() && file.size() > 0) {
        const auto size = static_cast<std::size_t>(file.size());
        data_ = platform::mapFile(file.descriptor(), size, populate);
        if (data_) size_ = size;
    }
}

MappedFile::~MappedFile() {
    platform::unmapFile(data_, size_);
}

} // namespace vorsan
