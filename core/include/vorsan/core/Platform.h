#pragma once
// The few things the operating system does differently, behind one set of
// functions: everything else in the engine is the same code on every
// system. Names of files are UTF-8 strings throughout the engine; these
// functions turn them into what the system's file interfaces take (on
// Windows the wide-character interfaces, so that a name in any script works,
// whatever the system's ANSI code page is).
//
// One implementation per system: src/platform/posix/ and src/platform/windows/.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorsan::platform {

// The separator of a list of folders in one string (PATH-style lists), and
// whether '\\' separates the folders of a path as '/' does.
#ifdef _WIN32
inline constexpr char kFolderListSeparator = ';';
inline constexpr bool kBackslashSeparates = true;
#else
inline constexpr char kFolderListSeparator = ':';
inline constexpr bool kBackslashSeparates = false;
#endif

// A UTF-8 file name as a path of the system's own kind. Every
// std::filesystem::path made from an engine string goes through here.
std::filesystem::path nativePath(std::string_view utf8);

// Whether a UTF-8 file name is absolute: starts at the root ("/x"; on
// Windows also "\\x", "C:\\x", "C:/x").
bool isAbsolutePath(std::string_view utf8);

// A path as a UTF-8 string (the inverse of nativePath).
std::string utf8Path(const std::filesystem::path& path);

// An environment variable's value as UTF-8; nothing when it is not set.
std::optional<std::string> environment(const char* name);

// Sets an environment variable of this process to a UTF-8 value, or
// removes it when `value` is nothing.
void setEnvironment(const char* name, const std::optional<std::string>& value);

// What opening a file for reading gave.
enum class Opened { Regular, Missing, NotRegular };

// Opens `path` for reading without blocking on a FIFO and checks, on the
// open file (not the name, which may change meanwhile), that it is a regular
// file. On Regular, `descriptor` is the open file (binary, blocking reads)
// and `size` its size at the open; otherwise nothing is left open.
Opened openRegularFile(const std::string& path, int& descriptor, std::uintmax_t& size);

// Reads up to `n` bytes: the count read, 0 at the end of the file, -1 on an
// error. An interrupted read is retried.
long readSome(int descriptor, void* buffer, std::size_t n);

// Reads up to `n` bytes at `offset` without using the descriptor's position
// (threads may read one descriptor at once): as readSome.
long readAt(int descriptor, void* buffer, std::size_t n, std::uint64_t offset);

// Writes all of `bytes`; false on an error.
bool writeAll(int descriptor, std::string_view bytes);

// Closes a descriptor these functions opened; false when the close reports
// an error (on some file systems the last write's failure shows only there).
bool closeFile(int descriptor);

// Creates a new file whose name is `prefix` followed by a few random
// characters, open for writing (binary); it fails rather than open a file
// that exists. `readableByAll`: the file may be read by other users (a sound
// file), otherwise only by its owner (a cache). -1 on failure, with `name`
// left empty and the reason in `why` if given.
int createUniqueFile(const std::string& prefix, bool readableByAll, std::string& name, std::string* why = nullptr);

// Renames `from` to `to`, replacing `to` when it exists (in one step where
// the system can). False on failure (errno-style reason in `why` if given).
bool replaceFile(const std::string& from, const std::string& to, std::string* why = nullptr);

// Removes a file; false when it could not be removed.
bool removeFile(const std::string& path);

// A file's size and last change, to the finest step the system keeps
// (nanoseconds on Linux, 100 ns on Windows; std::filesystem on Windows only
// keeps whole seconds, too coarse to see a file rewritten at once).
struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0; // in the system's own unit and epoch
    bool operator==(const FileStamp&) const = default;
};
FileStamp fileStamp(const std::string& path);

// Renames a folder; fails (false) when `to` exists.
bool renameFolder(const std::string& from, const std::string& to);

// fopen with a UTF-8 name.
std::FILE* openFile(const std::string& path, const char* mode);

// Maps `size` bytes of an open regular file read-only; `populate` reads
// every page in at once. nullptr on failure. The descriptor may be closed
// afterwards: the mapping keeps the file.
const char* mapFile(int descriptor, std::size_t size, bool populate);
void unmapFile(const char* data, std::size_t size);

// The file of the module (program or shared library) holding the code or
// data at `address`; empty when it cannot be told.
std::filesystem::path moduleFile(const void* address);

// This process's number.
long processId();

// True when `stream` is a terminal (a console on Windows).
bool isTerminal(std::FILE* stream);

// A shared library loaded into the process: the handle, or nullptr with the
// system's reason in `error`.
void* loadLibrary(const std::string& path, std::string& error);
// A function or object the library exports, nullptr when it has none.
void* librarySymbol(void* library, const char* name);
void unloadLibrary(void* library);
// The file name a shared library of `base` has on this system
// ("libbase.so", "base.dll").
std::string libraryFileName(std::string_view base);

// The program's arguments as UTF-8 (on Windows read from the wide command
// line, whatever the ANSI code page can show).
std::vector<std::string> programArguments(int argc, char** argv);

// Makes the standard streams carry UTF-8 text unchanged: bytes go to a pipe
// or file as they are (no newline translation); on Windows a console is
// written through its wide-character interface so that any script shows.
void useUtf8StandardStreams();

} // namespace vorsan::platform
