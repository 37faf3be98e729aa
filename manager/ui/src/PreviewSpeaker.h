#pragma once
// The manager's live preview: speaks a sample sentence of one language with
// settings that are not saved yet (mood, accent, pitch, time, voice) through
// a private engine of its own, on a worker thread so the window stays
// responsive. Nothing of the user's configuration file is read or written.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "vorsan/synth/AudioSink.h"

namespace vorsan {
class SpeechEngine;
}

namespace vorsan::manager {

struct PreviewRequest {
    std::string languageFile; // "" for the built-in English
    std::string emotionFile;  // "" for none
    std::u16string mood;
    std::string accentFile; // "" for none
    double pitch = 1.0;
    double time = 1.0;
    int voice = 16000;
    std::u16string text;
};

struct PreviewResult {
    enum Kind { Played, Stopped, NoDevice, Failed } kind = Played;
    std::string message; // the engine's or the device's message
};

// Where the preview's speech goes; `stop` is raised when the preview is
// cut short. The default is the sound device. A sink that is a sound file
// is committed when the preview is complete; the device is drained.
using PreviewOutput = std::function<std::unique_ptr<synth::AudioSink>(const std::atomic<bool>* stop)>;

class PreviewSpeaker {
public:
    explicit PreviewSpeaker(PreviewOutput output = {});
    ~PreviewSpeaker(); // stops a preview that is still speaking
    PreviewSpeaker(const PreviewSpeaker&) = delete;
    PreviewSpeaker& operator=(const PreviewSpeaker&) = delete;

    // Starts speaking; a preview still speaking is stopped first.
    void start(PreviewRequest request);
    // Cuts the current preview short and waits for its thread.
    void stop();
    // The outcome of the last preview once it has ended (then cleared);
    // nothing while it still speaks or when none ran.
    std::optional<PreviewResult> takeResult();

private:
    void run(const PreviewRequest& request);

    PreviewOutput output_;
    std::thread worker_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_; // guards engine_ and result_
    SpeechEngine* engine_ = nullptr;
    std::optional<PreviewResult> result_;
};

} // namespace vorsan::manager
