#include "WordListFile.h"

#include <algorithm>

#include "vorsan/core/CompiledCache.h"
#include "vorsan/core/Text.h"

namespace vorsan {

std::unique_ptr<const WordListFile> WordListFile::forRuleFile(const std::string& ruleFile) {
    constexpr std::string_view kXml = ".xml";
    if (!std::string_view(ruleFile).ends_with(kXml)) return nullptr;
    std::optional<std::string> bytes = compiledcache::readFile(ruleFile.substr(0, ruleFile.size() - kXml.size()) + ".words");
    if (!bytes) return nullptr;
    return std::make_unique<const WordListFile>(std::move(*bytes));
}

WordListFile::WordListFile(std::string bytes) : bytes_(std::move(bytes)) {
    // Every line ends with a line feed, the last one too, so a line is the
    // bytes from its start to the next line feed.
    if (!bytes_.empty() && bytes_.back() != '\n') bytes_.push_back('\n');
    for (std::size_t at = 0; at < bytes_.size();) {
        const std::size_t end = bytes_.find('\n', at);
        if (end > at) starts_.push_back(static_cast<uint32_t>(at));
        at = end + 1;
    }
    auto less = [this](uint32_t a, uint32_t b) { return line(a) < line(b); };
    if (!std::is_sorted(starts_.begin(), starts_.end(), less)) std::sort(starts_.begin(), starts_.end(), less);
}

std::string_view WordListFile::line(std::size_t start) const {
    const std::string_view rest = std::string_view(bytes_).substr(start);
    std::string_view l = rest.substr(0, rest.find('\n'));
    if (l.ends_with('\r')) l.remove_suffix(1);
    return l;
}

bool WordListFile::contains(char mark, std::u16string_view word) const {
    std::string key(1, mark);
    key += utf16ToUtf8(word);
    auto it = std::lower_bound(starts_.begin(), starts_.end(), key,
                               [this](uint32_t a, const std::string& k) { return line(a) < k; });
    return it != starts_.end() && line(*it) == key;
}

} // namespace vorsan
