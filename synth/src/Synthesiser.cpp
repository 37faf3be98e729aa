#include "Synthesiser.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include "FestivalEngine.h"
#include "renderer/DiphoneRenderer.h"
#include "vorsan/core/Diagnostics.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Platform.h"

namespace vorsan::synth {

namespace {

// Parsed voice files, kept while the file on disk is unchanged.
struct CachedVoice {
    platform::FileStamp stamp;
    std::shared_ptr<const VoiceDatabase> voice;
};

std::mutex voiceCacheMutex;
std::map<std::string, CachedVoice> voiceCache;

// How long the worker waits before it asks a sink that was not ready again.
constexpr auto kSinkPoll = std::chrono::milliseconds(5);

} // namespace

void JobControl::finish(int32_t code, std::string why, bool byStop) {
    std::lock_guard lock(m);
    result = code;
    error = std::move(why);
    stopped = byStop;
    done = true;
    ended.notify_all();
}

void JobControl::wait() {
    std::unique_lock lock(m);
    ended.wait(lock, [this] { return done; });
}

// One queued piece of work as the worker carries it along.
struct Synthesiser::Active {
    SynthJob job;
    const LoadedVoice* loaded = nullptr;                     // with Festival's back end
    std::shared_ptr<const renderer::RenderVoice> own;         // with our renderer
    SegmentPlan plan;
    std::size_t next = 0; // next piece to synthesise
    bool planned = false;
};

Synthesiser& Synthesiser::instance() {
    // Never destroyed: the worker thread may still be waiting at exit.
    static Synthesiser* s = new Synthesiser;
    return *s;
}

std::shared_ptr<const VoiceDatabase> Synthesiser::voice(const std::string& name) {
    const std::string path = voiceDatabasePath(name);
    if (path.empty()) throw MException("no voice database named '" + name + "'");
    const platform::FileStamp stamp = platform::fileStamp(path);
    {
        std::lock_guard lock(voiceCacheMutex);
        auto it = voiceCache.find(path);
        if (it != voiceCache.end() && it->second.stamp == stamp &&
            it->second.voice->name == name)
            return it->second.voice;
    }
    auto loaded = std::make_shared<const VoiceDatabase>(loadVoiceDatabase(path, name));
    std::lock_guard lock(voiceCacheMutex);
    voiceCache[path] = {stamp, loaded};
    return loaded;
}

void Synthesiser::submit(SynthJob job) {
    std::lock_guard lock(mutex_);
    incoming_.push_back(std::move(job));
    if (!workerStarted_) {
        std::thread([this] { run(); }).detach();
        workerStarted_ = true;
    }
    arrived_.notify_all();
}

void Synthesiser::noteMissing(const std::string& database, const std::vector<std::string>& pairs,
                              JobControl& control) {
    for (const auto& pair : pairs) {
        std::string entry = database + ": " + pair;
        {
            std::lock_guard lock(control.m);
            if (std::find(control.missing.begin(), control.missing.end(), entry) == control.missing.end())
                control.missing.push_back(entry);
        }
        if (std::find(reported_.begin(), reported_.end(), entry) == reported_.end()) {
            reported_.push_back(entry);
            diagnose("Voice '" + database + "' has no diphone " + pair + " and no fallback for it");
        }
    }
}

// One step of the work: its plan, one piece of audio, or its completion.
// True when the work has ended.
bool Synthesiser::step(Active& work) {
    SynthJob& job = work.job;
    JobControl& control = *job.control;
    if (control.stop) {
        control.finish(0, {}, true);
        return true;
    }
    const VoiceDatabase& voice = *job.voice;
    if (!work.planned) {
        if (renderer::festivalBackEnd())
            work.loaded = &FestivalEngine::instance().load(voice);
        else
            work.own = renderer::loadRenderVoice(voice);
        work.plan = buildSegmentPlan(job.phones, voice, work.own ? work.own->index : work.loaded->index, job.settings,
                                     &control.stop);
        work.planned = true;
        if (control.stop) return step(work);
        noteMissing(voice.name, work.plan.missing, control);
        job.sink->lineStarts(work.plan.lineStarts);
        job.sink->beginRun(job.settings.voiceFrequency);
        control.progress = 0.0f;
        return false;
    }
    const auto& pieces = work.plan.pieces;
    if (work.next < pieces.size()) {
        std::vector<int16_t> samples;
        if (work.own)
            renderer::renderPiece(*work.own, voice, work.plan, pieces[work.next], samples);
        else
            samples = FestivalEngine::instance().synthesise(*work.loaded, voice, work.plan, pieces[work.next]);
        if (control.stop) return step(work);
        job.sink->write(samples);
        ++work.next;
        control.progress = static_cast<float>(work.next) / static_cast<float>(pieces.size());
        return false;
    }
    job.sink->endRun();
    control.progress = 1.0f;
    control.finish(0, {}, false);
    return true;
}

void Synthesiser::run() {
    // This frame is the outermost of every Festival call.
    volatile int outermost = 0;
    FestivalEngine::instance().anchor(const_cast<int*>(&outermost));
    std::deque<std::unique_ptr<Active>> active; // round robin: the front is served next
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (active.empty()) arrived_.wait(lock, [this] { return !incoming_.empty(); });
            while (!incoming_.empty()) {
                auto work = std::make_unique<Active>();
                work->job = std::move(incoming_.front());
                incoming_.pop_front();
                active.push_back(std::move(work));
            }
        }
        // The first work whose sink can take more (or that must stop).
        std::size_t tried = 0;
        while (tried < active.size() && !active.front()->job.control->stop && !active.front()->job.sink->ready()) {
            active.push_back(std::move(active.front()));
            active.pop_front();
            ++tried;
        }
        if (tried == active.size()) {
            std::unique_lock lock(mutex_);
            arrived_.wait_for(lock, kSinkPoll, [this] { return !incoming_.empty(); });
            continue;
        }
        std::unique_ptr<Active> work = std::move(active.front());
        active.pop_front();
        bool ended = true;
        try {
            ended = step(*work);
        } catch (const MException& e) {
            work->job.control->finish(1, e.message(), false);
        } catch (const std::exception& e) {
            work->job.control->finish(1, std::string("synthesis failed: ") + e.what(), false);
        }
        if (!ended) active.push_back(std::move(work));
        // An ended work (its plan possibly large) is freed here, after its
        // caller has been released.
    }
}

} // namespace vorsan::synth
