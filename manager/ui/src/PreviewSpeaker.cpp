#include "PreviewSpeaker.h"

#include "vorsan/core/MException.h"
#include "vorsan/engine/SpeechEngine.h"

namespace vorsan::manager {

PreviewSpeaker::PreviewSpeaker(PreviewOutput output) : output_(std::move(output)) {
    if (!output_)
        output_ = [](const std::atomic<bool>* stop) { return std::make_unique<synth::DeviceSink>(stop); };
}

PreviewSpeaker::~PreviewSpeaker() { stop(); }

void PreviewSpeaker::start(PreviewRequest request) {
    stop();
    {
        std::lock_guard lock(mutex_);
        result_.reset();
    }
    stop_ = false;
    worker_ = std::thread([this, r = std::move(request)] { run(r); });
}

void PreviewSpeaker::stop() {
    stop_ = true;
    {
        std::lock_guard lock(mutex_);
        if (engine_) engine_->stopSpeaking();
    }
    if (worker_.joinable()) worker_.join();
}

std::optional<PreviewResult> PreviewSpeaker::takeResult() {
    std::lock_guard lock(mutex_);
    auto r = std::move(result_);
    result_.reset();
    return r;
}

void PreviewSpeaker::run(const PreviewRequest& r) {
    PreviewResult result;
    try {
        SpeechEngine engine;
        {
            std::lock_guard lock(mutex_);
            engine_ = &engine;
        }
        struct Forget {
            PreviewSpeaker* self;
            ~Forget() {
                std::lock_guard lock(self->mutex_);
                self->engine_ = nullptr;
            }
        } forget{this};
        // Only this language is loaded, and it is primary, so the whole
        // sample is read as this language.
        const std::string language =
            r.languageFile.empty() ? SpeechEngine::kEnglishName : engine.addLanguageDatabase(r.languageFile);
        engine.setPrimaryLanguage(language);
        engine.setPitch(language, static_cast<float>(r.pitch));
        engine.setTime(language, static_cast<float>(r.time));
        engine.setVoiceFrequency(language, r.voice);
        if (!r.emotionFile.empty()) {
            engine.setEmotionDatabase(language, engine.addEmotionDatabase(r.emotionFile));
            engine.setActiveMood(language, r.mood);
        }
        if (!r.accentFile.empty()) engine.setAccentDatabase(language, engine.addAccentDatabase(r.accentFile));
        if (stop_) {
            result.kind = PreviewResult::Stopped;
        } else {
            std::unique_ptr<synth::AudioSink> sink = output_(&stop_);
            bool complete = engine.renderText(r.text, !r.emotionFile.empty(), !r.accentFile.empty(), *sink);
            if (auto* device = dynamic_cast<synth::DeviceSink*>(sink.get())) complete = device->drain() && complete;
            if (auto* file = dynamic_cast<synth::SoundFileSink*>(sink.get()); file && complete) file->commit();
            if (!complete || stop_) result.kind = PreviewResult::Stopped;
        }
    } catch (const MException& e) {
        result.message = e.message();
        result.kind = e.message().rfind("cannot open sound device", 0) == 0 ? PreviewResult::NoDevice
                                                                             : PreviewResult::Failed;
    } catch (const std::exception& e) {
        result.kind = PreviewResult::Failed;
        result.message = e.what();
    }
    std::lock_guard lock(mutex_);
    result_ = std::move(result);
}

} // namespace vorsan::manager
