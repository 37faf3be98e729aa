#pragma once
// Reader of the English pronunciation dictionary english.dat: fixed records
// of 130 bytes (128 characters, CR, LF), sorted by headword in byte order,
// headword from byte 0, pronunciation from byte 23. The file is mapped
// read-only and searched by halving; it is never copied into memory.
#include <cstddef>
#include <string>
#include <string_view>

namespace vorsan {

class EnglishDictionary {
public:
    static constexpr std::size_t kRecordSize = 130;
    static constexpr std::size_t kPronunciationOffset = 23;

    // Opens the file at once; a failure is reported on standard output once
    // and the dictionary then finds nothing.
    explicit EnglishDictionary(std::string path);
    ~EnglishDictionary();
    EnglishDictionary(const EnglishDictionary&) = delete;
    EnglishDictionary& operator=(const EnglishDictionary&) = delete;

    // Tries to open the file again when it is not open (for example after it
    // was installed); reports a failure only if none was reported before.
    bool open();
    bool isOpen() const { return data_ != nullptr; }
    std::size_t recordCount() const { return count_; }
    const std::string& path() const { return path_; }

    // The pronunciation of `word` (case-sensitive), empty when the word is
    // absent, does not begin with an ASCII letter, or the file is unusable.
    std::string Lookup(std::string_view word) const;

private:
    std::string_view headword(std::size_t record) const;
    std::string_view pronunciation(std::size_t record) const;
    void close();
    void report(const std::string& line);

    std::string path_;
    const char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t count_ = 0;
    bool reported_ = false;
};

} // namespace vorsan
