#include "SinkRelay.h"

namespace vorsan {

void SinkRelay::lineStarts(std::span<const int64_t> starts) {
    std::lock_guard lock(m_);
    lineStarts_.assign(starts.begin(), starts.end());
}

void SinkRelay::beginRun(int32_t rate) {
    std::lock_guard lock(m_);
    rate_ = rate;
    events_.push_back({Event::Begin, rate, {}, std::move(lineStarts_)});
    lineStarts_.clear();
    arrived_.notify_all();
}

void SinkRelay::write(std::span<const int16_t> samples) {
    std::lock_guard lock(m_);
    queued_ += samples.size();
    events_.push_back({Event::Samples, 0, std::vector<int16_t>(samples.begin(), samples.end()), {}});
    arrived_.notify_all();
}

void SinkRelay::endRun() {
    std::lock_guard lock(m_);
    events_.push_back({Event::End, 0, {}, {}});
    arrived_.notify_all();
}

bool SinkRelay::ready() const {
    std::lock_guard lock(m_);
    return queued_ < static_cast<std::size_t>(rate_) * 2;
}

void SinkRelay::deliver(synth::AudioSink& target, const RunBegun& begun,
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
            target.lineStarts(e.lineStarts);
            target.beginRun(e.rate);
            if (begun) begun(e.lineStarts);
            break;
        case Event::Samples: target.write(e.samples); break;
        case Event::End: target.endRun(); break;
        }
    }
}

} // namespace vorsan
