#include "vorsan/core/Xml.h"

#include <atomic>
#include <cmath>
#include <cstdio>
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
#include <xercesc/util/NumberFormatException.hpp>
#include <xercesc/util/XMLUni.hpp>

#include "vorsan/core/Diagnostics.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/RegularFile.h"
#include "vorsan/core/Text.h"

namespace vorsan::xml {

using namespace xercesc;

namespace {
std::atomic<bool> setUp{false};
} // namespace

void ensureInitialised() {
    static std::once_flag once;
    std::call_once(once, [] {
        XMLPlatformUtils::Initialize();
        setUp = true;
    });
}

bool initialised() { return setUp; }

bool isReadableFile(const std::string& path) { return RegularFile(path).open(); }

namespace {

class ErrorCollector : public DOMErrorHandler {
public:
    bool handleError(const DOMError& e) override {
        if (e.getSeverity() == DOMError::DOM_SEVERITY_WARNING) return true;
        if (!failed) {
            failed = true;
            message = utf16ToUtf8(e.getMessage() ? std::u16string_view(e.getMessage()) : u"");
            if (const DOMLocator* at = e.getLocation(); at && at->getLineNumber() > 0)
                where = "line " + std::to_string(at->getLineNumber()) + ", column " +
                        std::to_string(at->getColumnNumber());
        }
        return false; // stop at the first error
    }
    bool failed = false;
    std::string message;
    std::string where;
};

// Counts element nesting as the parser builds the document and interrupts
// the parse past kMaxDepth, before a deep document costs time or memory.
class DepthFilter : public DOMLSParserFilter {
public:
    FilterAction startElement(DOMElement*) override {
        if (++depth_ <= kMaxDepth) return FILTER_ACCEPT;
        tooDeep = true;
        return FILTER_INTERRUPT;
    }
    FilterAction acceptNode(DOMNode*) override {
        --depth_;
        return FILTER_ACCEPT;
    }
    DOMNodeFilter::ShowType getWhatToShow() const override { return DOMNodeFilter::SHOW_ELEMENT; }
    bool tooDeep = false;

private:
    int depth_ = 0;
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

// "'<path>'[, line L, column C]: <what>": where a failure happened.
std::string located(const std::string& path, const std::string& where, const std::string& what) {
    return "'" + path + "'" + (where.empty() ? "" : ", " + where) + ": " + what;
}

std::string tooLarge(const std::string& path, std::uintmax_t size, std::size_t maxBytes) {
    return "File '" + path + "' is " + std::to_string(size) + " bytes, more than the " + std::to_string(maxBytes) +
           " allowed for its kind";
}

// A look over the bytes before the parser sees them, for what the parser
// would refuse only after much work or not say plainly: a DOCTYPE
// declaration, and an element with more than kMaxAttributes attributes (the
// library checks each attribute against every other). Comments, CDATA
// sections and processing instructions are skipped; a raw '<' can appear
// nowhere else outside a tag. Returns where and what, or {}.
struct Refusal {
    std::string where, what;
};
std::optional<Refusal> prescan(std::string_view b) {
    std::size_t line = 1;
    auto at = [&] { return "line " + std::to_string(line); };
    auto skipTo = [&](std::size_t& i, std::string_view end) {
        const std::size_t e = b.find(end, i);
        const std::size_t stop = e == std::string_view::npos ? b.size() : e + end.size();
        for (; i < stop; ++i) line += b[i] == '\n';
    };
    for (std::size_t i = 0; i < b.size();) {
        if (b[i] != '<') {
            line += b[i++] == '\n';
            continue;
        }
        const std::string_view rest = b.substr(i);
        if (rest.starts_with("<!--")) skipTo(i, "-->");
        else if (rest.starts_with("<![CDATA[")) skipTo(i, "]]>");
        else if (rest.starts_with("<?")) skipTo(i, "?>");
        else if (rest.starts_with("<!DOCTYPE")) return Refusal{at(), "a DOCTYPE declaration is not allowed"};
        else {
            // A tag: count the '=' outside quoted values.
            int attributes = 0;
            char quote = 0;
            for (++i; i < b.size() && (quote || b[i] != '>'); ++i) {
                line += b[i] == '\n';
                if (quote) {
                    if (b[i] == quote) quote = 0;
                } else if (b[i] == '"' || b[i] == '\'') {
                    quote = b[i];
                } else if (b[i] == '=' && ++attributes > kMaxAttributes) {
                    return Refusal{at(), "an element with more than " + std::to_string(kMaxAttributes) + " attributes"};
                }
            }
        }
    }
    return {};
}

void parseWithGuard(std::string_view bytes, const std::string& path, const GuardStyle& style,
                    const std::function<void(const DOMElement&)>& build, std::size_t maxBytes) {
    ensureInitialised();
    if (bytes.size() > maxBytes) {
        diagnose("XMLException during parsing: '" + path + "'");
        throw MException(tooLarge(path, bytes.size(), maxBytes));
    }
    try {
        try {
            if (auto refused = prescan(bytes)) throw ParseFailure{located(path, refused->where, refused->what)};
            static const XMLCh kLS[] = u"LS";
            auto* impl = static_cast<DOMImplementationLS*>(DOMImplementationRegistry::getDOMImplementation(kLS));
            std::unique_ptr<DOMLSParser, ParserReleaser> parser(
                impl->createLSParser(DOMImplementationLS::MODE_SYNCHRONOUS, nullptr));
            ErrorCollector errors;
            DepthFilter depth;
            parser->setFilter(&depth);
            SecurityManager security;
            security.setEntityExpansionLimit(100);
            DOMConfiguration* cfg = parser->getDomConfig();
            cfg->setParameter(XMLUni::fgDOMValidate, false);
            cfg->setParameter(XMLUni::fgDOMNamespaces, false);
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
            DOMDocument* doc = nullptr;
            try {
                doc = parser->parse(&input);
            } catch (const DOMException&) {
                if (!depth.tooDeep) throw;
            }
            if (depth.tooDeep)
                throw ParseFailure{located(path, "", "elements nested more than " + std::to_string(kMaxDepth) + " deep")};
            if (errors.failed) throw ParseFailure{located(path, errors.where, errors.message)};
            if (doc == nullptr || doc->getDocumentElement() == nullptr) throw MException("Document is NULL");
            build(*doc->getDocumentElement());
        } catch (const XMLException& e) {
            throw ParseFailure{located(path, "", transcode(e.getMessage()))};
        }
    } catch (const FieldError& e) {
        diagnose("XMLException during parsing: '" + path + "'");
        if (style.printXmlMessage) diagnose(located(path, "", e.message()));
        throw MException(located(path, "", e.message()));
    } catch (const MException&) {
        throw;
    } catch (const ParseFailure& f) {
        diagnose("XMLException during parsing: '" + path + "'");
        if (style.printXmlMessage) diagnose(f.message);
        throw MException(f.message);
    } catch (const DOMException& e) {
        diagnose("DOMException during parsing: '" + path + "'");
        throw MException(located(path, "", transcode(e.getMessage())));
    } catch (const std::exception&) {
        if (style.stdFailureLine) diagnose(style.stdFailureLine);
        throw MException("Unknown Exception");
    } catch (...) {
        if (style.printUnknownLine) diagnose("Unknown Exception during parsing: '" + path + "'");
        throw MException("Unknown Exception while parsing xml file");
    }
}

} // namespace

namespace {
[[noreturn]] void refuseNotRegular(const std::string& path) {
    diagnose("XMLException during parsing: '" + path + "'");
    throw MException(notRegularMessage(path));
}
} // namespace

void checkSize(const std::string& path, std::size_t maxBytes) {
    const RegularFile file(path);
    if (file.state() == RegularFile::State::NotRegular) refuseNotRegular(path);
    if (file.open() && file.size() > maxBytes) {
        diagnose("XMLException during parsing: '" + path + "'");
        throw MException(tooLarge(path, file.size(), maxBytes));
    }
}

void parseFile(const std::string& path, const GuardStyle& style,
               const std::function<void(const DOMElement&)>& build, std::size_t maxBytes) {
    RegularFile file(path);
    if (file.state() == RegularFile::State::NotRegular) refuseNotRegular(path);
    // A file too large for its kind is refused before any of it is read;
    // one that grows meanwhile is read only one byte past the limit, which
    // the guard refuses.
    if (file.open() && file.size() > maxBytes) {
        diagnose("XMLException during parsing: '" + path + "'");
        throw MException(tooLarge(path, file.size(), maxBytes));
    }
    // A file that cannot be opened parses as an empty document.
    std::string bytes;
    if (file.open()) file.readAll(bytes, maxBytes);
    parseWithGuard(bytes, path, style, build, maxBytes);
}

void parseBuffer(std::string_view xml, const std::string& name, const GuardStyle& style,
                 const std::function<void(const DOMElement&)>& build, std::size_t maxBytes) {
    parseWithGuard(xml, name, style, build, maxBytes);
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
    try {
        return XMLString::parseInt(s.c_str());
    } catch (const XMLException&) {
        throw FieldError("'" + utf16ToUtf8(text) + "' is not a number");
    }
}

namespace {
[[noreturn]] void refuse(const DOMElement& element, std::u16string_view attribute, std::u16string_view text,
                         const std::string& why) {
    std::string where = "element '" + utf16ToUtf8(nodeName(element)) + "'";
    if (!attribute.empty()) where += ", attribute '" + utf16ToUtf8(attribute) + "'";
    throw FieldError(where + ": value '" + utf16ToUtf8(text) + "' " + why);
}

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}
} // namespace

int32_t intIn(const DOMElement& element, std::u16string_view attribute, int32_t lo, int32_t hi) {
    const std::u16string text = attribute.empty() ? xml::text(element).value_or(u"") : attr(element, attribute);
    return intIn(element, attribute, text, lo, hi);
}

int32_t intIn(const DOMElement& element, std::u16string_view attribute, std::u16string_view text, int32_t lo,
              int32_t hi) {
    int32_t v = 0;
    try {
        v = parseInt(text);
    } catch (const FieldError&) {
        refuse(element, attribute, text, "is not a number");
    }
    if (v < lo || v > hi) refuse(element, attribute, text, "is outside " + std::to_string(lo) + " to " + std::to_string(hi));
    return v;
}

void requireIn(const DOMElement& element, std::u16string_view attribute, std::u16string_view text, double value,
               double lo, double hi) {
    if (!(value >= lo && value <= hi)) refuse(element, attribute, text, "is outside " + number(lo) + " to " + number(hi));
}

bool parseBool(std::u16string_view text) { return text == u"true" || text == u"TRUE" || text == u"True"; }

} // namespace vorsan::xml
