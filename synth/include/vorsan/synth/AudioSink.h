#pragma once
// Where synthesised speech goes: a sound file, the sound device, or any
// object of the caller's (the system voice's output site, a test). The
// synthesiser hands a sink each run of speech (one chunk of phoneme text) as
// a run begins, then its samples piece by piece.
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace vorsan::synth {

// Sound file types, numbered as the automation API numbers them.
enum class SoundFileType : int16_t { Au = 0, Aiff = 1, Wave = 2 };

struct SoundFileFormat {
    SoundFileType type;
    int32_t playerFlag; // the MBR_Play flag that writes this type
    const char* extension;
};

// The format of a type number (0, 1, 2) or of a player flag; nullptr for
// anything else.
const SoundFileFormat* soundFileFormat(int32_t typeNumber);
const SoundFileFormat* soundFileFormatOfFlag(int32_t playerFlag);

class AudioSink {
public:
    virtual ~AudioSink() = default;
    // Where each phone record of the run begins, in samples from the
    // run's start, then where the run ends: as the synthesiser lays the run
    // out, so no place lies beyond its audio. Given just before beginRun.
    virtual void lineStarts(std::span<const int64_t> /*starts*/) {}
    // A run of speech at `rate` samples per second (16-bit mono) begins.
    virtual void beginRun(int32_t rate) = 0;
    // Appends samples of the current run. Raises MException on failure.
    virtual void write(std::span<const int16_t> samples) = 0;
    // The current run is complete.
    virtual void endRun() {}
    // False while the sink cannot take more without waiting (the device's
    // queue is full); the synthesiser serves other callers meanwhile.
    virtual bool ready() const { return true; }
};

// A 16-bit mono sound file. It is written under a unique temporary name
// beside `path` and appears at `path` only when complete (commit), so no
// reader ever sees half a file and two writers never mix their audio. Runs
// at another rate than the first are converted to the first one's rate, so
// one file holds speech of several voices at the right speed.
// A symbolic link at `path` is written through (the file it names is
// replaced, the link stays); a name held by anything but a regular file or
// a link to one (a device, FIFO, socket, folder, a link to nothing) is
// refused when the first run begins: "cannot write '<path>': not a regular
// file" (or "...: a symbolic link to nothing").
class SoundFileSink final : public AudioSink {
public:
    // commitAtRunEnd: the file is complete after its first run (one file per
    // run); otherwise the owner calls commit() after the last run.
    SoundFileSink(std::string path, SoundFileType type, bool commitAtRunEnd = false);
    ~SoundFileSink() override; // an uncommitted file is removed
    SoundFileSink(const SoundFileSink&) = delete;
    SoundFileSink& operator=(const SoundFileSink&) = delete;

    void beginRun(int32_t rate) override;
    void write(std::span<const int16_t> samples) override;
    void endRun() override;
    // Completes the file and renames it into place. A file without any run
    // holds no samples at 16000 Hz. Raises MException "cannot write '<path>': ...".
    void commit();
    // Drops the file: nothing appears at the path, an existing file stays.
    void abandon();
    bool committed() const;
    const std::string& path() const;

private:
    struct State;
    std::unique_ptr<State> s_;
};

// Plays on the sound device (soundDeviceName(): ALSA's, or WinMM's waveOut) from
// a thread of its own, so the synthesiser is never held up by playback. The
// device is opened at the first run's rate; later runs at other rates are
// converted to it.
class DeviceSink final : public AudioSink {
public:
    // `stop`, when given, is watched: raising it silences the device at once.
    explicit DeviceSink(const std::atomic<bool>* stop = nullptr);
    ~DeviceSink() override; // silences the device
    DeviceSink(const DeviceSink&) = delete;
    DeviceSink& operator=(const DeviceSink&) = delete;

    // Raises MException "cannot open sound device '<name>': ...".
    void beginRun(int32_t rate) override;
    void write(std::span<const int16_t> samples) override;
    void endRun() override;
    bool ready() const override;
    // Blocks until everything written has been heard (true) or playback was
    // stopped or abandoned (false). Raises MException when the device failed.
    bool drain();
    // Drops whatever is still queued and silences the device.
    void abandon();
    // True while written audio is still queued or playing.
    bool playing() const;

private:
    struct State;
    std::unique_ptr<State> s_;
};

// The device to play on: $VORSAN_SOUND_DEVICE, else $VORSAN_ALSA_DEVICE,
// else "default". An ALSA device name on Linux; on Windows "default", a
// waveOut device's number or name, or "null" (plays nothing, at once).
std::string soundDeviceName();

} // namespace vorsan::synth
