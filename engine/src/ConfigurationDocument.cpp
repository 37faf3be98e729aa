#include "vorsan/engine/ConfigurationDocument.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <type_traits>

#ifndef _WIN32
#include <csignal>
#include <unistd.h>
#endif

#include <xercesc/framework/MemBufFormatTarget.hpp>
#include <xercesc/util/XMLUni.hpp>

#include "vorsan/core/MException.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/Text.h"

namespace vorsan::configfile {

using xercesc::DOMNode;
namespace fs = std::filesystem;

namespace {

std::u16string key(std::u16string_view name) { return std::u16string(name); }

// A whole element text as a number (blanks around it allowed), or nothing.
template <typename T>
std::optional<T> numberIn(const std::string& s) {
    const std::string t = trimBlanks(s);
    T v{};
    auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size()) return std::nullopt;
    return v;
}

// Shortest text that reads back as the same value, always with a decimal
// point ("1.0", "0.75", "1.2").
std::string ratioText(double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, r.ptr);
    if (s.find_first_of(".eE") == std::string::npos) s += ".0";
    return s;
}

// The last element child of this name, or nullptr.
DOMElement* lastChild(DOMElement& parent, std::u16string_view name) {
    for (DOMNode* c = parent.getLastChild(); c; c = c->getPreviousSibling())
        if (c->getNodeType() == DOMNode::ELEMENT_NODE && xml::nameIs(*c, name)) return static_cast<DOMElement*>(c);
    return nullptr;
}

DOMElement& lastChildOrNew(DOMElement& parent, std::u16string_view name) {
    if (DOMElement* e = lastChild(parent, name)) return *e;
    DOMElement* e = parent.getOwnerDocument()->createElement(key(name).c_str());
    parent.appendChild(e);
    return *e;
}

// The text of the child element of this name (the last, made and appended
// when missing) set to `value`: "" leaves it empty.
void setChildText(DOMElement& parent, std::u16string_view name, std::string_view value) {
    DOMElement& e = lastChildOrNew(parent, name);
    while (DOMNode* c = e.getFirstChild()) e.removeChild(c)->release();
    if (!value.empty()) e.appendChild(e.getOwnerDocument()->createTextNode(utf8ToUtf16(value).c_str()));
}

void setAttribute(DOMElement& element, std::u16string_view name, std::string_view value) {
    element.setAttribute(key(name).c_str(), utf8ToUtf16(value).c_str());
}

xercesc::DOMImplementation* implementation() {
    xml::ensureInitialised();
    static const XMLCh kLS[] = u"LS";
    return xercesc::DOMImplementationRegistry::getDOMImplementation(kLS);
}

bool isBlank(const XMLCh* s) {
    for (; s && *s; ++s)
        if (*s != u' ' && *s != u'\t' && *s != u'\n' && *s != u'\r') return false;
    return true;
}

void removeBlankText(DOMNode* node) {
    for (DOMNode* c = node->getFirstChild(); c;) {
        DOMNode* next = c->getNextSibling();
        if (c->getNodeType() == DOMNode::TEXT_NODE && isBlank(c->getNodeValue()) &&
            (c->getPreviousSibling() || c->getNextSibling())) {
            // Only white space between other nodes goes; an element whose
            // sole content is blank text keeps it.
            node->removeChild(c)->release();
        } else if (c->getNodeType() == DOMNode::ELEMENT_NODE) {
            removeBlankText(c);
        }
        c = next;
    }
}

std::string errnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

// Writes the bytes to a new file beside `path` and renames it over `path`
// (see Document::save); "" or why it failed.
std::string replaceWith(const std::string& linkOrPath, std::string_view bytes) {
    std::error_code ec;
    std::string path = linkOrPath;
    if (fs::is_symlink(platform::nativePath(linkOrPath), ec)) {
        const fs::path resolved = fs::canonical(platform::nativePath(linkOrPath), ec);
        if (ec) return "cannot replace " + linkOrPath + ": " + ec.message();
        path = platform::utf8Path(resolved);
    }
    const fs::file_status old = fs::status(platform::nativePath(path), ec);
    const bool exists = !ec && fs::exists(old);
    if (exists) {
        // A device, FIFO or folder would be replaced by the rename (or
        // refuse it only after the file was written).
        if (!fs::is_regular_file(old)) return "cannot replace " + path + ": not a regular file";
        constexpr fs::perms writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        if ((old.permissions() & writable) == fs::perms::none) return path + " is read-only";
    }

    const std::string folder = platform::utf8Path(platform::nativePath(path).parent_path());
    std::string temp, why;
    const int fd = platform::createUniqueFile((folder.empty() ? std::string(".") : folder) + "/.tolvane.xml.", true,
                                              temp, &why);
    if (fd < 0) return "cannot create a file in " + folder + ": " + why;
    std::string failure;
#ifndef _WIN32
    // Past a file-size limit (ulimit -f) the write fails with EFBIG instead
    // of the signal ending the program with the user's edits unsaved.
    struct sigaction ignore {}, before {};
    ignore.sa_handler = SIG_IGN;
    ::sigemptyset(&ignore.sa_mask);
    const bool ignoring = ::sigaction(SIGXFSZ, &ignore, &before) == 0;
#endif
    if (!platform::writeAll(fd, bytes)) failure = errnoText("cannot write " + path);
#ifndef _WIN32
    if (ignoring) ::sigaction(SIGXFSZ, &before, nullptr);
    if (failure.empty() && ::fsync(fd) != 0) failure = errnoText("cannot write " + path);
#endif
    if (!platform::closeFile(fd) && failure.empty()) failure = errnoText("cannot write " + path);
    // The old file's permissions stay; a new file is readable by all.
    if (failure.empty() && exists) {
        fs::permissions(platform::nativePath(temp), old.permissions(), ec);
        if (ec) failure = "cannot write " + path + ": " + ec.message();
    }
    if (failure.empty() && !platform::replaceFile(temp, path, &why)) failure = "cannot replace " + path + ": " + why;
    if (!failure.empty()) platform::removeFile(temp);
    return failure;
}

} // namespace

