// Reading an accent (Oskalen) file into an AccentDatabase, from its compiled
// copy when one was made from the file's present bytes.
#include <charconv>
#include <cmath>
#include <optional>
#include <system_error>

#include "vorsan/accent/AccentDatabase.h"
#include "vorsan/core/CompiledCache.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/core/Xml.h"

namespace vorsan {

// The members of the records of an accent file's compiled copy, in encoding
// order.
VORSAN_CACHE_MEMBERS(AccentFileInfo, x.Title, x.Author, x.LastModifiedBy, x.Version, x.Description, x.Comment,
                     x.CreatedOn, x.LastModified, x.fromMbroladb, x.toMbroladb)
VORSAN_CACHE_MEMBERS(MbrolaInfo, x.fromMbroladb, x.toMbroladb, x.voice, x.pitch, x.time)
VORSAN_CACHE_MEMBERS(ToPhonem, x.name, x.durationPercent)
VORSAN_CACHE_MEMBERS(FromPhonem, x.name, x.targets)
VORSAN_CACHE_MEMBERS(RulePhonem, x.name, x.durationPercent)
VORSAN_CACHE_MEMBERS(ContextRule, x.name, x.phonemes)
VORSAN_CACHE_MEMBERS(RulePriority, x.number, x.rules)
VORSAN_CACHE_MEMBERS(RuleSound, x.name, x.priorities)
VORSAN_CACHE_MEMBERS(InventorySound, x.name, x.type, x.usage)

namespace {

using xml::DOMElement;

// Bump the version whenever the encoding or the tables change. Version 2:
// out-of-range values are refused on load, so copies of such files made by
// version 1 must not be used.
constexpr compiledcache::Kind kCacheKind{"ACNT", "accent", 2};

// What the numbers of an accent file can mean: durations of 0 to 10 s,
// ratios the synthesiser accepts, voice frequencies it can produce.
constexpr int32_t kMaxDurationMs = 10000;
constexpr double kMaxRatio = 100.0;
constexpr int32_t kMinVoiceHz = 4000;
constexpr int32_t kMaxVoiceHz = 192000;

// A decimal floating-point number read the way C's "%f" reads it: leading
// white space, optional sign, then the longest number prefix. Text that does
// not start with a number, and values that are not finite, give nullopt so
// the caller keeps its default ratio.
std::optional<float> scanFloat(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' || s[i] == '\f' ||
                            s[i] == '\v'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    // A second sign after the first one is not a number.
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) return std::nullopt;
    float value = 0.0f;
    auto [end, ec] = std::from_chars(s.data() + i, s.data() + s.size(), value, std::chars_format::general);
    if (ec != std::errc() || end == s.data() + i || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

} // namespace

// Builds the parts of an AccentDatabase from the document's elements. Every
// part is built afresh from its element, so a repeated top-level element
// replaces the earlier one.
class AccentFileReader {
public:
    explicit AccentFileReader(AccentDatabase& db) : db_(db) {}

    // The compiled copy holds every table the file gives.
    void encode(compiledcache::Writer& w) const {
        compiledcache::put(w, db_.fileInfo_);
        compiledcache::put(w, db_.mbrolaInfo_);
        compiledcache::put(w, db_.mapping_);
        compiledcache::put(w, db_.rules_);
        compiledcache::put(w, db_.fromInventory_);
        compiledcache::put(w, db_.toInventory_);
    }
    void decode(compiledcache::Reader& r) {
        compiledcache::get(r, db_.fileInfo_);
        compiledcache::get(r, db_.mbrolaInfo_);
        compiledcache::get(r, db_.mapping_);
        compiledcache::get(r, db_.rules_);
        compiledcache::get(r, db_.fromInventory_);
        compiledcache::get(r, db_.toInventory_);
    }

