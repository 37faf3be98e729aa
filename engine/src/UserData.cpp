#include "vorsan/engine/UserData.h"

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <tuple>
#include <vector>

#include "vorsan/core/Diagnostics.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Paths.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/Text.h"
#include "vorsan/core/Xml.h"
#include "vorsan/engine/ConfigurationDocument.h"

// The build's installation folders (the defaults keep a stand-alone compile
// of this file working: no built-in installation).
#ifndef VORSAN_BUILD_INSTALLATION
#define VORSAN_BUILD_INSTALLATION ""
#endif
#ifndef VORSAN_INSTALLED_INSTALLATION
#define VORSAN_INSTALLED_INSTALLATION ""
#endif

namespace vorsan {

namespace {

namespace fs = std::filesystem;
using xercesc::DOMDocument;
using xercesc::DOMElement;
using xercesc::DOMNode;

// A name no other set-up (in this process or another) uses at the same time.
std::string uniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    return ".part-" + std::to_string(platform::processId()) + "-" + std::to_string(counter++);
}

// The elements an XPath like "//a//b//c" selects, in document order: those
// named c below an element b below an element a, at any depth.
std::vector<DOMElement*> select(DOMDocument& doc, const std::vector<std::u16string_view>& steps) {
    std::vector<DOMElement*> found;
    xercesc::DOMNodeList* named = doc.getElementsByTagName(std::u16string(steps.back()).c_str());
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
// <folder>/ and the file name the location has (after its last "/" or "\");
// "" for a location without a file name.
std::string userCopy(const std::string& profile, const char* folder, std::u16string_view location) {
    const std::u16string trimmed = trimBlanks(location);
    const std::size_t slash = trimmed.find_last_of(u"/\\");
    const std::u16string name = slash == std::u16string::npos ? trimmed : trimmed.substr(slash + 1);
    if (name.empty()) return {};
    return profile + "/Speechfiles/" + folder + "/" + utf16ToUtf8(name);
}

bool isFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(platform::nativePath(path), ec);
}

// Takes an element out of the document with the blank text before it, so
// no empty line is left where it stood.
void leaveOut(DOMElement& element) {
    DOMNode* parent = element.getParentNode();
    DOMNode* before = element.getPreviousSibling();
    if (before && before->getNodeType() == DOMNode::TEXT_NODE) {
        const XMLCh* text = before->getTextContent();
        if (trimBlanks(std::u16string_view(text ? text : u"")).empty()) parent->removeChild(before)->release();
    }
    parent->removeChild(&element)->release();
}

// Points the configuration's database locations at the user's copies, leaves
// out the entries whose copy is missing and clears the references to a
// left-out emotion or accent database.
void pointAtUserCopies(DOMDocument& doc, const std::string& profile) {
    std::set<std::u16string> kept[2];
    namespace names = configfile::names;
    const auto sections = {std::tuple{names::emotions, names::emotion, "Ruvetta", 0},
                           std::tuple{names::accents, names::accent, "Oskalen", 1}};
    for (const auto& [section, entry, folder, k] : sections) {
        for (DOMElement* e : select(doc, {names::root, section, entry})) {
            const std::string copy = userCopy(profile, folder, xml::attr(*e, names::location));
            if (!isFile(copy)) {
                leaveOut(*e);
                continue;
            }
            e->setAttribute(std::u16string(names::location).c_str(), utf8ToUtf16(copy).c_str());
            kept[k].insert(xml::attr(*e, names::name));
        }
    }

    const auto locations = select(doc, {names::root, names::languages, names::language, names::location});
    for (std::size_t i = 1; i < locations.size(); ++i) {
        const XMLCh* old = locations[i]->getTextContent();
        const std::string copy = userCopy(profile, "Pelmira", old ? old : u"");
        DOMNode* language = locations[i]->getParentNode();
        while (language && !xml::nameIs(*language, names::language)) language = language->getParentNode();
        if (!isFile(copy)) {
            if (language) leaveOut(*static_cast<DOMElement*>(language));
            continue;
        }
        locations[i]->setTextContent(utf8ToUtf16(copy).c_str());
    }
    for (const auto& [reference, k] : {std::pair{names::emotionRef, 0}, std::pair{names::accentRef, 1}}) {
        for (DOMElement* r : select(doc, {names::root, names::languages, names::language, reference})) {
            const std::u16string name = xml::attr(*r, names::name);
            if (!name.empty() && !kept[k].count(name)) r->setAttribute(std::u16string(names::name).c_str(), u"");
        }
    }
}

// Copies one file under a name of its own beside `to` and renames it into
// place, so the user's copy is at every moment either the old or the new one.
bool copyFile(const fs::path& from, const fs::path& to, std::error_code& ec) {
    const fs::path part = platform::nativePath(platform::utf8Path(to) + uniqueSuffix());
    fs::copy_file(from, part, fs::copy_options::overwrite_existing, ec);
    if (!ec && !platform::replaceFile(platform::utf8Path(part), platform::utf8Path(to)))
        ec = std::make_error_code(std::errc::permission_denied);
    if (!ec) return true;
    std::error_code ignored;
    fs::remove(part, ignored);
    return false;
}

// Copies the files below `from` (following links, as the installation's
// folders may be links to the shipped data) to the same places below `to`;
// with `overwrite` false a file that is there is kept. Entries that are not
// readable files or folders (a dangling link) are passed over.
bool copyTree(const fs::path& from, const fs::path& to, bool overwrite, std::size_t& copied, std::string& why) {
    std::error_code ec;
    fs::create_directories(to, ec);
    fs::recursive_directory_iterator it(from, fs::directory_options::follow_directory_symlink, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        // Lexically: a canonical path would see through the links.
        const fs::path target = to / it->path().lexically_relative(from);
        std::error_code kind;
        if (fs::is_directory(it->path(), kind)) {
            fs::create_directories(target, ec);
        } else if (fs::is_regular_file(it->path(), kind) && (overwrite || !fs::exists(target, kind))) {
            if (copyFile(it->path(), target, ec)) ++copied;
        }
    }
    if (ec) why = ec.message();
    return !ec;
}

// Copies the installation's data folder under a name of its own beside the
// target and renames it into place: of two programs setting up a new user at
// once, the first rename wins and the other's copy is dropped, so both end
// with a complete folder.
bool copyDataFolder(const fs::path& from, const fs::path& to, std::size_t& copied) {
    const fs::path part = platform::nativePath(platform::utf8Path(to) + uniqueSuffix());
    std::string why;
    std::error_code ec;
    if (!fs::is_directory(from, ec)) why = "no such folder";
    else if (copyTree(from, part, true, copied, why) &&
             !platform::renameFolder(platform::utf8Path(part), platform::utf8Path(to)))
        ec = std::make_error_code(std::errc::file_exists);
    if (why.empty() && !ec) return true;
    if (why.empty()) why = ec.message();
    fs::remove_all(part, ec);
    copied = 0;
    if (fs::is_directory(to, ec)) return true; // another set-up got there first
    diagnose("copying " + platform::utf8Path(from) + " to " + platform::utf8Path(to) + " failed: " + why);
    return false;
}

bool setUpDataFolder(const std::string& installation, ShippedFiles shipped, std::size_t& copied) {
    const fs::path data = platform::nativePath(speechFilesFolder());
    const fs::path source = platform::nativePath(installation + "/Speechfiles");
    std::error_code ec;
    if (!fs::exists(data, ec)) {
        if (installation.empty()) {
            diagnose("no data folder " + platform::utf8Path(data) + " and no installation folder to copy it from");
            return false;
        }
        return copyDataFolder(source, data, copied);
    }
    if (shipped != ShippedFiles::refresh || installation.empty()) return true;
    std::string why;
    if (!fs::is_directory(source, ec)) why = "no such folder";
    else if (copyTree(source, data, true, copied, why)) return true;
    diagnose("refreshing " + platform::utf8Path(data) + " from " + platform::utf8Path(source) + " failed: " + why);
    return false;
}

bool setUpConfiguration(const std::string& installation, bool& wrote) {
    const std::string config = userConfigurationPath();
    if (userConfigurationLoads()) return true;
    if (installation.empty()) {
        diagnose("no " + config + " that loads and no installation folder to set it up from");
        return false;
    }
    const std::string source = installation + "/tolvane.xml";
    std::optional<configfile::Document> doc;
    try {
        doc = configfile::Document::load(source, configfile::Document::Layout::asRead);
    } catch (const MException&) {
        diagnose("the installation's configuration " + source + " is missing or does not load: reinstall the data");
        return false;
    }
    pointAtUserCopies(doc->dom(), profileFolder());
    // A file of the user's that does not load is kept for them to mend.
    std::error_code ec;
    if (fs::exists(platform::nativePath(config), ec))
        fs::rename(platform::nativePath(config), platform::nativePath(config + ".bad"), ec);
    const std::string failure = doc->save(config);
    if (!failure.empty()) diagnose("could not write " + config + ": " + failure);
    wrote = failure.empty();
    return wrote;
}

} // namespace

