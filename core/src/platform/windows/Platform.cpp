// The platform layer on Windows: every file name goes to the wide-character
// interfaces (converted from the engine's UTF-8), since the narrow ones read
// names in the ANSI code page, which cannot hold most of the scripts the
// engine speaks. Files are opened with CreateFileW and handed to the C
// runtime as descriptors, so the code above reads them as on any system.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cwchar>
#include <iostream>
#include <mutex>
#include <streambuf>

#include "vorsan/core/Platform.h"
#include "vorsan/core/Text.h"

namespace vorsan::platform {

namespace fs = std::filesystem;

namespace {

std::wstring wide(std::string_view utf8) {
    const std::u16string units = utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string narrow(std::wstring_view units) { return utf16ToUtf8(std::u16string(units.begin(), units.end())); }

// The system's text for an error code, as UTF-8 without the trailing line break.
std::string systemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message;
    if (n > 0 && text) message = narrow(std::wstring_view(text, n));
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                                message.back() == '.'))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : message;
}

// A C runtime descriptor for a file handle (binary: bytes pass unchanged);
// the handle is closed when that fails.
int descriptorOf(HANDLE handle, int flags) {
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
    if (fd < 0) ::CloseHandle(handle);
    return fd;
}

// A console written through WriteConsoleW: the UTF-8 bytes the program
// writes are turned into UTF-16 a whole character at a time.
class ConsoleBuffer final : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        std::lock_guard lock(mutex_);
        pending_.push_back(traits_type::to_char_type(c));
        if (c == '\n' || pending_.size() >= 4096) writeOut();
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        std::lock_guard lock(mutex_);
        pending_.append(s, static_cast<std::size_t>(n));
        if (pending_.find('\n') != std::string::npos || pending_.size() >= 4096) writeOut();
        return n;
    }
    int sync() override {
        std::lock_guard lock(mutex_);
        return writeOut() ? 0 : -1;
    }

private:
    // Writes the pending bytes up to the last whole UTF-8 character; a
    // character cut by the buffer's end waits for the rest of its bytes.
    bool writeOut() {
        std::size_t whole = pending_.size();
        for (std::size_t back = 1; back <= std::min<std::size_t>(3, pending_.size()); ++back) {
            const auto c = static_cast<unsigned char>(pending_[pending_.size() - back]);
            if ((c & 0xC0) == 0x80) continue; // a continuation byte
            const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            if (length > back) whole = pending_.size() - back;
            break;
        }
        const std::wstring text = wide(std::string_view(pending_).substr(0, whole));
        pending_.erase(0, whole);
        std::size_t done = 0;
        while (done < text.size()) {
            DWORD written = 0;
            const DWORD n = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 8192));
            if (!::WriteConsoleW(console_, text.data() + done, n, &written, nullptr) || written == 0) return false;
            done += written;
        }
        return true;
    }

    HANDLE console_;
    std::mutex mutex_;
    std::string pending_;
};

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && ::GetConsoleMode(handle, &mode) != 0;
}

} // namespace

fs::path nativePath(std::string_view utf8) { return fs::path(wide(utf8)); }

bool isAbsolutePath(std::string_view utf8) {
    if (!utf8.empty() && (utf8.front() == '/' || utf8.front() == '\\')) return true;
    return utf8.size() >= 3 && ((utf8[0] >= 'A' && utf8[0] <= 'Z') || (utf8[0] >= 'a' && utf8[0] <= 'z')) &&
           utf8[1] == ':' && (utf8[2] == '/' || utf8[2] == '\\');
}

std::string utf8Path(const fs::path& path) { return narrow(path.native()); }

std::optional<std::string> environment(const char* name) {
    const wchar_t* v = ::_wgetenv(wide(name).c_str());
    if (!v) return std::nullopt;
    return narrow(v);
}

void setEnvironment(const char* name, const std::optional<std::string>& value) {
    // An empty value removes the variable: Windows has no empty variables.
    ::_wputenv_s(wide(name).c_str(), value ? wide(*value).c_str() : L"");
}

Opened openRegularFile(const std::string& path, int& descriptor, std::uintmax_t& size) {
    descriptor = -1;
    size = 0;
    // Backup semantics let a folder open too, so that it is refused as not
    // a regular file rather than reported missing. Sharing everything lets
    // a writer replace the file while it is read, as on POSIX systems.
    const HANDLE h = ::CreateFileW(nativePath(path).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Opened::Missing;
    // A console, pipe or device ("NUL", "CON", "\\.\pipe\...") is no disk file.
    // The standard information (size, folder or not) asks nothing of the
    // volume, unlike GetFileInformationByHandle: files are opened for every
    // sentence, so this is the cheaper question.
    FILE_STANDARD_INFO info{};
    if (::GetFileType(h) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandleEx(h, FileStandardInfo, &info, sizeof info) || info.Directory) {
        ::CloseHandle(h);
        return Opened::NotRegular;
    }
    const int fd = descriptorOf(h, _O_RDONLY);
    if (fd < 0) return Opened::Missing;
    descriptor = fd;
    size = static_cast<std::uintmax_t>(info.EndOfFile.QuadPart);
    return Opened::Regular;
}

long readSome(int descriptor, void* buffer, std::size_t n) {
    return ::_read(descriptor, buffer, static_cast<unsigned>(std::min<std::size_t>(n, INT_MAX)));
}

long readAt(int descriptor, void* buffer, std::size_t n, std::uint64_t offset) {
    const auto file = reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor));
    if (file == INVALID_HANDLE_VALUE) return -1;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (::ReadFile(file, buffer, static_cast<DWORD>(std::min<std::size_t>(n, INT_MAX)), &got, &at)) return static_cast<long>(got);
    return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
}

