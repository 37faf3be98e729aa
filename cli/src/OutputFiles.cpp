#include "OutputFiles.h"

#include <sndfile.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"

namespace vorsan::cli {

namespace fs = std::filesystem;

namespace {

struct SndCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
using Snd = std::unique_ptr<SNDFILE, SndCloser>;

void moveFile(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (!ec) return;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec) throw MException("Cannot write '" + to.string() + "': " + ec.message());
    fs::remove(from, ec);
}

// True when every file opens and has the first one's rate, channels and format.
bool joinable(const std::vector<fs::path>& files, SF_INFO& common) {
    for (std::size_t i = 0; i < files.size(); ++i) {
        SF_INFO info{};
        Snd f(sf_open(files[i].c_str(), SFM_READ, &info));
        if (!f) return false;
        if (i == 0) common = info;
        else if (info.samplerate != common.samplerate || info.channels != common.channels || info.format != common.format)
            return false;
    }
    return true;
}

void join(const std::vector<fs::path>& files, SF_INFO info, const fs::path& output) {
    fs::path temp = output;
    temp += ".part";
    info.frames = 0;
    {
        Snd out(sf_open(temp.c_str(), SFM_WRITE, &info));
        if (!out) throw MException("Cannot write '" + output.string() + "': " + sf_strerror(nullptr));
        std::vector<short> buffer(8192);
        for (const auto& file : files) {
            SF_INFO in{};
            Snd f(sf_open(file.c_str(), SFM_READ, &in));
            sf_count_t n;
            while ((n = sf_read_short(f.get(), buffer.data(), static_cast<sf_count_t>(buffer.size()))) > 0)
                if (sf_write_short(out.get(), buffer.data(), n) != n) {
                    std::error_code ec;
                    fs::remove(temp, ec);
                    throw MException("Cannot write '" + output.string() + "': " + sf_strerror(out.get()));
                }
        }
    }
    moveFile(temp, output);
    for (const auto& file : files) {
        std::error_code ec;
        fs::remove(file, ec);
    }
}

} // namespace

StringList deliverOutputs(const StringList& written, const std::string& output) {
    std::vector<fs::path> files;
    for (const auto& w : written) files.emplace_back(utf16ToUtf8(w));
    const fs::path target(output);
    if (files.empty()) return {};
    SF_INFO common{};
    if (files.size() == 1 || joinable(files, common)) {
        if (files.size() == 1) moveFile(files[0], target);
        else join(files, common, target);
        return {utf8ToUtf16(target.string())};
    }
    StringList result;
    for (std::size_t i = 0; i < files.size(); ++i) {
        fs::path to = target.parent_path() / (target.stem().string() + "-" + std::to_string(i + 1) +
                                              (target.has_extension() ? target.extension().string()
                                                                      : files[i].extension().string()));
        moveFile(files[i], to);
        result.push_back(utf8ToUtf16(to.string()));
    }
    return result;
}

} // namespace vorsan::cli
