#include "vorsan/synth/VoiceDatabase.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <utility>

#include "vorsan/core/CompiledCache.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Paths.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/RegularFile.h"
#include "vorsan/core/Text.h"
#include "vorsan/core/Xml.h"

#include "PitchMarks.h"

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

// A number in [lo, hi]; NaN, infinities and trailing text are refused. Read
// the C way whatever locale the host program has set (a decimal comma would
// refuse every shipped voice file).
double parseDouble(const std::string& path, const std::string& text, const char* what, double lo, double hi) {
    const auto first = text.find_first_not_of(" \t\r\n");
    const auto last = text.find_last_not_of(" \t\r\n");
    const std::string_view number = first == std::string::npos
                                        ? std::string_view()
                                        : std::string_view(text).substr(first, last - first + 1);
    double v = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), v);
    if (number.empty() || ec != std::errc() || end != number.data() + number.size() || !(v >= lo && v <= hi)) {
        char range[64];
        std::snprintf(range, sizeof range, " (a number from %g to %g is needed)", lo, hi);
        fault(path, std::string("bad ") + what + " '" + text + "'" + range);
    }
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
        // Each share is checked on its own (1..100) before it is added, so
        // the total cannot overflow.
        int32_t share = readLeadingInt(words[i + 1]);
        if (share <= 0 || share > 100 || std::to_string(share) != words[i + 1])
            fault(path, "phone '" + phone + "' has a bad share '" + words[i + 1] + "'");
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

VORSAN_CACHE_MEMBERS(VoicePart, x.phone, x.share)
VORSAN_CACHE_MEMBERS(Fallback, x.left, x.right, x.leftAs, x.rightAs, x.insert, x.share)
// Everything a voice file gives (its name and path are the caller's).
VORSAN_CACHE_MEMBERS(VoiceDatabase, x.festivalVoice, x.indexFile, x.nativeRate, x.pausePhone, x.defaultDiphone,
                     x.gain, x.defaultPitch, x.phones, x.fallbacks)

namespace {

// Bump whenever the encoding of VoiceDatabase changes.
constexpr compiledcache::Kind kVoiceKind{"VOIC", "voice", 1};

VoiceDatabase readVoiceXml(const std::string& path) {
    VoiceDatabase v;
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
        v.nativeRate = xml::intIn(*fest, u"rate", 4000, 96000);
        // A gain of 0 or less would silence the voice; more than 100 only clips.
        if (xml::hasAttr(*fest, u"gain")) v.gain = parseDouble(path, xml::attrUtf8(*fest, u"gain"), "gain", 1e-3, 100.0);
        if (xml::hasAttr(*fest, u"pitch")) v.defaultPitch = xml::intIn(*fest, u"pitch", 20, 1000);
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
                if (xml::hasAttr(*e, u"share")) f.share = xml::intIn(*e, u"share", 1, 90);
                int actions = !f.leftAs.empty() + !f.rightAs.empty() + !f.insert.empty();
                if (actions == 0) fault(path, "a Fallback needs left-as, right-as or insert");
                if (!f.insert.empty() && actions > 1) fault(path, "a Fallback with insert cannot also rename");
                v.fallbacks.push_back(std::move(f));
            }
        }
    }, xml::kMaxVoiceFileBytes);
    // Silence is always the voice's pause phone unless the file says otherwise.
    v.phones.emplace("_", std::vector<VoicePart>{{v.pausePhone, 100}});
    return v;
}

} // namespace

VoiceDatabase loadVoiceDatabase(const std::string& path, const std::string& name) {
    if (!xml::isReadableFile(path)) throw MException("File '" + path + "' not found/corrupted");
    xml::checkSize(path, xml::kMaxVoiceFileBytes);
    // A compiled copy made from the file's present bytes spares the parsing
    // (and with it the XML library's set-up, at every start of a program).
    const std::optional<compiledcache::Stamp> stamp = compiledcache::stampFile(path);
    VoiceDatabase v;
    if (!stamp || !compiledcache::load(kVoiceKind, path, *stamp, [&v](compiledcache::Reader& r) { compiledcache::get(r, v); })) {
        v = readVoiceXml(path);
        if (stamp) compiledcache::store(kVoiceKind, path, *stamp, [&v](compiledcache::Writer& w) { compiledcache::put(w, v); });
    }
    v.name = name;
    v.path = path;
    return v;
}

