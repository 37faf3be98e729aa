// Windows: libsndfile's wide-character open, for file names in any script.
#ifdef _WIN32
#define ENABLE_SNDFILE_WINDOWS_PROTOTYPES 1
#endif
#include <sndfile.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <optional>

#include "vorsan/synth/RateAdapter.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Platform.h"
#include "vorsan/synth/AudioSink.h"
#include "vorsan/synth/Mbrola.h"
#include "vorsan/synth/PartialFiles.h"

namespace vorsan::synth {

namespace {
constexpr SoundFileFormat kFormats[] = {
    {SoundFileType::Au, MBR_FLAG_AU, ".au"},
    {SoundFileType::Aiff, MBR_FLAG_AIFF, ".aiff"},
    {SoundFileType::Wave, MBR_FLAG_WAVE, ".wav"},
};
constexpr int32_t kRateWithoutSpeech = 16000;

// Where the file really goes: `path` itself when nothing has that name yet
// or a regular file has it, the file a symbolic link names (so the link
// stays and the temporary lies beside the real file), and nowhere for
// anything else: renaming over a device, FIFO, socket or folder would
// replace it (or fail late), so it is refused before anything is written.
// Returns the target or the reason for refusing it.
struct Target {
    std::string path, refusal;
};
Target targetOf(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(platform::nativePath(path), ec);
    if (st.type() == fs::file_type::not_found) return {path, {}};
    if (ec) return {{}, ec.message()};
    if (st.type() == fs::file_type::regular) return {path, {}};
    if (st.type() != fs::file_type::symlink) return {{}, "not a regular file"};
    const fs::path real = fs::canonical(platform::nativePath(path), ec);
    if (ec == std::errc::no_such_file_or_directory) return {{}, "a symbolic link to nothing"};
    if (ec) return {{}, ec.message()};
    if (!std::filesystem::is_regular_file(real, ec)) return {{}, "not a regular file"};
    return {platform::utf8Path(real), {}};
}
} // namespace

const SoundFileFormat* soundFileFormat(int32_t typeNumber) {
    return typeNumber >= 0 && typeNumber < 3 ? &kFormats[typeNumber] : nullptr;
}

const SoundFileFormat* soundFileFormatOfFlag(int32_t playerFlag) {
    for (const auto& f : kFormats)
        if (f.playerFlag == playerFlag) return &f;
    return nullptr;
}

// The file itself, behind the adapter that brings every run to its rate.
struct SoundFileSink::State final : AudioSink {
    std::string path;
    SoundFileType type;
    bool commitAtRunEnd;
    std::string target; // the file renamed into place (path, or what a link names)
    std::string temp;
    int listed = -1; // the temporary's place in the list a signal handler removes
    SNDFILE* file = nullptr;
    int32_t rate = 0; // the file's rate, fixed by the first run
    RateAdapter adapter{*this, RateAdapter::firstRunRate()};
    bool committed = false;

    void beginRun(int32_t fileRate) override {
        if (!file) open(fileRate);
    }
    void write(std::span<const int16_t> samples) override { put(samples); }

    [[noreturn]] void fail(const std::string& why) {
        drop();
        throw MException("cannot write '" + path + "': " + why);
    }

    void drop() {
        if (file) sf_close(file);
        file = nullptr;
        if (!temp.empty()) {
            platform::removeFile(temp);
            partial::drop(listed);
            listed = -1;
        }
        temp.clear();
    }

    void open(int32_t fileRate) {
        Target t = targetOf(path);
        if (!t.refusal.empty()) fail(t.refusal);
        target = std::move(t.path);
        std::string why;
        const int fd = partial::create(target + ".part", temp, listed, &why);
        if (fd < 0) fail(why);
        SF_INFO info{};
        info.samplerate = fileRate;
        info.channels = 1;
        info.format = SF_FORMAT_PCM_16 | (type == SoundFileType::Wave   ? SF_FORMAT_WAV
                                          : type == SoundFileType::Aiff ? SF_FORMAT_AIFF
                                                                        : SF_FORMAT_AU);
#ifdef _WIN32
        // The temporary file exists (so that no one else takes the name);
        // libsndfile opens it again by its wide name, with its own handle.
        platform::closeFile(fd);
        file = sf_wchar_open(platform::nativePath(temp).c_str(), SFM_WRITE, &info);
        if (!file) fail(sf_strerror(nullptr));
#else
        file = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
        if (!file) {
            std::string why = sf_strerror(nullptr);
            platform::closeFile(fd);
            fail(why);
        }
#endif
        rate = fileRate;
    }

    void put(std::span<const int16_t> samples) {
        if (samples.empty()) return;
        const auto n = static_cast<sf_count_t>(samples.size());
        if (sf_write_short(file, samples.data(), n) != n) fail(sf_strerror(file));
    }
};

SoundFileSink::SoundFileSink(std::string path, SoundFileType type, bool commitAtRunEnd)
    : s_(std::make_unique<State>()) {
    s_->path = std::move(path);
    s_->type = type;
    s_->commitAtRunEnd = commitAtRunEnd;
}

SoundFileSink::~SoundFileSink() { s_->drop(); }

void SoundFileSink::beginRun(int32_t rate) {
    if (s_->committed) throw MException("cannot write '" + s_->path + "': the file is already complete");
    s_->adapter.beginRun(rate);
}

void SoundFileSink::write(std::span<const int16_t> samples) {
    if (!s_->file) throw MException("cannot write '" + s_->path + "': no run has begun");
    s_->adapter.write(samples);
}

void SoundFileSink::endRun() {
    s_->adapter.endRun();
    if (s_->commitAtRunEnd) commit();
}

void SoundFileSink::commit() {
    if (s_->committed) return;
    if (!s_->file) s_->open(kRateWithoutSpeech);
    const int err = sf_error(s_->file);
    std::string why = err ? sf_strerror(s_->file) : "";
    if (sf_close(s_->file) != 0 && !err) why = "cannot complete the file";
    s_->file = nullptr;
    if (!why.empty()) s_->fail(why);
    if (std::string why; !platform::replaceFile(s_->temp, s_->target, &why)) s_->fail(why);
    partial::drop(s_->listed);
    s_->listed = -1;
    s_->temp.clear();
    s_->committed = true;
}

void SoundFileSink::abandon() { s_->drop(); }

bool SoundFileSink::committed() const { return s_->committed; }

const std::string& SoundFileSink::path() const { return s_->path; }

} // namespace vorsan::synth
