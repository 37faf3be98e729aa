#include "vorsan/synth/VoiceDatabase.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "vorsan/core/MException.h"
#include "vorsan/core/Paths.h"
#include "vorsan/core/Text.h"
#include "vorsan/core/Xml.h"

namespace vorsan::synth {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> splitWords(std::string_view s) {
    std::vector<std::string> out;
    std::istringstream in{std::string(s)};
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

bool listMatches(const std::vector<std::string>& list, std::string_view phone) {
    if (list.empty()) return true;
    for (const auto& p : list)
        if (p == phone) return true;
    return false;
}

// "*" (or nothing) stands for any phone.
std::vector<std::string> phoneList(const std::string& text) {
    auto words = splitWords(text);
    if (words.size() == 1 && words[0] == "*") words.clear();
    return words;
}

[[noreturn]] void fault(const std::string& path, const std::string& what) {
    throw MException("Voice file '" + path + "': " + what);
}

double parseDouble(const std::string& path, const std::string& text, const char* what) {
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (text.empty() || (end && *end != '\0')) fault(path, std::string("bad ") + what + " '" + text + "'");
    return v;
}

// "eh 60 ax 40" -> parts; a single name takes the whole phone.
std::vector<VoicePart> parseParts(const std::string& path, const std::string& phone, const std::string& text) {
    auto words = splitWords(text);
    std::vector<VoicePart> parts;
    if (words.size() == 1) {
        parts.push_back({words[0], 100});
        return parts;
    }
    if (words.empty() || words.size() % 2 != 0) fault(path, "phone '" + phone + "' needs 'name' or 'name share name share ...'");
    int32_t total = 0;
    for (std::size_t i = 0; i < words.size(); i += 2) {
        int32_t share = readLeadingInt(words[i + 1]);
        if (share <= 0 || std::to_string(share) != words[i + 1]) fault(path, "phone '" + phone + "' has a bad share '" + words[i + 1] + "'");
        total += share;
        parts.push_back({words[i], share});
    }
    if (total != 100) fault(path, "shares of phone '" + phone + "' add up to " + std::to_string(total) + ", not 100");
    return parts;
}

} // namespace

bool Fallback::matches(std::string_view a, std::string_view b) const { return listMatches(left, a) && listMatches(right, b); }

const Fallback* VoiceDatabase::fallbackFor(std::string_view a, std::string_view b) const {
    for (const auto& f : fallbacks)
        if (f.matches(a, b)) return &f;
    return nullptr;
}

std::string voiceDatabasePath(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name.find('\\') != std::string::npos || name == "." || name == "..")
        return {};
    for (const std::string& folder : {speechFilesFolder() + "/Voices", installedDataFolder() + "/voices"}) {
        std::string path = folder + "/" + name + ".xml";
        if (xml::isReadableFile(path)) return path;
    }
    return {};
}

VoiceDatabase loadVoiceDatabase(const std::string& path, const std::string& name) {
    if (!xml::isReadableFile(path)) throw MException("File '" + path + "' not found/corrupted");
    VoiceDatabase v;
    v.name = name;
    v.path = path;
    xml::parseFile(path, xml::GuardStyle{}, [&](const xml::DOMElement& root) {
        if (!xml::nameIs(root, u"SynthVoice")) fault(path, "the root element must be SynthVoice");
        const xml::DOMElement* fest = xml::firstChildNamed(root, u"Festival");
        if (!fest) fault(path, "no Festival element");
        v.festivalVoice = xml::attrUtf8(*fest, u"voice");
        v.indexFile = xml::attrUtf8(*fest, u"index");
        v.pausePhone = xml::attrUtf8(*fest, u"pause");
        v.defaultDiphone = xml::attrUtf8(*fest, u"default");
        if (v.festivalVoice.empty() || v.indexFile.empty() || v.pausePhone.empty())
            fault(path, "the Festival element needs voice, index and pause");
        v.nativeRate = xml::parseInt(xml::attr(*fest, u"rate"));
        if (v.nativeRate < 4000 || v.nativeRate > 96000) fault(path, "native rate out of range");
        if (xml::hasAttr(*fest, u"gain")) v.gain = parseDouble(path, xml::attrUtf8(*fest, u"gain"), "gain");
        if (xml::hasAttr(*fest, u"pitch")) v.defaultPitch = xml::parseInt(xml::attr(*fest, u"pitch"));
        if (v.defaultPitch < 20 || v.defaultPitch > 1000) fault(path, "default pitch out of range");
        if (v.defaultDiphone.empty()) v.defaultDiphone = v.pausePhone + "-" + v.pausePhone;

        for (const xml::DOMElement* e : xml::childElements(root)) {
            if (xml::nameIs(*e, u"Phone")) {
                std::string phone = xml::attrUtf8(*e, u"name");
                if (phone.empty()) fault(path, "a Phone without a name");
                auto parts = parseParts(path, phone, xml::attrUtf8(*e, u"voice"));
                v.phones.emplace(phone, std::move(parts)); // first entry wins
            } else if (xml::nameIs(*e, u"Fallback")) {
                Fallback f;
                f.left = phoneList(xml::attrUtf8(*e, u"left"));
                f.right = phoneList(xml::attrUtf8(*e, u"right"));
                f.leftAs = xml::attrUtf8(*e, u"left-as");
                f.rightAs = xml::attrUtf8(*e, u"right-as");
                f.insert = xml::attrUtf8(*e, u"insert");
                if (xml::hasAttr(*e, u"share")) f.share = xml::parseInt(xml::attr(*e, u"share"));
                int actions = !f.leftAs.empty() + !f.rightAs.empty() + !f.insert.empty();
                if (actions == 0) fault(path, "a Fallback needs left-as, right-as or insert");
                if (!f.insert.empty() && actions > 1) fault(path, "a Fallback with insert cannot also rename");
                if (f.share < 1 || f.share > 90) fault(path, "a Fallback share must be 1..90");
                v.fallbacks.push_back(std::move(f));
            }
        }
    });
    // Silence is always the voice's pause phone unless the file says otherwise.
    v.phones.emplace("_", std::vector<VoicePart>{{v.pausePhone, 100}});
    return v;
}

