#include "vorsan/synth/SynthChannel.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "Synthesiser.h"
#include "vorsan/core/MException.h"

namespace vorsan::synth {

struct SynthChannel::State {
    mutable std::mutex m;
    std::shared_ptr<const VoiceDatabase> voice;
    PlanSettings settings;
    std::string error;
    std::string errorCopy; // what lastError handed out
    std::shared_ptr<JobControl> current;
    std::shared_ptr<AudioSink> owned;    // the sink play() made
    std::shared_ptr<DeviceSink> device;  // ... when it is the device
    std::vector<std::string> missing;
    bool stopped = false;

    int32_t refuse(std::string message) {
        std::lock_guard lock(m);
        error = std::move(message);
        return 1;
    }

    bool busy() const { // under m
        if (current) {
            std::lock_guard lock(current->m);
            if (!current->done) return true;
        }
        return device && device->playing();
    }

    int32_t start(PhonemeRecordList phones, AudioSink* sink, std::shared_ptr<AudioSink> ownedSink,
                  std::shared_ptr<DeviceSink> deviceSink) {
        std::lock_guard lock(m);
        if (busy()) {
            error = "the synthesiser is busy";
            return 1;
        }
        if (!voice) {
            error = "no voice database selected";
            return 1;
        }
        collectMissing();
        owned = std::move(ownedSink);
        device = std::move(deviceSink);
        current = std::make_shared<JobControl>();
        error.clear();
        stopped = false;
        Synthesiser::instance().submit(SynthJob{std::move(phones), voice, settings, sink, current});
        return 0;
    }

    void collectMissing() { // under m
        if (!current) return;
        std::lock_guard lock(current->m);
        for (auto& entry : current->missing)
            if (std::find(missing.begin(), missing.end(), entry) == missing.end()) missing.push_back(entry);
        current->missing.clear();
    }
};

SynthChannel::SynthChannel() : s_(std::make_unique<State>()) {}

SynthChannel::~SynthChannel() {
    stop();
    std::shared_ptr<JobControl> job;
    {
        std::lock_guard lock(s_->m);
        job = s_->current;
    }
    if (job) job->wait(); // the worker must let go of the sinks first
}

int32_t SynthChannel::setDatabase(const char* name) {
    try {
        auto voice = Synthesiser::instance().voice(name ? name : "");
        std::lock_guard lock(s_->m);
        s_->voice = std::move(voice);
        return 0;
    } catch (const MException& e) {
        return s_->refuse(e.message());
    }
}

int32_t SynthChannel::setPitchRatio(float ratio) {
    if (!(ratio > 0.0f) || ratio > 100.0f) return s_->refuse("pitch ratio out of range");
    std::lock_guard lock(s_->m);
    s_->settings.pitchRatio = ratio;
    return 0;
}

int32_t SynthChannel::setDurationRatio(float ratio) {
    if (!(ratio > 0.0f) || ratio > 100.0f) return s_->refuse("duration ratio out of range");
    std::lock_guard lock(s_->m);
    s_->settings.durationRatio = ratio;
    return 0;
}

int32_t SynthChannel::setVoiceFrequency(int32_t hz) {
    if (hz < 4000 || hz > 192000) return s_->refuse("voice frequency " + std::to_string(hz) + " Hz out of range");
    std::lock_guard lock(s_->m);
    s_->settings.voiceFrequency = hz;
    return 0;
}

int32_t SynthChannel::play(const char* phonemeText, int32_t flags, const char* outFile) {
    PhonemeRecordList phones;
    phones.read(phonemeText ? phonemeText : "");
    if (flags == 0) {
        auto device = std::make_shared<DeviceSink>();
        return s_->start(std::move(phones), device.get(), device, device);
    }
    const SoundFileFormat* format = soundFileFormatOfFlag(flags);
    if (!format) return s_->refuse("unknown player flags " + std::to_string(flags));
    if (!outFile || !*outFile) return s_->refuse("no output file given");
    auto file = std::make_shared<SoundFileSink>(outFile, format->type, true);
    return s_->start(std::move(phones), file.get(), file, nullptr);
}

int32_t SynthChannel::render(PhonemeRecordList phones, AudioSink& sink) {
    return s_->start(std::move(phones), &sink, nullptr, nullptr);
}

int32_t SynthChannel::waitForEnd() {
    std::shared_ptr<JobControl> job;
    std::shared_ptr<AudioSink> owned;
    std::shared_ptr<DeviceSink> device;
    {
        std::lock_guard lock(s_->m);
        job = s_->current;
        owned = s_->owned;
        device = s_->device;
    }
    if (!job) return 0;
    job->wait();
    int32_t result;
    std::string error;
    bool stopped;
    {
        std::lock_guard lock(job->m);
        result = job->result;
        error = job->error;
        stopped = job->stopped;
    }
    if (device && result == 0 && !stopped) {
        try {
            if (!device->drain()) stopped = true;
        } catch (const MException& e) {
            result = 1;
            error = e.message();
        }
    }
    if (auto* file = dynamic_cast<SoundFileSink*>(owned.get()); file && (result != 0 || stopped)) file->abandon();
    std::lock_guard lock(s_->m);
    if (s_->current == job) {
        s_->stopped = stopped;
        s_->error = error;
    }
    return result;
}

bool SynthChannel::finished() const {
    std::shared_ptr<JobControl> job;
    {
        std::lock_guard lock(s_->m);
        job = s_->current;
    }
    if (!job) return true;
    std::lock_guard lock(job->m);
    return job->done;
}

bool SynthChannel::stopped() const {
    std::lock_guard lock(s_->m);
    return s_->stopped;
}

int32_t SynthChannel::isPlaying() const {
    std::lock_guard lock(s_->m);
    return s_->busy() ? 1 : 0;
}

int32_t SynthChannel::stop() {
    std::lock_guard lock(s_->m);
    if (s_->current) s_->current->stop = true;
    if (s_->device) s_->device->abandon();
    return 0;
}

const char* SynthChannel::lastError() {
    std::lock_guard lock(s_->m);
    s_->errorCopy = s_->error;
    return s_->errorCopy.c_str();
}

float SynthChannel::progress() const {
    std::lock_guard lock(s_->m);
    return s_->current ? s_->current->progress.load() : 0.0f;
}

std::vector<std::string> SynthChannel::takeMissingDiphones() {
    std::lock_guard lock(s_->m);
    s_->collectMissing();
    return std::exchange(s_->missing, {});
}

} // namespace vorsan::synth
