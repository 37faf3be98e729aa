#include "ModuleProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "vorsan/testing/TestSupport.h"

namespace vorsan::testing {

namespace {
double since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}
} // namespace

void installData() {
    ASSERT_EQ(std::system(("bash " + sourcePath("data/tolvane/install.sh") + " >/dev/null").c_str()), 0);
}

ModuleProcess::ModuleProcess() {
    int toChild[2], fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0) throw std::runtime_error("pipe");
    const char* profile = std::getenv("USERPROFILE");
    errorFile_ = std::string(profile ? profile : "/tmp") + "/sd_vorsan." + std::to_string(getpid()) + "." +
                 std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".err";
    pid_ = fork();
    if (pid_ == 0) {
        dup2(toChild[0], STDIN_FILENO);
        dup2(fromChild[1], STDOUT_FILENO);
        const int err = open(errorFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (err >= 0) dup2(err, STDERR_FILENO);
        for (int fd = 3; fd < 1024; ++fd) close(fd);
        execl(SD_VORSAN, SD_VORSAN, "vorsan.conf", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    in_ = toChild[1];
    out_ = fromChild[0];
    signal(SIGPIPE, SIG_IGN);
}

ModuleProcess::~ModuleProcess() {
    if (in_ >= 0) close(in_);
    if (out_ >= 0) close(out_);
    if (pid_ > 0) {
        // Closing its input ends the module; a hung one is killed.
        for (int i = 0; i < 600; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
            usleep(50000);
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

void ModuleProcess::send(std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = write(in_, text.data(), text.size());
        if (n <= 0) return;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::string ModuleProcess::line(double seconds) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (const std::size_t lf = buffer_.find('\n'); lf != std::string::npos) {
            std::string l = buffer_.substr(0, lf);
            buffer_.erase(0, lf + 1);
            return l;
        }
        const double left = seconds - since(start);
        if (left <= 0) return "<timeout>";
        pollfd p{out_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left * 1000) + 1) <= 0) continue;
        char chunk[65536];
        const ssize_t n = read(out_, chunk, sizeof chunk);
        if (n <= 0) return "<eof>";
        buffer_.append(chunk, static_cast<std::size_t>(n));
    }
}

std::vector<std::string> ModuleProcess::reply() {
    std::vector<std::string> lines;
    for (;;) {
        lines.push_back(line());
        const std::string& l = lines.back();
        if (l.size() < 4 || l[3] == ' ' || l[0] == '<') return lines;
    }
}

double ModuleProcess::Message::secondsAt(std::size_t at) const {
    double seconds = 0;
    std::size_t from = 0;
    for (std::size_t i = 0; i < blockEnds.size() && i < rates.size() && from < at; ++i) {
        seconds += static_cast<double>(std::min(at, blockEnds[i]) - from) / rates[i];
        from = blockEnds[i];
    }
    return seconds;
}

ModuleProcess::Message ModuleProcess::events() {
    Message m;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        std::string l = line();
        if (l.starts_with("705-")) {
            std::size_t count = 0;
            while (!l.starts_with("705-AUDIO") && l[0] != '<') {
                if (l.starts_with("705-num_samples=")) count = std::stoul(l.substr(16));
                if (l.starts_with("705-sample_rate=")) m.rates.push_back(static_cast<unsigned>(std::stoul(l.substr(16))));
                l = line();
            }
            std::string bytes;
            for (std::size_t i = 10; i < l.size(); ++i)
                bytes += l[i] == '}' && i + 1 < l.size() ? static_cast<char>(l[++i] ^ 0x20) : l[i];
            m.sizesMatch = m.sizesMatch && bytes.size() == count * 2;
            if (m.firstAudioSeconds < 0) m.firstAudioSeconds = since(start);
            for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
                m.samples.push_back(static_cast<int16_t>(static_cast<unsigned char>(bytes[i]) |
                                                         (static_cast<unsigned char>(bytes[i + 1]) << 8)));
            m.blockEnds.push_back(m.samples.size());
            const std::string closing = line();
            m.events.push_back(closing == "705 AUDIO" ? "audio" : "bad audio end: " + closing);
            continue;
        }
        if (l.starts_with("700-")) {
            m.marks.emplace_back(l.substr(4), m.samples.size());
            const std::string closing = line();
            m.events.push_back(closing == "700 INDEX MARK" ? "mark " + l.substr(4) : "bad mark end: " + closing);
            continue;
        }
        m.events.push_back(l);
        if (l == "702 END" || l == "703 STOP" || l == "704 PAUSE" || l[0] == '<') {
            m.end = l;
            return m;
        }
    }
}

void ModuleProcess::start() {
    send("INIT\n");
    const auto init = reply();
    ASSERT_EQ(init.back(), "299 OK LOADED SUCCESSFULLY") << errors();
    send("AUDIO\naudio_output_method=server\n.\n");
    ASSERT_EQ(reply(), std::vector<std::string>{"207 OK RECEIVING AUDIO SETTINGS"});
    ASSERT_EQ(reply(), std::vector<std::string>{"203 OK AUDIO INITIALIZED"});
    send("LOGLEVEL\nlog_level=3\n.\n");
    EXPECT_EQ(reply().back().substr(0, 3), "207");
    EXPECT_EQ(reply().back().substr(0, 3), "203");
}

ModuleProcess::Message ModuleProcess::speak(std::string_view data, std::string_view settings, std::string_view command) {
    if (!settings.empty()) {
        send("SET\n" + std::string(settings) + ".\n");
        EXPECT_EQ(reply().back(), "203 OK RECEIVING SETTINGS");
        EXPECT_EQ(reply().back(), "203 OK SETTINGS RECEIVED");
    }
    std::string block;
    std::istringstream lines{std::string(data)};
    for (std::string l; std::getline(lines, l);) block += (l.starts_with(".") ? "." : "") + l + "\n";
    send(std::string(command) + "\n" + block + ".\n");
    EXPECT_EQ(reply().back(), "202 OK RECEIVING MESSAGE");
    const auto r = reply();
    EXPECT_EQ(r.back(), "200 OK SPEAKING");
    if (r.back() != "200 OK SPEAKING") return {};
    return events();
}

int ModuleProcess::quit() {
    send("QUIT\n");
    EXPECT_EQ(reply().back(), "210 OK QUIT");
    int status = -1;
    for (int i = 0; i < 600 && pid_ > 0; ++i, usleep(50000))
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return status;
        }
    return -1;
}

std::string ModuleProcess::errors() const {
    std::ifstream f(errorFile_);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

Audio audioOf(const ModuleProcess::Message& m) {
    Audio a;
    a.rate = m.rates.empty() ? 16000 : static_cast<int>(m.rates[0]);
    for (int16_t s : m.samples) a.samples.push_back(s / 32768.0f);
    return a;
}

} // namespace vorsan::testing
