#pragma once
// The back end every SynthChannel shares: one worker thread that makes every
// Festival call and serves the queued work of all channels in turn, one step
// (planning, one piece of audio, completion) at a time.
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "SegmentPlan.h"
#include "vorsan/core/Sync.h"
#include "vorsan/synth/AudioSink.h"
#include "vorsan/synth/VoiceDatabase.h"

namespace vorsan::synth {

// How one piece of work ends, shared by its channel and the worker.
struct JobControl {
    std::atomic<bool> stop{false};
    std::atomic<float> progress{0.0f};

    Mutex m;
    ConditionVariable ended;
    bool done = false;
    bool stopped = false;
    int32_t result = 0;
    std::string error;
    std::vector<std::string> missing;

    void finish(int32_t code, std::string why, bool byStop);
    void wait();
};

struct SynthJob {
    PhonemeRecordList phones;
    std::shared_ptr<const VoiceDatabase> voice;
    PlanSettings settings;
    AudioSink* sink = nullptr;
    std::shared_ptr<JobControl> control;
};

class Synthesiser {
public:
    static Synthesiser& instance();

    // Queues the work; the worker starts on it at once when it is idle.
    void submit(SynthJob job);
    // A voice database by name, parsed once while its file is unchanged;
    // raises MException.
    std::shared_ptr<const VoiceDatabase> voice(const std::string& name);

private:
    struct Active;

    Synthesiser() = default;
    void run();
    bool step(Active& work);
    void noteMissing(const std::string& database, const std::vector<std::string>& pairs, JobControl& control);

    Mutex mutex_;
    ConditionVariable arrived_;
    std::deque<SynthJob> incoming_;
    bool workerStarted_ = false;
    std::vector<std::string> reported_; // worker only
};

} // namespace vorsan::synth
