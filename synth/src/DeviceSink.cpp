#include <alsa/asoundlib.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "vorsan/synth/RateAdapter.h"
#include "vorsan/core/Diagnostics.h"
#include "vorsan/core/MException.h"
#include "vorsan/synth/AudioSink.h"

namespace vorsan::synth {

namespace {
using namespace std::chrono_literals;
constexpr auto kPoll = 10ms;

// ALSA's library prints its own lines on standard error for every failure
// under an open (a machine without a card gives eight of them before the
// program's one message, which already says what went wrong). They are
// dropped; VORSAN_ALSA_DEBUG=1 sends them to the diagnostic sink instead.
void alsaLine(const char* file, int line, const char* function, int err, const char* format, ...) {
    static const bool keep = [] {
        const char* v = std::getenv("VORSAN_ALSA_DEBUG");
        return v && *v && *v != '0';
    }();
    if (!keep) return;
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::string message = std::string("ALSA: ") + text + " (" + (function ? function : "?") + ", " +
                          (file ? file : "?") + ":" + std::to_string(line) + ")";
    if (err) message += std::string(": ") + snd_strerror(err);
    diagnose(message);
}

void quietenAlsa() {
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(alsaLine); });
}
} // namespace

std::string soundDeviceName() {
    const char* v = std::getenv("VORSAN_ALSA_DEVICE");
    return v && *v ? v : "default";
}

// The device's queue, behind the adapter that brings every run to the rate
// the device was opened at.
struct DeviceSink::State final : AudioSink {
    const std::atomic<bool>* stop = nullptr;
    std::string name = soundDeviceName();
    snd_pcm_t* pcm = nullptr;
    int32_t deviceRate = 0;
    // Used by the writing thread only; the device opens at the first run.
    RateAdapter adapter{*this, [this](int32_t firstRunRate) {
                            open(firstRunRate);
                            return deviceRate;
                        }};

    void beginRun(int32_t) override {}
    void write(std::span<const int16_t> samples) override { push(std::vector<int16_t>(samples.begin(), samples.end())); }

    mutable std::mutex m;
    std::condition_variable changed;
    std::deque<std::vector<int16_t>> queue;
    std::size_t queued = 0;    // samples waiting in the queue
    bool inFlight = false;     // a block is being handed to the device
    bool finishing = false;    // drain() waits for the device to play out
    bool drained = false;      // ... and it has
    bool abandoned = false;
    bool quit = false;
    std::string failure;
    std::thread player;

    bool stopRaised() const { return stop && stop->load(); }