namespace {

// The lines of a file, read a block at a time and only as far as they are
// asked for: a group file's index is its first few dozen kilobytes, the
// rest is binary data. opened() is false when the file cannot be opened or
// is not a regular file (a FIFO would block, a device never end).
class BlockLines {
public:
    explicit BlockLines(const std::string& path) : fd_(RegularFile(path).release()) {}
    ~BlockLines() {
        if (fd_ >= 0) platform::closeFile(fd_);
    }
    BlockLines(const BlockLines&) = delete;
    BlockLines& operator=(const BlockLines&) = delete;

    bool opened() const { return fd_ >= 0; }
    // The next line without its newline; it stays valid until the next call.
    bool next(std::string_view& line) {
        for (;;) {
            const std::size_t eol = buffer_.find('\n', pos_);
            if (eol != std::string::npos || (end_ && pos_ < buffer_.size())) {
                const std::size_t stop = eol == std::string::npos ? buffer_.size() : eol;
                line = std::string_view(buffer_).substr(pos_, stop - pos_);
                pos_ = std::min(stop + 1, buffer_.size());
                return true;
            }
            if (end_) return false;
            buffer_.erase(0, pos_);
            start_ += static_cast<long>(pos_);
            pos_ = 0;
            const std::size_t kept = buffer_.size();
            buffer_.resize(kept + kBlock);
            const long got = platform::readSome(fd_, buffer_.data() + kept, kBlock);
            buffer_.resize(kept + static_cast<std::size_t>(std::max<long>(got, 0)));
            end_ = got <= 0;
        }
    }
    // File offset just past the last line returned.
    long offset() const { return start_ + static_cast<long>(pos_); }
    // The open file, now the caller's to close.
    int takeDescriptor() { return std::exchange(fd_, -1); }

private:
    static constexpr std::size_t kBlock = 64 * 1024;
    int fd_;
    std::string buffer_;
    std::size_t pos_ = 0; // next line's start in buffer_
    long start_ = 0;      // file offset of buffer_[0]
    bool end_ = false;
};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// The next blank-separated word of `rest`, which moves past it.
std::string_view nextWord(std::string_view& rest) {
    std::size_t i = 0;
    while (i < rest.size() && isSpace(rest[i])) ++i;
    std::size_t j = i;
    while (j < rest.size() && !isSpace(rest[j])) ++j;
    const std::string_view word = rest.substr(i, j - i);
    rest.remove_prefix(j);
    return word;
}

// An integer field (blanks, optional sign, digits) read off `rest`; false,
// with `rest` left short, when the next word does not start with one.
bool nextNumber(std::string_view& rest, long& value) {
    std::size_t i = 0;
    while (i < rest.size() && isSpace(rest[i])) ++i;
    const bool negative = i < rest.size() && rest[i] == '-';
    if (i < rest.size() && (rest[i] == '-' || rest[i] == '+')) ++i;
    if (i == rest.size() || rest[i] < '0' || rest[i] > '9') {
        rest = {};
        return false;
    }
    long v = 0;
    for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) v = v * 10 + (rest[i] - '0');
    value = negative ? -v : v;
    rest.remove_prefix(i);
    return true;
}

long headerNumber(std::string_view value) {
    long v = 0;
    return nextNumber(value, v) ? v : 0;
}

enum class Track { Read, Bad, Short };

