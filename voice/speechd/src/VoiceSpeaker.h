#pragma once
// The speaker that speaks through the system voice Nimbrel22: each message
// becomes the voice's text fragments (speech, bookmarks for marks, silences
// for breaks) and the speaker is the voice's output site, turning its writes
// into 705 AUDIO blocks and its bookmark events into 700 INDEX MARK, each
// mark just before the audio in which its word starts. Messages are spoken
// one at a time on the speaker's own thread.
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "CommandLoop.h"
#include "vorsan/voice/Sapi.h"

namespace vorsan::speechd {

class VoiceSpeaker final : public Speaker {
public:
    explicit VoiceSpeaker(ProtocolWriter& out) : out_(out) {}
    ~VoiceSpeaker() override;
    VoiceSpeaker(const VoiceSpeaker&) = delete;
    VoiceSpeaker& operator=(const VoiceSpeaker&) = delete;

    std::string init() override;
    std::vector<VoiceEntry> voices() override;
    bool ready() override;
    void speak(Message message) override;
    void stop(bool pause) override;
    void shutdown() override;

    struct Job; // one message on its way

private:
    void work();
    void run(Job& job);
    ComPtr<sapi::ISpTTSEngine> voiceWithMood(const std::u16string& mood, HRESULT* result);

    ProtocolWriter& out_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::shared_ptr<Job> queued_, current_;
    bool quitting_ = false;
    std::thread worker_;
    bool ready_ = false;
    unsigned sampleRate_ = sapi::kVoiceRate;
    std::vector<VoiceEntry> voiceList_;
    std::map<std::u16string, ComPtr<sapi::ISpTTSEngine>> voices_; // by mood; the worker's once it runs
};

} // namespace vorsan::speechd
