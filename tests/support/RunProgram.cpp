// runProgram: starts a program with its arguments passed as they are (no
// shell between), feeds its standard input and collects what it writes.
#include "vorsan/testing/TestSupport.h"

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>

#include "vorsan/core/Text.h"
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;
#endif

namespace vorsan::testing {

#ifdef _WIN32

namespace {

std::wstring wide(const std::string& utf8) {
    const std::u16string units = utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

// One argument as the C runtime's parser reads it back: quoted, with the
// backslashes before a quote (and before the closing quote) doubled.
void appendQuoted(std::wstring& line, const std::wstring& argument) {
    line += L'"';
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

} // namespace

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& input) {
    std::wstring line;
    appendQuoted(line, wide(program));
    for (const std::string& a : arguments) {
        line += L' ';
        appendQuoted(line, wide(a));
    }
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE inRead = nullptr, inWrite = nullptr, outRead = nullptr, outWrite = nullptr;
    // The input pipe holds all of the input, so it is written before the
    // output is read without either side waiting on the other.
    if (!::CreatePipe(&inRead, &inWrite, &inherit, static_cast<DWORD>(input.size() + 4096)) ||
        !::CreatePipe(&outRead, &outWrite, &inherit, 0))
        throw std::runtime_error("CreatePipe failed");
    ::SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = outWrite;
    startup.hStdError = outWrite;
    PROCESS_INFORMATION process{};
    const BOOL started =
        ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    ::CloseHandle(inRead);
    ::CloseHandle(outWrite);
    if (!started) {
        ::CloseHandle(inWrite);
        ::CloseHandle(outRead);
        throw std::runtime_error("cannot start " + program);
    }
    DWORD n = 0;
    if (!input.empty()) ::WriteFile(inWrite, input.data(), static_cast<DWORD>(input.size()), &n, nullptr);
    ::CloseHandle(inWrite);
    ProgramRun run;
    char buffer[4096];
    while (::ReadFile(outRead, buffer, sizeof buffer, &n, nullptr) && n > 0) run.output.append(buffer, n);
    ::CloseHandle(outRead);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (::GetExitCodeProcess(process.hProcess, &code)) run.status = static_cast<int>(code);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return run;
}

#else

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& input) {
    int in[2], out[2];
    if (::pipe(in) != 0) throw std::runtime_error("pipe failed");
    if (::pipe(out) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, out[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1]}) posix_spawn_file_actions_addclose(&actions, fd);
    std::vector<std::string> args{program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int err = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    if (err != 0) {
        ::close(in[1]);
        ::close(out[0]);
        throw std::runtime_error("cannot start " + program);
    }
    // Test inputs are far smaller than a pipe's buffer.
    for (std::size_t done = 0; done < input.size();) {
        const ssize_t n = ::write(in[1], input.data() + done, input.size() - done);
        if (n <= 0 && errno != EINTR) break;
        if (n > 0) done += static_cast<std::size_t>(n);
    }
    ::close(in[1]);
    ProgramRun run;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        run.output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

#endif

} // namespace vorsan::testing
