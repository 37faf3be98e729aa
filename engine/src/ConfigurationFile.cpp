#include "ConfigurationFile.h"

#include "vorsan/core/CompiledCache.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/core/Xml.h"
#include "vorsan/engine/ConfigurationDocument.h"

namespace vorsan::configfile {

VORSAN_CACHE_MEMBERS(Item, x.kind, x.location, x.pitch, x.time, x.voice, x.emotionDatabase, x.accentDatabase, x.mood,
                     x.on, x.naturalRhythm)

namespace {

// Bump whenever the encoding of Item changes.
constexpr compiledcache::Kind kKind{"CONF", "config", 2};

// One "PelmiraFile" element: the language file it names and the voice
// settings to give it. Settings that are missing or not numbers are left
// out (the language keeps the values a freshly loaded one has); a number
// must be one the synthesiser accepts.
Item languageItem(const xml::DOMElement& e) {
    Language l = readLanguage(e, Numbers::forSynthesis);
    Item item;
    item.location = std::move(l.location);
    if (l.pitch) item.pitch = static_cast<float>(*l.pitch);
    if (l.time) item.time = static_cast<float>(*l.time);
    item.voice = l.voice;
    item.emotionDatabase = std::move(l.emotionDatabase);
    item.accentDatabase = std::move(l.accentDatabase);
    item.mood = std::move(l.mood);
    item.naturalRhythm = trimBlanks(l.rhythm) == "natural";
    return item;
}

std::vector<Item> readXml(const std::string& path) {
    std::vector<Item> items;
    xml::GuardStyle style;
    style.printXmlMessage = false;
    style.stdFailureLine = "Unknown Exception\n";
    style.printUnknownLine = true;
    xml::parseFile(path, style, [&](const xml::DOMElement& root) {
        if (!xml::nameIs(root, names::root)) throw MException("Not a Tolvane file");
        for (const auto* section : xml::childElements(root)) {
            if (xml::nameIs(*section, names::languages)) {
                for (const auto* e : xml::childElements(*section)) items.push_back(languageItem(*e));
            } else if (xml::nameIs(*section, names::emotions) || xml::nameIs(*section, names::accents)) {
                const bool emotions = xml::nameIs(*section, names::emotions);
                for (const auto* e : xml::childElements(*section)) {
                    Item item;
                    item.kind = emotions ? Item::Kind::Emotion : Item::Kind::Accent;
                    item.location = emotions ? readEmotion(*e).location : readAccent(*e).location;
                    items.push_back(std::move(item));
                }
            } else if (xml::nameIs(*section, names::primary)) {
                Item item;
                item.kind = Item::Kind::Primary;
                item.location = readPrimary(*section);
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
