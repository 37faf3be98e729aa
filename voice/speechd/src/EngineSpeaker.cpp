#include "EngineSpeaker.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <utility>

#include "DataSetup.h"
#include "FileStamp.h"
#include "MessagePieces.h"
#include "SpeechSink.h"
#include "SymbolNaming.h"
#include "vorsan/core/Diagnostics.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"

namespace vorsan::speechd {

struct EngineSpeaker::Job {
    Job(Message m, ProtocolWriter& out) : message(std::move(m)), events(out) {}
    Message message;
    MessageEvents events;
    std::atomic<bool> abort{false};

    // True when this call ended the message.
    bool end(const char* line) {
        abort = true;
        return events.end(line);
    }
};

EngineSpeaker::EngineSpeaker(ProtocolWriter& out) : out_(out) {}

EngineSpeaker::~EngineSpeaker() { shutdown(); }

std::string EngineSpeaker::init() {
    std::lock_guard lock(mutex_);
    if (ready_) return {};
    try {
        // A user without a configuration gets one made from the
        // installation's data, as the system voice makes it; the engine is
        // created afterwards, so it finds the user's own English dictionary.
        if (voice::setUpUserData(voice::builtInInstallationFolder()) != 0)
            diagnose("sd_vorsan: the user's configuration could not be set up from the installation");
        engine_ = std::make_unique<SpeechEngine>();
        configStamp_ = std::make_unique<voice::FileStamp>(voice::FileStamp::of(engine_->configurationPath()));
        try {
            engine_->loadConfiguration();
        } catch (const MException& e) {
            // A missing or broken configuration leaves the built-in English.
            diagnose("sd_vorsan: " + e.message() + " (speaking English only)");
        }
        voiceList_ = readLanguages();
    } catch (const MException& e) {
        engine_.reset();
        return "The speech engine cannot start: " + e.message();
    } catch (const std::exception& e) {
        engine_.reset();
        return std::string("The speech engine cannot start: ") + e.what();
    }
    ready_ = true;
    worker_ = std::thread([this] { work(); });
    return {};
}

// The voices offered: every loaded language with a code, and each of its
// moods as a variant.
std::vector<VoiceEntry> EngineSpeaker::readLanguages() {
    languages_.clear();
    std::vector<VoiceEntry> voices;
    for (const LanguageDescription& d : engine_->describeLanguages()) {
        Language l{d.name, engine_->emotionDatabase(d.name), {}};
        StringList moods;
        if (!l.emotionDatabase.empty()) {
            try {
                l.mood = engine_->activeMood(d.name);
                moods = engine_->allMoodsInDatabase(d.name);
            } catch (const MException& e) {
                diagnose("sd_vorsan: " + e.message());
            }
        }
        languages_.push_back(l);
        if (d.code.empty()) continue;
        voices.push_back({d.name, d.code, "none", d.name, u""});
        for (const std::u16string& mood : moods) {
            const std::string name = utf16ToUtf8(mood);
            voices.push_back({d.name + " (" + name + ")", d.code, name, d.name, mood});
        }
    }
    return voices;
}

// One stat per message; the engine swaps in the new configuration only when
// all of it loaded, so a broken edit keeps the module speaking as before.
void EngineSpeaker::reloadIfChanged() {
    const voice::FileStamp now = voice::FileStamp::of(engine_->configurationPath());
    if (now == *configStamp_) return;
    *configStamp_ = now; // a broken file is not tried again until it changes
    try {
        engine_->loadConfiguration();
    } catch (const MException& e) {
        diagnose("sd_vorsan: the changed configuration was not loaded: " + e.message() +
                 " (speaking with the configuration loaded before)");
        return;
    } catch (const std::exception& e) {
        diagnose(std::string("sd_vorsan: the changed configuration was not loaded: ") + e.what() +
                 " (speaking with the configuration loaded before)");
        return;
    }
    std::vector<VoiceEntry> voices = readLanguages();
    std::lock_guard lock(mutex_);
    voiceList_ = std::move(voices);
}

// The message's language is preferred for its script; a mood variant
// becomes the active mood of every language whose emotion database has it,
// the others keep the configuration's. (Rate and pitch go with each call.)
std::string EngineSpeaker::apply(const VoiceState& state) {
    const std::string language =
        state.language.empty() && !state.code.empty() ? engine_->languageOfCode(state.code) : state.language;
    engine_->setPreferredLanguage(language);
    for (const Language& l : languages_) {
        if (l.emotionDatabase.empty()) continue;
        const bool has = !state.mood.empty() && engine_->moodExistsInDatabase(state.mood, l.emotionDatabase);
        const std::u16string& mood = has ? state.mood : l.mood;
        if (!mood.empty()) engine_->setActiveMood(l.name, mood);
    }
    return language;
}

std::vector<VoiceEntry> EngineSpeaker::voices() {
    std::lock_guard lock(mutex_);
    return voiceList_;
}

bool EngineSpeaker::ready() {
    std::lock_guard lock(mutex_);
    return ready_ && !quitting_;
}

void EngineSpeaker::endJobs(const char* line) {
    if (queued_) queued_->end(line);
    queued_.reset();
    if (current_ && current_->end(line)) engine_->stopSpeaking();
}

void EngineSpeaker::speak(Message message) {
    std::lock_guard lock(mutex_);
    endJobs("703 STOP");
    queued_ = std::make_shared<Job>(std::move(message), out_);
    wake_.notify_all();
}

void EngineSpeaker::stop(bool pause) {
    std::lock_guard lock(mutex_);
    endJobs(pause ? "704 PAUSE" : "703 STOP");
}

void EngineSpeaker::shutdown() {
    {
        std::lock_guard lock(mutex_);
        endJobs("703 STOP");
        quitting_ = true;
        wake_.notify_all();
    }
    if (worker_.joinable()) worker_.join();
}

void EngineSpeaker::work() {
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return quitting_ || queued_; });
            if (quitting_) return;
            job = current_ = std::move(queued_);
            queued_.reset();
        }
        // Whatever goes wrong in one message (the engine refusing a file,
        // memory) ends that message, not the module: a module that dies
        // leaves the screen reader mute until the server restarts.
        try {
            run(*job);
        } catch (const MException& e) {
            diagnose("sd_vorsan: speaking failed: " + e.message());
            job->end("703 STOP");
        } catch (const std::exception& e) {
            diagnose(std::string("sd_vorsan: speaking failed: ") + e.what());
            job->end("703 STOP");
        } catch (...) {
            diagnose("sd_vorsan: speaking failed");
            job->end("703 STOP");
        }
        std::lock_guard lock(mutex_);
        current_.reset();
    }
}

