#include "SymbolNaming.h"

#include <vector>

#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"

namespace vorsan::speechd {

SymbolNamer symbolNamer(const SpeechEngine& engine, const std::string& messageLanguage) {
    struct Script {
        std::string language;
        char32_t first, last;
    };
    std::vector<Script> scripts; // the message's language first
    for (const LanguageDescription& d : engine.describeLanguages()) {
        if (d.scriptStart == 0 && d.scriptEnd == 0) continue; // the built-in English: Latin
        const Script s{d.name, d.scriptStart, d.scriptEnd};
        if (d.name == messageLanguage) scripts.insert(scripts.begin(), s);
        else scripts.push_back(s);
    }
    return [&engine, scripts = std::move(scripts), messageLanguage](char symbol, char32_t context) -> std::string {
        std::string language = messageLanguage;
        if (context != 0 && context < 0x80) return {}; // Latin text: English names
        if (context != 0) {
            for (const Script& s : scripts)
                if (context >= s.first && context <= s.last) {
                    language = s.language;
                    break;
                }
        }
        if (language.empty()) return {};
        try {
            return utf16ToUtf8(engine.symbolName(language, static_cast<unsigned char>(symbol)));
        } catch (const MException&) {
            return {}; // a language whose tables cannot be read keeps the English name
        }
    };
}

} // namespace vorsan::speechd
