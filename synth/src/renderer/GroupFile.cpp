#include "renderer/GroupFile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "PitchMarks.h"
#include "vorsan/core/MException.h"

namespace vorsan::synth::renderer {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view word(std::string_view& rest) {
    std::size_t i = 0;
    while (i < rest.size() && isBlank(rest[i])) ++i;
    std::size_t j = i;
    while (j < rest.size() && !isBlank(rest[j])) ++j;
    std::string_view w = rest.substr(i, j - i);
    rest.remove_prefix(j);
    return w;
}

// A decimal integer word; false when there is none or it is out of range.
bool number(std::string_view w, long& value) {
    if (w.empty()) return false;
    const bool negative = w.front() == '-';
    if (negative || w.front() == '+') w.remove_prefix(1);
    if (w.empty() || w.size() > 12) return false;
    long v = 0;
    for (char c : w) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    value = negative ? -v : v;
    return true;
}

uint32_t bigEndian32(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

float floatAt(const unsigned char* p, bool swap) {
    unsigned char b[4] = {p[0], p[1], p[2], p[3]};
    if (swap) {
        std::swap(b[0], b[3]);
        std::swap(b[1], b[2]);
    }
    float f;
    std::memcpy(&f, b, sizeof f);
    return f;
}

constexpr bool kLittleEndianHost = std::endian::native == std::endian::little;

} // namespace

int16_t muLawToLinear(unsigned char byte) {
    static constexpr int kSegmentBase[8] = {0, 132, 396, 924, 1980, 4092, 8316, 16764};
    const unsigned char u = static_cast<unsigned char>(~byte);
    const int exponent = (u >> 4) & 0x07;
    const int magnitude = kSegmentBase[exponent] + ((u & 0x0F) << (exponent + 3));
    return static_cast<int16_t>((u & 0x80) ? -magnitude : magnitude);
}

float Diphone::coef(std::size_t f, int c) const {
    return floatAt(coefs + f * frameStride + 4 * static_cast<std::size_t>(c), swapBytes);
}

GroupFile::GroupFile(const std::string& path) : path_(path), map_(path) {
    if (!map_.mapped()) throw MException("cannot read diphone voice '" + path + "'");
    data_ = reinterpret_cast<const unsigned char*>(map_.bytes().data());
    size_ = map_.bytes().size();

    // Header lines up to EST_Header_End, then one line per entry:
    // "name track-offset wave-offset middle-frame"; offsets count from the
    // line after the last entry.
    const std::string_view text(reinterpret_cast<const char*>(data_), size_);
    std::size_t pos = 0;
    long expected = -1;
    bool grouped = false, header = true;
    while (pos < text.size()) {
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos) eol = text.size();
        std::string_view line = text.substr(pos, eol - pos);
        pos = eol + 1;
        if (header) {
            std::string_view rest = line;
            const std::string_view key = word(rest);
            if (key == "NumEntries") number(word(rest), expected);
            else if (key == "DataFormat") grouped = word(rest) == "grouped";
            else if (key == "EST_Header_End") header = false;
            if (!header && (!grouped || expected <= 0 || expected > 1000000)) break;
            continue;
        }
        std::string_view rest = line;
        const std::string_view name = word(rest);
        long track = 0, wave = 0, middle = 0;
        if (name.find('-') == std::string_view::npos || !number(word(rest), track) || !number(word(rest), wave) ||
            !number(word(rest), middle) || track < 0 || wave < 0)
            break;
        byName_[std::string(name)] = static_cast<long>(entries_.size());
        entries_.push_back({static_cast<std::size_t>(track), static_cast<std::size_t>(wave), static_cast<int>(middle)});
        if (static_cast<long>(entries_.size()) == expected) {
            const std::size_t dataStart = std::min(pos, text.size());
            for (Entry& e : entries_) {
                e.track = e.track > size_ - dataStart ? size_ : e.track + dataStart;
                e.wave = e.wave > size_ - dataStart ? size_ : e.wave + dataStart;
            }
            break;
        }
    }
    if (entries_.empty() || static_cast<long>(entries_.size()) != expected) {
        throw MException("'" + path + "' is not a grouped diphone voice");
    }
    Diphone probe;
    for (const char* pause : {"pau-pau", "#-#", "_-_"})
        if (const long e = find(pause); e >= 0 && readWave(entries_[static_cast<std::size_t>(e)].wave, probe)) {
            rate_ = probe.rate;
            break;
        }
    if (rate_ == 0 && readWave(entries_.front().wave, probe)) rate_ = probe.rate;
}