namespace {
bool blankText(const std::u16string& text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; });
}
} // namespace

void EngineSpeaker::run(Job& job) {
    if (job.events.ended()) return;
    job.events.begin();
    reloadIfChanged();
    const VoiceState state = voiceState(job.message.settings, voiceList_);
    const std::string language = apply(state);
    // A stop that came between two stretches is seen by the sink, which ends
    // the engine's work on the next one at once. The message's rate and
    // pitch apply over each language's configured voice, accent included,
    // and each stretch's prosody over those. A voice type's formants: the
    // sink plays the audio faster by their factor (every frequency in it
    // rises), so the engine speaks that much slower and lower, and the
    // speech keeps its length and the pitch asked for.
    SpeechSink sink(job.events, state.volume, job.abort, [this] { engine_->stopSpeaking(); });
    sink.setPlaybackFactor(state.formants);
    const auto words = [&sink](const std::vector<SpeechEngine::WordStart>& starts) { sink.words(starts); };
    for (Stretch& s : stretchesOf(messagePieces(job.message, symbolNamer(*engine_, language)))) {
        if (job.abort) return;
        sink.silence(s.silenceMs);
        sink.startStretch(std::move(s.marks));
        sink.setVolume(state.volume * s.prosody.volume);
        const SpeechEngine::RenderOptions options{
            true, true, static_cast<float>(state.speakingRate * s.prosody.rate / state.formants),
            static_cast<float>(state.pitch * s.prosody.pitch / state.formants)};
        if (!blankText(s.text) && !engine_->renderText(s.text, options, sink, words) && job.abort) return;
        sink.endStretch();
    }
    job.events.end("702 END");
}

} // namespace vorsan::speechd