// --- Entries ------------------------------------------------------------------

Language readLanguage(const DOMElement& element, Numbers numbers) {
    Language l;
    l.name = xml::attrUtf8(element, names::name);
    l.dialect = xml::attrUtf8(element, names::dialect);
    for (const auto* child : xml::childElements(element)) {
        const auto text = [&] { return xml::textUtf8(*child).value_or(""); };
        // A number in the precision it is read in; checked when it is for
        // the synthesiser.
        const auto number = [&](auto& target, double lo, double hi) {
            using T = typename std::remove_reference_t<decltype(target)>::value_type;
            if constexpr (std::is_floating_point_v<T>) {
                if (numbers == Numbers::forSynthesis) {
                    const auto v = numberIn<float>(text());
                    target = v ? std::optional<T>(*v) : std::nullopt;
                } else {
                    target = numberIn<T>(text());
                }
            } else {
                target = numberIn<T>(text());
            }
            if (target && numbers == Numbers::forSynthesis)
                xml::requireIn(*child, u"", xml::text(*child).value_or(u""), static_cast<double>(*target), lo, hi);
        };
        if (xml::nameIs(*child, names::location)) l.location = text();
        else if (xml::nameIs(*child, names::mbrola)) l.mbrolaDatabase = text();
        else if (xml::nameIs(*child, names::voice)) number(l.voice, kMinVoice, kMaxVoice);
        else if (xml::nameIs(*child, names::pitch)) number(l.pitch, kMinRatio, kMaxRatio);
        else if (xml::nameIs(*child, names::time)) number(l.time, kMinRatio, kMaxRatio);
        else if (xml::nameIs(*child, names::emotionRef)) {
            l.emotionDatabase = xml::attrUtf8(*child, names::name);
            l.mood = xml::attr(*child, names::mood);
        } else if (xml::nameIs(*child, names::accentRef)) {
            l.accentDatabase = xml::attrUtf8(*child, names::name);
        } else if (xml::nameIs(*child, names::rhythm)) {
            l.rhythm = text();
        }
    }
    return l;
}

Emotion readEmotion(const DOMElement& element) {
    return {xml::attrUtf8(element, names::name), xml::attrUtf8(element, names::location),
            xml::attrUtf8(element, names::mbrola)};
}

Accent readAccent(const DOMElement& element) {
    return {xml::attrUtf8(element, names::name), xml::attrUtf8(element, names::location),
            xml::attrUtf8(element, names::from), xml::attrUtf8(element, names::to)};
}

std::string readPrimary(const DOMElement& element) { return xml::textUtf8(element).value_or(""); }

void writeLanguage(DOMElement& element, const Language& l) {
    setAttribute(element, names::name, l.name);
    setAttribute(element, names::dialect, l.dialect);
    setChildText(element, names::location, l.location);
    setChildText(element, names::mbrola, l.mbrolaDatabase);
    if (l.pitch) setChildText(element, names::pitch, ratioText(*l.pitch));
    if (l.time) setChildText(element, names::time, ratioText(*l.time));
    if (l.voice) setChildText(element, names::voice, std::to_string(*l.voice));
    DOMElement& emotion = lastChildOrNew(element, names::emotionRef);
    setAttribute(emotion, names::name, l.emotionDatabase);
    emotion.setAttribute(key(names::mood).c_str(), l.mood.c_str());
    setAttribute(lastChildOrNew(element, names::accentRef), names::name, l.accentDatabase);
    if (!l.rhythm.empty()) setChildText(element, names::rhythm, l.rhythm);
}

void writeEmotion(DOMElement& element, const Emotion& e) {
    setAttribute(element, names::name, e.name);
    setAttribute(element, names::location, e.location);
    setAttribute(element, names::mbrola, e.mbrolaDatabase);
}

