#pragma once
// One engine of the Python package: the engine, the lock that keeps its
// operations one at a time (Python threads may share an Engine, and a stream
// renders on a thread of its own), and the per-request choices of mood and
// accent.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "vorsan/engine/SpeechEngine.h"

namespace vorsan::python {

// Which mood a request is spoken in.
struct MoodChoice {
    enum Kind { None, Configured, Named } kind = None;
    std::u16string name; // for Named
};

struct Request {
    std::u16string text;
    MoodChoice mood;
    bool accent = false;
};

class EngineHandle {
public:
    // loadUserConfiguration: load the user's tolvane.xml when it exists.
    explicit EngineHandle(bool loadUserConfiguration);
    ~EngineHandle();
    EngineHandle(const EngineHandle&) = delete;
    EngineHandle& operator=(const EngineHandle&) = delete;

    // Waits for the engine (call without the interpreter lock). Raises
    // std::runtime_error when the calling thread has a stream of this engine
    // open: the stream holds the engine until it is read or closed, so
    // waiting would never end.
    std::unique_lock<std::mutex> lock();
    // The same check alone.
    void checkNotReading();
    // Waits for the engine without the check (a stream's own renderer).
    std::unique_lock<std::mutex> acquire() { return std::unique_lock<std::mutex>(busy_); }
    SpeechEngine& engine() { return engine_; }

    // Ends the operation under way (any thread, no lock needed). A request
    // that has begun but not yet reached the synthesiser sees it too.
    void stop();
    // Called by a request under the lock, before it starts (stopped at
    // once when the interpreter is exiting).
    void beginRequest();
    // True when stop() came during the current request.
    bool stopAsked() const { return stopAsked_; }

    // A stream of this engine is open, read by the given thread (or none).
    void setStreamReader(std::optional<std::thread::id> reader);

private:
    SpeechEngine engine_;
    std::mutex busy_;
    std::atomic<bool> stopAsked_{false};
    std::mutex readerLock_;
    std::optional<std::thread::id> streamReader_;
};

// Sets the request's mood on every language whose emotion database has it
// for the guard's lifetime, and puts the languages' own moods back after.
// When no language has it, raises the engine's message for the first
// language (the one with an emotion database, else English).
class MoodGuard {
public:
    MoodGuard(SpeechEngine& engine, const MoodChoice& mood);
    ~MoodGuard();
    MoodGuard(const MoodGuard&) = delete;
    MoodGuard& operator=(const MoodGuard&) = delete;
    bool withEmotion() const { return withEmotion_; }

private:
    SpeechEngine& engine_;
    bool withEmotion_ = false;
    std::vector<std::pair<std::string, std::u16string>> previous_;
};

struct Audio;

// Asked now and then while speech is made; true ends the speech as stop()
// does.
using Interrupted = std::function<bool()>;

// One call of an engine from Python, counted from before the interpreter
// lock is let go until after it is taken back; raises once the interpreter is
// exiting. Make it with the interpreter lock held.
class CallUnderWay {
public:
    CallUnderWay();
    ~CallUnderWay();
    CallUnderWay(const CallUnderWay&) = delete;
    CallUnderWay& operator=(const CallUnderWay&) = delete;
};

// Stops every engine's work and waits until no call is under way; later
// calls raise. For the interpreter's exit (call without the interpreter
// lock): a thread left inside the engine, or one still to take the lock back
// while the interpreter ends, would crash the process.
void stopEveryEngine();

// The requests, each under the engine's lock (call without the interpreter
// lock). A stopped request returns what was made before the stop.
std::unique_ptr<Audio> synthesize(EngineHandle& handle, const Request& request, const Interrupted& interrupted = {});
// The whole text into one sound file, as `vorsan tofile -o` writes it; false
// when stopped (nothing is written then).
bool synthesizeToFile(EngineHandle& handle, const Request& request, int16_t fileType, const std::string& path);
// On the sound device; false when stopped.
bool speak(EngineHandle& handle, const Request& request);

} // namespace vorsan::python
