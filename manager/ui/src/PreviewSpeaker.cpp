#include "PreviewSpeaker.h"

#include <locale.h>

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

namespace {

// Numbers in voice files and in the synthesiser's own data are written with a
// decimal point. A desktop in a language that writes a decimal comma sets
// that for the whole process (Qt does so on start), and the synthesiser would
// then misread them; so this thread reads and writes numbers the C way.
class CNumbers {
public:
    CNumbers() {
        // The process's other settings (text encoding, messages) stay.
        locale_t base = ::duplocale(LC_GLOBAL_LOCALE);
        c_ = base ? ::newlocale(LC_NUMERIC_MASK, "C", base) : nullptr;
        if (!c_ && base) ::freelocale(base);
        if (c_) previous_ = ::uselocale(c_);
    }
    ~CNumbers() {
        if (!c_) return;
        ::uselocale(previous_);
        ::freelocale(c_);
    }
    CNumbers(const CNumbers&) = delete;
    CNumbers& operator=(const CNumbers&) = delete;

private:
    locale_t c_ = nullptr;
    locale_t previous_ = nullptr;
};

} // namespace

void PreviewSpeaker::run(const PreviewRequest& r) {
    const CNumbers numbers;
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
