#include "ProtocolWriter.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vorsan::speechd {

bool ProtocolWriter::write(std::string_view block) {
    std::lock_guard lock(mutex_);
    if (broken_) return false;
    while (!block.empty()) {
        const ssize_t n = ::write(fd_, block.data(), block.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            broken_ = true;
            return false;
        }
        block.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string audioBlock(const int16_t* samples, std::size_t count, unsigned sampleRate) {
    std::string b;
    b.reserve(count * 2 + count / 64 + 128);
    b += "705-bits=16\n705-num_channels=1\n705-sample_rate=" + std::to_string(sampleRate) +
         "\n705-num_samples=" + std::to_string(count) + "\n705-big_endian=0\n705-AUDIO";
    b += '\0';
    for (std::size_t i = 0; i < count; ++i) {
        const auto v = static_cast<uint16_t>(samples[i]);
        for (const unsigned char byte : {static_cast<unsigned char>(v & 0xFF), static_cast<unsigned char>(v >> 8)}) {
            if (byte == '\n' || byte == '}') {
                b += '}';
                b += static_cast<char>(byte ^ 0x20);
            } else {
                b += static_cast<char>(byte);
            }
        }
    }
    b += "\n705 AUDIO\n";
    return b;
}

bool MessageEvents::send(std::string_view block) {
    std::lock_guard lock(mutex_);
    return !ended_ && out_.write(block);
}

void MessageEvents::begin() { send("701 BEGIN\n"); }

void MessageEvents::mark(std::string_view name) {
    // A name cannot carry a line end into the protocol.
    std::string clean(name);
    std::replace(clean.begin(), clean.end(), '\n', ' ');
    std::replace(clean.begin(), clean.end(), '\r', ' ');
    send("700-" + clean + "\n700 INDEX MARK\n");
}

void MessageEvents::audio(const int16_t* samples, std::size_t count, unsigned sampleRate) {
    constexpr std::size_t kPiece = kMaxAudioBytes / 2;
    for (std::size_t at = 0; at < count; at += kPiece)
        if (!send(audioBlock(samples + at, std::min(kPiece, count - at), sampleRate))) return;
}

bool MessageEvents::end(std::string_view line) {
    std::lock_guard lock(mutex_);
    if (ended_) return false;
    ended_ = true;
    out_.write(std::string(line) + "\n");
    return true;
}

bool MessageEvents::ended() const {
    std::lock_guard lock(mutex_);
    return ended_;
}

} // namespace vorsan::speechd
