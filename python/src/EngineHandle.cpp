#include "EngineHandle.h"

#include "CollectedAudio.h"

#include <condition_variable>
#include <filesystem>
#include <set>
#include <stdexcept>

#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/engine/UserData.h"

namespace vorsan::python {

namespace {
// Every live engine and the calls under way, so that the interpreter's exit
// can end them before the module's objects go. Never destroyed: a thread may
// still leave a call while the process's own objects are destroyed.
struct LiveEngines {
    std::mutex lock;
    std::condition_variable idle;
    std::set<EngineHandle*> engines;
    std::size_t calls = 0;
    bool closing = false;
};
LiveEngines& live() {
    static LiveEngines* l = new LiveEngines;
    return *l;
}

constexpr const char* kNothingToSpeak = "The text has nothing to speak (no part of it belongs to a loaded language)";
} // namespace

CallUnderWay::CallUnderWay() {
    std::lock_guard g(live().lock);
    if (live().closing) throw MException("The engine is closed: the interpreter is exiting");
    ++live().calls;
}

CallUnderWay::~CallUnderWay() {
    std::lock_guard g(live().lock);
    if (--live().calls == 0) live().idle.notify_all();
}

void stopEveryEngine() {
    std::unique_lock g(live().lock);
    live().closing = true;
    for (EngineHandle* h : live().engines) h->stop();
    live().idle.wait(g, [] { return live().calls == 0; });
}

EngineHandle::EngineHandle(bool loadUserConfiguration) {
    {
        std::lock_guard g(live().lock);
        live().engines.insert(this);
    }
    if (!loadUserConfiguration) return;
    // A user who has no configuration yet is set up from the installation
    // first, which the diagnostic sink hears once.
    setUpNewUser("vorsan");
    if (std::filesystem::exists(engine_.configurationPath())) engine_.loadConfiguration();
}

EngineHandle::~EngineHandle() {
    std::lock_guard g(live().lock);
    live().engines.erase(this);
}

void EngineHandle::beginRequest() {
    std::lock_guard g(live().lock);
    stopAsked_ = live().closing; // asked to stop while it waited for the engine
}

void EngineHandle::checkNotReading() {
    std::lock_guard<std::mutex> g(readerLock_);
    if (streamReader_ && *streamReader_ == std::this_thread::get_id())
        throw std::runtime_error("the engine is busy with a stream this thread reads: read it to the end or close it first");
}

std::unique_lock<std::mutex> EngineHandle::lock() {
    checkNotReading();
    return acquire();
}

void EngineHandle::stop() {
    stopAsked_ = true;
    engine_.stopSpeaking();
}

void EngineHandle::setStreamReader(std::optional<std::thread::id> reader) {
    std::lock_guard<std::mutex> g(readerLock_);
    streamReader_ = reader;
}

MoodGuard::MoodGuard(SpeechEngine& engine, const MoodChoice& mood) : engine_(engine) {
    withEmotion_ = mood.kind != MoodChoice::None;
    if (mood.kind != MoodChoice::Named) return;
    std::string first;
    for (const std::u16string& name16 : engine.allSupportedLanguages()) {
        const std::string language = utf16ToUtf8(name16);
        if (!engine.emotionSet(language)) continue;
        if (first.empty()) first = language;
        if (!engine.moodExistsInDatabase(mood.name, engine.emotionDatabase(language))) continue;
        previous_.emplace_back(language, engine.activeMood(language));
        engine.setActiveMood(language, mood.name);
    }
    // No language has the mood: the engine says why.
    if (previous_.empty()) engine.setActiveMood(first.empty() ? SpeechEngine::kEnglishName : first, mood.name);
}

MoodGuard::~MoodGuard() {
    // A language that had no mood of its own keeps the request's: the engine
    // has no "no mood" to return to, and it was not speaking with emotion.
    for (const auto& [language, mood] : previous_) {
        if (mood.empty()) continue;
        try {
            engine_.setActiveMood(language, mood);
        } catch (const MException&) {
        }
    }
}

std::unique_ptr<Audio> synthesize(EngineHandle& handle, const Request& request, const Interrupted& interrupted) {
    TextPlaces places(request.text);
    CollectingSink sink(places);
    bool completed = false;
    {
        auto lock = handle.lock();
        SpeechEngine& engine = handle.engine();
        handle.beginRequest();
        MoodGuard mood(engine, request.mood);
        sink.setOnWrite([&] {
            if (handle.stopAsked() || (interrupted && interrupted())) engine.stopSpeaking();
        });
        // One Audio at one rate: the first run's, later runs converted to
        // it, as the engine's own files are.
        SpeechEngine::RenderOptions options;
        options.withEmotion = mood.withEmotion();
        options.withAccent = request.accent;
        options.outputRate = SpeechEngine::kFirstRunRate;
        completed = engine.renderText(request.text, options, sink,
                                      [&sink](const auto& starts) { sink.wordsBegin(starts); });
    }
    // As vorsan tofile: empty audio would pass for the text's speech.
    if (completed && !sink.begun()) throw MException(kNothingToSpeak);
    std::unique_ptr<Audio> audio = sink.take();
    audio->stopped = !completed;
    return audio;
}

bool synthesizeToFile(EngineHandle& handle, const Request& request, int16_t fileType, const std::string& path) {
    auto lock = handle.lock();
    SpeechEngine& engine = handle.engine();
    handle.beginRequest();
    MoodGuard mood(engine, request.mood);
    return engine.convertTextToNamedFile(request.text, mood.withEmotion(), request.accent, fileType, path);
}

bool speak(EngineHandle& handle, const Request& request) {
    auto lock = handle.lock();
    SpeechEngine& engine = handle.engine();
    handle.beginRequest();
    MoodGuard mood(engine, request.mood);
    engine.speakText(request.text, mood.withEmotion(), request.accent);
    return !engine.stopped();
}

} // namespace vorsan::python