    void read(const DOMElement& root) {
        if (!xml::nameIs(root, u"dbMapper")) throw MException("Not a Oskalen file");
        bool haveMapping = false, haveFileInfo = false, haveMbrolaInfo = false, haveRules = false;
        for (const DOMElement* e : xml::childElements(root)) {
            if (xml::nameIs(*e, u"File_Information")) {
                db_.fileInfo_ = readFileInfo(*e);
                haveFileInfo = true;
            } else if (xml::nameIs(*e, u"Mbrola_Information")) {
                db_.mbrolaInfo_ = readMbrolaInfo(*e);
                haveMbrolaInfo = true;
            } else if (xml::nameIs(*e, u"mapping")) {
                db_.mapping_ = readMapping(*e);
                haveMapping = true;
            } else if (xml::nameIs(*e, u"dbrules")) {
                db_.rules_ = readRules(*e);
                haveRules = true;
            } else if (xml::nameIs(*e, u"fromMbrolaPhone")) {
                db_.fromInventory_ = readInventory(*e);
            } else if (xml::nameIs(*e, u"toMbrolaPhone")) {
                db_.toInventory_ = readInventory(*e);
            }
        }
        if (!haveMapping) throw MException("Error in Mapping data");
        if (!haveFileInfo) throw MException("Error in fileInfo data");
        if (!haveMbrolaInfo) throw MException("Error in mbrolaInfo data");
        if (!haveRules) throw MException("Error in dbrules data");
    }

private:
    static AccentFileInfo readFileInfo(const DOMElement& element) {
        AccentFileInfo info;
        struct Field {
            std::u16string_view name;
            std::string AccentFileInfo::*member;
        };
        static const Field kFields[] = {
            {u"Title", &AccentFileInfo::Title},
            {u"Author", &AccentFileInfo::Author},
            {u"LastModifiedBy", &AccentFileInfo::LastModifiedBy},
            {u"Version", &AccentFileInfo::Version},
            {u"Description", &AccentFileInfo::Description},
            {u"Comment", &AccentFileInfo::Comment},
            {u"CreatedOn", &AccentFileInfo::CreatedOn},
            {u"LastModified", &AccentFileInfo::LastModified},
            {u"fromMbroladb", &AccentFileInfo::fromMbroladb},
            {u"toMbroladb", &AccentFileInfo::toMbroladb},
        };
        for (const DOMElement* child : xml::childElements(element)) {
            auto value = xml::textUtf8(*child);
            if (!value) continue;
            for (const Field& f : kFields)
                if (xml::nameIs(*child, f.name)) info.*f.member = std::move(*value);
        }
        return info;
    }

    static MbrolaInfo readMbrolaInfo(const DOMElement& element) {
        MbrolaInfo info;
        for (const DOMElement* child : xml::childElements(element)) {
            auto value = xml::text(*child);
            if (!value) continue; // an empty element contributes nothing
            if (xml::nameIs(*child, u"fromMbroladb")) {
                info.fromMbroladb = utf16ToUtf8(*value);
            } else if (xml::nameIs(*child, u"toMbroladb")) {
                info.toMbroladb = utf16ToUtf8(*value);
            } else if (xml::nameIs(*child, u"Voice")) {
                info.voice = xml::intIn(*child, u"", *value, kMinVoiceHz, kMaxVoiceHz);
            } else if (xml::nameIs(*child, u"Pitch") || xml::nameIs(*child, u"Time")) {
                // Text that is no number keeps the default ratio; a number
                // must be a ratio the synthesiser can use.
                const auto f = scanFloat(utf16ToUtf8(*value));
                if (!f) continue;
                xml::requireIn(*child, u"", *value, *f, 1e-3, kMaxRatio);
                (xml::nameIs(*child, u"Pitch") ? info.pitch : info.time) = *f;
            }
        }
        return info;
    }

    static PhonemeMapping readMapping(const DOMElement& element) {
        PhonemeMapping mapping;
        for (const DOMElement* from : xml::childElements(element)) {
            if (!xml::nameIs(*from, u"fromPhonem")) continue;
            FromPhonem entry;
            entry.name = xml::attrUtf8(*from, u"fromPhonemName");
            for (const DOMElement* to : xml::childElements(*from)) {
                if (!xml::nameIs(*to, u"toPhonem")) continue;
                entry.targets.push_back(
                    {xml::attrUtf8(*to, u"toPhonemName"), xml::intIn(*to, u"toPhonemDuration", 0, kMaxDurationMs)});
            }
            std::string key = entry.name;
            mapping.try_emplace(std::move(key), std::move(entry)); // the first entry stays
        }
        return mapping;
    }

