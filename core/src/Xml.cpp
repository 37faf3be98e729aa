#include "vorsan/core/Xml.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/framework/Wrapper4InputSource.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLString.hpp>
#include <xercesc/util/XMLUni.hpp>

#include "vorsan/core/Diagnostics.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"

namespace vorsan::xml {

using namespace xercesc;

void ensureInitialised() {
    static std::once_flag once;
    std::call_once(once, [] { XMLPlatformUtils::Initialize(); });
}

bool isReadableFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return false;
    // A directory opens on Linux but cannot be read.
    in.peek();
    return !in.bad();
}

namespace {

class ErrorCollector : public DOMErrorHandler {
public:
    bool handleError(const DOMError& e) override {
        if (e.getSeverity() == DOMError::DOM_SEVERITY_WARNING) return true;
        if (!failed) {
            failed = true;
            message = utf16ToUtf8(e.getMessage() ? std::u16string_view(e.getMessage()) : u"");
        }
        return false; // stop at the first error
    }
    bool failed = false;
    std::string message;
};

struct ParserReleaser {
    void operator()(DOMLSParser* p) const { p->release(); }
};

std::string transcode(const XMLCh* s) { return s ? utf16ToUtf8(std::u16string_view(s)) : std::string(); }

// A parse failure reported through the error handler is the library's own
// failure, reported like an XMLException.
struct ParseFailure {
    std::string message;
};

void parseWithGuard(std::string_view bytes, const std::string& path, const GuardStyle& style,
                    const std::function<void(const DOMElement&)>& build) {
    ensureInitialised();
    try {
        try {
            static const XMLCh kLS[] = u"LS";
            auto* impl = static_cast<DOMImplementationLS*>(DOMImplementationRegistry::getDOMImplementation(kLS));
            std::unique_ptr<DOMLSParser, ParserReleaser> parser(
                impl->createLSParser(DOMImplementationLS::MODE_SYNCHRONOUS, nullptr));
            ErrorCollector errors;
            SecurityManager security;
            security.setEntityExpansionLimit(100);
            DOMConfiguration* cfg = parser->getDomConfig();
            cfg->setParameter(XMLUni::fgDOMValidate, false);
            cfg->setParameter(XMLUni::fgDOMDatatypeNormalization, true);
            cfg->setParameter(XMLUni::fgDOMDisallowDoctype, true);
            cfg->setParameter(XMLUni::fgXercesLoadExternalDTD, false);
            cfg->setParameter(XMLUni::fgXercesDisableDefaultEntityResolution, true);
            cfg->setParameter(XMLUni::fgXercesSecurityManager, &security);
            cfg->setParameter(XMLUni::fgDOMErrorHandler, &errors);

            std::u16string systemId = utf8ToUtf16(path);
            MemBufInputSource source(reinterpret_cast<const XMLByte*>(bytes.data()), bytes.size(),
                                     systemId.c_str(), false);
            Wrapper4InputSource input(&source, false);
            DOMDocument* doc = parser->parse(&input);
            if (errors.failed) throw ParseFailure{errors.message};
            if (doc == nullptr || doc->getDocumentElement() == nullptr) throw MException("Document is NULL");
            build(*doc->getDocumentElement());
        } catch (const XMLException& e) {
            throw ParseFailure{transcode(e.getMessage())};
        }
    } catch (const MException&) {
        throw;
    } catch (const ParseFailure& f) {
        diagnose("XMLException during parsing: '" + path + "'");
        if (style.printXmlMessage) diagnose(f.message);
        throw MException(f.message);
    } catch (const DOMException& e) {
        diagnose("DOMException during parsing: '" + path + "'");
        throw MException(transcode(e.getMessage()));
    } catch (const std::exception&) {
        if (style.stdFailureLine) diagnose(style.stdFailureLine);
        throw MException("Unknown Exception");
    } catch (...) {
        if (style.printUnknownLine) diagnose("Unknown Exception during parsing: '" + path + "'");
        throw MException("Unknown Exception while parsing xml file");
    }
}

} // namespace

void parseFile(const std::string& path, const GuardStyle& style,
               const std::function<void(const DOMElement&)>& build) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    parseWithGuard(bytes, path, style, build);
}

void parseBuffer(std::string_view xml, const std::string& name, const GuardStyle& style,
                 const std::function<void(const DOMElement&)>& build) {
    parseWithGuard(xml, name, style, build);
}

std::u16string_view nodeName(const DOMNode& node) {
    const XMLCh* n = node.getNodeName();
    return n ? std::u16string_view(n) : std::u16string_view();
}

bool nameIs(const DOMNode& node, std::u16string_view name) { return nodeName(node) == name; }

std::vector<const DOMElement*> childElements(const DOMNode& node) {
    std::vector<const DOMElement*> out;
    for (const DOMNode* c = node.getFirstChild(); c; c = c->getNextSibling())
        if (c->getNodeType() == DOMNode::ELEMENT_NODE) out.push_back(static_cast<const DOMElement*>(c));
    return out;
}

const DOMElement* firstChildNamed(const DOMNode& node, std::u16string_view name) {
    for (const DOMNode* c = node.getFirstChild(); c; c = c->getNextSibling())
        if (c->getNodeType() == DOMNode::ELEMENT_NODE && nameIs(*c, name)) return static_cast<const DOMElement*>(c);
    return nullptr;
}

std::optional<std::u16string> text(const DOMNode& element) {
    const DOMNode* first = element.getFirstChild();
    if (!first) return std::nullopt;
    const XMLCh* v = first->getNodeValue();
    return std::u16string(v ? v : u"");
}

std::optional<std::string> textUtf8(const DOMNode& element) {
    auto t = text(element);
    if (!t) return std::nullopt;
    return utf16ToUtf8(*t);
}

std::u16string attr(const DOMElement& element, std::u16string_view name) {
    std::u16string key(name);
    const XMLCh* v = element.getAttribute(key.c_str());
    return v ? std::u16string(v) : std::u16string();
}

std::string attrUtf8(const DOMElement& element, std::u16string_view name) { return utf16ToUtf8(attr(element, name)); }

bool hasAttr(const DOMElement& element, std::u16string_view name) {
    std::u16string key(name);
    return element.hasAttribute(key.c_str());
}

int32_t parseInt(std::u16string_view text) {
    std::u16string s(text);
    return XMLString::parseInt(s.c_str());
}

bool parseBool(std::u16string_view text) { return text == u"true" || text == u"TRUE" || text == u"True"; }

} // namespace vorsan::xml
