#pragma once
// The shared way every engine loader reads an XML file with Xerces-C's DOM:
// the library is initialised once per process, each load has its own parser
// and document, no file may declare a DOCTYPE (so nothing is fetched and no
// entity is expanded), and every failure that is not the loader's own
// MException is translated by one guard into an MException, with the
// diagnostic line the loader kind asks for on standard output.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <xercesc/dom/DOM.hpp>

namespace vorsan::xml {

using xercesc::DOMElement;
using xercesc::DOMNode;

// Initialises Xerces-C once for the whole process (thread-safe, idempotent).
void ensureInitialised();

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

// True when the file exists and can be opened for reading.
bool isReadableFile(const std::string& path);

// Parses the file and hands the document element to `build`, all under the
// guard. Raises "Document is NULL" when no document results.
void parseFile(const std::string& path, const GuardStyle& style,
               const std::function<void(const DOMElement& root)>& build);

// Same as parseFile, for XML already in memory (tests and tools).
void parseBuffer(std::string_view xml, const std::string& name, const GuardStyle& style,
                 const std::function<void(const DOMElement& root)>& build);

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
// allowed; empty or non-numeric text throws the library's NumberFormatException
// (which the guard turns into an MException with the library's message).
int32_t parseInt(std::u16string_view text);

// "true", "TRUE" and "True" are true; anything else is false.
bool parseBool(std::u16string_view text);

} // namespace vorsan::xml