    static ContextRules readRules(const DOMElement& element) {
        ContextRules rules;
        for (const DOMElement* soundElement : xml::childElements(element)) {
            if (!xml::nameIs(*soundElement, u"Sound")) continue;
            RuleSound sound;
            sound.name = xml::attrUtf8(*soundElement, u"soundName");
            for (const DOMElement* priorityElement : xml::childElements(*soundElement)) {
                if (!xml::nameIs(*priorityElement, u"Priority")) continue;
                RulePriority priority;
                priority.number = xml::parseInt(xml::attr(*priorityElement, u"priorityName"));
                for (const DOMElement* ruleElement : xml::childElements(*priorityElement)) {
                    if (!xml::nameIs(*ruleElement, u"Rule")) continue;
                    ContextRule rule;
                    rule.name = xml::attrUtf8(*ruleElement, u"ruleName");
                    for (const DOMElement* p : xml::childElements(*ruleElement)) {
                        if (!xml::nameIs(*p, u"Phonem")) continue;
                        rule.phonemes.push_back(
                            {xml::attrUtf8(*p, u"PhonemName"), xml::intIn(*p, u"PhonemDuration", 0, kMaxDurationMs)});
                    }
                    std::string key = rule.name;
                    priority.rules.try_emplace(std::move(key), std::move(rule));
                }
                int32_t number = priority.number;
                sound.priorities.try_emplace(number, std::move(priority));
            }
            std::string key = sound.name;
            rules.try_emplace(std::move(key), std::move(sound));
        }
        return rules;
    }

    static PhonemeInventory readInventory(const DOMElement& element) {
        PhonemeInventory inventory;
        for (const DOMElement* s : xml::childElements(element)) {
            if (!xml::nameIs(*s, u"Sound")) continue;
            InventorySound sound;
            sound.name = xml::attrUtf8(*s, u"mbrolaPhonem");
            std::u16string type = xml::attr(*s, u"mbrolaType");
            // Only the first character counts; anything outside 8-bit range
            // cannot be a vowel mark.
            sound.type = type.empty() ? '\0' : type[0] < 256 ? static_cast<char>(type[0]) : '?';
            sound.usage = xml::attrUtf8(*s, u"mbrolaUsage");
            std::string key = sound.name;
            inventory.try_emplace(std::move(key), std::move(sound));
        }
        return inventory;
    }

    AccentDatabase& db_;
};

std::unique_ptr<AccentDatabase> AccentDatabase::load(const std::string& path) {
    // Reading is all a load needs, so read-only files are accepted.
    if (!xml::isReadableFile(path)) throw MException("File '" + path + "' not found/corrupted");
    // The compiled copy, when one was made from exactly these bytes, spares
    // the XML parsing.
    xml::checkSize(path, xml::kMaxAccentFileBytes); // before the whole file is read
    const std::optional<std::string> xmlBytes = compiledcache::readFile(path);
    if (xmlBytes) {
        std::unique_ptr<AccentDatabase> cached(new AccentDatabase());
        AccentFileReader reader(*cached);
        if (compiledcache::load(kCacheKind, path, *xmlBytes, [&reader](compiledcache::Reader& r) { reader.decode(r); }))
            return cached;
    }
    // Only a file that loaded gets a compiled copy.
    std::unique_ptr<AccentDatabase> db(new AccentDatabase());
    AccentFileReader reader(*db);
    xml::parseFile(path, xml::GuardStyle{}, [&](const DOMElement& root) { reader.read(root); },
                   xml::kMaxAccentFileBytes);
    if (xmlBytes)
        compiledcache::store(kCacheKind, path, *xmlBytes, [&reader](compiledcache::Writer& w) { reader.encode(w); });
    return db;
}

std::string AccentDatabase::key() const { return mbrolaInfo_.fromMbroladb + "_TO_" + mbrolaInfo_.toMbroladb; }

const MbrolaInfo& AccentDatabase::mbrolaInfo() const { return mbrolaInfo_; }

const AccentFileInfo& AccentDatabase::fileInfo() const { return fileInfo_; }

} // namespace vorsan
