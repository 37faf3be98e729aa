// Fuzz target: the language rule file loader on arbitrary bytes, then word
// conversion with whatever it loaded. Input: the file, optionally followed by
// a NUL byte and UTF-8 words to convert (else a few fixed Devanagari words
// with digits).
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/language/LanguageRuleBase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    auto [file, text] = vorsan::fuzz::splitAtNul(data, size);
    const std::string path = vorsan::fuzz::writeTemp("rules.xml", file);
    std::unique_ptr<vorsan::LanguageRuleBase> base;
    try {
        base = vorsan::LanguageRuleBase::load(path);
    } catch (const vorsan::MException&) {
        return 0;
    }
    const std::u16string words = text ? vorsan::utf8ToUtf16(*text) : std::u16string(u"कमल नमक १२३ किताब 45 मिल");
    std::size_t start = 0;
    while (start <= words.size()) {
        std::size_t end = words.find(u' ', start);
        if (end == std::u16string::npos) end = words.size();
        try {
            (void)base->convertWord(std::u16string_view(words).substr(start, end - start));
        } catch (const vorsan::MException&) {
            // A rank tie in the rule file is reported, not a fault.
        }
        start = end + 1;
    }
    for (char16_t c : words) (void)base->claims(c);
    return 0;
}
