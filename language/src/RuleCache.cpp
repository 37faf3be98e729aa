#include "RuleCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "vorsan/core/Paths.h"

namespace vorsan::rulecache {

namespace fs = std::filesystem;

namespace {

// Header: magic, format version, XML size, XML hash, payload checksum. All
// numbers in the machine's byte order (a cache from another machine fails
// the magic or the checks and is rebuilt).
constexpr std::string_view kMagic{"VRSNRULE", 8};
constexpr std::size_t kHeaderSize = kMagic.size() + 4 + 8 + 8 + 8;

// Any inconsistency found while decoding.
struct Damaged {};

struct Writer {
    std::string bytes;
    template <class T>
    void raw(const T& v) { bytes.append(reinterpret_cast<const char*>(&v), sizeof v); }
    void count(std::size_t n) { raw(static_cast<uint32_t>(n)); }
};

// Bounds-checked reading; every count is capped by the bytes left.
class Reader {
public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}
    template <class T>
    T raw() {
        T v;
        if (rest_.size() < sizeof v) throw Damaged{};
        std::memcpy(&v, rest_.data(), sizeof v);
        rest_.remove_prefix(sizeof v);
        return v;
    }
    // A count of elements that take at least `unit` bytes each.
    std::size_t count(std::size_t unit) {
        const std::size_t n = raw<uint32_t>();
        if (n > rest_.size() / unit) throw Damaged{};
        return n;
    }
    template <class Char>
    std::basic_string<Char> string() {
        const std::size_t n = count(sizeof(Char));
        std::basic_string<Char> s(n, Char{});
        std::memcpy(s.data(), rest_.data(), n * sizeof(Char));
        rest_.remove_prefix(n * sizeof(Char));
        return s;
    }
    bool done() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

// The members of every record, in encoding order; one list serves writing
// and reading.
#define VORSAN_MEMBERS(Type, ...)                                    \
    [[maybe_unused]] auto members(Type& x) { return std::tie(__VA_ARGS__); } \
    [[maybe_unused]] auto members(const Type& x) { return std::tie(__VA_ARGS__); }
VORSAN_MEMBERS(PhonemeUnit, x.name, x.duration, x.pitchPoints)
VORSAN_MEMBERS(CharacterEntry, x.glyph, x.type, x.phones, x.isCombined)
VORSAN_MEMBERS(CharacterTable, x.vowels, x.consonants, x.dependents, x.signs, x.digits, x.baseFormCorrection, x.halant)
VORSAN_MEMBERS(Rule, x.match, x.rank, x.phones)
VORSAN_MEMBERS(PriorityGroup, x.no, x.rules)
VORSAN_MEMBERS(RuleCharacter, x.glyph, x.type, x.priorities)
VORSAN_MEMBERS(DigitWords, x.words)
VORSAN_MEMBERS(Identifier, x.text, x.rank)
VORSAN_MEMBERS(ClauseType, x.name, x.description, x.identifiers, x.pause, x.pitchPattern)
VORSAN_MEMBERS(SentenceType, x.name, x.description, x.identifiers, x.pause, x.pitchPattern, x.clauseTypes)
VORSAN_MEMBERS(LanguageInfo, x.languageName, x.dialect, x.languageCode, x.countryCode, x.mbrolaDatabase,
               x.unicodeStart, x.unicodeEnd, x.halantBased)
VORSAN_MEMBERS(LanguageFileInfo, x.title, x.author, x.lastModifiedBy, x.version, x.description, x.comment,
               x.createdOn, x.lastModified)
VORSAN_MEMBERS(SoundEntry, x.phonem, x.type, x.usage)
VORSAN_MEMBERS(LanguageParts, x.fileInfo, x.language, x.sounds, x.characters, x.digitMap, x.digitWords,
               x.exactMatches, x.ruleCharacters, x.sentenceTypes)
#undef VORSAN_MEMBERS

template <class T>
concept Record = requires(const T& x) { members(x); };

// Fewest bytes one encoded element of a list or map can take.
template <class T>
constexpr std::size_t kLeastBytes = std::is_arithmetic_v<T> ? sizeof(T) : 4;

void put(Writer& w, int32_t v) { w.raw(v); }
void put(Writer& w, char v) { w.raw(v); }
void put(Writer& w, char16_t v) { w.raw(v); }
void put(Writer& w, bool v) { w.raw(static_cast<uint8_t>(v)); }
void put(Writer& w, const std::string& s) {
    w.count(s.size());
    w.bytes.append(s);
}
void put(Writer& w, const std::u16string& s) {
    w.count(s.size());
    w.bytes.append(reinterpret_cast<const char*>(s.data()), s.size() * sizeof(char16_t));
}

void get(Reader& r, int32_t& v) { v = r.raw<int32_t>(); }
void get(Reader& r, char& v) { v = r.raw<char>(); }
void get(Reader& r, char16_t& v) { v = r.raw<char16_t>(); }
void get(Reader& r, bool& v) {
    const uint8_t b = r.raw<uint8_t>();
    if (b > 1) throw Damaged{};
    v = b != 0;
}
void get(Reader& r, std::string& s) { s = r.string<char>(); }
void get(Reader& r, std::u16string& s) { s = r.string<char16_t>(); }

template <class A, class B> void put(Writer& w, const std::pair<A, B>& p);
template <class T, std::size_t N> void put(Writer& w, const std::array<T, N>& a);
template <class T> void put(Writer& w, const std::vector<T>& v);
template <class T> void put(Writer& w, const std::optional<T>& o);
template <class K, class V, class C> void put(Writer& w, const std::map<K, V, C>& m);
template <Record T> void put(Writer& w, const T& x);
template <class A, class B> void get(Reader& r, std::pair<A, B>& p);
template <class T, std::size_t N> void get(Reader& r, std::array<T, N>& a);
template <class T> void get(Reader& r, std::vector<T>& v);
template <class T> void get(Reader& r, std::optional<T>& o);
template <class K, class V, class C> void get(Reader& r, std::map<K, V, C>& m);
template <Record T> void get(Reader& r, T& x);

template <class A, class B>
void put(Writer& w, const std::pair<A, B>& p) {
    put(w, p.first);
    put(w, p.second);
}
template <class T, std::size_t N>
void put(Writer& w, const std::array<T, N>& a) {
    for (const T& e : a) put(w, e);
}
template <class T>
void put(Writer& w, const std::vector<T>& v) {
    w.count(v.size());
    for (const T& e : v) put(w, e);
}
template <class T>
void put(Writer& w, const std::optional<T>& o) {
    put(w, o.has_value());
    if (o) put(w, *o);
}
template <class K, class V, class C>
void put(Writer& w, const std::map<K, V, C>& m) {
    w.count(m.size());
    for (const auto& [key, value] : m) {
        put(w, key);
        put(w, value);
    }
}
template <Record T>
void put(Writer& w, const T& x) {
    std::apply([&w](const auto&... m) { (put(w, m), ...); }, members(x));
}

template <class A, class B>
void get(Reader& r, std::pair<A, B>& p) {
    get(r, p.first);
    get(r, p.second);
}
template <class T, std::size_t N>
void get(Reader& r, std::array<T, N>& a) {
    for (T& e : a) get(r, e);
}
template <class T>
void get(Reader& r, std::vector<T>& v) {
    v.resize(r.count(kLeastBytes<T>));
    for (T& e : v) get(r, e);
}
template <class T>
void get(Reader& r, std::optional<T>& o) {
    bool present = false;
    get(r, present);
    if (!present) return o.reset();
    get(r, o.emplace());
}
template <class K, class V, class C>
void get(Reader& r, std::map<K, V, C>& m) {
    m.clear();
    for (std::size_t n = r.count(kLeastBytes<K>); n > 0; --n) {
        K key{};
        V value{};
        get(r, key);
        get(r, value);
        // Written in key order, so each entry goes at the end.
        m.emplace_hint(m.end(), std::move(key), std::move(value));
    }
}
template <Record T>
void get(Reader& r, T& x) {
    std::apply([&r](auto&... m) { (get(r, m), ...); }, members(x));
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

uint64_t hash64(std::string_view bytes) {
    // Multiply-rotate rounds over four independent lanes of 8-byte words
    // (fast on large files), then the tail, then a final avalanche.
    constexpr uint64_t kP1 = 0x9E3779B185EBCA87ULL, kP2 = 0xC2B2AE3D27D4EB4FULL, kP3 = 0x165667B19E3779F9ULL;
    auto rotl = [](uint64_t x, int r) { return (x << r) | (x >> (64 - r)); };
    auto word = [](const char* p) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        return v;
    };
    auto round = [&](uint64_t acc, uint64_t in) { return rotl(acc + in * kP2, 31) * kP1; };
    const char* p = bytes.data();
    std::size_t n = bytes.size();
    uint64_t lanes[4] = {kP1 + kP2, kP2, 0, 0 - kP1};
    for (; n >= 32; p += 32, n -= 32)
        for (int i = 0; i < 4; ++i) lanes[i] = round(lanes[i], word(p + 8 * i));
    uint64_t h = bytes.size() * kP3;
    for (uint64_t lane : lanes) h = (h ^ round(0, lane)) * kP1 + kP3;
    for (; n >= 8; p += 8, n -= 8) h = rotl(h ^ round(0, word(p)), 27) * kP1 + kP3;
    for (; n > 0; ++p, --n) h = rotl(h ^ (static_cast<uint8_t>(*p) * kP3), 11) * kP1;
    h ^= h >> 33;
    h *= kP2;
    h ^= h >> 29;
    h *= kP3;
    return h ^ (h >> 32);
}

std::string cachePath(const std::string& ruleFile) {
    std::error_code ec;
    fs::path absolute = fs::absolute(ruleFile, ec);
    if (ec) absolute = ruleFile;
    absolute = absolute.lexically_normal();
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash64(absolute.native())));
    return speechFilesFolder() + "/Cache/" + absolute.stem().string() + "-" + hex + ".rules";
}

