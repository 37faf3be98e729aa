#pragma once
// Compiled copies of XML data files, kept in the profile's "Speechfiles/Cache"
// folder so that later loads need no XML parsing. Each loader supplies only
// its payload encoding; this module gives everything else: the location, the
// header, the checks, whole-file reading, bounds-checked decoding and safe
// writing.
//
// A cache file holds an 8-byte magic ("VRSN" and a 4-character kind), the
// kind's format version, the size and a 64-bit hash of the XML bytes it was
// made from, a checksum of the payload, and the payload. It is trusted only
// when all of these agree with the present XML bytes and the payload decodes
// exactly; anything else counts as no cache. Numbers are in the machine's
// byte order (a cache from another machine fails the checks and is rebuilt).
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace vorsan::compiledcache {

// One kind of cached file.
struct Kind {
    std::string_view tag;       // exactly 4 characters, part of the magic
    std::string_view extension; // of the cache file's name
    uint32_t version;           // bump whenever the payload's encoding changes
};

// Fast 64-bit hash of bytes; detects edits and damage, not forgery.
uint64_t hash64(std::string_view bytes);

// What a cache file records of the XML bytes it was made from: their size
// and hash64.
struct Stamp {
    uint64_t size = 0;
    uint64_t hash = 0;
    bool operator==(const Stamp&) const = default;
};
Stamp stampOf(std::string_view xml);
// The stamp of a file's bytes, read piece by piece through a small buffer
// (a large file is never held whole), or nullopt when it cannot be read.
std::optional<Stamp> stampFile(const std::string& path);

// The cache file of an XML file: "<profile>/Speechfiles/Cache/<base name>-
// <hash of the absolute path>.<extension>".
std::string cachePath(const std::string& xmlFile, std::string_view extension);

// A whole regular file's bytes, or nullopt when it cannot be read, is not a
// regular file or is larger than the largest XML file allowed.
std::optional<std::string> readFile(const std::string& path);

// A cache file's bytes: the header for the XML bytes `xml`, then `payload`.
std::string wrap(const Kind& kind, std::string_view xml, std::string_view payload);
std::string wrap(const Kind& kind, const Stamp& xml, std::string_view payload);
// The payload of a cache file's bytes when the header matches the kind, its
// version and the XML bytes `xml`, and the payload its checksum; nullopt
// otherwise.
std::optional<std::string_view> unwrap(const Kind& kind, std::string_view cache, std::string_view xml);
std::optional<std::string_view> unwrap(const Kind& kind, std::string_view cache, const Stamp& xml);

// Writes `bytes` to `target` under a unique temporary name renamed into
// place, so concurrent writers each leave a complete file; creates the
// cache folder, but not a missing folder above it (then nothing is
// written). Failures are ignored: a cache is only an accelerator.
void writeFile(const std::string& target, std::string_view bytes) noexcept;

// --- Payload encoding ----------------------------------------------------

// Any inconsistency found while decoding.
struct Damaged {};

struct Writer {
    std::string bytes;
    template <class T>
    void raw(const T& v) { bytes.append(reinterpret_cast<const char*>(&v), sizeof v); }
    void count(std::size_t n) { raw(static_cast<uint32_t>(n)); }
};

// Bounds-checked reading: nothing is read past the end (Damaged instead),
// and every count is capped by the bytes left.
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
    // The bytes not yet read, which count as read from now on (for a payload
    // whose later parts are decoded later).
    std::string_view takeRest() { return std::exchange(rest_, {}); }

private:
    std::string_view rest_;
};

// put() and get() encode numbers, enumerations, strings, pairs, arrays,
// vectors, optionals, maps, and records: a record type is one for which a
// function members(x), found by argument-dependent lookup, returns std::tie
// of its members in encoding order (for const and non-const x; see
// VORSAN_CACHE_MEMBERS). A record must encode to at least 4 bytes, the least
// any list element is assumed to take.
#define VORSAN_CACHE_MEMBERS(Type, ...)                                               \
    [[maybe_unused]] static auto members(Type& x) { return std::tie(__VA_ARGS__); }       \
    [[maybe_unused]] static auto members(const Type& x) { return std::tie(__VA_ARGS__); }

template <class T>
concept Record = requires(const T& x) { members(x); };
template <class T>
concept Number = std::is_arithmetic_v<T> && !std::is_same_v<T, bool>;

// Fewest bytes one encoded element of a list or map can take.
template <class T>
inline constexpr std::size_t kLeastBytes = std::is_arithmetic_v<T> || std::is_enum_v<T> ? sizeof(T) : 4;

static_assert(sizeof(bool) == 1);

template <Number T>
void put(Writer& w, T v) { w.raw(v); }
template <class E> requires std::is_enum_v<E>
void put(Writer& w, E v) { w.raw(v); }
inline void put(Writer& w, bool v) { w.raw(static_cast<uint8_t>(v)); }
template <class Char>
void put(Writer& w, const std::basic_string<Char>& s) {
    w.count(s.size());
    w.bytes.append(reinterpret_cast<const char*>(s.data()), s.size() * sizeof(Char));
}

template <Number T>
void get(Reader& r, T& v) { v = r.raw<T>(); }
template <class E> requires std::is_enum_v<E>
void get(Reader& r, E& v) { v = r.raw<E>(); }
inline void get(Reader& r, bool& v) {
    const uint8_t b = r.raw<uint8_t>();
    if (b > 1) throw Damaged{};
    v = b != 0;
}
template <class Char>
void get(Reader& r, std::basic_string<Char>& s) { s = r.string<Char>(); }

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

// --- Loading and storing -------------------------------------------------

// Hands the payload of the XML file's cache to `decode` when the cache is
// valid for the XML bytes `xml` (or the bytes of that stamp); true when
// `decode` then read the whole payload without finding damage. On false,
// whatever `decode` filled in is to be discarded and the XML loaded. The
// cache file is mapped, not copied: `decode` must copy what it keeps. Never
// raises.
bool load(const Kind& kind, const std::string& xmlFile, std::string_view xml,
          const std::function<void(Reader&)>& decode) noexcept;
bool load(const Kind& kind, const std::string& xmlFile, const Stamp& xml,
          const std::function<void(Reader&)>& decode) noexcept;

// Writes the XML file's cache for the XML bytes `xml` (or the bytes of that
// stamp), its payload made by `encode`. Failures are ignored. Never raises.
void store(const Kind& kind, const std::string& xmlFile, std::string_view xml,
           const std::function<void(Writer&)>& encode) noexcept;
void store(const Kind& kind, const std::string& xmlFile, const Stamp& xml,
           const std::function<void(Writer&)>& encode) noexcept;

} // namespace vorsan::compiledcache