DiphoneIndex DiphoneIndex::read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw MException("cannot read diphone index '" + path + "'");
    DiphoneIndex index;
    std::string line;
    bool header = true;
    long expected = -1;
    while (std::getline(in, line)) {
        if (header) {
            if (line.rfind("NumEntries", 0) == 0) expected = scanInt(line.substr(10));
            if (line == "EST_Header_End") header = false;
            continue;
        }
        // Entries are "name file-or-offset ..." lines; a grouped index ends
        // where its binary data begins.
        std::istringstream fields(line);
        std::string name;
        fields >> name;
        auto dash = name.find('-');
        if (dash == std::string::npos || dash == 0 || dash + 1 == name.size()) break;
        // Grouped entries: "name track-offset wave-offset middle-frame".
        Entry entry{name, -1, -1};
        long track = -1, wave = -1, middle = -1;
        if (fields >> track >> wave >> middle) entry = {name, track, static_cast<int>(middle)};
        index.entries_.push_back(std::move(entry));
        index.phones_.insert(name.substr(0, dash));
        index.phones_.insert(name.substr(dash + 1));
        index.diphones_.insert(std::move(name));
        if (expected >= 0 && static_cast<long>(index.entries_.size()) >= expected) {
            // Offsets count from the line after the last entry.
            index.dataStart_ = static_cast<long>(in.tellg());
            break;
        }
    }
    if (index.diphones_.empty()) throw MException("diphone index '" + path + "' lists no diphones");
    return index;
}

bool DiphoneIndex::has(std::string_view left, std::string_view right) const {
    std::string key;
    key.reserve(left.size() + right.size() + 1);
    key.append(left).append("-").append(right);
    return diphones_.count(key) != 0;
}

std::string festivalVoiceFolder(const std::string& voice) {
    std::vector<std::string> roots;
    if (const char* env = std::getenv("VORSAN_FESTIVAL_VOICES"); env && *env) roots.emplace_back(env);
    roots.emplace_back("/usr/share/festival/voices");
    roots.emplace_back("/usr/lib/festival/voices");
    roots.emplace_back("/usr/local/share/festival/voices");
    std::error_code ec;
    for (const auto& root : roots) {
        // Voices live in <root>/<language>/<voice>.
        for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
            fs::path candidate = it->path() / voice;
            if (fs::is_directory(candidate, ec)) return candidate.string();
        }
        ec.clear();
    }
    return {};
}

std::string diphoneIndexPath(const VoiceDatabase& voice) {
    if (!voice.indexFile.empty() && voice.indexFile.front() == '/') return voice.indexFile;
    std::string folder = festivalVoiceFolder(voice.festivalVoice);
    if (folder.empty()) throw MException("Festival voice '" + voice.festivalVoice + "' is not installed");
    return folder + "/" + voice.indexFile;
}

} // namespace vorsan::synth