std::string userConfigurationPath() { return profileFolder() + "/tolvane.xml"; }

bool userConfigurationLoads() {
    const std::string config = userConfigurationPath();
    if (!xml::isReadableFile(config)) return false;
    try {
        configfile::Document::load(config, configfile::Document::Layout::asRead);
        return true;
    } catch (const MException&) {
        return false;
    }
}

bool userHasConfiguration() {
    std::error_code ec;
    return fs::exists(platform::nativePath(userConfigurationPath()), ec);
}

std::string builtInInstallationFolder() {
    for (const std::string& folder : {installedDataFolder() + "/nimbrel", std::string(VORSAN_BUILD_INSTALLATION),
                                      std::string(VORSAN_INSTALLED_INSTALLATION)}) {
        std::error_code ec;
        if (!folder.empty() && fs::is_directory(platform::nativePath(folder), ec)) return folder;
    }
    return {};
}

UserDataSetUp setUpUserData(const std::string& installation, ShippedFiles shipped) {
    UserDataSetUp result;
    // A profile folder that is not there is not made: it is the system's.
    std::error_code ec;
    if (!fs::is_directory(platform::nativePath(profileFolder()), ec)) {
        diagnose("no profile folder " + profileFolder() + " to set up");
        return result;
    }
    // The data first: the configuration keeps only the entries whose copy is there.
    const bool data = setUpDataFolder(installation, shipped, result.copiedFiles);
    result.ok = setUpConfiguration(installation, result.wroteConfiguration) && data;
    return result;
}

FirstUse setUpNewUser(std::string_view program, const std::string& installation) {
    if (userHasConfiguration()) return FirstUse::ready;
    const std::string from = installation.empty() ? builtInInstallationFolder() : installation;
    const std::string name(program);
    if (from.empty()) {
        diagnose(name + ": " + profileFolder() +
                 " has no tolvane.xml and there is no installation folder to set it up from (run vorsan-user-setup)");
        return FirstUse::failed;
    }
    diagnose(name + ": set up " + profileFolder() + " from " + from);
    return setUpUserData(from).ok ? FirstUse::setUp : FirstUse::failed;
}

} // namespace vorsan
