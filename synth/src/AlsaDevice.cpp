// The sound device on Linux: an ALSA PCM.
#include <alsa/asoundlib.h>

#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <thread>

#include "SoundDevice.h"
#include "vorsan/core/Diagnostics.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Platform.h"

namespace vorsan::synth {

namespace {
using namespace std::chrono_literals;

// ALSA's library prints its own lines on standard error for every failure
// under an open (a machine without a card gives eight of them before the
// program's one message, which already says what went wrong). They are
// dropped; VORSAN_ALSA_DEBUG=1 sends them to the diagnostic sink instead.
void alsaLine(const char* file, int line, const char* function, int err, const char* format, ...) {
    static const bool keep = [] {
        const std::string v = platform::environment("VORSAN_ALSA_DEBUG").value_or("");
        return !v.empty() && v[0] != '0';
    }();
    if (!keep) return;
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::string message = std::string("ALSA: ") + text + " (" + (function ? function : "?") + ", " +
                          (file ? file : "?") + ":" + std::to_string(line) + ")";
    if (err) message += std::string(": ") + snd_strerror(err);
    diagnose(message);
}

void quietenAlsa() {
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(alsaLine); });
}

class AlsaDevice final : public SoundDevice {
public:
    AlsaDevice(snd_pcm_t* pcm, int32_t rate) : pcm_(pcm), rate_(rate) {}
    ~AlsaDevice() override {
        snd_pcm_drop(pcm_);
        snd_pcm_close(pcm_);
    }

    int32_t rate() const override { return rate_; }

    long write(const int16_t* samples, std::size_t n, std::string& failure) override {
        snd_pcm_sframes_t written = snd_pcm_writei(pcm_, samples, n);
        if (written < 0) written = snd_pcm_recover(pcm_, static_cast<int>(written), 1);
        if (written < 0) {
            failure = snd_strerror(static_cast<int>(written));
            return -1;
        }
        return static_cast<long>(written);
    }

    // Drains without blocking, so that a cut still takes effect.
    void playOut(const std::function<bool()>& cut) override {
        snd_pcm_nonblock(pcm_, 1);
        const int err = snd_pcm_drain(pcm_);
        if (err == 0 || err == -EAGAIN) {
            while (snd_pcm_state(pcm_) == SND_PCM_STATE_DRAINING) {
                if (cut()) {
                    snd_pcm_drop(pcm_);
                    break;
                }
                std::this_thread::sleep_for(5ms);
            }
        }
        snd_pcm_nonblock(pcm_, 0);
        snd_pcm_prepare(pcm_);
    }

    void drop() override { snd_pcm_drop(pcm_); }

private:
    snd_pcm_t* pcm_;
    int32_t rate_;
};

} // namespace

std::unique_ptr<SoundDevice> openSoundDevice(const std::string& name, int32_t rate) {
    quietenAlsa();
    snd_pcm_t* pcm = nullptr;
    int err = snd_pcm_open(&pcm, name.c_str(), SND_PCM_STREAM_PLAYBACK, 0);
    if (err < 0) throw MException("cannot open sound device '" + name + "': " + snd_strerror(err));
    // The device (or ALSA's plug layer) should take the rate as it is;
    // when it refuses, convert to a rate it does take.
    for (int32_t candidate : {rate, 48000, 44100}) {
        err = snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                                 static_cast<unsigned>(candidate), 1, 100000);
        if (err == 0) return std::make_unique<AlsaDevice>(pcm, candidate);
    }
    snd_pcm_close(pcm);
    throw MException("cannot open sound device '" + name + "': cannot play 16-bit mono at " + std::to_string(rate) +
                     " Hz: " + snd_strerror(err));
}

} // namespace vorsan::synth
