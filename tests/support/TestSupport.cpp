#include "vorsan/testing/TestSupport.h"
#include "vorsan/core/Platform.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>
#include <stdexcept>

#include "vorsan/core/PhonemeText.h"

namespace vorsan::testing {

namespace fs = std::filesystem;

TempProfile::TempProfile(std::string_view namePart) {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path p = fs::temp_directory_path() /
                     platform::nativePath("vorsan-test-" + std::to_string(rd()) + std::string(namePart));
        if (fs::create_directory(p)) {
            dir_ = p;
            break;
        }
    }
    if (dir_.empty()) throw std::runtime_error("cannot create a temporary profile folder");
    if (const auto old = platform::environment("USERPROFILE")) {
        hadProfile_ = true;
        oldProfile_ = *old;
    }
    platform::setEnvironment("USERPROFILE", folder());
}

TempProfile::~TempProfile() {
    if (hadProfile_) platform::setEnvironment("USERPROFILE", oldProfile_);
    else platform::setEnvironment("USERPROFILE", std::nullopt);
    // Everything a test made read-only is made writable again first: on
    // Windows a read-only file cannot be deleted at all.
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    for (fs::recursive_directory_iterator it(dir_, ec), end; !ec && it != end; it.increment(ec))
        if (!it->is_symlink()) fs::permissions(it->path(), fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
    ec.clear();
    fs::remove_all(dir_, ec);
}

std::string TempProfile::folder() const { return platform::utf8Path(dir_); }

std::string TempProfile::write(const std::string& relative, std::string_view content) const {
    // Joined as the engine joins its own paths (with "/"), so that a path
    // written here compares equal to the engine's name for the same file.
    const std::string name = folder() + "/" + relative;
    const fs::path p = platform::nativePath(name);
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return name;
}

std::string sourcePath(const std::string& relative) { return std::string(VORSAN_SOURCE_DIR) + "/" + relative; }

std::string renamedLanguageFile(const TempProfile& profile, const std::string& shippedFile, const std::string& name,
                                const std::string& code) {
    std::ifstream in(sourcePath("data/pelmira/" + shippedFile), std::ios::binary);
    std::string rules((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto replaceText = [&](const std::string& element, const std::string& value) {
        const std::string open = "<" + element + ">";
        const std::size_t from = rules.find(open);
        const std::size_t to = rules.find("</" + element + ">", from);
        if (from != std::string::npos && to != std::string::npos)
            rules.replace(from + open.size(), to - from - open.size(), value);
    };
    replaceText("LanguageName", name);
    replaceText("LanguageCode", code);
    return profile.write(name + ".xml", rules);
}

void addLanguageToConfiguration(const TempProfile& profile, const std::string& name, const std::string& location,
                                const std::string& db, float time) {
    std::ifstream in(profile.path() / "tolvane.xml", std::ios::binary);
    std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t at = xml.find("<Pelmira>");
    if (at == std::string::npos) throw std::runtime_error("tolvane.xml has no Pelmira section");
    xml.insert(at + 9, "<PelmiraFile name=\"" + name + "\" Dialect=\"Standard\"><location>" + location +
                           "</location><MbrolaDatabase>" + db + "</MbrolaDatabase><Pitch>0.75</Pitch><Time>" +
                           std::to_string(time) + "</Time><Voice>16000</Voice></PelmiraFile>");
    profile.write("tolvane.xml", xml);
}

double phonemeSeconds(std::string_view phonemeText) {
    PhonemeRecordList list;
    list.read(phonemeText);
    double ms = 0;
    for (const auto& r : list) ms += r.duration;
    return ms / 1000.0;
}

struct DiagnosticCapture::Lines {
    std::mutex mutex;
    std::string text;
};

DiagnosticCapture::DiagnosticCapture() : lines_(std::make_shared<Lines>()) {
    previous_ = setDiagnosticSink([lines = lines_](std::string_view line) {
        std::lock_guard lock(lines->mutex);
        lines->text.append(line).push_back('\n');
    });
}

DiagnosticCapture::~DiagnosticCapture() { setDiagnosticSink(std::move(previous_)); }

std::string DiagnosticCapture::text() const {
    std::lock_guard lock(lines_->mutex);
    return lines_->text;
}

} // namespace vorsan::testing
