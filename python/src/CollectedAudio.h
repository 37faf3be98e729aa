#pragma once
// Speech as the Python package hands it out: 16-bit mono samples at one
// rate, with where each word and sentence of the text begins in them, and
// the sink that collects it from the engine.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/synth/AudioSink.h"

namespace vorsan::python {

// Positions in the text are in characters (code points), as Python indexes
// a str; samples count from the start of the audio.
struct WordPlace {
    std::size_t offset;
    std::size_t length;
    int64_t sample;
};

struct SentencePlace {
    std::size_t offset; // the text from its first word to the end of its last
    std::size_t length;
    int64_t start;      // first sample
    int64_t end;        // one past the last sample
};

struct Audio {
    int32_t rate = 16000;
    std::vector<int16_t> samples;
    std::vector<WordPlace> words;
    std::vector<SentencePlace> sentences;
    bool stopped = false;

    // Raw little-endian 16-bit PCM.
    std::string bytes() const;
    // A sound file written as the engine writes its files: complete or not
    // at all. Raises MException.
    void save(const std::string& path, synth::SoundFileType type) const;
};

// The sound file type a path's suffix names, if any.
std::optional<synth::SoundFileType> soundFileTypeOf(std::string_view path);

// Turns the engine's offsets in UTF-16 code units into code points.
class TextPlaces {
public:
    explicit TextPlaces(std::u16string_view text);
    std::size_t toCodePoint(std::size_t utf16) const;

private:
    std::vector<uint32_t> map_; // empty when the text has no surrogate pairs
};

// Collects the engine's runs into Audio objects: one for the whole text, or
// (sentenceByRun) a fresh one for every run, handed to `done` at its end.
class CollectingSink final : public synth::AudioSink {
public:
    CollectingSink(const TextPlaces& places, std::function<void(std::unique_ptr<Audio>)> done = {});

    void beginRun(int32_t rate) override;
    void write(std::span<const int16_t> samples) override;
    void endRun() override;
    // The engine's word observer for this sink.
    void wordsBegin(const std::vector<SpeechEngine::WordStart>& starts);
    // Something to do on every write (the stop check).
    void setOnWrite(std::function<void()> f) { onWrite_ = std::move(f); }

    // Whether a run of speech began (the text had something to speak).
    bool begun() const { return begun_; }
    // The audio so far (the whole text's, when not handed out by run).
    std::unique_ptr<Audio> take();

private:
    Audio& current();

    const TextPlaces& places_;
    std::function<void(std::unique_ptr<Audio>)> done_;
    std::function<void()> onWrite_;
    std::unique_ptr<Audio> audio_;
    int64_t runStart_ = 0;
    std::size_t runWords_ = 0; // index of the run's first word
    std::size_t textEnd_ = 0;  // where the last sentence's text ends
    bool begun_ = false;
};

} // namespace vorsan::python
