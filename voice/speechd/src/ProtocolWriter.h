#pragma once
// The module's side of the speech-dispatcher output-module protocol: whole
// replies and event blocks written to one descriptor, one block at a time
// (replies from the command loop and events from the speaking thread never
// interleave within a block), and the events of one message, which end with
// exactly one of 702 END, 703 STOP or 704 PAUSE and send nothing after it.
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace vorsan::speechd {

class ProtocolWriter {
public:
    explicit ProtocolWriter(int fd) : fd_(fd) {}
    // Writes the block whole (lines already ended by LF). False once the
    // descriptor failed (the server went away).
    bool write(std::string_view block);
    bool reply(std::string_view line) { return write(std::string(line) + "\n"); }

private:
    std::mutex mutex_;
    int fd_;
    bool broken_ = false;
};

// One 705 AUDIO block: header lines, then "705-AUDIO", a NUL, the 16-bit
// little-endian samples with LF and '}' escaped as '}' and the byte XOR 0x20,
// a LF and "705 AUDIO".
std::string audioBlock(const int16_t* samples, std::size_t count, unsigned sampleRate);

// Audio pieces are at most this many bytes.
inline constexpr std::size_t kMaxAudioBytes = 10000;

class MessageEvents {
public:
    explicit MessageEvents(ProtocolWriter& out) : out_(out) {}
    void begin();                                   // 701 BEGIN
    void mark(std::string_view name);               // 700-name, 700 INDEX MARK
    void audio(const int16_t* samples, std::size_t count, unsigned sampleRate); // pieces of <= 10,000 bytes
    // Ends the message with "702 END", "703 STOP" or "704 PAUSE"; only the
    // first end is sent, and nothing after it. True when this call ended it.
    bool end(std::string_view line);
    bool ended() const;

private:
    bool send(std::string_view block); // unless ended
    ProtocolWriter& out_;
    mutable std::mutex mutex_;
    bool ended_ = false;
};

} // namespace vorsan::speechd
