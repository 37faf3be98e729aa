// The platform layer on Linux and other POSIX systems: file names are bytes
// (UTF-8 by the engine's convention) and go to the system as they are.
#include "vorsan/core/Platform.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace vorsan::platform {

namespace fs = std::filesystem;

fs::path nativePath(std::string_view utf8) { return fs::path(utf8); }

bool isAbsolutePath(std::string_view utf8) { return !utf8.empty() && utf8.front() == '/'; }

std::string utf8Path(const fs::path& path) { return path.string(); }

std::optional<std::string> environment(const char* name) {
    const char* v = std::getenv(name);
    if (!v) return std::nullopt;
    return std::string(v);
}

void setEnvironment(const char* name, const std::optional<std::string>& value) {
    if (value) ::setenv(name, value->c_str(), 1);
    else ::unsetenv(name);
}

Opened openRegularFile(const std::string& path, int& descriptor, std::uintmax_t& size) {
    descriptor = -1;
    size = 0;
    // O_NONBLOCK: a FIFO with no writer would otherwise block the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return Opened::Missing;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Opened::NotRegular;
    }
    // Regular files never block; clear the flag all the same so later
    // reads behave as ordinary blocking reads.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    descriptor = fd;
    size = static_cast<std::uintmax_t>(st.st_size);
    return Opened::Regular;
}

long readSome(int descriptor, void* buffer, std::size_t n) {
    for (;;) {
        const ssize_t got = ::read(descriptor, buffer, n);
        if (got < 0 && errno == EINTR) continue;
        return static_cast<long>(got);
    }
}

long readAt(int descriptor, void* buffer, std::size_t n, std::uint64_t offset) {
    for (;;) {
        const ssize_t got = ::pread(descriptor, buffer, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        return static_cast<long>(got);
    }
}

bool writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(descriptor, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool closeFile(int descriptor) { return ::close(descriptor) == 0; }

int createUniqueFile(const std::string& prefix, bool readableByAll, std::string& name, std::string* why) {
    std::string pattern = prefix + "XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        if (why) *why = std::strerror(errno);
        name.clear();
        return -1;
    }
    if (readableByAll) ::fchmod(fd, 0644); // mkostemp's 0600 is too private for such a file
    name = std::move(pattern);
    return fd;
}

bool replaceFile(const std::string& from, const std::string& to, std::string* why) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    if (why) *why = std::strerror(errno);
    return false;
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

FileStamp fileStamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return {true, static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool renameFolder(const std::string& from, const std::string& to) {
    // rename() would replace an empty folder at `to`; a link refuses any.
    if (::access(to.c_str(), F_OK) == 0) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

std::FILE* openFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

const char* mapFile(int descriptor, std::size_t size, bool populate) {
    void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | (populate ? MAP_POPULATE : 0), descriptor, 0);
    return p == MAP_FAILED ? nullptr : static_cast<const char*>(p);
}

void unmapFile(const char* data, std::size_t size) {
    if (data) ::munmap(const_cast<char*>(data), size);
}

fs::path moduleFile(const void* address) {
    Dl_info info{};
    link_map* map = nullptr;
    if (dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) != 0 && map && map->l_name &&
        *map->l_name)
        return map->l_name;
    // The main program's link map has no name; the kernel knows its file.
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe;
}

long processId() { return static_cast<long>(::getpid()); }

bool isTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) != 0; }

void* loadLibrary(const std::string& path, std::string& error) {
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* e = ::dlerror();
        error = e ? e : "cannot load the library";
    }
    return library;
}

void* librarySymbol(void* library, const char* name) { return ::dlsym(library, name); }

void unloadLibrary(void* library) {
    if (library) ::dlclose(library);
}

std::string libraryFileName(std::string_view base) { return "lib" + std::string(base) + ".so"; }

std::vector<std::string> programArguments(int argc, char** argv) { return {argv, argv + argc}; }

void useUtf8StandardStreams() {}

} // namespace vorsan::platform