// The frame times of a binary pitch-mark track at the start of `data`: Bad
// when it is not such a track, Short when `data` ends before it does.
Track trackTimes(std::string_view data, std::vector<double>& times) {
    if (data.size() < 15) return Track::Short;
    if (data.substr(0, 15) != "EST_File Track\n") return Track::Bad;
    long frames = -1, channels = -1;
    bool breaks = false, binary = false, littleEndian = true;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t end = data.find('\n', pos);
        if (end == std::string_view::npos) return Track::Short;
        const std::string_view line = data.substr(pos, end - pos);
        pos = end + 1;
        if (line == "EST_Header_End") break;
        const std::size_t space = line.find(' ');
        const std::string_view key = line.substr(0, space);
        const std::string_view value = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
        if (key == "NumFrames") frames = headerNumber(value);
        else if (key == "NumChannels") channels = headerNumber(value);
        else if (key == "BreaksPresent") breaks = value == "true";
        else if (key == "DataType") binary = value == "binary";
        else if (key == "ByteOrder") littleEndian = value == "01";
    }
    if (!binary || frames < 0 || channels < 0) return Track::Bad;
    const std::size_t frameBytes = 4 * static_cast<std::size_t>(1 + (breaks ? 1 : 0) + channels);
    if (pos + frameBytes * static_cast<std::size_t>(frames) > data.size()) return Track::Short;
    times.resize(static_cast<std::size_t>(frames));
    for (std::size_t i = 0; i < times.size(); ++i) {
        const auto* b = reinterpret_cast<const unsigned char*>(data.data() + pos + i * frameBytes);
        const uint32_t bits = littleEndian ? uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24
                                           : uint32_t(b[3]) | uint32_t(b[2]) << 8 | uint32_t(b[1]) << 16 | uint32_t(b[0]) << 24;
        float t;
        std::memcpy(&t, &bits, sizeof t);
        times[i] = t;
    }
    return Track::Read;
}

} // namespace

// The open file of a grouped index whose diphones are checked when first
// asked for (a short text needs a few dozen of a voice's thousands), and the
// verdicts so far. Reading just the pitch-mark times of one track costs a
// read or two; loading tracks through the speech tools would cost far more.
class DiphoneIndex::TrackCheck {
public:
    TrackCheck(int fd, long dataStart, std::size_t entries) : fd_(fd), dataStart_(dataStart), verdicts_(entries) {}
    ~TrackCheck() { platform::closeFile(fd_); }
    TrackCheck(const TrackCheck&) = delete;
    TrackCheck& operator=(const TrackCheck&) = delete;

    // Whether entry i's data can be used. Threads asking at once at worst
    // both read the track and store the same verdict.
    bool usable(const Entry& e, std::size_t i) {
        if (e.trackStart < 0) return true;
        int8_t verdict = verdicts_[i].load(std::memory_order_relaxed);
        if (verdict == kUnknown) {
            std::vector<double> times;
            verdict = readTimes(dataStart_ + e.trackStart, times) && usableDiphone(times, e.middleFrame) ? kUsable : kUnusable;
            verdicts_[i].store(verdict, std::memory_order_relaxed);
        }
        return verdict == kUsable;
    }

private:
    static constexpr int8_t kUnknown = 0, kUsable = 1, kUnusable = 2;

    bool readTimes(long offset, std::vector<double>& times) const {
        std::string buffer;
        // A track with its header is usually well under 4 KB.
        for (std::size_t want = 4096; want <= (std::size_t{1} << 24); want *= 8) {
            buffer.resize(want);
            const long got = platform::readAt(fd_, buffer.data(), want, static_cast<std::uint64_t>(offset));
            if (got <= 0) return false;
            buffer.resize(static_cast<std::size_t>(got));
            const Track t = trackTimes(buffer, times);
            if (t != Track::Short || buffer.size() < want) return t == Track::Read;
        }
        return false;
    }

    int fd_;
    long dataStart_;
    std::vector<std::atomic<int8_t>> verdicts_;
};

