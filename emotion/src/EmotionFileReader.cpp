// Loading an emotion file ("MoodBase") into an EmotionDatabase, from its
// compiled copy when one was made from the file's present bytes.
#include <optional>
#include <string>

#include "vorsan/core/CompiledCache.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/core/Xml.h"
#include "vorsan/emotion/EmotionDatabase.h"

namespace vorsan {

// The members of the records of an emotion file's compiled copy, in encoding
// order.
VORSAN_CACHE_MEMBERS(EmotionFileInfo, x.Title, x.Author, x.LastModifiedBy, x.Version, x.Description, x.Comment,
                     x.CreatedOn, x.LastModified)
VORSAN_CACHE_MEMBERS(EmotionLanguage, x.LanguageName, x.MbrolaDatabase)
VORSAN_CACHE_MEMBERS(EmotionSetting, x.rate, x.contour, x.gradient, x.forPhraseAndWordAlso)
VORSAN_CACHE_MEMBERS(EmotionProfile, x.name, x.settings)

namespace {
// Bump the version whenever the encoding or the tables change.
// Version 2: values outside the settings' ranges are refused when the file
// loads, so a copy made by version 1 of such a file must not be used.
constexpr compiledcache::Kind kCacheKind{"MOOD", "moods", 2};

// The values each setting can mean: percentages of a pitch, a duration or a
// phrase ramp (up to ten times), jitter in percent, a gradient in semitones
// per second. Anything else (a negative rate in particular, which
// the unsigned arithmetic of applying a mood would turn into hours of
// speech) is refused.
struct Range {
    int32_t lo, hi;
};
constexpr Range kPercent{0, 1000};
constexpr Range kJitter{0, 100};
constexpr Range kGradient{0, 96};

Range rangeOf(std::size_t setting) {
    using S = EmotionProfile;
    if (setting == S::Jitter) return kJitter;
    return kPercent;
}
} // namespace

class EmotionFileReader {
public:
    explicit EmotionFileReader(EmotionDatabase& db) : db_(db) {}

    // The compiled copy holds every table the file gives, nothing derived.
    void encode(compiledcache::Writer& w) const {
        compiledcache::put(w, db_.info_);
        compiledcache::put(w, db_.language_);
        compiledcache::put(w, db_.sounds_);
        compiledcache::put(w, db_.emotions_);
    }
    void decode(compiledcache::Reader& r) {
        compiledcache::get(r, db_.info_);
        compiledcache::get(r, db_.language_);
        compiledcache::get(r, db_.sounds_);
        compiledcache::get(r, db_.emotions_);
    }

    void read(const xml::DOMElement& root) {
        readTexts(required(root, u"File_Information", "File_Information"),
                  {{u"Title", &db_.info_.Title},
                   {u"Author", &db_.info_.Author},
                   {u"LastModifiedBy", &db_.info_.LastModifiedBy},
                   {u"Version", &db_.info_.Version},
                   {u"Description", &db_.info_.Description},
                   {u"Comment", &db_.info_.Comment},
                   {u"CreatedOn", &db_.info_.CreatedOn},
                   {u"LastModified", &db_.info_.LastModified}});
        readTexts(required(root, u"Language", "Language"),
                  {{u"LanguageName", &db_.language_.LanguageName},
                   {u"MbrolaDatabase", &db_.language_.MbrolaDatabase}});
        readSoundData(required(root, u"SoundData", "SoundData"));
        readEmotions(required(root, u"EmotionData", "EmotionData"));
    }

private:
    struct TextField {
        std::u16string_view element;
        std::string* target;
    };

    static const xml::DOMElement& required(const xml::DOMElement& root, std::u16string_view name,
                                           const char* narrowName) {
        const xml::DOMElement* e = xml::firstChildNamed(root, name);
        if (!e) throw MException(std::string(narrowName) + " tag not found");
        return *e;
    }

