// Fuzz target: the speech-dispatcher module's command loop and SSML reader.
// The input is what the server might send; a recording speaker stands in for
// the voice and turns every message into the voice's pieces. Properties:
// every line the module writes is a protocol line (three digits, then a
// space or a dash), and text without markup or entities reads back as it is.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CommandLoop.h"
#include "FuzzSupport.h"
#include "MessagePieces.h"
#include "ProtocolWriter.h"
#include "Ssml.h"

namespace {

using namespace vorsan::speechd;

class RecordingSpeaker final : public Speaker {
public:
    explicit RecordingSpeaker(ProtocolWriter& out) : out_(out) {}
    std::string init() override { return {}; }
    std::vector<VoiceEntry> voices() override {
        return {{"Hindi", "hi", "none", "Hindi", u""}, {"Hindi (Sad)", "hi", "Sad", "Hindi", u"Sad"}};
    }
    bool ready() override { return true; }
    void speak(Message m) override {
        MessageEvents events(out_);
        events.begin();
        const std::vector<MessagePiece> pieces = messagePieces(m);
        std::size_t marks = 0;
        for (const MessagePiece& p : pieces) {
            if (p.kind == MessagePiece::Mark) ++marks;
            if (p.kind == MessagePiece::Silence && p.silenceMs > kMaxBreakMs) vorsan::fuzz::fail("break within 10 s");
        }
        // The engine's stretches keep every mark, in order, inside their text.
        for (const Stretch& s : stretchesOf(pieces))
            for (const auto& [at, name] : s.marks) {
                if (at > s.text.size()) vorsan::fuzz::fail("marks inside their stretch");
                events.mark(name);
                --marks;
            }
        if (marks != 0) vorsan::fuzz::fail("every mark in a stretch");
        const int16_t samples[3] = {0x0A7D, 0x7D0A, -1};
        events.audio(samples, 3, 16000);
        const VoiceState state = voiceState(m.settings, voices());
        if (!(state.speakingRate >= 0.5 && state.speakingRate <= 3.5 && state.pitch >= 0.6 && state.pitch <= 1.6))
            vorsan::fuzz::fail("rate and pitch within their ranges");
        events.end("702 END");
    }
    void stop(bool) override {}
    void shutdown() override {}

private:
    ProtocolWriter& out_;
};

void checkLines(std::string_view written) {
    while (!written.empty()) {
        const std::size_t lf = written.find('\n');
        if (lf == std::string_view::npos) vorsan::fuzz::fail("output ends with a line feed");
        const std::string_view line = written.substr(0, lf);
        if (line.size() < 4 || line[0] < '0' || line[0] > '9' || line[1] < '0' || line[1] > '9' || line[2] < '0' ||
            line[2] > '9' || (line[3] != ' ' && line[3] != '-'))
            vorsan::fuzz::fail("every output line is a protocol line");
        written.remove_prefix(lf + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    std::string plain;
    for (const SsmlPiece& p : readSsml(input))
        if (p.kind == SsmlPiece::Text) plain += p.text;
    if (input.find_first_of("<&") == std::string_view::npos && plain != input) vorsan::fuzz::fail("plain text kept");

    // The command loop, its output in a memory file.
    static const int fd = memfd_create("sd_vorsan-fuzz", 0);
    if (fd < 0) vorsan::fuzz::fail("memfd_create");
    if (ftruncate(fd, 0) != 0 || lseek(fd, 0, SEEK_SET) != 0) vorsan::fuzz::fail("memory file reset");
    {
        ProtocolWriter out(fd);
        RecordingSpeaker speaker(out);
        CommandLoop loop(out, speaker);
        loop.allowDebugFiles(false); // DEBUG ON would create files the input names
        loop.feed(input);
        loop.feed("\n.\n");
    }
    const off_t length = lseek(fd, 0, SEEK_CUR);
    std::string written(static_cast<std::size_t>(length), '\0');
    if (length > 0 && pread(fd, written.data(), written.size(), 0) != length) vorsan::fuzz::fail("read back");
    checkLines(written);
    return 0;
}
