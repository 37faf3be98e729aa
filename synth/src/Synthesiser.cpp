#include "Synthesiser.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>

#include "FestivalEngine.h"
#include "vorsan/core/MException.h"
#include "vorsan/synth/Mbrola.h"

namespace vorsan::synth {

namespace {

// Parsed voice files, kept while the file on disk is unchanged.
struct CachedVoice {
    std::filesystem::file_time_type written;
    std::uintmax_t size = 0;
    std::shared_ptr<const VoiceDatabase> voice;
};

} // namespace

Synthesiser& Synthesiser::instance() {
    // Never destroyed: the worker thread may still be waiting at exit.
    static Synthesiser* s = new Synthesiser;
    return *s;
}

int32_t Synthesiser::refuse(const std::string& message) {
    std::lock_guard lock(mutex_);
    error_ = message;
    return 1;
}

int32_t Synthesiser::setDatabase(const char* name) {
    static std::map<std::string, CachedVoice> cache; // guarded by mutex_ below
    const std::string n = name ? name : "";
    const std::string path = voiceDatabasePath(n);
    if (path.empty()) return refuse("no voice database named '" + n + "'");
    std::error_code ec;
    const auto written = std::filesystem::last_write_time(path, ec);
    const auto size = std::filesystem::file_size(path, ec);
    {
        std::lock_guard lock(mutex_);
        auto it = cache.find(path);
        if (it != cache.end() && it->second.written == written && it->second.size == size && it->second.voice->name == n) {
            voice_ = it->second.voice;
            return 0;
        }
    }
    try {
        auto voice = std::make_shared<const VoiceDatabase>(loadVoiceDatabase(path, n));
        std::lock_guard lock(mutex_);
        cache[path] = {written, size, voice};
        voice_ = std::move(voice);
        return 0;
    } catch (const MException& e) {
        return refuse(e.message());
    }
}

int32_t Synthesiser::setPitchRatio(float ratio) {
    if (!(ratio > 0.0f) || ratio > 100.0f) return refuse("pitch ratio out of range");
    std::lock_guard lock(mutex_);
    settings_.pitchRatio = ratio;
    return 0;
}

int32_t Synthesiser::setDurationRatio(float ratio) {
    if (!(ratio > 0.0f) || ratio > 100.0f) return refuse("duration ratio out of range");
    std::lock_guard lock(mutex_);
    settings_.durationRatio = ratio;
    return 0;
}

int32_t Synthesiser::setVoiceFrequency(int32_t hz) {
    if (hz < 4000 || hz > 192000) return refuse("voice frequency " + std::to_string(hz) + " Hz out of range");
    std::lock_guard lock(mutex_);
    settings_.voiceFrequency = hz;
    return 0;
}

int32_t Synthesiser::play(const char* text, int32_t flags, const char* outFile) {
    Job job;
    job.text = text ? text : "";
    switch (flags) {
    case 0: break;
    case MBR_FLAG_WAVE: job.fileType = FileType::Wave; break;
    case MBR_FLAG_AIFF: job.fileType = FileType::Aiff; break;
    case MBR_FLAG_AU: job.fileType = FileType::Au; break;
    default: return refuse("unknown player flags " + std::to_string(flags));
    }
    if (job.fileType) {
        if (!outFile || !*outFile) return refuse("no output file given");
        job.path = outFile;
    }
    std::lock_guard lock(mutex_);
    if (busy_) {
        error_ = "the synthesiser is busy";
        return 1;
    }
    if (!voice_) {
        error_ = "no voice database selected";
        return 1;
    }
    job.voice = voice_;
    job.settings = settings_;
    pending_ = std::move(job);
    busy_ = true;
    result_ = 0;
    error_.clear();
    stop_ = false;
    if (!workerStarted_) {
        std::thread([this] { run(); }).detach();
        workerStarted_ = true;
    }
    changed_.notify_all();
    return 0;
}

int32_t Synthesiser::waitForEnd() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    return result_;
}

int32_t Synthesiser::isPlaying() {
    std::lock_guard lock(mutex_);
    return busy_ ? 1 : 0;
}

int32_t Synthesiser::stop() {
    stop_ = true;
    return 0;
}

const char* Synthesiser::lastError() {
    std::lock_guard lock(mutex_);
    errorCopy_ = error_;
    return errorCopy_.c_str();
}

std::vector<std::string> Synthesiser::takeMissingDiphones() {
    std::lock_guard lock(mutex_);
    return std::exchange(missing_, {});
}

void Synthesiser::noteMissing(const std::string& database, const std::vector<std::string>& pairs) {
    std::lock_guard lock(mutex_);
    for (const auto& pair : pairs) {
        std::string entry = database + ": " + pair;
        if (std::find(missing_.begin(), missing_.end(), entry) == missing_.end()) missing_.push_back(entry);
        if (std::find(reported_.begin(), reported_.end(), entry) == reported_.end()) {
            reported_.push_back(entry);
            std::cerr << "Voice '" << database << "' has no diphone " << pair << " and no fallback for it\n";
        }
    }
}

void Synthesiser::run() {
    for (;;) {
        // Declared outside the work so that freeing a large plan happens
        // after the waiting caller has been released.
        Job job;
        SegmentPlan plan;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return pending_.has_value(); });
            job = std::move(*pending_);
            pending_.reset();
        }
        int32_t result = 0;
        std::string error;
        try {
            perform(job, plan);
        } catch (const MException& e) {
            result = 1;
            error = e.message();
        } catch (const std::exception& e) {
            result = 1;
            error = std::string("synthesis failed: ") + e.what();
        }
        std::lock_guard lock(mutex_);
        result_ = result;
        error_ = error;
        busy_ = false;
        changed_.notify_all();
    }
}

void Synthesiser::perform(const Job& job, SegmentPlan& plan) {
    FestivalEngine& festival = FestivalEngine::instance();
    const VoiceDatabase& voice = *job.voice;
    const LoadedVoice& loaded = festival.load(voice);
    plan = buildSegmentPlan(job.text, voice, loaded.index, job.settings, &stop_);
    if (stop_) return;
    noteMissing(voice.name, plan.missing);
    if (!job.fileType && plan.pieces.empty()) return; // nothing to hear
    std::unique_ptr<AudioOutput> out = job.fileType ? openFileOutput(job.path, *job.fileType, job.settings.voiceFrequency)
                                                    : openDeviceOutput(job.settings.voiceFrequency);
    std::vector<std::string> reported;
    progress_ = 0.0f;
    std::size_t done = 0;
    for (const PlanPiece& piece : plan.pieces) {
        if (stop_) {
            out->abandon();
            return;
        }
        reported.clear();
        std::vector<int16_t> samples = festival.synthesise(loaded, voice, plan, piece, reported);
        noteMissing(voice.name, reported);
        if (!out->write(samples, stop_)) {
            out->abandon();
            return;
        }
        progress_ = static_cast<float>(++done) / static_cast<float>(plan.pieces.size());
    }
    if (stop_) {
        out->abandon();
        return;
    }
    out->finish(stop_);
}

} // namespace vorsan::synth
