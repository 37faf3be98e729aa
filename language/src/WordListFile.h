#pragma once
// A language's word list: the file beside its rule file, "<rule file without
// .xml>.words", of lines each a mark and a word ("+जन", "=आहे"), sorted by
// their UTF-8 bytes. The file is kept as read and searched in place, so
// loading it is one read and one pass for the line starts.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vorsan {

class WordListFile {
public:
    // The word list of the rule file, or null when it has none (or it cannot
    // be read).
    static std::unique_ptr<const WordListFile> forRuleFile(const std::string& ruleFile);
    // A list of the file's bytes; lines out of order are sorted.
    explicit WordListFile(std::string bytes);

    // Whether the list has the word with the mark.
    bool contains(char mark, std::u16string_view word) const;
    std::size_t size() const { return starts_.size(); }

private:
    std::string_view line(std::size_t i) const;
    std::string bytes_;
    std::vector<uint32_t> starts_; // each line's first byte, in sorted order
};

} // namespace vorsan
