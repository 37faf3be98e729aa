#include "SinkRelay.h"

namespace vorsan {

void SinkRelay::beginRun(int32_t rate) {
    std::lock_guard lock(m_);
    rate_ = rate;
    events_.push_back({Event::Begin, rate, {}});
    arrived_.notify_all();
}

void SinkRelay::write(std::span<const int16_t> samples) {
    std::lock_guard lock(m_);
    queued_ += samples.size();
    events_.push_back({Event::Samples, 0, std::vector<int16_t>(samples.begin(), samples.end())});
    arrived_.notify_all();
}

void SinkRelay::endRun() {
    std::lock_guard lock(m_);
    events_.push_back({Event::End, 0, {}});
    arrived_.notify_all();
}

bool SinkRelay::ready() const {
    std::lock_guard lock(m_);
    return queued_ < static_cast<std::size_t>(rate_) * 2;
}

void SinkRelay::deliver(synth::AudioSink& target, const std::function<void()>& begun,
                        std::chrono::milliseconds wait) {
    std::deque<Event> taken;
    {
        std::unique_lock lock(m_);
        arrived_.wait_for(lock, wait, [this] { return !events_.empty(); });
        taken.swap(events_);
        queued_ = 0;
    }
    for (Event& e : taken) {
        switch (e.kind) {
        case Event::Begin:
            target.beginRun(e.rate);
            if (begun) begun();
            break;
        case Event::Samples: target.write(e.samples); break;
        case Event::End: target.endRun(); break;
        }
    }
}

} // namespace vorsan
