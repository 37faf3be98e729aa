// The sound device on Windows: a WinMM waveOut device, fed a ring of short
// buffers so that it never runs dry while the next one is filled, and a
// stop silences at most one buffer's worth late.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <vector>

#include "SoundDevice.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"

namespace vorsan::synth {

namespace {

std::string waveOutMessage(MMRESULT code) {
    wchar_t text[MAXERRORLENGTH] = {};
    if (::waveOutGetErrorTextW(code, text, MAXERRORLENGTH) != MMSYSERR_NOERROR || !*text)
        return "waveOut error " + std::to_string(code);
    const std::wstring_view w(text);
    return utf16ToUtf8(std::u16string(w.begin(), w.end()));
}

class WaveOutDevice final : public SoundDevice {
public:
    WaveOutDevice(HWAVEOUT out, HANDLE done, int32_t rate) : out_(out), done_(done), rate_(rate) {}
    ~WaveOutDevice() override {
        drop();
        ::waveOutClose(out_);
        ::CloseHandle(done_);
    }

    int32_t rate() const override { return rate_; }

    long write(const int16_t* samples, std::size_t n, std::string& failure) override {
        Buffer& b = buffers_[next_];
        // The oldest buffer is the one to reuse; it ends within one slice.
        while (b.queued && (b.header.dwFlags & WHDR_DONE) == 0) ::WaitForSingleObject(done_, 10);
        release(b);
        b.samples.assign(samples, samples + n);
        b.header = WAVEHDR{};
        b.header.lpData = reinterpret_cast<LPSTR>(b.samples.data());
        b.header.dwBufferLength = static_cast<DWORD>(n * sizeof(int16_t));
        MMRESULT r = ::waveOutPrepareHeader(out_, &b.header, sizeof b.header);
        if (r == MMSYSERR_NOERROR) {
            r = ::waveOutWrite(out_, &b.header, sizeof b.header);
            if (r != MMSYSERR_NOERROR) ::waveOutUnprepareHeader(out_, &b.header, sizeof b.header);
        }
        if (r != MMSYSERR_NOERROR) {
            failure = waveOutMessage(r);
            return -1;
        }
        b.queued = true;
        next_ = (next_ + 1) % buffers_.size();
        return static_cast<long>(n);
    }

    void playOut(const std::function<bool()>& cut) override {
        for (;;) {
            const bool busy = std::any_of(buffers_.begin(), buffers_.end(), [](const Buffer& b) {
                return b.queued && (b.header.dwFlags & WHDR_DONE) == 0;
            });
            if (!busy) break;
            if (cut()) {
                drop();
                return;
            }
            ::WaitForSingleObject(done_, 5);
        }
        for (Buffer& b : buffers_) release(b);
    }

    void drop() override {
        // Reset marks every queued buffer done at once.
        ::waveOutReset(out_);
        for (Buffer& b : buffers_) release(b);
    }

private:
    struct Buffer {
        WAVEHDR header{};
        std::vector<int16_t> samples;
        bool queued = false;
    };

    void release(Buffer& b) {
        if (!b.queued) return;
        ::waveOutUnprepareHeader(out_, &b.header, sizeof b.header);
        b.queued = false;
    }

    HWAVEOUT out_;
    HANDLE done_;
    int32_t rate_;
    std::array<Buffer, 8> buffers_;
    std::size_t next_ = 0;
};

// "null": takes everything at once and plays nothing (like ALSA's null
// device), for tests and measurements on machines without sound.
class NullDevice final : public SoundDevice {
public:
    explicit NullDevice(int32_t rate) : rate_(rate) {}
    int32_t rate() const override { return rate_; }
    long write(const int16_t*, std::size_t n, std::string&) override { return static_cast<long>(n); }
    void playOut(const std::function<bool()>&) override {}
    void drop() override {}

private:
    int32_t rate_;
};

// The device a name stands for: "default" the system's choice, a number the
// device of that number, anything else the device whose name it is.
bool deviceNumber(const std::string& name, UINT& id) {
    if (name == "default") {
        id = WAVE_MAPPER;
        return true;
    }
    if (!name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
        name.size() < 6) {
        id = static_cast<UINT>(std::stoul(name));
        return id < ::waveOutGetNumDevs();
    }
    for (UINT i = 0, n = ::waveOutGetNumDevs(); i < n; ++i) {
        WAVEOUTCAPSW caps{};
        if (::waveOutGetDevCapsW(i, &caps, sizeof caps) != MMSYSERR_NOERROR) continue;
        const std::wstring_view w(caps.szPname);
        if (utf16ToUtf8(std::u16string(w.begin(), w.end())) == name) {
            id = i;
            return true;
        }
    }
    return false;
}

} // namespace

std::unique_ptr<SoundDevice> openSoundDevice(const std::string& name, int32_t rate) {
    if (name == "null") return std::make_unique<NullDevice>(rate);
    const std::string refusal = "cannot open sound device '" + name + "': ";
    UINT id = 0;
    if (!deviceNumber(name, id)) throw MException(refusal + "no such device");
    const HANDLE done = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!done) throw MException(refusal + "cannot create an event");
    MMRESULT r = MMSYSERR_ERROR;
    // The device should take the rate as it is; when it refuses, convert to
    // a rate it does take.
    for (int32_t candidate : {rate, 48000, 44100}) {
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 1;
        format.nSamplesPerSec = static_cast<DWORD>(candidate);
        format.wBitsPerSample = 16;
        format.nBlockAlign = 2;
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        HWAVEOUT out = nullptr;
        r = ::waveOutOpen(&out, id, &format, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT);
        if (r == MMSYSERR_NOERROR) return std::make_unique<WaveOutDevice>(out, done, candidate);
        if (r != WAVERR_BADFORMAT) break;
    }
    ::CloseHandle(done);
    throw MException(refusal + waveOutMessage(r));
}

} // namespace vorsan::synth
