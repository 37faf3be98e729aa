#pragma once
// Where synthesised samples go: a sound file (written beside its final name
// and renamed into place only when complete) or the sound device.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vorsan::synth {

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Appends samples; returns false when `stop` was raised meanwhile.
    // Raises MException on failure.
    virtual bool write(const std::vector<int16_t>& samples, const std::atomic<bool>& stop) = 0;
    // Completes the output (renames the file, lets the device play out).
    virtual void finish(const std::atomic<bool>& stop) = 0;
    // Drops everything: the file is not created, the device is silenced.
    virtual void abandon() = 0;
};

enum class FileType { Wave, Aiff, Au };

// Both raise MException: "cannot write '<path>': ..." and
// "cannot open sound device '<name>': ...".
std::unique_ptr<AudioOutput> openFileOutput(const std::string& path, FileType type, int32_t rate);
std::unique_ptr<AudioOutput> openDeviceOutput(int32_t rate);

// The ALSA device to play on: $VORSAN_ALSA_DEVICE, else "default".
std::string soundDeviceName();

} // namespace vorsan::synth
