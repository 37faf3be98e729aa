#include "Progress.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "vorsan/core/Text.h"


namespace vorsan::cli {

namespace {
// Texts shorter than this finish too quickly for a bar to help.
constexpr std::size_t kLongText = 2000;

// The bar follows the engine's chunks while it lives (and only when it is
// drawn); the engine's observer is taken away again at the end, as it refers
// to the bar.
class Following {
public:
    Following(SpeechEngine& engine, Progress& progress) : engine_(engine), on_(progress.enabled()) {
        if (on_) engine_.setChunkObserver([&progress](std::size_t i, std::size_t n) { progress.chunk(i, n); });
        progress.start();
    }
    ~Following() {
        if (on_) engine_.setChunkObserver({});
    }
    Following(const Following&) = delete;
    Following& operator=(const Following&) = delete;

private:
    SpeechEngine& engine_;
    bool on_;
};
} // namespace

Progress::Progress(bool enabled, std::size_t textLength, const SpeechEngine& engine)
    : enabled_(enabled && textLength >= kLongText), engine_(engine) {}

Progress::~Progress() { finish(); }

void Progress::start() {
    if (!enabled_ || running_) return;
    running_ = true;
    painter_ = std::thread([this] {
        while (running_) {
            const double within = engine_.chunkProgress();
            draw((static_cast<double>(index_) + within) / static_cast<double>(count_ ? count_.load() : 1));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
}

void Progress::chunk(std::size_t index, std::size_t count) {
    index_ = index;
    count_ = count;
}

void Progress::finish() {
    if (!running_) return;
    running_ = false;
    painter_.join();
    draw(1.0);
    std::fputs("\n", stderr);
}

void Progress::draw(double fraction) {
    if (fraction < 0) fraction = 0;
    if (fraction > 1) fraction = 1;
    constexpr int kWidth = 40;
    int filled = static_cast<int>(fraction * kWidth);
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = 0;
    std::fprintf(stderr, "\r[%s] %3d%%", bar, static_cast<int>(fraction * 100));
    std::fflush(stderr);
}

void speakWithProgress(SpeechEngine& engine, std::u16string_view text, bool withEmotion, bool withAccent,
                       Progress& progress, float rate) {
    const Following following(engine, progress);
    engine.speakText(text, SpeechEngine::RenderOptions{withEmotion, withAccent, rate, 1.0f, 0});
    progress.finish();
}

StringList writeWithProgress(SpeechEngine& engine, std::u16string_view text, bool withEmotion, bool withAccent,
                             int16_t type, const std::string& output, Progress& progress, float rate,
                             uint32_t durationJitter) {
    if (output.empty() && rate != 1.0f) throw std::invalid_argument("--rate needs -o for tofile");
    if (output.empty() && durationJitter != 0) throw std::invalid_argument("--jitter needs -o for tofile");
    const Following following(engine, progress);
    StringList files;
    if (output.empty()) files = engine.convertTextToSoundFile(text, withEmotion, withAccent, type);
    else if (engine.convertTextToNamedFile(
                 text, SpeechEngine::RenderOptions{withEmotion, withAccent, rate, 1.0f, 0, durationJitter}, type, output))
        files.push_back(utf8ToUtf16(output));
    progress.finish();
    return files;
}

} // namespace vorsan::cli
