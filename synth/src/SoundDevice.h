#pragma once
// The system's sound output as the device sink uses it: one open device
// playing 16-bit mono samples, written from the sink's own thread. One
// implementation per system (AlsaDevice.cpp, WaveOutDevice.cpp).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vorsan::synth {

class SoundDevice {
public:
    virtual ~SoundDevice() = default; // silences and closes the device

    // The rate the device plays at.
    virtual int32_t rate() const = 0;
    // Hands up to `n` samples (about 20 ms) to the device, waiting while it
    // is full: the count it took, or -1 with the reason in `failure`.
    virtual long write(const int16_t* samples, std::size_t n, std::string& failure) = 0;
    // Waits until everything written has been heard; when `cut` says so
    // meanwhile, silences the device instead.
    virtual void playOut(const std::function<bool()>& cut) = 0;
    // Drops whatever the device still holds, at once.
    virtual void drop() = 0;
};

// Opens the device `name` for 16-bit mono playback at `rate`, or the
// nearest rate it takes (48000 or 44100 Hz). Raises MException
// "cannot open sound device '<name>': ..." when there is none.
std::unique_ptr<SoundDevice> openSoundDevice(const std::string& name, int32_t rate);

} // namespace vorsan::synth