long GroupFile::find(std::string_view name) const {
    const auto it = byName_.find(std::string(name));
    return it == byName_.end() ? -1 : it->second;
}

bool GroupFile::diphone(long entry, Diphone& out) const {
    if (entry < 0 || static_cast<std::size_t>(entry) >= entries_.size()) return false;
    const Entry& e = entries_[static_cast<std::size_t>(entry)];
    out.middleFrame = e.middle;
    if (!readTrack(e.track, out) || !readWave(e.wave, out)) return false;
    std::vector<double> times(out.times.begin(), out.times.end());
    return usableDiphone(times, out.middleFrame);
}

bool GroupFile::readTrack(std::size_t at, Diphone& out) const {
    const std::string_view text(reinterpret_cast<const char*>(data_), size_);
    if (at >= size_ || text.substr(at, 15) != "EST_File Track\n") return false;
    long frames = -1, channels = -1;
    bool breaks = false, binary = false, little = true;
    std::size_t pos = at + 15;
    for (int lines = 0;; ++lines) {
        const std::size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos || lines > 4096) return false;
        std::string_view rest = text.substr(pos, eol - pos);
        pos = eol + 1;
        const std::string_view key = word(rest);
        if (key == "EST_Header_End") break;
        const std::string_view value = word(rest);
        if (key == "NumFrames") number(value, frames);
        else if (key == "NumChannels") number(value, channels);
        else if (key == "BreaksPresent") breaks = value == "true";
        else if (key == "DataType") binary = value == "binary";
        else if (key == "ByteOrder") little = value == "01";
    }
    if (!binary || frames < 2 || frames > 100000 || channels < 1 || channels > 256) return false;
    const std::size_t stride = 4 * static_cast<std::size_t>(1 + (breaks ? 1 : 0) + channels);
    if (stride * static_cast<std::size_t>(frames) > size_ - pos) return false;
    out.swapBytes = little != kLittleEndianHost;
    out.channels = static_cast<int>(channels);
    out.frameStride = stride;
    out.coefs = data_ + pos + 4 * (breaks ? 2 : 1);
    out.times.resize(static_cast<std::size_t>(frames));
    for (std::size_t f = 0; f < out.times.size(); ++f) out.times[f] = floatAt(data_ + pos + f * stride, out.swapBytes);
    return true;
}

bool GroupFile::readWave(std::size_t at, Diphone& out) const {
    // Sun audio: ".snd", header size, data size, encoding (1: mu-law),
    // rate, channels, all big-endian.
    if (at > size_ || size_ - at < 24 || std::memcmp(data_ + at, ".snd", 4) != 0) return false;
    const uint32_t headerSize = bigEndian32(data_ + at + 4);
    const uint32_t dataSize = bigEndian32(data_ + at + 8);
    const uint32_t rate = bigEndian32(data_ + at + 16);
    if (bigEndian32(data_ + at + 12) != 1 || bigEndian32(data_ + at + 20) != 1 || headerSize < 24 ||
        headerSize > size_ - at || rate < 4000 || rate > 96000)
        return false;
    out.residual = data_ + at + headerSize;
    out.residualCount = std::min<std::size_t>(dataSize, size_ - at - headerSize);
    out.rate = static_cast<int32_t>(rate);
    return out.residualCount > 0;
}

} // namespace vorsan::synth::renderer
