#pragma once
// The synthesiser behind the MBR_ functions: process-wide settings and one
// worker thread that makes every Festival call.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "AudioOutput.h"
#include "SegmentPlan.h"
#include "vorsan/synth/VoiceDatabase.h"

namespace vorsan::synth {

class Synthesiser {
public:
    static Synthesiser& instance();

    int32_t setDatabase(const char* name);
    int32_t setPitchRatio(float ratio);
    int32_t setDurationRatio(float ratio);
    int32_t setVoiceFrequency(int32_t hz);
    int32_t play(const char* text, int32_t flags, const char* outFile);
    int32_t waitForEnd();
    int32_t isPlaying();
    int32_t stop();
    const char* lastError();
    float progress() const { return progress_; }

    std::vector<std::string> takeMissingDiphones();

private:
    struct Job {
        std::string text;
        std::optional<FileType> fileType; // none: play on the device
        std::string path;
        std::shared_ptr<const VoiceDatabase> voice;
        PlanSettings settings;
    };

    Synthesiser() = default;
    void run();
    void perform(const Job& job, SegmentPlan& plan);
    void noteMissing(const std::string& database, const std::vector<std::string>& pairs);
    int32_t refuse(const std::string& message);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Job> pending_;
    bool busy_ = false;
    int32_t result_ = 0;
    std::string error_;
    std::string errorCopy_; // what MBR_LastError handed out
    std::atomic<bool> stop_{false};
    std::atomic<float> progress_{0.0f}; // share of the current job's pieces done
    bool workerStarted_ = false;

    std::shared_ptr<const VoiceDatabase> voice_;
    PlanSettings settings_;

    std::vector<std::string> missing_;
    std::vector<std::string> reported_;
};

} // namespace vorsan::synth