    // Children matched by name in any order; a repeated name keeps the last
    // one read; empty elements contribute nothing.
    static void readTexts(const xml::DOMElement& parent, std::initializer_list<TextField> fields) {
        for (const auto* child : xml::childElements(parent))
            for (const auto& f : fields)
                if (xml::nameIs(*child, f.element))
                    if (auto t = xml::textUtf8(*child)) *f.target = std::move(*t);
    }

    void readSoundData(const xml::DOMElement& soundData) {
        for (const auto* classElement : xml::childElements(soundData)) {
            const auto soundClass = static_cast<int32_t>(soundClassFromName(xml::nodeName(*classElement)));
            for (const auto* phoneme : xml::childElements(*classElement)) {
                if (!xml::hasAttr(*phoneme, u"phonem")) continue;
                // The first class given for a phoneme stays.
                db_.sounds_.emplace(xml::attrUtf8(*phoneme, u"phonem"), soundClass);
            }
        }
    }

    void readEmotions(const xml::DOMElement& emotionData) {
        for (const auto* element : xml::childElements(emotionData)) {
            EmotionProfile profile = readEmotion(*element);
            // The first emotion of a name stays.
            std::string name = profile.name;
            db_.emotions_.emplace(std::move(name), std::move(profile));
        }
    }

    static EmotionProfile readEmotion(const xml::DOMElement& element) {
        using S = EmotionProfile;
        EmotionProfile p;
        p.name = xml::attrUtf8(element, u"name");
        const auto children = xml::childElements(element);
        if (children.size() < S::SettingCount)
            throw MException("Emotion '" + p.name + "' has " + std::to_string(children.size()) + " settings, " +
                             std::to_string(S::SettingCount) + " needed");
        // Settings are taken by position; the elements' names are not checked.
        for (std::size_t i = 0; i < S::SettingCount; ++i) {
            const auto& e = *children[i];
            EmotionSetting& s = p.settings[i];
            if (i == S::PitchContourStressed) {
                s.contour = contourFromText(xml::attr(e, u"contour"));
                s.gradient = xml::intIn(e, u"gradient", kGradient.lo, kGradient.hi);
                s.forPhraseAndWordAlso = xml::parseBool(xml::attr(e, u"forPhraseAndWordAlso"));
                continue;
            }
            if (i == S::PhraseContour) s.contour = contourFromText(xml::attr(e, u"contour"));
            s.rate = xml::intIn(e, u"rate", rangeOf(i).lo, rangeOf(i).hi);
            if (i == S::Stressed || i == S::NonStressed)
                s.forPhraseAndWordAlso = xml::parseBool(xml::attr(e, u"forPhraseAndWordAlso"));
        }
        return p;
    }

    EmotionDatabase& db_;
};

std::unique_ptr<EmotionDatabase> EmotionDatabase::load(const std::string& path) {
    if (!xml::isReadableFile(path)) throw MException("File '" + path + "' not found/corrupted");
    // The compiled copy, when one was made from exactly these bytes, spares
    // the XML parsing.
    xml::checkSize(path, xml::kMaxEmotionFileBytes); // before the whole file is read
    const std::optional<std::string> xmlBytes = compiledcache::readFile(path);
    if (xmlBytes) {
        std::unique_ptr<EmotionDatabase> cached(new EmotionDatabase());
        EmotionFileReader reader(*cached);
        if (compiledcache::load(kCacheKind, path, *xmlBytes, [&reader](compiledcache::Reader& r) { reader.decode(r); }))
            return cached;
    }
    // Only a file that loaded gets a compiled copy.
    std::unique_ptr<EmotionDatabase> db(new EmotionDatabase());
    EmotionFileReader reader(*db);
    static const xml::GuardStyle kGuard{true, nullptr, true};
    xml::parseFile(path, kGuard, [&reader](const xml::DOMElement& root) { reader.read(root); },
                   xml::kMaxEmotionFileBytes);
    if (xmlBytes)
        compiledcache::store(kCacheKind, path, *xmlBytes, [&reader](compiledcache::Writer& w) { reader.encode(w); });
    return db;
}

} // namespace vorsan
