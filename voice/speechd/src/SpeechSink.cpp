#include "SpeechSink.h"

#include <algorithm>
#include <cmath>

namespace vorsan::speechd {

bool SpeechSink::aborted() {
    if (!abort_) return false;
    if (!stopped_ && stop_) stop_();
    stopped_ = true;
    return true;
}

void SpeechSink::startStretch(std::vector<std::pair<std::size_t, std::string>> marks) {
    marks_ = std::move(marks);
    nextMark_ = 0;
    placed_.clear();
    runSamples_ = 0;
}

void SpeechSink::words(const std::vector<SpeechEngine::WordStart>& starts) {
    for (const SpeechEngine::WordStart& w : starts)
        for (; nextMark_ < marks_.size() && marks_[nextMark_].first <= w.offset; ++nextMark_)
            placed_.push_back({std::max<int64_t>(0, w.sample), marks_[nextMark_].second});
}

void SpeechSink::endStretch() {
    for (const Placed& p : placed_) events_.mark(p.name);
    placed_.clear();
    for (; nextMark_ < marks_.size(); ++nextMark_) events_.mark(marks_[nextMark_].second);
}

void SpeechSink::beginRun(int32_t rate) {
    // Marks placed in the run before whose word got no audio of its own.
    for (const Placed& p : placed_) events_.mark(p.name);
    placed_.clear();
    runSamples_ = 0;
    if (rate > 0) rate_ = static_cast<unsigned>(std::lround(rate * playback_));
}

void SpeechSink::write(std::span<const int16_t> samples) {
    if (aborted() || samples.empty()) return;
    const int16_t* data = samples.data();
    if (volume_ != 1.0) {
        scaled_.resize(samples.size());
        for (std::size_t i = 0; i < samples.size(); ++i)
            scaled_[i] = static_cast<int16_t>(std::clamp(std::lround(samples[i] * volume_), -32768L, 32767L));
        data = scaled_.data();
    }
    std::size_t count = samples.size();
    while (count > 0) {
        if (!placed_.empty() && placed_.front().sample <= runSamples_) {
            events_.mark(placed_.front().name);
            placed_.pop_front();
            continue;
        }
        std::size_t n = count;
        if (!placed_.empty()) n = std::min<std::size_t>(n, static_cast<std::size_t>(placed_.front().sample - runSamples_));
        send(data, n);
        data += n;
        count -= n;
        runSamples_ += static_cast<int64_t>(n);
    }
}

void SpeechSink::silence(unsigned ms) {
    static const int16_t zeros[1000] = {};
    std::size_t count = static_cast<std::size_t>(ms) * rate_ / 1000;
    while (count > 0 && !aborted()) {
        const std::size_t n = std::min<std::size_t>(count, std::size(zeros));
        send(zeros, n);
        count -= n;
    }
}

void SpeechSink::send(const int16_t* samples, std::size_t count) { events_.audio(samples, count, rate_); }

} // namespace vorsan::speechd
