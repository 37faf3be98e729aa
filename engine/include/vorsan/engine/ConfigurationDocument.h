#pragma once
// tolvane.xml as a document to read and edit: the one place that knows the
// file's element and attribute names, reads its entries, writes them back,
// and parses and saves the file. The engine reads its configuration through
// it, the per-user set-up rewrites the installation's file through it, and
// the configuration manager edits the user's file through it.
//
// Entries are read and written in place: elements, attributes and comments
// this code does not know stay as they are. When an element holds several
// children of one name, the last one counts (as the engine reads it) and is
// the one written.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <xercesc/dom/DOM.hpp>

#include "vorsan/core/Xml.h"

namespace vorsan::configfile {

using xercesc::DOMDocument;
using xercesc::DOMElement;

// Names of the file's elements and attributes.
namespace names {
inline constexpr std::u16string_view root = u"ZenloraConfig", comment = u"Zenlora config file";
inline constexpr std::u16string_view languages = u"Pelmira", emotions = u"Ruvetta", accents = u"Oskalen",
                                     primary = u"PrimaryLanguage";
inline constexpr std::u16string_view language = u"PelmiraFile", emotion = u"RuvettaFile", accent = u"OskalenFile";
inline constexpr std::u16string_view location = u"location", mbrola = u"MbrolaDatabase", pitch = u"Pitch",
                                     time = u"Time", voice = u"Voice", emotionRef = u"RuvettaRef",
                                     accentRef = u"OskalenRef", rhythm = u"Rhythm";
inline constexpr std::u16string_view name = u"name", dialect = u"Dialect", mood = u"preferredEmotion",
                                     from = u"fromMbroladb", to = u"toMbroladb";
} // namespace names

// A language entry ("PelmiraFile"). Texts are as the file writes them
// (blanks around them kept); numbers that are missing or not numbers are
// empty.
struct Language {
    std::string name, dialect, location, mbrolaDatabase;
    std::optional<double> pitch, time;
    std::optional<int32_t> voice;
    std::string emotionDatabase, accentDatabase;
    std::u16string mood;
    // The "Rhythm" child's text ("natural", or empty: the phone table);
    // written only when not empty.
    std::string rhythm;
};

// An emotion entry ("RuvettaFile") and an accent entry ("OskalenFile").
struct Emotion {
    std::string name, location, mbrolaDatabase;
};
struct Accent {
    std::string name, location, fromDatabase, toDatabase;
};

// How the voice settings of a language are read.
enum class Numbers {
    // As the synthesiser takes them: ratios in single precision, and a value
    // it cannot take (a ratio outside 0.001 to 100, a voice frequency outside
    // 4000 to 192000 Hz) refused with an xml::FieldError naming it.
    forSynthesis,
    // As written, in double precision, whatever their value (an editor shows
    // them and writes them back).
    asWritten,
};

// The values the engine accepts for a language's ratios and voice frequency.
inline constexpr double kMinRatio = 0.001, kMaxRatio = 100.0;
inline constexpr int32_t kMinVoice = 4000, kMaxVoice = 192000;

Language readLanguage(const DOMElement& element, Numbers numbers);
Emotion readEmotion(const DOMElement& element);
Accent readAccent(const DOMElement& element);
// Text of the "PrimaryLanguage" element, as written ("" when it has none).
std::string readPrimary(const DOMElement& element);

// Write an entry's values into its element; a language's numbers only when
// it has them, ratios as the shortest text that reads back as the same value
// with a decimal point ("1.0", "0.75").
void writeLanguage(DOMElement& element, const Language& language);
void writeEmotion(DOMElement& element, const Emotion& emotion);
void writeAccent(DOMElement& element, const Accent& accent);

// A new element for an entry, owned by `doc` and not yet placed anywhere.
DOMElement* newLanguage(DOMDocument& doc, const Language& language);
DOMElement* newEmotion(DOMDocument& doc, const Emotion& emotion);
DOMElement* newAccent(DOMDocument& doc, const Accent& accent);

// The whole file.
class Document {
public:
    // How a saved document is laid out.
    enum class Layout {
        // As it was read: the file's own white space is kept and nothing is
        // added (a program that only changes values in place).
        asRead,
        // Indented afresh, one element a line (the white space between
        // elements is dropped on reading), so a file that grows or shrinks
        // reads the same after every save.
        indented,
    };

    // A new configuration: the root, the comment "Zenlora config file" and the
    // empty "Pelmira", "Ruvetta", "Oskalen" and "PrimaryLanguage".
    static Document create();
    // Parses the file through the engine's hardened XML loader (no DOCTYPE,
    // the configuration's size limit) with the guard's default diagnostics.
    // Raises MException when it is missing, not a regular file, too large or
    // does not parse; the root is not checked (see isConfiguration).
    static Document load(const std::string& path, Layout layout);

    Document(Document&&) noexcept;
    Document& operator=(Document&&) noexcept;
    ~Document();

    DOMDocument& dom() const { return *doc_; }
    DOMElement& root() const { return *doc_->getDocumentElement(); }
    // Whether the root is "ZenloraConfig".
    bool isConfiguration() const;
    // The first section of this name under the root, made and appended when
    // missing.
    DOMElement& section(std::u16string_view name);
    // Sets the last "PrimaryLanguage" element's text (appending one when
    // there is none).
    void setPrimary(std::string_view name);

    // Writes the document as UTF-8 under a temporary name beside `path`,
    // flushed to disk, then renames it over `path`. Returns "" on success,
    // else why it failed. A file marked read-only, anything but a regular
    // file (a device, FIFO, folder) and a link to nothing or a loop of links
    // are not replaced, and no temporary file is left behind; a link to a
    // file stays a link and the file it names is replaced.
    std::string save(const std::string& path) const;

private:
    struct Releaser {
        void operator()(DOMDocument* d) const;
    };
    Document(DOMDocument* doc, Layout layout);
    std::unique_ptr<DOMDocument, Releaser> doc_;
    Layout layout_;
};

} // namespace vorsan::configfile