void writeAccent(DOMElement& element, const Accent& a) {
    setAttribute(element, names::name, a.name);
    setAttribute(element, names::location, a.location);
    setAttribute(element, names::from, a.fromDatabase);
    setAttribute(element, names::to, a.toDatabase);
}

DOMElement* newLanguage(DOMDocument& doc, const Language& language) {
    DOMElement* e = doc.createElement(key(names::language).c_str());
    writeLanguage(*e, language);
    return e;
}

DOMElement* newEmotion(DOMDocument& doc, const Emotion& emotion) {
    DOMElement* e = doc.createElement(key(names::emotion).c_str());
    writeEmotion(*e, emotion);
    return e;
}

DOMElement* newAccent(DOMDocument& doc, const Accent& accent) {
    DOMElement* e = doc.createElement(key(names::accent).c_str());
    writeAccent(*e, accent);
    return e;
}

// --- Document -----------------------------------------------------------------

void Document::Releaser::operator()(DOMDocument* d) const {
    if (d) d->release();
}

Document::Document(DOMDocument* doc, Layout layout) : doc_(doc), layout_(layout) {}
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;
Document::~Document() = default;

Document Document::create() {
    Document d(implementation()->createDocument(nullptr, key(names::root).c_str(), nullptr), Layout::indented);
    DOMElement& root = d.root();
    root.appendChild(d.doc_->createComment(key(names::comment).c_str()));
    for (std::u16string_view name : {names::languages, names::emotions, names::accents, names::primary})
        root.appendChild(d.doc_->createElement(key(name).c_str()));
    return d;
}

Document Document::load(const std::string& path, Layout layout) {
    DOMDocument* copy = nullptr;
    try {
        xml::parseFile(
            path, xml::GuardStyle{},
            [&](const DOMElement& root) {
                // The parser owns the document it built; this one is a copy
                // that lives as long as the caller needs it.
                const DOMDocument& read = *root.getOwnerDocument();
                copy = implementation()->createDocument();
                if (layout == Layout::asRead) {
                    // A document kept as read keeps its declaration too.
                    copy->setXmlVersion(read.getXmlVersion());
                    copy->setXmlStandalone(read.getXmlStandalone());
                }
                for (DOMNode* n = read.getFirstChild(); n; n = n->getNextSibling())
                    copy->appendChild(copy->importNode(n, true));
                if (layout == Layout::indented) removeBlankText(copy);
            },
            xml::kMaxConfigurationBytes);
    } catch (...) {
        if (copy) copy->release();
        throw;
    }
    return Document(copy, layout);
}

bool Document::isConfiguration() const { return xml::nameIs(root(), names::root); }

DOMElement& Document::section(std::u16string_view name) {
    for (DOMNode* c = root().getFirstChild(); c; c = c->getNextSibling())
        if (c->getNodeType() == DOMNode::ELEMENT_NODE && xml::nameIs(*c, name)) return *static_cast<DOMElement*>(c);
    DOMElement* s = doc_->createElement(key(name).c_str());
    root().appendChild(s);
    return *s;
}

void Document::setPrimary(std::string_view name) { setChildText(root(), names::primary, name); }

std::string Document::save(const std::string& path) const {
    struct Release {
        void operator()(xercesc::DOMLSSerializer* p) const { p->release(); }
        void operator()(xercesc::DOMLSOutput* p) const { p->release(); }
    };
    xercesc::MemBufFormatTarget target;
    bool written = false;
    try {
        std::unique_ptr<xercesc::DOMLSSerializer, Release> writer(implementation()->createLSSerializer());
        std::unique_ptr<xercesc::DOMLSOutput, Release> out(implementation()->createLSOutput());
        xercesc::DOMConfiguration* cfg = writer->getDomConfig();
        if (layout_ == Layout::indented && cfg->canSetParameter(xercesc::XMLUni::fgDOMWRTFormatPrettyPrint, true))
            cfg->setParameter(xercesc::XMLUni::fgDOMWRTFormatPrettyPrint, true);
        out->setEncoding(u"UTF-8");
        out->setByteStream(&target);
        written = writer->write(doc_.get(), out.get());
    } catch (...) {
        written = false;
    }
    if (!written) return "the configuration could not be turned into XML";
    std::string text(reinterpret_cast<const char*>(target.getRawBuffer()), target.getLen());
    if (layout_ == Layout::asRead) {
        // Without indenting, the serializer puts the root element on the
        // declaration's line and no line end after it; both are given back
        // their line ends.
        if (const auto end = text.find("?>"); end != std::string::npos && text.compare(end + 2, 1, "\n") != 0)
            text.insert(end + 2, "\n");
        text += '\n';
    }
    try {
        return replaceWith(path, text);
    } catch (const std::exception& e) {
        return e.what();
    }
}

} // namespace vorsan::configfile
