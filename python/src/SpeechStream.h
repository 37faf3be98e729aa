#pragma once
// Speech of a text sentence by sentence, as each is ready: a thread of the
// stream's own renders the text and queues each sentence's audio; the reader
// takes them in order. At most a few sentences wait in the queue, so a long
// text costs no more memory than its longest sentences.
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "CollectedAudio.h"
#include "EngineHandle.h"

namespace vorsan::python {

class SpeechStream {
public:
    // Starts rendering at once; the engine is held until the text is done or
    // the stream is closed. `reader` is the thread expected to read it.
    SpeechStream(std::shared_ptr<EngineHandle> engine, Request request, std::thread::id reader);
    ~SpeechStream(); // closes
    SpeechStream(const SpeechStream&) = delete;
    SpeechStream& operator=(const SpeechStream&) = delete;

    // The next sentence's audio, or nullptr at the end (call without the
    // interpreter lock). Raises what the engine raised, once.
    std::unique_ptr<Audio> next();
    // Stops the rendering and waits for its thread; later next() calls end.
    void close();
    // True when the text ended by a stop or close rather than completed.
    bool stopped() const;

private:
    void render();
    // The renderer's side of the queue: waits while it is full.
    void put(std::unique_ptr<Audio> audio);

    static constexpr std::size_t kQueued = 3;

    std::shared_ptr<EngineHandle> engine_;
    Request request_;
    TextPlaces places_;
    mutable std::mutex m_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<Audio>> queue_;
    std::exception_ptr error_;
    bool started_ = false;  // the renderer has the engine
    bool finished_ = false; // the renderer has ended
    bool closing_ = false;
    bool stopped_ = false;
    std::thread thread_;
};

} // namespace vorsan::python
