#include "SpeechStream.h"

namespace vorsan::python {

namespace {
// Ends a renderer that got the engine only after its stream was closed.
struct Closed {};
} // namespace

SpeechStream::SpeechStream(std::shared_ptr<EngineHandle> engine, Request request, std::thread::id reader)
    : engine_(std::move(engine)), request_(std::move(request)), places_(request_.text) {
    engine_->checkNotReading();
    engine_->setStreamReader(reader);
    thread_ = std::thread([this] { render(); });
}

SpeechStream::~SpeechStream() { close(); }

void SpeechStream::put(std::unique_ptr<Audio> audio) {
    std::unique_lock<std::mutex> g(m_);
    changed_.wait(g, [&] { return queue_.size() < kQueued || closing_; });
    if (!closing_) queue_.push_back(std::move(audio));
    changed_.notify_all();
}

void SpeechStream::render() {
    bool completed = false;
    std::exception_ptr error;
    try {
        auto lock = engine_->acquire();
        {
            std::lock_guard<std::mutex> g(m_);
            started_ = !closing_;
        }
        if (!started_) throw Closed{};
        SpeechEngine& engine = engine_->engine();
        engine_->beginRequest();
        MoodGuard mood(engine, request_.mood);
        CollectingSink sink(places_, [this](std::unique_ptr<Audio> a) { put(std::move(a)); });
        // A close or stop that came before the synthesiser started is
        // honoured at the first samples.
        sink.setOnWrite([this, &engine] {
            bool closing;
            {
                std::lock_guard<std::mutex> g(m_);
                closing = closing_;
            }
            if (closing || engine_->stopAsked()) engine.stopSpeaking();
        });
        completed = engine.renderText(request_.text, mood.withEmotion(), request_.accent, sink,
                                      [&sink](const auto& starts) { sink.wordsBegin(starts); });
    } catch (const Closed&) {
    } catch (...) {
        error = std::current_exception();
    }
    engine_->setStreamReader(std::nullopt);
    std::lock_guard<std::mutex> g(m_);
    error_ = error;
    stopped_ = !completed && !error;
    finished_ = true;
    changed_.notify_all();
}

std::unique_ptr<Audio> SpeechStream::next() {
    std::unique_lock<std::mutex> g(m_);
    changed_.wait(g, [&] { return !queue_.empty() || finished_ || closing_; });
    if (!queue_.empty()) {
        auto a = std::move(queue_.front());
        queue_.pop_front();
        changed_.notify_all();
        return a;
    }
    if (error_) {
        std::exception_ptr e = error_;
        error_ = nullptr;
        std::rethrow_exception(e);
    }
    return nullptr;
}

void SpeechStream::close() {
    {
        std::lock_guard<std::mutex> g(m_);
        if (!closing_ && !finished_) stopped_ = true;
        closing_ = true;
        queue_.clear();
        changed_.notify_all();
    }
    if (!thread_.joinable()) return;
    // Stops this engine's synthesis only while this stream is the one
    // rendering; a renderer still waiting for the engine ends by itself.
    bool rendering;
    {
        std::lock_guard<std::mutex> g(m_);
        rendering = started_ && !finished_;
    }
    if (rendering) engine_->engine().stopSpeaking();
    thread_.join();
}

bool SpeechStream::stopped() const {
    std::lock_guard<std::mutex> g(m_);
    return stopped_;
}

} // namespace vorsan::python
