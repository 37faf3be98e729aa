#include "vorsan/core/CompiledCache.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

// The hash is compiled in from the header alone: no library to load.
#define XXH_INLINE_ALL
#include <xxhash.h>

#include "vorsan/core/MappedFile.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/RegularFile.h"
#include "vorsan/core/Xml.h"
#include "vorsan/core/Paths.h"

namespace vorsan::compiledcache {

namespace fs = std::filesystem;

namespace {

// Header: "VRS2" (the header's format: "VRSN" files hashed with an older
// function), the kind's tag, format version, XML size, XML hash, payload
// checksum.
constexpr std::string_view kMagic{"VRS2", 4};
constexpr std::size_t kHeaderSize = kMagic.size() + 4 + 4 + 8 + 8 + 8;


} // namespace

uint64_t hash64(std::string_view bytes) { return XXH3_64bits(bytes.data(), bytes.size()); }

Stamp stampOf(std::string_view xml) { return {xml.size(), hash64(xml)}; }

std::optional<Stamp> stampFile(const std::string& path) {
    RegularFile file(path);
    if (!file.open()) return std::nullopt;
    const int fd = file.descriptor();
    // Hashed piece by piece through one reused buffer: copying into memory
    // already touched costs far less than faulting in a copy of the file.
    XXH3_state_t state;
    XXH3_INITSTATE(&state);
    if (XXH3_64bits_reset(&state) != XXH_OK) return std::nullopt;
    std::vector<char> buffer(64 * 1024);
    uint64_t total = 0;
    for (;;) {
        const long n = platform::readSome(fd, buffer.data(), buffer.size());
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        total += static_cast<uint64_t>(n);
        XXH3_64bits_update(&state, buffer.data(), static_cast<std::size_t>(n));
    }
    return Stamp{total, XXH3_64bits_digest(&state)};
}

std::string cachePath(const std::string& xmlFile, std::string_view extension) {
    std::error_code ec;
    fs::path absolute = fs::absolute(platform::nativePath(xmlFile), ec);
    if (ec) absolute = platform::nativePath(xmlFile);
    absolute = absolute.lexically_normal();
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash64(platform::utf8Path(absolute))));
    std::string path = speechFilesFolder() + "/Cache/" + platform::utf8Path(absolute.stem()) + "-" + hex + ".";
    path += extension;
    return path;
}

std::optional<std::string> readFile(const std::string& path) {
    RegularFile file(path);
    std::string bytes;
    // No file of the engine's is larger than the largest XML kind; a
    // longer one (grown meanwhile) is left unread.
    if (!file.readAll(bytes, xml::kMaxXmlBytes) || bytes.size() > xml::kMaxXmlBytes) return std::nullopt;
    return bytes;
}

std::string wrap(const Kind& kind, std::string_view xml, std::string_view payload) {
    return wrap(kind, stampOf(xml), payload);
}

std::string wrap(const Kind& kind, const Stamp& xml, std::string_view payload) {
    Writer w;
    w.bytes.reserve(kHeaderSize + payload.size());
    w.bytes.append(kMagic);
    w.bytes.append(kind.tag.substr(0, 4));
    w.bytes.resize(kMagic.size() + 4, ' ');
    w.raw(kind.version);
    w.raw(xml.size);
    w.raw(xml.hash);
    w.raw(hash64(payload));
    w.bytes.append(payload);
    return std::move(w.bytes);
}

std::optional<std::string_view> unwrap(const Kind& kind, std::string_view cache, std::string_view xml) {
    return unwrap(kind, cache, stampOf(xml));
}

std::optional<std::string_view> unwrap(const Kind& kind, std::string_view cache, const Stamp& xml) {
    try {
        if (cache.size() < kHeaderSize || cache.substr(0, kMagic.size()) != kMagic ||
            cache.substr(kMagic.size(), 4) != kind.tag)
            return std::nullopt;
        Reader header(cache.substr(kMagic.size() + 4, kHeaderSize - kMagic.size() - 4));
        if (header.raw<uint32_t>() != kind.version || header.raw<uint64_t>() != xml.size) return std::nullopt;
        const uint64_t xmlHash = header.raw<uint64_t>();
        const uint64_t checksum = header.raw<uint64_t>();
        const std::string_view payload = cache.substr(kHeaderSize);
        if (xmlHash != xml.hash || hash64(payload) != checksum) return std::nullopt;
        return payload;
    } catch (const Damaged&) {
        return std::nullopt;
    }
}

void writeFile(const std::string& target, std::string_view bytes) noexcept {
    try {
        // Only the cache folder itself is made: a profile without its data
        // folder (a new user, a profile that does not exist) is never given
        // one as a side effect.
        std::error_code ec;
        fs::create_directory(platform::nativePath(target).parent_path(), ec);
        if (ec) return;
        // A crash between write and rename leaves at most a stray temporary
        // file; a torn cache file cannot pass the checksum anyway.
        std::string temp;
        const int fd = platform::createUniqueFile(target + ".", false, temp);
        if (fd < 0) return;
        bool ok = platform::writeAll(fd, bytes);
        ok = platform::closeFile(fd) && ok;
        if (!ok || !platform::replaceFile(temp, target)) platform::removeFile(temp);
    } catch (...) {
        // No cache; the load itself succeeded.
    }
}

bool load(const Kind& kind, const std::string& xmlFile, std::string_view xml,
          const std::function<void(Reader&)>& decode) noexcept {
    return load(kind, xmlFile, stampOf(xml), decode);
}

bool load(const Kind& kind, const std::string& xmlFile, const Stamp& xml,
          const std::function<void(Reader&)>& decode) noexcept {
    try {
        // Mapped rather than read: the pages come straight from the page
        // cache. Cache files are only ever replaced whole (renamed into
        // place), so the mapping's bytes cannot change under the decoder.
        const MappedFile mapping(cachePath(xmlFile, kind.extension), true);
        if (!mapping.mapped()) return false;
        const std::optional<std::string_view> payload = unwrap(kind, mapping.bytes(), xml);
        if (!payload) return false;
        Reader r(*payload);
        decode(r);
        return r.done();
    } catch (...) {
        // Damage, or out of memory while decoding: the caller loads the XML.
        return false;
    }
}

void store(const Kind& kind, const std::string& xmlFile, std::string_view xml,
           const std::function<void(Writer&)>& encode) noexcept {
    store(kind, xmlFile, stampOf(xml), encode);
}

void store(const Kind& kind, const std::string& xmlFile, const Stamp& xml,
           const std::function<void(Writer&)>& encode) noexcept {
    try {
        Writer payload;
        encode(payload);
        writeFile(cachePath(xmlFile, kind.extension), wrap(kind, xml, payload.bytes));
    } catch (...) {
        // No cache; the load itself succeeded.
    }
}

} // namespace vorsan::compiledcache