bool writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const int n = ::_write(descriptor, bytes.data(), static_cast<unsigned>(std::min<std::size_t>(bytes.size(), INT_MAX)));
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool closeFile(int descriptor) { return ::_close(descriptor) == 0; }

int createUniqueFile(const std::string& prefix, bool /*readableByAll: the folder's permissions decide*/,
                     std::string& name, std::string* why) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    unsigned long long state = static_cast<unsigned long long>(now.QuadPart) ^
                               (static_cast<unsigned long long>(::GetCurrentProcessId()) << 32) ^
                               reinterpret_cast<std::uintptr_t>(&name);
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = prefix;
        for (int i = 0; i < 6; ++i) {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            candidate.push_back(kLetters[(state >> 33) % (sizeof kLetters - 1)]);
        }
        const HANDLE h = ::CreateFileW(nativePath(candidate).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                       nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            break;
        }
        const int fd = descriptorOf(h, 0);
        if (fd < 0) {
            error = ERROR_TOO_MANY_OPEN_FILES;
            ::DeleteFileW(nativePath(candidate).c_str());
            break;
        }
        name = std::move(candidate);
        return fd;
    }
    if (why) *why = systemMessage(error);
    name.clear();
    return -1;
}

bool replaceFile(const std::string& from, const std::string& to, std::string* why) {
    // A file another thread or program has open for reading cannot be
    // replaced on Windows until it is closed; readers hold files briefly (a
    // configuration being checked, a cache being read), so the replacement
    // is tried again for up to a second before it counts as failed.
    const std::wstring source = nativePath(from), target = nativePath(to);
    DWORD error = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
        error = ::GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) break;
        ::Sleep(10);
    }
    if (why) *why = systemMessage(error);
    return false;
}

bool removeFile(const std::string& path) { return ::DeleteFileW(nativePath(path).c_str()) != 0; }

FileStamp fileStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(nativePath(path).c_str(), GetFileExInfoStandard, &data)) return {};
    return {true, (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
            static_cast<std::int64_t>((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                      data.ftLastWriteTime.dwLowDateTime)};
}

bool renameFolder(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING: an existing `to` is never replaced.
    return ::MoveFileExW(nativePath(from).c_str(), nativePath(to).c_str(), 0) != 0;
}

std::FILE* openFile(const std::string& path, const char* mode) {
    return ::_wfopen(nativePath(path).c_str(), wide(mode).c_str());
}

const char* mapFile(int descriptor, std::size_t size, bool /*populate: pages are read on first use*/) {
    const auto file = reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor));
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    const HANDLE mapping = ::CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping) return nullptr;
    // The view keeps the mapping (and the file) open by itself.
    const void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, size);
    ::CloseHandle(mapping);
    return static_cast<const char*>(view);
}

void unmapFile(const char* data, std::size_t /*size*/) {
    if (data) ::UnmapViewOfFile(data);
}

fs::path moduleFile(const void* address) {
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCWSTR>(address), &module))
        return {};
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) return {};
        if (n < name.size()) {
            name.resize(n);
            return fs::path(name);
        }
        name.resize(name.size() * 2);
    }
}

long processId() { return static_cast<long>(::GetCurrentProcessId()); }

bool isTerminal(std::FILE* stream) {
    return isConsole(reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream))));
}

void* loadLibrary(const std::string& path, std::string& error) {
    const HMODULE library = ::LoadLibraryW(nativePath(path).c_str());
    if (!library) error = path + ": " + systemMessage(::GetLastError());
    return reinterpret_cast<void*>(library);
}

void* librarySymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library), name));
}

void unloadLibrary(void* library) {
    if (library) ::FreeLibrary(static_cast<HMODULE>(library));
}

std::vector<std::string> programArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!args) return {argv, argv + argc};
    std::vector<std::string> result;
    for (int i = 0; i < count; ++i) result.push_back(narrow(args[i]));
    ::LocalFree(args);
    return result;
}

void useUtf8StandardStreams() {
    // No newline translation: the bytes written are the bytes a pipe or file gets.
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    // Kept for the life of the process: the streams flush into them at exit.
    const auto toConsole = [](std::ostream& stream, DWORD which) {
        const HANDLE h = ::GetStdHandle(which);
        if (isConsole(h)) stream.rdbuf(new ConsoleBuffer(h));
    };
    std::cout.flush();
    std::cerr.flush();
    toConsole(std::cout, STD_OUTPUT_HANDLE);
    toConsole(std::cerr, STD_ERROR_HANDLE);
    toConsole(std::clog, STD_ERROR_HANDLE);
}

} // namespace vorsan::platform
