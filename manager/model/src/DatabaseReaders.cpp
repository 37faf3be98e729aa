// The readers of the three kinds of database file. Each reads the file
// through the engine's hardened parser, takes the elements the engine itself
// reads (by name, as the engine does), and refuses a file it cannot use with
// the manager's message for it.
#include "vorsan/manager/DatabaseReaders.h"

#include <optional>

#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/core/Xml.h"

namespace vorsan::manager {

namespace {

std::string childText(const xml::DOMElement* parent, std::u16string_view name) {
    const xml::DOMElement* e = parent ? xml::firstChildNamed(*parent, name) : nullptr;
    return e ? trimBlanks(xml::textUtf8(*e).value_or("")) : std::string();
}

// Parses the file and hands its document element to `read`, which answers
// whether the file is of the expected kind. Shows the reader's message and
// returns false when the file is missing, does not parse or is of another
// kind.
bool readFile(const std::string& path, const MessageSink& sink, const std::string& wrongKind,
              const std::function<bool(const xml::DOMElement&)>& read) {
    auto show = [&](const std::string& m) {
        if (sink) sink(m);
    };
    if (!xml::isReadableFile(path)) {
        show("File " + path + " not found");
        return false;
    }
    bool ofKind = false;
    try {
        xml::parseFile(path, xml::GuardStyle{}, [&](const xml::DOMElement& root) { ofKind = read(root); });
    } catch (const MException&) {
        show("Error during parsing " + path);
        return false;
    }
    if (!ofKind) show("File " + path + wrongKind);
    return ofKind;
}

} // namespace

bool Language::ParsePelmiraFile(const std::string& path) {
    std::string name, dialect, mbrola;
    bool ok = readFile(path, sink_, " is not an Pelmira file", [&](const xml::DOMElement& root) {
        if (!xml::nameIs(root, u"Rule_Base")) return false;
        const xml::DOMElement* language = xml::firstChildNamed(root, u"Language");
        name = childText(language, u"LanguageName");
        dialect = childText(language, u"Dialect");
        mbrola = childText(language, u"MbrolaDatabase");
        // Without a name and a voice the engine cannot use the file either.
        return !name.empty() && !mbrola.empty();
    });
    if (ok) {
        name_ = name;
        dialect_ = dialect;
        mbrola_ = mbrola;
    }
    return ok;
}

bool MoodReader::ParseRuvettaFile(const std::string& path) {
    std::string language, mbrola;
    std::vector<std::string> moods;
    bool ok = readFile(path, sink_, " is not a Ruvetta file", [&](const xml::DOMElement& root) {
        if (!xml::nameIs(root, u"MoodBase")) return false;
        const xml::DOMElement* lang = xml::firstChildNamed(root, u"Language");
        language = childText(lang, u"LanguageName");
        mbrola = childText(lang, u"MbrolaDatabase");
        if (const xml::DOMElement* data = xml::firstChildNamed(root, u"EmotionData"))
            for (const auto* e : xml::childElements(*data)) moods.push_back(xml::attrUtf8(*e, u"name"));
        return !language.empty() && !mbrola.empty();
    });
    if (ok) {
        language_ = language;
        mbrola_ = mbrola;
        moods_ = std::move(moods);
    }
    return ok;
}

bool DBTranslate::ParseOskalenFile(const std::string& path) {
    std::string from, to;
    bool ok = readFile(path, sink_, " is not an Oskalen file", [&](const xml::DOMElement& root) {
        if (!xml::nameIs(root, u"dbMapper")) return false;
        const xml::DOMElement* info = xml::firstChildNamed(root, u"Mbrola_Information");
        from = childText(info, u"fromMbroladb");
        to = childText(info, u"toMbroladb");
        return !from.empty() && !to.empty();
    });
    if (ok) {
        from_ = from;
        to_ = to;
    }
    return ok;
}

} // namespace vorsan::manager