    void open(int32_t rate) {
        quietenAlsa();
        int err = snd_pcm_open(&pcm, name.c_str(), SND_PCM_STREAM_PLAYBACK, 0);
        if (err < 0) {
            pcm = nullptr;
            throw MException("cannot open sound device '" + name + "': " + snd_strerror(err));
        }
        // The device (or ALSA's plug layer) should take the rate as it is;
        // when it refuses, convert to a rate it does take.
        for (int32_t candidate : {rate, 48000, 44100}) {
            err = snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                                     static_cast<unsigned>(candidate), 1, 100000);
            if (err == 0) {
                deviceRate = candidate;
                break;
            }
        }
        if (deviceRate == 0) {
            snd_pcm_close(pcm);
            pcm = nullptr;
            throw MException("cannot open sound device '" + name + "': cannot play 16-bit mono at " +
                             std::to_string(rate) + " Hz: " + snd_strerror(err));
        }
        player = std::thread([this] { play(); });
    }

    // Hands samples to the device in slices of about 20 ms, so that a stop
    // takes effect promptly. False when stopped or failed.
    bool toDevice(const std::vector<int16_t>& samples) {
        const std::size_t slice = static_cast<std::size_t>(std::max(1, deviceRate / 50));
        std::size_t done = 0;
        while (done < samples.size()) {
            if (stopRaised() || abandonedNow()) return false;
            const std::size_t n = std::min(slice, samples.size() - done);
            snd_pcm_sframes_t written = snd_pcm_writei(pcm, samples.data() + done, n);
            if (written < 0) written = snd_pcm_recover(pcm, static_cast<int>(written), 1);
            if (written < 0) {
                std::lock_guard lock(m);
                failure = "sound device '" + name + "' failed: " + snd_strerror(static_cast<int>(written));
                return false;
            }
            done += static_cast<std::size_t>(written);
        }
        return true;
    }

    bool abandonedNow() {
        std::lock_guard lock(m);
        return abandoned;
    }

    // Lets the device play out without blocking, so a stop still cuts in.
    void playOut() {
        snd_pcm_nonblock(pcm, 1);
        const int err = snd_pcm_drain(pcm);
        if (err == 0 || err == -EAGAIN) {
            while (snd_pcm_state(pcm) == SND_PCM_STATE_DRAINING) {
                if (stopRaised() || abandonedNow()) {
                    snd_pcm_drop(pcm);
                    break;
                }
                std::this_thread::sleep_for(5ms);
            }
        }
        snd_pcm_nonblock(pcm, 0);
        snd_pcm_prepare(pcm);
    }

    void play() {
        std::unique_lock lock(m);
        while (!quit) {
            if (abandoned || stopRaised() || !failure.empty()) {
                queue.clear();
                queued = 0;
                if (!abandoned) abandoned = stopRaised();
                changed.notify_all();
                changed.wait_for(lock, kPoll);
                continue;
            }
            if (queue.empty()) {
                if (finishing && !drained) {
                    lock.unlock();
                    playOut();
                    lock.lock();
                    drained = true;
                    changed.notify_all();
                }
                changed.wait_for(lock, kPoll);
                continue;
            }
            std::vector<int16_t> block = std::move(queue.front());
            queue.pop_front();
            queued -= block.size();
            inFlight = true;
            changed.notify_all();
            lock.unlock();
            const bool ok = toDevice(block);
            if (!ok) snd_pcm_drop(pcm);
            lock.lock();
            inFlight = false;
            changed.notify_all();
        }
    }

    void push(std::vector<int16_t> samples) {
        if (samples.empty()) return;
        std::lock_guard lock(m);
        if (abandoned || quit) return;
        queued += samples.size();
        queue.push_back(std::move(samples));
        changed.notify_all();
    }
};

DeviceSink::DeviceSink(const std::atomic<bool>* stop) : s_(std::make_unique<State>()) { s_->stop = stop; }

DeviceSink::~DeviceSink() {
    {
        std::lock_guard lock(s_->m);
        s_->quit = true;
        s_->abandoned = true;
        s_->changed.notify_all();
    }
    if (s_->player.joinable()) s_->player.join();
    if (s_->pcm) {
        snd_pcm_drop(s_->pcm);
        snd_pcm_close(s_->pcm);
    }
}

void DeviceSink::beginRun(int32_t rate) { s_->adapter.beginRun(rate); }

void DeviceSink::write(std::span<const int16_t> samples) {
    {
        std::lock_guard lock(s_->m);
        if (!s_->failure.empty()) throw MException(s_->failure);
    }
    s_->adapter.write(samples);
}

void DeviceSink::endRun() { s_->adapter.endRun(); }

bool DeviceSink::ready() const {
    std::lock_guard lock(s_->m);
    // Half a second queued keeps the device fed while the synthesiser, which
    // runs far faster than real time, serves other callers.
    return s_->deviceRate == 0 || s_->queued < static_cast<std::size_t>(s_->deviceRate / 2) || s_->abandoned;
}

bool DeviceSink::drain() {
    std::unique_lock lock(s_->m);
    if (!s_->pcm) return !s_->abandoned && !s_->stopRaised();
    s_->finishing = true;
    s_->drained = false;
    s_->changed.notify_all();
    while (!s_->drained && !s_->abandoned && s_->failure.empty() && !s_->stopRaised())
        s_->changed.wait_for(lock, kPoll);
    s_->finishing = false;
    const bool heard = s_->drained;
    s_->drained = false;
    if (!s_->failure.empty()) throw MException(s_->failure);
    return heard && !s_->abandoned && !s_->stopRaised();
}

void DeviceSink::abandon() {
    std::lock_guard lock(s_->m);
    s_->abandoned = true;
    s_->queue.clear();
    s_->queued = 0;
    s_->changed.notify_all();
}

bool DeviceSink::playing() const {
    std::lock_guard lock(s_->m);
    if (s_->abandoned) return false;
    return s_->queued > 0 || s_->inFlight || (s_->finishing && !s_->drained);
}

} // namespace vorsan::synth
