// Fuzz target: word conversion of arbitrary UTF-16 text (the input's bytes
// taken as little-endian code units) through the shipped Hindi rule file.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "vorsan/core/MException.h"
#include "vorsan/language/LanguageRuleBase.h"

namespace {
std::unique_ptr<vorsan::LanguageRuleBase> hindi;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    hindi = vorsan::LanguageRuleBase::load(vorsan::fuzz::dataFile("pelmira/newPelmiraHindi.xml"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::u16string word(size / 2, u'\0');
    for (std::size_t i = 0; i < word.size(); ++i)
        word[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    try {
        (void)hindi->convertWord(word);
    } catch (const vorsan::MException&) {
        // A rank tie in the rule file is reported, not a fault of the code.
    }
    return 0;
}
