#include "AudioOutput.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <alsa/asoundlib.h>
#include <samplerate.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include "vorsan/core/MException.h"

namespace vorsan::synth {

namespace {

class FileOutput : public AudioOutput {
public:
    FileOutput(const std::string& path, FileType type, int32_t rate) : path_(path) {
        // The audio goes to a new file beside the target first, so an existing
        // file of that name survives any failure.
        std::string pattern = path + ".partXXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        const int fd = mkstemp(name.data());
        if (fd < 0) fail(std::strerror(errno));
        temp_.assign(name.data());
        fchmod(fd, 0644); // mkstemp's 0600 is too private for a sound file
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = 1;
        info.format = SF_FORMAT_PCM_16 |
                      (type == FileType::Wave ? SF_FORMAT_WAV : type == FileType::Aiff ? SF_FORMAT_AIFF : SF_FORMAT_AU);
        file_ = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
        if (!file_) {
            std::string why = sf_strerror(nullptr);
            close(fd);
            std::remove(temp_.c_str());
            fail(why);
        }
    }
    ~FileOutput() override { abandon(); }

    bool write(const std::vector<int16_t>& samples, const std::atomic<bool>& stop) override {
        if (stop) return false;
        const auto n = static_cast<sf_count_t>(samples.size());
        if (sf_write_short(file_, samples.data(), n) != n) fail(sf_strerror(file_));
        return true;
    }

    void finish(const std::atomic<bool>&) override {
        const int err = sf_error(file_);
        std::string why = err ? sf_strerror(file_) : "";
        if (sf_close(file_) != 0 && !err) why = "cannot complete the file";
        file_ = nullptr;
        if (!why.empty()) fail(why);
        if (std::rename(temp_.c_str(), path_.c_str()) != 0) fail(std::strerror(errno));
        temp_.clear();
    }

    void abandon() override {
        if (file_) sf_close(file_);
        file_ = nullptr;
        if (!temp_.empty()) std::remove(temp_.c_str());
        temp_.clear();
    }

private:
    [[noreturn]] void fail(const std::string& why) {
        abandon();
        throw MException("cannot write '" + path_ + "': " + why);
    }

    std::string path_;
    std::string temp_;
    SNDFILE* file_ = nullptr;
};

class DeviceOutput : public AudioOutput {
public:
    explicit DeviceOutput(int32_t rate) : name_(soundDeviceName()), inputRate_(rate) {
        int err = snd_pcm_open(&pcm_, name_.c_str(), SND_PCM_STREAM_PLAYBACK, 0);
        if (err < 0) {
            pcm_ = nullptr;
            throw MException("cannot open sound device '" + name_ + "': " + snd_strerror(err));
        }
        // The device (or ALSA's plug layer) should take the rate as it is;
        // when it refuses, convert to a rate it does take.
        for (int32_t deviceRate : {rate, 48000, 44100}) {
            err = snd_pcm_set_params(pcm_, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                                     static_cast<unsigned>(deviceRate), 1, 100000);
            if (err == 0) {
                deviceRate_ = deviceRate;
                break;
            }
        }
        if (deviceRate_ == 0) {
            snd_pcm_close(pcm_);
            pcm_ = nullptr;
            throw MException("cannot open sound device '" + name_ + "': cannot play 16-bit mono at " +
                             std::to_string(rate) + " Hz: " + snd_strerror(err));
        }
        if (deviceRate_ != inputRate_) {
            int srcErr = 0;
            converter_ = src_new(SRC_SINC_FASTEST, 1, &srcErr);
            if (!converter_) {
                snd_pcm_close(pcm_);
                pcm_ = nullptr;
                throw MException(std::string("cannot convert the sample rate: ") + src_strerror(srcErr));
            }
        }
    }
    ~DeviceOutput() override {
        if (converter_) src_delete(converter_);
        if (pcm_) {
            snd_pcm_drop(pcm_);
            snd_pcm_close(pcm_);
        }
    }

