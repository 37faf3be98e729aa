#include "VoiceTokens.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include "vorsan/automation/Creation.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/Text.h"

namespace vorsan::voice {

namespace {

// A token key from a language name: letters and digits kept, every run of
// anything else one underscore ("English (United States)" ->
// "English_United_States").
std::string keyPart(std::string_view name) {
    std::string out;
    for (char c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (plain) out += c;
        else if (!out.empty() && out.back() != '_') out += '_';
    }
    while (!out.empty() && out.back() == '_') out.pop_back();
    return out;
}

// The primary language ids a language identifier holds in its low ten bits;
// the sub-language of a token's identifier is the default one (1).
constexpr uint16_t kPrimaryLanguages = 0x3FF;
constexpr uint16_t kDefaultSubLanguage = 1 << 10;

} // namespace

std::string lcidText(uint16_t lcid) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(lcid));
    return buf;
}

std::vector<VoiceTokenRecord> voiceTokensOf(IVorsanAPI& engine, IVorsanSpeechStream& stream) {
    // Each language's identifier, as the engine answers for every primary
    // language: the first identifier that names a language is its own.
    std::map<std::u16string, uint16_t> ids;
    for (uint16_t primary = 1; primary <= kPrimaryLanguages; ++primary) {
        Bstr name;
        const uint16_t lcid = kDefaultSubLanguage | primary;
        if (stream.LanguageOfWindowsId(lcid, name.put()) == S_OK && !name.view().empty())
            ids.emplace(std::u16string(name.view()), lcid);
    }
    std::vector<VoiceTokenRecord> tokens;
    ComPtr<IMStringList> languages;
    if (FAILED(engine.get_AllSupportedLanguages(languages.put())) || !languages) return tokens;
    LONG count = 0;
    languages->get_Count(&count);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IMString> item;
        Bstr name;
        if (FAILED(languages->Item(i, item.put())) || FAILED(item->get_Name(name.put()))) continue;
        const auto id = ids.find(std::u16string(name.view()));
        if (id == ids.end()) continue; // a language Windows has no identifier for
        const std::string language = name.utf8();
        tokens.push_back({"Vorsan_" + keyPart(language), "Vorsan " + language, language, id->second});
    }
    return tokens;
}

std::vector<VoiceTokenRecord> voiceTokensOfInstallation(const std::string& installation) {
    ComPtr<IVorsanAPI> engine;
    ComPtr<IVorsanSpeechStream> stream;
    if (FAILED(CoCreateInstance(CLSID_VorsanAPI, nullptr, CLSCTX_INPROC_SERVER, IID_IVorsanAPI, engine.putVoid())) ||
        !engine || FAILED(engine.as(IID_IVorsanSpeechStream, stream)))
        return {};
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    const auto folder = platform::nativePath(installation + "/Speechfiles/Pelmira");
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".xml") files.push_back(it->path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        Bstr path(utf8ToUtf16(platform::utf8Path(file))), language;
        engine->AddLanguageDatabase(path.get(), language.put()); // a file that does not load gives no voice
    }
    return voiceTokensOf(*engine.get(), *stream.get());
}

} // namespace vorsan::voice