std::string encode(const LanguageParts& parts, std::string_view xml) {
    Writer payload;
    put(payload, parts);
    Writer w;
    w.bytes.reserve(kHeaderSize + payload.bytes.size());
    w.bytes.append(kMagic);
    w.raw(kFormatVersion);
    w.raw(static_cast<uint64_t>(xml.size()));
    w.raw(hash64(xml));
    w.raw(hash64(payload.bytes));
    w.bytes.append(payload.bytes);
    return std::move(w.bytes);
}

std::optional<LanguageParts> decode(std::string_view cache, std::string_view xml) {
    try {
        if (cache.size() < kHeaderSize || cache.substr(0, kMagic.size()) != kMagic) return std::nullopt;
        Reader header(cache.substr(kMagic.size(), kHeaderSize - kMagic.size()));
        if (header.raw<uint32_t>() != kFormatVersion || header.raw<uint64_t>() != xml.size()) return std::nullopt;
        const uint64_t xmlHash = header.raw<uint64_t>();
        const uint64_t checksum = header.raw<uint64_t>();
        const std::string_view payload = cache.substr(kHeaderSize);
        if (hash64(payload) != checksum || hash64(xml) != xmlHash) return std::nullopt;
        Reader r(payload);
        LanguageParts parts;
        get(r, parts);
        if (!r.done()) return std::nullopt;
        return parts;
    } catch (const Damaged&) {
        return std::nullopt;
    }
}

