#include <algorithm>
#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "SoundDevice.h"
#include "vorsan/synth/RateAdapter.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/Sync.h"
#include "vorsan/synth/AudioSink.h"

namespace vorsan::synth {

namespace {
using namespace std::chrono_literals;
constexpr auto kPoll = 10ms;
} // namespace

std::string soundDeviceName() {
    for (const char* variable : {"VORSAN_SOUND_DEVICE", "VORSAN_ALSA_DEVICE"})
        if (std::string v = platform::environment(variable).value_or(""); !v.empty()) return v;
    return "default";
}

// The device's queue, behind the adapter that brings every run to the rate
// the device was opened at.
struct DeviceSink::State final : AudioSink {
    const std::atomic<bool>* stop = nullptr;
    std::string name = soundDeviceName();
    std::unique_ptr<SoundDevice> device;
    int32_t deviceRate = 0;
    // Used by the writing thread only; the device opens at the first run.
    RateAdapter adapter{*this, [this](int32_t firstRunRate) {
                            open(firstRunRate);
                            return deviceRate;
                        }};

    void beginRun(int32_t) override {}
    void write(std::span<const int16_t> samples) override { push(std::vector<int16_t>(samples.begin(), samples.end())); }

    mutable Mutex m;
    ConditionVariable changed;
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
        device = openSoundDevice(name, rate);
        deviceRate = device->rate();
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
            std::string why;
            const long written = device->write(samples.data() + done, n, why);
            if (written < 0) {
                std::lock_guard lock(m);
                failure = "sound device '" + name + "' failed: " + why;
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

    // Lets the device play out, so that a stop still cuts in.
    void playOut() {
        device->playOut([this] { return stopRaised() || abandonedNow(); });
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
            if (!ok) device->drop();
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
    s_->device.reset();
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
    if (!s_->device) return !s_->abandoned && !s_->stopRaised();
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
