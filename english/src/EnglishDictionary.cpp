// Halving search over the memory-mapped english.dat.
#include "vorsan/english/EnglishDictionary.h"

#include <utility>

#include "vorsan/core/Diagnostics.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/RegularFile.h"

namespace vorsan {
namespace {

constexpr std::size_t kLineLength = 128; // characters before CR LF

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

bool startsWithAsciiLetter(std::string_view w) {
    if (w.empty()) return false;
    const auto c = static_cast<unsigned char>(w[0]);
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The first blank-delimited token of `line` at or after `from`.
std::string_view tokenFrom(std::string_view line, std::size_t from) {
    std::size_t b = from;
    while (b < line.size() && isBlank(line[b])) ++b;
    std::size_t e = b;
    while (e < line.size() && !isBlank(line[e])) ++e;
    return line.substr(b, e - b);
}

// strcmp order: bytes compared as unsigned char, a prefix sorts first.
int compareBytes(std::string_view a, std::string_view b) {
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

EnglishDictionary::EnglishDictionary(std::string path) : path_(std::move(path)) { open(); }

EnglishDictionary::~EnglishDictionary() { close(); }

void EnglishDictionary::close() {
    platform::unmapFile(data_, size_);
    data_ = nullptr;
    size_ = 0;
    count_ = 0;
}

void EnglishDictionary::report(const std::string& line) {
    if (reported_) return;
    reported_ = true;
    diagnose(line);
}

bool EnglishDictionary::open() {
    if (data_ != nullptr) return true;
    // Only a regular file: a FIFO would block the open, a device has no size.
    RegularFile file(path_);
    if (!file.open()) {
        report("Error while opening dictionary file.");
        return false;
    }
    const int fd = file.release();
    const auto size = static_cast<std::size_t>(file.size());
    if (size == 0 || size % kRecordSize != 0) {
        platform::closeFile(fd);
        report("Error while reading dictionary file: " + path_ + " is " + std::to_string(size) +
               " bytes, not a whole number of 130-byte records.");
        return false;
    }
    const char* map = platform::mapFile(fd, size, false);
    platform::closeFile(fd);
    if (map == nullptr) {
        report("Error while opening dictionary file.");
        return false;
    }
    data_ = map;
    size_ = size;
    count_ = size / kRecordSize;
    return true;
}

std::string_view EnglishDictionary::headword(std::size_t record) const {
    return tokenFrom(std::string_view(data_ + record * kRecordSize, kLineLength), 0);
}

std::string_view EnglishDictionary::pronunciation(std::size_t record) const {
    return tokenFrom(std::string_view(data_ + record * kRecordSize, kLineLength), kPronunciationOffset);
}

std::string EnglishDictionary::Lookup(std::string_view word) const {
    if (!startsWithAsciiLetter(word) || data_ == nullptr) return {};
    if (word.size() > kLineLength) return {};

    std::size_t low = 0;
    std::size_t high = count_ - 1;
    std::size_t middle = high / 2;
    bool searching = true;
    int c = compareBytes(headword(middle), word);
    while (c != 0) {
        if (!searching) return {};
        if (c < 0) {
            low = middle;
            middle = middle + ((high - middle) + 1) / 2;
        } else {
            high = middle;
            middle = middle - ((middle - low) + 1) / 2;
        }
        c = compareBytes(headword(middle), word);
        if (c == 0) break;
        if (middle == high || middle == low) searching = false;
    }
    return std::string(pronunciation(middle));
}

} // namespace vorsan
