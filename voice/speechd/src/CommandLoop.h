#pragma once
// The output module's command loop: reads the server's commands line by
// line (data blocks end with a lone ".", a leading ".." stands for "."),
// answers each on the protocol writer, and hands messages to a speaker,
// which sends their events while the loop reads on (STOP, PAUSE).
#include <string>
#include <string_view>
#include <vector>

#include "ProtocolWriter.h"
#include "Settings.h"

namespace vorsan::speechd {

struct Message {
    enum Kind { Text, Char, Key, SoundIcon };
    Kind kind = Text;
    std::string data; // SSML for Text; the character, key or icon name otherwise
    Settings settings;
};

class Speaker {
public:
    virtual ~Speaker() = default;
    // Prepares the voice; "" when ready, else the reason it is not.
    virtual std::string init() = 0;
    virtual std::vector<VoiceEntry> voices() = 0;
    virtual bool ready() = 0;
    // Speaks the message (after "200 OK SPEAKING" was sent), ending any
    // message still under way; returns at once.
    virtual void speak(Message message) = 0;
    // Ends the message under way with 703 STOP (or 704 PAUSE) at once.
    virtual void stop(bool pause) = 0;
    // Stops and waits until nothing is spoken any more.
    virtual void shutdown() = 0;
};

class CommandLoop {
public:
    CommandLoop(ProtocolWriter& out, Speaker& speaker) : out_(out), speaker_(speaker) {}
    // Takes the next bytes of input; false once QUIT was answered.
    bool feed(std::string_view bytes);
    // Reads the descriptor to its end or QUIT, then shuts the speaker down.
    void run(int fd);
    // Whether DEBUG ON may open the file it names (it is acknowledged either way).
    void allowDebugFiles(bool allow) { debugFiles_ = allow; }

private:
    // A whole line: `text` is what was kept of it, `size` its length in bytes.
    bool line(std::string_view text, std::size_t size);
    bool command(std::string_view text);
    void endBlock();

    enum class Block { None, Audio, LogLevel, Set, Message };
    ProtocolWriter& out_;
    Speaker& speaker_;
    std::string pending_;         // what is kept of an unfinished line
    std::size_t pendingSize_ = 0; // its length so far, every byte counted
    Block block_ = Block::None;
    std::vector<std::string> blockLines_;
    std::size_t blockSize_ = 0;   // every byte of the block so far
    bool blockCut_ = false;       // a line of the block was longer than is kept
    Message::Kind messageKind_ = Message::Text;
    Settings settings_;
    bool quit_ = false;
    bool debugFiles_ = true;
    int logLevel_ = 0;
};

} // namespace vorsan::speechd
