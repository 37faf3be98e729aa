// Fuzz target: a whole SPEAK message through the speech-dispatcher module's
// command loop, its SSML reader and the cutting of its text into pieces,
// for messages far longer than an input: the input is a pattern and how
// often it is repeated (up to a few MB), cut into lines of a length the
// input chooses, as the server sends them (dot-stuffed). Properties: a
// message with a line (as sent) longer than the module keeps is refused whole (301,
// nothing spoken); any other is spoken; every line the module writes is a
// protocol line. The module reads in time linear in the message, so
// libFuzzer's time limit catches a quadratic path (many "<" that open no tag).
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CommandLoop.h"
#include "FuzzSupport.h"
#include "MessagePieces.h"
#include "ProtocolWriter.h"

namespace {

using namespace vorsan::speechd;

constexpr std::size_t kKeptLine = 1u << 20; // the longest line the module keeps
constexpr std::size_t kMostBytes = 3u << 20;

class PieceSpeaker final : public Speaker {
public:
    std::string init() override { return {}; }
    std::vector<VoiceEntry> voices() override { return {{"Hindi", "hi", "none", "Hindi", u""}}; }
    bool ready() override { return true; }
    void speak(Message m) override {
        ++spoken;
        for (const MessagePiece& p : messagePieces(m))
            if (p.kind == MessagePiece::Silence && p.silenceMs > kMaxBreakMs) vorsan::fuzz::fail("break within 10 s");
    }
    void stop(bool) override {}
    void shutdown() override {}
    int spoken = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    // Bytes 0-1: repetitions; byte 2: line length 2^(b % 23); the rest, less
    // line ends, the pattern.
    std::string pattern;
    for (std::size_t i = 3; i < size; ++i)
        if (data[i] != '\n' && data[i] != '\r') pattern += static_cast<char>(data[i]);
    if (pattern.empty()) return 0;
    const std::size_t times = std::min<std::size_t>(data[0] | (data[1] << 8), kMostBytes / pattern.size()) + 1;
    const std::size_t lineLength = std::size_t{1} << (data[2] % 23);
    std::string text;
    text.reserve(pattern.size() * times);
    for (std::size_t i = 0; i < times; ++i) text += pattern;

    std::string message = "SPEAK\n";
    std::size_t longest = 0; // of the lines as sent
    for (std::size_t at = 0; at < text.size(); at += lineLength) {
        const std::string_view line = std::string_view(text).substr(at, lineLength);
        // As sent: a line beginning with a dot gets another.
        longest = std::max(longest, line.size() + (line.starts_with('.') ? 1 : 0));
        if (line.starts_with('.')) message += '.';
        message.append(line);
        message += '\n';
    }
    message += ".\n";

    static const int fd = memfd_create("sd_vorsan-message-fuzz", 0);
    if (fd < 0) vorsan::fuzz::fail("memfd_create");
    if (ftruncate(fd, 0) != 0 || lseek(fd, 0, SEEK_SET) != 0) vorsan::fuzz::fail("memory file reset");
    PieceSpeaker speaker;
    {
        ProtocolWriter out(fd);
        CommandLoop loop(out, speaker);
        loop.allowDebugFiles(false);
        // In reads of the size a pipe hands over, as the module gets them.
        for (std::size_t at = 0; at < message.size(); at += 65536)
            loop.feed(std::string_view(message).substr(at, 65536));
    }
    const off_t length = lseek(fd, 0, SEEK_CUR);
    std::string written(static_cast<std::size_t>(length), '\0');
    if (length > 0 && pread(fd, written.data(), written.size(), 0) != length) vorsan::fuzz::fail("read back");

    const bool refused = written.find("301 ERROR CANT SPEAK\n") != std::string::npos;
    if ((longest > kKeptLine) != refused) vorsan::fuzz::fail("a message is refused exactly when a line is longer than kept");
    if (speaker.spoken != (refused ? 0 : 1)) vorsan::fuzz::fail("a refused message is not spoken, any other is");
    for (std::string_view rest = written; !rest.empty();) {
        const std::size_t lf = rest.find('\n');
        if (lf == std::string_view::npos) vorsan::fuzz::fail("output ends with a line feed");
        const std::string_view line = rest.substr(0, lf);
        if (line.size() < 4 || line[0] < '0' || line[0] > '9' || line[1] < '0' || line[1] > '9' || line[2] < '0' ||
            line[2] > '9' || (line[3] != ' ' && line[3] != '-'))
            vorsan::fuzz::fail("every output line is a protocol line");
        rest.remove_prefix(lf + 1);
    }
    return 0;
}
