#include "SymbolNaming.h"

#include <memory>
#include <optional>
#include <vector>

#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"

namespace vorsan::speechd {

SymbolNamer symbolNamer(const SpeechEngine& engine, const std::string& messageLanguage) {
    struct Script {
        std::string language;
        char32_t first, last;
    };
    // The scripts are read from the engine when the first symbol is named
    // (most messages name none), the message's language first.
    auto scripts = std::make_shared<std::optional<std::vector<Script>>>();
    const auto readScripts = [&engine, messageLanguage, scripts]() -> const std::vector<Script>& {
        if (!*scripts) {
            std::vector<Script> list;
            for (const LanguageDescription& d : engine.describeLanguages()) {
                if (d.scriptStart == 0 && d.scriptEnd == 0) continue; // the built-in English: Latin
                const Script s{d.name, d.scriptStart, d.scriptEnd};
                if (d.name == messageLanguage) list.insert(list.begin(), s);
                else list.push_back(s);
            }
            *scripts = std::move(list);
        }
        return **scripts;
    };
    return [&engine, readScripts, messageLanguage](char symbol, char32_t context) -> std::string {
        if (context != 0 && context < 0x80) return {}; // Latin text: English names
        std::string language = messageLanguage;
        if (context != 0) {
            for (const Script& s : readScripts())
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
