#include "DataSetup.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <tuple>
#include <vector>

#include <xercesc/framework/MemBufFormatTarget.hpp>
#include <xercesc/util/XMLException.hpp>

#include "vorsan/automation/Registry.h"
#include "vorsan/core/Diagnostics.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Paths.h"
#include "vorsan/core/Text.h"
#include "vorsan/core/Xml.h"

namespace vorsan::voice {

namespace {

namespace fs = std::filesystem;
using xercesc::DOMDocument;
using xercesc::DOMElement;
using xercesc::DOMNode;

// A name no other set-up (in this process or another) uses at the same time.
std::string uniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    return ".part-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

// The build's installation folders (the defaults keep a stand-alone compile
// of this file working: no fallback).
#ifndef VORSAN_BUILD_INSTALLATION
#define VORSAN_BUILD_INSTALLATION ""
#endif
#ifndef VORSAN_INSTALLED_INSTALLATION
#define VORSAN_INSTALLED_INSTALLATION ""
#endif

std::optional<std::string> installationFolder(const std::string& fallback) {
    if (auto named = registry::lookup(kInstallationKey)) return named;
    if (!fallback.empty()) return fallback;
    return std::nullopt;
}

// Loads an XML file through the engine's hardened loader (no DOCTYPE) and
// lets `use` read and change the document while it lives. False when the
// file is missing or does not parse (the loader has logged why).
bool withDocument(const std::string& path, const std::function<void(DOMDocument&)>& use) {
    if (!xml::isReadableFile(path)) return false;
    try {
        xml::parseFile(path, {}, [&](const DOMElement& root) {
            // The loader lends its readers the document read-only; it is this
            // parse's own document, so changing it before it goes is safe.
            use(*const_cast<DOMElement&>(root).getOwnerDocument());
        });
        return true;
    } catch (const MException&) {
        return false;
    }
}

// The elements an XPath like "//a//b//c" selects, in document order: those
// named c below an element b below an element a, at any depth.
std::vector<DOMElement*> select(DOMDocument& doc, const std::vector<std::u16string>& steps) {
    std::vector<DOMElement*> found;
    xercesc::DOMNodeList* named = doc.getElementsByTagName(steps.back().c_str());
    for (XMLSize_t i = 0; i < named->getLength(); ++i) {
        auto* element = static_cast<DOMElement*>(named->item(i));
        std::size_t left = steps.size() - 1;
        for (DOMNode* a = element->getParentNode(); a && left > 0; a = a->getParentNode())
            if (a->getNodeType() == DOMNode::ELEMENT_NODE && xml::nameIs(*a, steps[left - 1])) --left;
        if (left == 0) found.push_back(element);
    }
    return found;
}

// Where the user's copy of a database file lies: <profile>/Speechfiles/
// <folder>/ and the file name the location has (after its last "/" or "\").
// An empty location (the built-in English) stays empty.
std::u16string userCopy(const std::string& profile, const char* folder, std::u16string_view location) {
    const std::u16string trimmed = trimBlanks(location);
    const std::size_t slash = trimmed.find_last_of(u"/\\");
    const std::u16string name = slash == std::u16string::npos ? trimmed : trimmed.substr(slash + 1);
    if (name.empty()) return std::u16string(location);
    return utf8ToUtf16(profile + "/Speechfiles/" + folder + "/") + name;
}

// Points the configuration's database locations at the user's data folder.
// Each keeps its own file name: the installation's files need not be listed
// in any fixed order. The first language location is left as it is.
void pointAtUserCopies(DOMDocument& doc, const std::string& profile) {
    const auto languages = select(doc, {u"ZenloraConfig", u"Pelmira", u"PelmiraFile", u"location"});
    for (std::size_t k = 1; k < languages.size(); ++k) {
        const XMLCh* old = languages[k]->getTextContent();
        languages[k]->setTextContent(userCopy(profile, "Pelmira", old ? old : u"").c_str());
    }
    for (const auto& [section, entry, folder] :
         {std::tuple{u"Oskalen", u"OskalenFile", "Oskalen"}, std::tuple{u"Ruvetta", u"RuvettaFile", "Ruvetta"}}) {
        for (DOMElement* e : select(doc, {u"ZenloraConfig", section, entry})) {
            const std::u16string location = userCopy(profile, folder, xml::attr(*e, u"location"));
            e->setAttribute(u"location", location.c_str());
        }
    }
}

struct Releaser {
    template <class T>
    void operator()(T* p) const { p->release(); }
};

// Writes the document to a temporary file beside `path` and renames it into
// place, so a reader never sees half a file.
bool save(DOMDocument& doc, const std::string& path) {
    xercesc::MemBufFormatTarget bytes;
    try {
        auto* impl = static_cast<xercesc::DOMImplementationLS*>(
            xercesc::DOMImplementationRegistry::getDOMImplementation(u"LS"));
        std::unique_ptr<xercesc::DOMLSSerializer, Releaser> serializer(impl->createLSSerializer());
        std::unique_ptr<xercesc::DOMLSOutput, Releaser> output(impl->createLSOutput());
        output->setByteStream(&bytes);
        output->setEncoding(u"UTF-8");
        if (!serializer->write(&doc, output.get())) return false;
    } catch (const xercesc::XMLException&) {
        return false;
    } catch (const xercesc::DOMException&) {
        return false;
    }
    // The serializer puts the root element on the declaration's line and no
    // line end after it; both are given back their line ends.
    std::string text(reinterpret_cast<const char*>(bytes.getRawBuffer()), bytes.getLen());
    if (const auto end = text.find("?>"); end != std::string::npos && text.compare(end + 2, 1, "\n") != 0)
        text.insert(end + 2, "\n");
    text += '\n';
    const std::string part = path + uniqueSuffix();
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    std::error_code ec;
    if (out) fs::rename(part, path, ec);
    if (!out || ec) {
        fs::remove(part, ec);
        return false;
    }
    return true;
}

// Copies the installation's data folder under a name of its own beside the
// target and renames it into place: of two voices set up at once for a new
// user, the first rename wins and the other's copy is dropped, so both end
// with a complete folder.
bool copyDataFolder(const fs::path& from, const fs::path& to) {
    const fs::path part = to.string() + uniqueSuffix();
    std::error_code ec;
    fs::copy(from, part, fs::copy_options::recursive, ec);
    if (!ec) fs::rename(part, to, ec);
    if (!ec) {
        diagnose("copied " + from.string() + " to " + to.string());
        return true;
    }
    const std::string why = ec.message();
    fs::remove_all(part, ec);
    if (fs::is_directory(to, ec)) return true; // another set-up got there first
    diagnose("copying " + from.string() + " to " + to.string() + " failed: " + why);
    return false;
}

} // namespace

std::string builtInInstallationFolder() {
    for (const std::string& folder : {installedDataFolder() + "/nimbrel", std::string(VORSAN_BUILD_INSTALLATION),
                                      std::string(VORSAN_INSTALLED_INSTALLATION)}) {
        std::error_code ec;
        if (!folder.empty() && fs::is_directory(folder, ec)) return folder;
    }
    return {};
}

int setUpUserData(const std::string& fallback) {
    const std::string profile = profileFolder();
    const std::string config = profile + "/tolvane.xml";

    if (withDocument(config, [](DOMDocument&) {})) {
        diagnose("loaded tolvane.xml");
    } else {
        const auto installation = installationFolder(fallback);
        if (!installation) return 1;
        const std::string source = *installation + "/tolvane.xml";
        bool saved = false;
        if (!withDocument(source, [&](DOMDocument& doc) {
                pointAtUserCopies(doc, profile);
                saved = save(doc, config);
            })) {
            diagnose("File not found Please reinstall Nimbrel: " + source);
            return 1;
        }
        diagnose(saved ? "wrote " + config + " from " + source : "could not write " + config);
    }

    const fs::path data = profile + "/Speechfiles";
    std::error_code ec;
    if (fs::exists(data, ec)) return 0;
    const auto installation = installationFolder(fallback);
    if (!installation) {
        diagnose("Files Missing.Please reinstall Nimbrel: " + data.string());
        return 1;
    }
    return copyDataFolder(fs::path(*installation) / "Speechfiles", data) ? 0 : 1;
}

} // namespace vorsan::voice
