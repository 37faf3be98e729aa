#pragma once
// The shared way every engine loader reads an XML file with Xerces-C's DOM:
// the library is initialised once per process, each load has its own parser
// and document, no file may declare a DOCTYPE (so nothing is fetched and no
// entity is expanded), namespaces are not processed (none of the engine's
// formats uses them, and the library's namespace handling is quadratic in
// nesting depth and attribute count), elements nest at most kMaxDepth deep
// and carry at most kMaxAttributes attributes, and a file larger than its
// kind allows is refused before it is read.
// Every failure that is not the loader's own MException is translated by one
// guard into an MException naming the file (and the line and column where
// the parser knows them), with the diagnostic line the loader kind asks for.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <xercesc/dom/DOM.hpp>

#include "vorsan/core/MException.h"

namespace vorsan::xml {

using xercesc::DOMElement;
using xercesc::DOMNode;

// Deepest element nesting any of the engine's formats needs, with room to
// spare (the rule file, the deepest, uses six levels).
inline constexpr int kMaxDepth = 32;
// Most attributes one element may carry (the formats use at most five).
inline constexpr int kMaxAttributes = 64;

// Largest file each kind may be, several times its largest shipped file.
inline constexpr std::size_t kMaxRuleFileBytes = 16u << 20;
inline constexpr std::size_t kMaxEmotionFileBytes = 1u << 20;
inline constexpr std::size_t kMaxAccentFileBytes = 1u << 20;
inline constexpr std::size_t kMaxConfigurationBytes = 1u << 20;
inline constexpr std::size_t kMaxVoiceFileBytes = 1u << 20;
// No XML file of the engine may be larger than the largest kind allows.
inline constexpr std::size_t kMaxXmlBytes = kMaxRuleFileBytes;

// A value a loader refuses ("element 'Phonem', attribute 'Duration': value
// '99999' is outside 0 to 10000"). The guard prefixes the file's path.
class FieldError : public MException {
public:
    using MException::MException;
};

// Initialises Xerces-C once for the whole process (thread-safe, idempotent).
void ensureInitialised();
// Whether this process has set the library up: only once a file had to be
// parsed (data files with valid compiled copies need none).
bool initialised();

// Which diagnostic lines the guard writes for failures that are not the XML
// library's or the DOM's (those two always get their line).
struct GuardStyle {
    // After "XMLException during parsing: '<path>'\n", also print the
    // library's message and a line feed.
    bool printXmlMessage = true;
    // Line printed for a standard-library failure (nullptr: none).
    const char* stdFailureLine = nullptr;
    // Print "Unknown Exception during parsing: '<path>'\n" for anything else.
    bool printUnknownLine = false;
};

// True when the file exists, is a regular file (no device, FIFO or folder)
// and can be opened for reading.
bool isReadableFile(const std::string& path);

// Parses the file and hands the document element to `build`, all under the
// guard. Raises "Document is NULL" when no document results, and
// "File '<path>' is <n> bytes, more than the <maxBytes> allowed" for a file
// that is too large (before reading it).
void parseFile(const std::string& path, const GuardStyle& style,
               const std::function<void(const DOMElement& root)>& build, std::size_t maxBytes = kMaxXmlBytes);

// Raises parseFile's "File ... more than the <maxBytes> allowed" (with its
// diagnostic line) when the file is larger than maxBytes, and
// "File '<path>' is not a regular file" for a device, FIFO or folder; for
// loaders that read the file for other purposes before parsing it.
void checkSize(const std::string& path, std::size_t maxBytes);

// Same as parseFile, for XML already in memory (tests and tools).
void parseBuffer(std::string_view xml, const std::string& name, const GuardStyle& style,
                 const std::function<void(const DOMElement& root)>& build, std::size_t maxBytes = kMaxXmlBytes);

// --- DOM reading helpers -------------------------------------------------

bool nameIs(const DOMNode& node, std::u16string_view name);
std::u16string_view nodeName(const DOMNode& node);

// Element children in document order (other node kinds are skipped).
std::vector<const DOMElement*> childElements(const DOMNode& node);
// First element child with this name, or nullptr.
const DOMElement* firstChildNamed(const DOMNode& node, std::u16string_view name);

// The value of the element's first child node; nullopt when it has none.
std::optional<std::u16string> text(const DOMNode& element);
std::optional<std::string> textUtf8(const DOMNode& element);

// Attribute value, empty when absent.
std::u16string attr(const DOMElement& element, std::u16string_view name);
std::string attrUtf8(const DOMElement& element, std::u16string_view name);
bool hasAttr(const DOMElement& element, std::u16string_view name);

// Decimal integer by the XML library's own parser: surrounding white space is
// allowed; empty, non-numeric or out-of-range text raises FieldError
// "'<text>' is not a number".
int32_t parseInt(std::u16string_view text);

// The integer of an attribute (or, with an empty attribute name, of the
// element's text), refused with a FieldError naming the element, the
// attribute and the value when it is not a number or lies outside [lo, hi].
int32_t intIn(const DOMElement& element, std::u16string_view attribute, int32_t lo, int32_t hi);
int32_t intIn(const DOMElement& element, std::u16string_view attribute, std::u16string_view text, int32_t lo,
              int32_t hi);
// Refuses a value read some other way when it lies outside [lo, hi] (NaN
// included), with the same message.
void requireIn(const DOMElement& element, std::u16string_view attribute, std::u16string_view text, double value,
               double lo, double hi);

// "true", "TRUE" and "True" are true; anything else is false.
bool parseBool(std::u16string_view text);

} // namespace vorsan::xml
