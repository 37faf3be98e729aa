#pragma once
// The manager's DOM work on tolvane.xml: reading it through the engine's
// hardened parser into a document the manager owns and edits, small editing
// helpers, and writing the document to disk safely.
#include <string>
#include <string_view>

#include <xercesc/dom/DOM.hpp>

namespace vorsan::manager::dom {

using xercesc::DOMDocument;
using xercesc::DOMElement;
using xercesc::DOMNode;

// A new document with an empty root element of this name.
DOMDocument* createDocument(std::u16string_view rootName);
// The file's document, owned by the caller, with the white space between
// elements removed (the writer indents afresh, so a saved file reads the
// same after every save). Raises MException when the file does not parse, is
// not a regular file or is larger than the engine's configuration limit.
DOMDocument* loadDocument(const std::string& path);
// Writes the document as indented UTF-8 under a unique temporary name beside
// `path`, flushed to disk, then renames it over `path`. Returns "" on
// success, else why it failed; a file marked read-only, anything but a
// regular file (a device, FIFO, folder) and a link to nothing or a loop of
// links are not replaced, and no temporary file is left behind.
std::string saveDocument(const DOMDocument& doc, const std::string& path);

// First element child of this name, or nullptr.
DOMElement* child(DOMElement* parent, std::u16string_view name);
// Text of the element (value of its first child), "" when it has none.
std::string text(const DOMElement* element);
std::string attribute(const DOMElement* element, std::u16string_view name);
void setAttribute(DOMElement* element, std::u16string_view name, std::string_view value);
// The first child element of this name, made and appended when missing, with
// its content replaced by `value` as text.
void setChildText(DOMElement* parent, std::u16string_view name, std::string_view value);
// The first child element of this name, made and appended when missing.
DOMElement* childOrNew(DOMElement* parent, std::u16string_view name);

} // namespace vorsan::manager::dom