std::optional<std::string> readFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::optional<std::string> result;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
        std::size_t got = 0;
        bool failed = false;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) failed = true;
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got); // a file that shrank meanwhile
        if (!failed) result = std::move(bytes);
    }
    ::close(fd);
    return result;
}

std::optional<LanguageParts> load(const std::string& ruleFile, std::string_view xml) {
    try {
        if (auto bytes = readFile(cachePath(ruleFile))) return decode(*bytes, xml);
    } catch (...) {
        // Out of memory while decoding: load from the XML instead.
    }
    return std::nullopt;
}

void store(const std::string& ruleFile, std::string_view xml, const LanguageParts& parts) noexcept {
    try {
        const fs::path target = cachePath(ruleFile);
        std::error_code ec;
        fs::create_directories(target.parent_path(), ec);
        if (ec) return;
        const std::string bytes = encode(parts, xml);
        // A crash between write and rename leaves at most a stray temporary
        // file; a torn cache file cannot pass the checksum anyway.
        std::string temp = target.string() + ".XXXXXX";
        const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd < 0) return;
        bool ok = writeAll(fd, bytes);
        ok = ::close(fd) == 0 && ok;
        if (!ok || ::rename(temp.c_str(), target.c_str()) != 0) ::unlink(temp.c_str());
    } catch (...) {
        // No cache; the load itself succeeded.
    }
}

} // namespace vorsan::rulecache
