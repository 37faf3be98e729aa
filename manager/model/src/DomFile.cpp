#include "DomFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <xercesc/framework/MemBufFormatTarget.hpp>
#include <xercesc/util/XMLUni.hpp>

#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/core/Xml.h"
#include "vorsan/core/Platform.h"

namespace vorsan::manager::dom {

using namespace xercesc;
namespace fs = std::filesystem;

namespace {

DOMImplementation* implementation() {
    xml::ensureInitialised();
    static const XMLCh kLS[] = u"LS";
    return DOMImplementationRegistry::getDOMImplementation(kLS);
}

std::u16string key(std::u16string_view name) { return std::u16string(name); }

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

} // namespace

DOMDocument* createDocument(std::u16string_view rootName) {
    return implementation()->createDocument(nullptr, key(rootName).c_str(), nullptr);
}

DOMDocument* loadDocument(const std::string& path) {
    DOMDocument* copy = nullptr;
    xml::GuardStyle style;
    try {
        xml::parseFile(
            path, style,
            [&](const xml::DOMElement& root) {
            // The parser owns the document it built; the manager keeps a copy
            // of its own to edit.
            copy = implementation()->createDocument();
            for (DOMNode* n = root.getOwnerDocument()->getFirstChild(); n; n = n->getNextSibling())
                copy->appendChild(copy->importNode(n, true));
            removeBlankText(copy);
            },
            xml::kMaxConfigurationBytes);
    } catch (...) {
        if (copy) copy->release();
        throw;
    }
    return copy;
}

std::string saveDocument(const DOMDocument& doc, const std::string& linkOrPath) {
    // A configuration that is a link to a file elsewhere stays a link: the
    // file it names is replaced.
    // A link to nothing or a loop of links is refused, not replaced.
    std::error_code ec;
    std::string path = linkOrPath;
    if (fs::is_symlink(linkOrPath, ec)) {
        const fs::path resolved = fs::canonical(linkOrPath, ec);
        if (ec) return "cannot replace " + linkOrPath + ": " + ec.message();
        path = resolved.string();
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        // A device, FIFO or folder would be replaced by the rename (or
        // refuse it only after the file was written).
        if (!S_ISREG(st.st_mode)) return "cannot replace " + path + ": not a regular file";
        if ((st.st_mode & 0222) == 0) return path + " is read-only";
    }

    DOMLSSerializer* writer = implementation()->createLSSerializer();
    DOMConfiguration* cfg = writer->getDomConfig();
    if (cfg->canSetParameter(XMLUni::fgDOMWRTFormatPrettyPrint, true))
        cfg->setParameter(XMLUni::fgDOMWRTFormatPrettyPrint, true);
    MemBufFormatTarget target;
    DOMLSOutput* out = implementation()->createLSOutput();
    out->setEncoding(u"UTF-8");
    out->setByteStream(&target);
    bool written = false;
    try {
        written = writer->write(&doc, out);
    } catch (...) {
        written = false;
    }
    out->release();
    writer->release();
    if (!written) return "the configuration could not be turned into XML";

    const std::string folder = fs::path(path).parent_path().string();
    std::string temp = (folder.empty() ? std::string(".") : folder) + "/.tolvane.xml.XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return errnoText("cannot create a file in " + folder);
    const char* bytes = reinterpret_cast<const char*>(target.getRawBuffer());
    std::size_t left = target.getLen();
    std::string failure;
    // Past a file-size limit (ulimit -f) the write fails with EFBIG instead
    // of the signal ending the program with the user's edits unsaved.
#ifndef _WIN32
    struct sigaction ignore {}, before {};
    ignore.sa_handler = SIG_IGN;
    ::sigemptyset(&ignore.sa_mask);
    const bool ignoring = ::sigaction(SIGXFSZ, &ignore, &before) == 0;
#endif
    while (left > 0 && failure.empty()) {
        ssize_t n = ::write(fd, bytes, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) failure = errnoText("cannot write " + path);
        else {
            bytes += n;
            left -= static_cast<std::size_t>(n);
        }
    }
    // Keep the old file's permissions; a new file gets the usual 0644.
#ifndef _WIN32 // Windows has no such signal, permission bits or fsync
    if (ignoring) ::sigaction(SIGXFSZ, &before, nullptr);
    if (failure.empty() && ::fchmod(fd, ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644) != 0)
        failure = errnoText("cannot write " + path);
    if (failure.empty() && ::fsync(fd) != 0) failure = errnoText("cannot write " + path);
#endif
    if (::close(fd) != 0 && failure.empty()) failure = errnoText("cannot write " + path);
    if (failure.empty() && !platform::replaceFile(temp, path)) failure = errnoText("cannot replace " + path);
    if (!failure.empty()) ::unlink(temp.c_str());
    return failure;
}

DOMElement* child(DOMElement* parent, std::u16string_view name) {
    for (DOMNode* c = parent->getFirstChild(); c; c = c->getNextSibling())
        if (c->getNodeType() == DOMNode::ELEMENT_NODE && xml::nameIs(*c, name)) return static_cast<DOMElement*>(c);
    return nullptr;
}

std::string text(const DOMElement* element) {
    if (!element) return {};
    return trimBlanks(xml::textUtf8(*element).value_or(""));
}

std::string attribute(const DOMElement* element, std::u16string_view name) {
    return element ? xml::attrUtf8(*element, name) : std::string();
}

void setAttribute(DOMElement* element, std::u16string_view name, std::string_view value) {
    element->setAttribute(key(name).c_str(), utf8ToUtf16(value).c_str());
}

DOMElement* childOrNew(DOMElement* parent, std::u16string_view name) {
    if (DOMElement* e = child(parent, name)) return e;
    DOMElement* e = parent->getOwnerDocument()->createElement(key(name).c_str());
    parent->appendChild(e);
    return e;
}

void setChildText(DOMElement* parent, std::u16string_view name, std::string_view value) {
    DOMElement* e = childOrNew(parent, name);
    while (DOMNode* c = e->getFirstChild()) e->removeChild(c)->release();
    if (!value.empty()) e->appendChild(e->getOwnerDocument()->createTextNode(utf8ToUtf16(value).c_str()));
}

} // namespace vorsan::manager::dom
