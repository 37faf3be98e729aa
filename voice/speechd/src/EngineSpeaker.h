#pragma once
// The speaker that speaks through the speech engine itself: the user's
// configuration (set up from the installation's data the first time), each
// message's language, mood, rate and pitch applied to the engine's
// languages, and its stretches rendered into a SpeechSink. An edited
// configuration is loaded before the next message. Messages are
// spoken one at a time on the speaker's own thread; a stop ends the
// engine's work from the command thread.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CommandLoop.h"
#include "vorsan/engine/SpeechEngine.h"

namespace vorsan::voice {
struct FileStamp;
}

namespace vorsan::speechd {

class EngineSpeaker final : public Speaker {
public:
    explicit EngineSpeaker(ProtocolWriter& out);
    ~EngineSpeaker() override;
    EngineSpeaker(const EngineSpeaker&) = delete;
    EngineSpeaker& operator=(const EngineSpeaker&) = delete;

    std::string init() override;
    std::vector<VoiceEntry> voices() override;
    bool ready() override;
    void speak(Message message) override;
    void stop(bool pause) override;
    void shutdown() override;

    struct Job; // one message on its way

private:
    // A loaded language as the configuration set it up: the base of every
    // message's rate, pitch and mood.
    struct Language {
        std::string name;
        std::string emotionDatabase; // "" when none
        std::u16string mood;         // the configuration's active mood
    };
    // Reads the loaded languages into languages_; the voices they offer.
    std::vector<VoiceEntry> readLanguages();
    // Loads an edited configuration (another modification time or size of
    // the file) before the next message; a file that does not load leaves
    // the configuration loaded before.
    void reloadIfChanged();
    // Sets the engine up for the message; the language it prefers ("" none).
    std::string apply(const VoiceState& state);
    void work();
    void run(Job& job);
    // Ends the queued and the current message with `line`; the engine's work
    // for the current one stops. Called with mutex_ held.
    void endJobs(const char* line);

    ProtocolWriter& out_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::shared_ptr<Job> queued_, current_;
    bool quitting_ = false;
    std::thread worker_;
    bool ready_ = false;
    std::unique_ptr<SpeechEngine> engine_;
    std::vector<Language> languages_;
    std::vector<VoiceEntry> voiceList_; // written by the speaker's thread under mutex_
    std::unique_ptr<voice::FileStamp> configStamp_; // of the configuration last read
};

} // namespace vorsan::speechd
