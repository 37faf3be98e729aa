#include "ConfigurationFile.h"

#include <charconv>

#include "vorsan/core/CompiledCache.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/core/Xml.h"

namespace vorsan::configfile {

VORSAN_CACHE_MEMBERS(Item, x.kind, x.location, x.pitch, x.time, x.voice, x.emotionDatabase, x.accentDatabase, x.mood,
                     x.on, x.naturalRhythm)

namespace {

// Bump whenever the encoding of Item changes.
constexpr compiledcache::Kind kKind{"CONF", "config", 2};

// A whole element text as a number (blanks around it allowed), or nothing.
template <typename T>
std::optional<T> parseNumberText(const std::string& s) {
    const std::string t = trimBlanks(s);
    T v{};
    auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size() || t.empty()) return std::nullopt;
    return v;
}

// One "PelmiraFile" element: the language file it names and the voice
// settings to give it. Settings that are missing or not numbers are left
// out (the language keeps the values a freshly loaded one has).
Item languageItem(const xml::DOMElement& e) {
    Item item;
    for (const auto* child : xml::childElements(e)) {
        // A number must be one the synthesiser accepts.
        const auto number = [&](auto& target) {
            target = parseNumberText<std::remove_reference_t<decltype(*target)>>(xml::textUtf8(*child).value_or(""));
            const bool isVoice = xml::nameIs(*child, u"Voice");
            if (target)
                xml::requireIn(*child, u"", xml::text(*child).value_or(u""), static_cast<double>(*target),
                               isVoice ? 4000.0 : 1e-3, isVoice ? 192000.0 : 100.0);
        };
        if (xml::nameIs(*child, u"location")) item.location = xml::textUtf8(*child).value_or("");
        else if (xml::nameIs(*child, u"Voice")) number(item.voice);
        else if (xml::nameIs(*child, u"Pitch")) number(item.pitch);
        else if (xml::nameIs(*child, u"Time")) number(item.time);
        else if (xml::nameIs(*child, u"RuvettaRef")) {
            item.emotionDatabase = xml::attrUtf8(*child, u"name");
            item.mood = xml::attr(*child, u"preferredEmotion");
        } else if (xml::nameIs(*child, u"OskalenRef")) {
            item.accentDatabase = xml::attrUtf8(*child, u"name");
        } else if (xml::nameIs(*child, u"Rhythm")) {
            item.naturalRhythm = trimBlanks(xml::textUtf8(*child).value_or("")) == "natural";
        }
    }
    return item;
}

std::vector<Item> readXml(const std::string& path) {
    std::vector<Item> items;
    xml::GuardStyle style;
    style.printXmlMessage = false;
    style.stdFailureLine = "Unknown Exception\n";
    style.printUnknownLine = true;
    xml::parseFile(path, style, [&](const xml::DOMElement& root) {
        if (!xml::nameIs(root, u"ZenloraConfig")) throw MException("Not a Tolvane file");
        for (const auto* section : xml::childElements(root)) {
            if (xml::nameIs(*section, u"Pelmira")) {
                for (const auto* e : xml::childElements(*section)) items.push_back(languageItem(*e));
            } else if (xml::nameIs(*section, u"Ruvetta") || xml::nameIs(*section, u"Oskalen")) {
                const Item::Kind kind = xml::nameIs(*section, u"Ruvetta") ? Item::Kind::Emotion : Item::Kind::Accent;
                for (const auto* e : xml::childElements(*section)) {
                    Item item;
                    item.kind = kind;
                    item.location = xml::attrUtf8(*e, u"location");
                    items.push_back(std::move(item));
                }
            } else if (xml::nameIs(*section, u"PrimaryLanguage")) {
                Item item;
                item.kind = Item::Kind::Primary;
                item.location = xml::textUtf8(*section).value_or("");
                items.push_back(std::move(item));
            } else if (xml::nameIs(*section, u"ChooseLanguageBySentence")) {
                // Optional (older files lack it: on); any text but "true" turns it off.
                Item item;
                item.kind = Item::Kind::ChooseBySentence;
                item.on = xml::parseBool(xml::text(*section).value_or(u""));
                items.push_back(std::move(item));
            }
        }
    }, xml::kMaxConfigurationBytes);
    return items;
}

} // namespace

std::vector<Item> read(const std::string& path) {
    xml::checkSize(path, xml::kMaxConfigurationBytes);
    const std::optional<compiledcache::Stamp> stamp = compiledcache::stampFile(path);
    std::vector<Item> items;
    if (stamp && compiledcache::load(kKind, path, *stamp, [&](compiledcache::Reader& r) { compiledcache::get(r, items); }))
        return items;
    items = readXml(path);
    if (stamp) compiledcache::store(kKind, path, *stamp, [&](compiledcache::Writer& w) { compiledcache::put(w, items); });
    return items;
}

} // namespace vorsan::configfile
