#include "CommandLoop.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>

#include "vorsan/core/Diagnostics.h"

namespace vorsan::speechd {

namespace {

// Only this much of a line is kept (a message's data is many lines; the
// server sends nothing near it). A message with a longer line is refused
// rather than spoken in part.
constexpr std::size_t kMaxLine = 1 << 20;
// A message larger than this, every byte of every line counted, is refused
// with 301.
constexpr std::size_t kMaxMessage = 16u << 20;

std::string join(const std::vector<std::string>& lines) {
    std::string s;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) s += '\n';
        s += lines[i];
    }
    return s;
}

// DEBUG ON <file>: diagnostics are appended to that file until DEBUG OFF.
void debugTo(const std::string& path) {
    if (path.empty()) {
        setDiagnosticSink({});
        return;
    }
    auto file = std::make_shared<std::ofstream>(path, std::ios::app);
    auto lock = std::make_shared<std::mutex>();
    if (!*file) return;
    setDiagnosticSink([file, lock](std::string_view line) {
        std::lock_guard guard(*lock);
        *file << line << '\n' << std::flush;
    });
}

} // namespace

bool CommandLoop::feed(std::string_view bytes) {
    while (!quit_ && !bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        const std::string_view part = bytes.substr(0, lf);
        if (pending_.size() < kMaxLine) pending_.append(part.substr(0, kMaxLine - pending_.size()));
        pendingSize_ += part.size();
        if (lf == std::string_view::npos) return true;
        bytes.remove_prefix(lf + 1);
        std::string text = std::move(pending_);
        std::size_t size = pendingSize_;
        pending_.clear();
        pendingSize_ = 0;
        if (size == text.size() && !text.empty() && text.back() == '\r') {
            text.pop_back();
            --size;
        }
        line(text, size);
    }
    return !quit_;
}

bool CommandLoop::line(std::string_view text, std::size_t size) {
    if (block_ == Block::None) return command(text);
    if (text == "." && size == 1) {
        endBlock();
        return true;
    }
    if (text.starts_with("..")) {
        text.remove_prefix(1);
        --size;
    }
    blockSize_ += size + 1;
    if (size > text.size()) blockCut_ = true;
    if (blockSize_ <= kMaxMessage && !blockCut_) blockLines_.emplace_back(text);
    return true;
}

bool CommandLoop::command(std::string_view text) {
    const std::string_view word = text.substr(0, text.find(' '));
    if (text == "INIT") {
        const std::string reason = speaker_.init();
        if (reason.empty()) return out_.reply("299 OK LOADED SUCCESSFULLY");
        std::string block;
        for (std::size_t at = 0; at < reason.size();) {
            const std::size_t lf = reason.find('\n', at);
            block += "399-" + reason.substr(at, lf == std::string::npos ? std::string::npos : lf - at) + "\n";
            at = lf == std::string::npos ? reason.size() : lf + 1;
        }
        return out_.write(block + "399 ERR CANT INIT MODULE\n");
    }
    if (text == "AUDIO") {
        block_ = Block::Audio;
        return out_.reply("207 OK RECEIVING AUDIO SETTINGS");
    }
    if (text == "LOGLEVEL") {
        block_ = Block::LogLevel;
        return out_.reply("207 OK RECEIVING LOGLEVEL SETTINGS");
    }
    if (text == "SET") {
        block_ = Block::Set;
        return out_.reply("203 OK RECEIVING SETTINGS");
    }
    if (word == "DEBUG") {
        const std::string_view rest = text.size() > 6 ? text.substr(6) : std::string_view{};
        if (rest.starts_with("ON")) {
            if (debugFiles_) debugTo(std::string(rest.size() > 3 ? rest.substr(3) : std::string_view{}));
            return out_.reply("200 OK DEBUGGING ON");
        }
        if (debugFiles_) debugTo({});
        return out_.reply("200 OK DEBUGGING OFF");
    }
    if (text == "LIST VOICES") {
        std::string block;
        // Fields cannot carry the separators: a tab or line end becomes a space.
        auto field = [](std::string f) {
            for (char& c : f)
                if (c == '\t' || c == '\n' || c == '\r') c = ' ';
            return f;
        };
        for (const VoiceEntry& v : speaker_.voices())
            block += "200-" + field(v.name) + "\t" + field(v.code) + "\t" + field(v.variant) + "\n";
        return out_.write(block + "200 OK VOICE LIST SENT\n");
    }
    if (text == "SPEAK" || text == "CHAR" || text == "KEY" || text == "SOUND_ICON") {
        // A message still under way ends here, so its last event (703 STOP)
        // comes before this message's replies and never after them.
        speaker_.stop(false);
        block_ = Block::Message;
        messageKind_ = text == "SPEAK" ? Message::Text
                       : text == "CHAR" ? Message::Char
                       : text == "KEY"  ? Message::Key
                                        : Message::SoundIcon;
        return out_.reply("202 OK RECEIVING MESSAGE");
    }
    if (text == "STOP" || text == "PAUSE") {
        speaker_.stop(text == "PAUSE");
        return true;
    }
    if (text == "QUIT") {
        speaker_.shutdown();
        out_.reply("210 OK QUIT");
        quit_ = true;
        return false;
    }
    if (text.empty()) return true;
    return out_.reply("300 ERR UNKNOWN COMMAND");
}

void CommandLoop::endBlock() {
    const Block block = block_;
    block_ = Block::None;
    std::vector<std::string> lines = std::move(blockLines_);
    const std::size_t size = blockSize_;
    const bool cut = blockCut_;
    blockLines_.clear();
    blockSize_ = 0;
    blockCut_ = false;
    switch (block) {
    case Block::Audio:
        out_.reply("203 OK AUDIO INITIALIZED");
        break;
    case Block::LogLevel:
        for (const std::string& l : lines)
            if (l.starts_with("log_level=")) logLevel_ = std::atoi(l.c_str() + 10);
        out_.reply("203 OK LOG LEVEL SET");
        break;
    case Block::Set:
        for (const std::string& l : lines) {
            const std::size_t eq = l.find('=');
            if (eq != std::string::npos) settings_.set(std::string_view(l).substr(0, eq), std::string_view(l).substr(eq + 1));
        }
        settings_.endBlock(speaker_.voices());
        out_.reply("203 OK SETTINGS RECEIVED");
        break;
    case Block::Message: {
        if (size > kMaxMessage || cut || !speaker_.ready()) {
            out_.reply("301 ERROR CANT SPEAK");
            break;
        }
        out_.reply("200 OK SPEAKING");
        Message message{messageKind_, join(lines), settings_};
        // At the debugging levels each message is logged (the server keeps
        // the module's standard error as its log).
        if (logLevel_ >= 4)
            diagnose("sd_vorsan: message " + std::to_string(message.kind) + " of " + std::to_string(size) +
                     " bytes, language '" + message.settings.language + "', voice '" +
                     message.settings.synthesisVoice + "', voice type " +
                     voiceTypePreset(message.settings.voiceType).name);
        speaker_.speak(std::move(message));
        break;
    }
    case Block::None:
        break;
    }
}

void CommandLoop::run(int fd) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        if (!feed(std::string_view(buffer, static_cast<std::size_t>(n)))) return;
    }
    speaker_.shutdown(); // the server went away
}

} // namespace vorsan::speechd