    bool write(const std::vector<int16_t>& samples, const std::atomic<bool>& stop) override {
        if (!converter_) return play(samples.data(), samples.size(), stop);
        return play(convert(samples, false), stop);
    }

    void finish(const std::atomic<bool>& stop) override {
        if (converter_ && !play(convert({}, true), stop)) return;
        // Let the device play out without blocking, so a stop still cuts in.
        snd_pcm_nonblock(pcm_, 1);
        int err = snd_pcm_drain(pcm_);
        if (err < 0 && err != -EAGAIN) return;
        while (snd_pcm_state(pcm_) == SND_PCM_STATE_DRAINING) {
            if (stop) {
                snd_pcm_drop(pcm_);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    void abandon() override {
        if (pcm_) snd_pcm_drop(pcm_);
    }

private:
    bool play(const std::vector<int16_t>& samples, const std::atomic<bool>& stop) {
        return play(samples.data(), samples.size(), stop);
    }

    // Writes in slices of about 20 ms so a stop takes effect promptly.
    bool play(const int16_t* data, std::size_t count, const std::atomic<bool>& stop) {
        const std::size_t slice = static_cast<std::size_t>(std::max(1, deviceRate_ / 50));
        std::size_t done = 0;
        while (done < count) {
            if (stop) {
                snd_pcm_drop(pcm_);
                return false;
            }
            const std::size_t n = std::min(slice, count - done);
            snd_pcm_sframes_t written = snd_pcm_writei(pcm_, data + done, n);
            if (written < 0) written = snd_pcm_recover(pcm_, static_cast<int>(written), 1);
            if (written < 0)
                throw MException("sound device '" + name_ + "' failed: " + snd_strerror(static_cast<int>(written)));
            done += static_cast<std::size_t>(written);
        }
        return true;
    }

    std::vector<int16_t> convert(const std::vector<int16_t>& samples, bool last) {
        std::vector<float> in(samples.size());
        src_short_to_float_array(samples.data(), in.data(), static_cast<int>(samples.size()));
        const double ratio = static_cast<double>(deviceRate_) / inputRate_;
        std::vector<float> out(static_cast<std::size_t>(static_cast<double>(samples.size()) * ratio) + 4096);
        std::vector<int16_t> result;
        SRC_DATA d{};
        d.data_in = in.data();
        d.input_frames = static_cast<long>(in.size());
        d.src_ratio = ratio;
        d.end_of_input = last ? 1 : 0;
        do {
            d.data_out = out.data();
            d.output_frames = static_cast<long>(out.size());
            if (int err = src_process(converter_, &d); err != 0)
                throw MException(std::string("cannot convert the sample rate: ") + src_strerror(err));
            std::vector<int16_t> part(static_cast<std::size_t>(d.output_frames_gen));
            src_float_to_short_array(out.data(), part.data(), static_cast<int>(part.size()));
            result.insert(result.end(), part.begin(), part.end());
            d.data_in += d.input_frames_used;
            d.input_frames -= d.input_frames_used;
        } while (d.input_frames > 0 || (last && d.output_frames_gen > 0));
        return result;
    }

    std::string name_;
    int32_t inputRate_;
    int32_t deviceRate_ = 0;
    snd_pcm_t* pcm_ = nullptr;
    SRC_STATE* converter_ = nullptr;
};

} // namespace

std::string soundDeviceName() {
    const char* v = std::getenv("VORSAN_ALSA_DEVICE");
    return v && *v ? v : "default";
}

std::unique_ptr<AudioOutput> openFileOutput(const std::string& path, FileType type, int32_t rate) {
    return std::make_unique<FileOutput>(path, type, rate);
}

std::unique_ptr<AudioOutput> openDeviceOutput(int32_t rate) { return std::make_unique<DeviceOutput>(rate); }

} // namespace vorsan::synth