DiphoneIndex DiphoneIndex::read(const std::string& path, bool dropUnusable) {
    BlockLines file(path);
    if (!file.opened()) throw MException("cannot read diphone index '" + path + "'");
    DiphoneIndex index;
    long dataStart = -1;
    bool repeats = false;
    bool header = true;
    long expected = -1;
    for (std::string_view line; file.next(line);) {
        if (header) {
            if (line.substr(0, 10) == "NumEntries") expected = scanInt(line.substr(10));
            if (line == "EST_Header_End") header = false;
            continue;
        }
        // Entries are "name file-or-offset ..." lines; a grouped index ends
        // where its binary data begins.
        std::string_view fields = line;
        const std::string_view name = nextWord(fields);
        const auto dash = name.find('-');
        if (dash == std::string_view::npos || dash == 0 || dash + 1 == name.size()) break;
        // Grouped entries: "name track-offset wave-offset middle-frame".
        Entry entry{std::string(name), -1, -1};
        long track = -1, wave = -1, middle = -1;
        if (nextNumber(fields, track) && nextNumber(fields, wave) && nextNumber(fields, middle))
            entry = {std::string(name), track, static_cast<int>(middle)};
        repeats |= !index.diphones_.emplace(entry.name, index.entries_.size()).second;
        index.entries_.push_back(std::move(entry));
        index.phones_.emplace(name.substr(0, dash));
        index.phones_.emplace(name.substr(dash + 1));
        if (expected >= 0 && static_cast<long>(index.entries_.size()) >= expected) {
            // Offsets count from the line after the last entry.
            dataStart = file.offset();
            break;
        }
    }
    if (index.diphones_.empty()) throw MException("diphone index '" + path + "' lists no diphones");
    if (dropUnusable && dataStart >= 0) {
        index.check_ = std::make_shared<TrackCheck>(file.takeDescriptor(), dataStart, index.entries_.size());
        // has() checks a diphone's first entry; one listed again is missing
        // when any of its entries is unusable, which is settled here.
        for (std::size_t i = 0; repeats && i < index.entries_.size(); ++i) {
            const auto it = index.diphones_.find(index.entries_[i].name);
            if (it != index.diphones_.end() && it->second != i && !index.check_->usable(index.entries_[i], i))
                index.diphones_.erase(it);
        }
    }
    return index;
}

bool DiphoneIndex::has(std::string_view left, std::string_view right) const {
    std::string key;
    key.reserve(left.size() + right.size() + 1);
    key.append(left).append("-").append(right);
    const auto it = diphones_.find(key);
    return it != diphones_.end() && usable(it->second);
}

bool DiphoneIndex::usable(std::size_t entry) const { return !check_ || check_->usable(entries_[entry], entry); }

std::size_t DiphoneIndex::size() const {
    if (!check_) return diphones_.size();
    return static_cast<std::size_t>(
        std::count_if(diphones_.begin(), diphones_.end(), [this](const auto& d) { return usable(d.second); }));
}

std::string festivalVoiceFolder(const std::string& voice) {
    std::vector<std::string> roots;
    if (std::string env = platform::environment("VORSAN_FESTIVAL_VOICES").value_or(""); !env.empty())
        roots.push_back(std::move(env));
    // An installation that brings its voices along (the Windows installer).
    roots.push_back(installedDataFolder() + "/festival/voices");
    roots.emplace_back("/usr/share/festival/voices");
    roots.emplace_back("/usr/lib/festival/voices");
    roots.emplace_back("/usr/local/share/festival/voices");
    std::error_code ec;
    for (const auto& root : roots) {
        // Voices live in <root>/<language>/<voice>.
        for (fs::directory_iterator it(platform::nativePath(root), ec), end; !ec && it != end; it.increment(ec)) {
            fs::path candidate = it->path() / platform::nativePath(voice);
            if (fs::is_directory(candidate, ec)) return platform::utf8Path(candidate);
        }
        ec.clear();
    }
    return {};
}

std::string diphoneIndexPath(const VoiceDatabase& voice) {
    if (platform::isAbsolutePath(voice.indexFile)) return voice.indexFile;
    std::string folder = festivalVoiceFolder(voice.festivalVoice);
    if (folder.empty()) throw MException("Festival voice '" + voice.festivalVoice + "' is not installed");
    return folder + "/" + voice.indexFile;
}

} // namespace vorsan::synth
