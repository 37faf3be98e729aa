// The end of the pipeline: each chunk through this engine's synthesiser
// channel into a sink: the sound device, WAVE, AIFF or AU files, or the
// caller's own.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "Registries.h"
#include "SinkRelay.h"
#include "SpeakingRate.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/synth/AudioSink.h"
#include "vorsan/synth/RateAdapter.h"
#include "vorsan/synth/SynthChannel.h"

namespace vorsan {

namespace {
constexpr const char* kSpeechFailed = "Speech output failed: ";
constexpr const char* kFileFailed = "Writing sound file failed: ";
constexpr const char* kNothingToSpeak = "The text has nothing to speak (no part of it belongs to a loaded language)";

const synth::SoundFileFormat& formatOrThrow(int16_t fileType) {
    const synth::SoundFileFormat* format = synth::soundFileFormat(fileType);
    if (!format) throw MException("Invalid sound file type");
    return *format;
}

// Runs a sink operation, giving its failure the operation's prefix.
template <typename F>
auto withPrefix(const char* prefix, F&& f) {
    try {
        return f();
    } catch (const MException& e) {
        throw MException(prefix + e.message());
    }
}
} // namespace

void SpeechEngine::prepareVoice(const SpeechChunk& chunk) {
    synth::SynthChannel& c = *channel_;
    // The synthesiser's own reason (a voice file's fault, a value out of
    // range) follows the engine's message, so the user learns what to mend.
    const auto refused = [&c](const char* what) {
        const char* why = c.lastError();
        throw MException(std::string(what) + (why && *why ? std::string(": ") + why : std::string()));
    };
    if (c.setDatabase(chunk.mbrolaDatabase.c_str()) != 0) refused("Error in setting Mbrola database");
    if (c.setPitchRatio(chunk.pitch) != 0) refused("Error in setting Mbrola pitch ratio");
    if (c.setDurationRatio(chunk.time) != 0) refused("Error in setting Mbrola duration ratio");
    if (c.setVoiceFrequency(chunk.voiceFrequency) != 0) refused("Error in setting Mbrola voice frequency");
}

bool SpeechEngine::synthesise(SpeechChunk& chunk, synth::AudioSink& sink, bool toFile) {
    synth::SynthChannel& c = *channel_;
    prepareVoice(chunk);
    // The synthesiser's verdict is checked: a missing sound device or an
    // unwritable file must not pass for spoken speech.
    const bool started = c.render(std::move(chunk.phones), sink) == 0;
    if (started && stopRequested_) c.stop(); // a stop that came while the work was handed over
    if (!started || c.waitForEnd() != 0) {
        const char* why = c.lastError();
        throw MException(std::string(toFile ? kFileFailed : kSpeechFailed) +
                         (why && *why ? why : "unknown synthesiser error"));
    }
    return !c.stopped() && !stopRequested_;
}

namespace {
// Where the chunk's words begin in its speech: at the sample where the
// synthesiser laid out the first record of each word (a word past the last
// record, at the run's end), so every place lies within the run's audio.
std::vector<SpeechEngine::WordStart> wordStarts(const SpeechChunk& chunk, const std::vector<int64_t>& lineStarts) {
    std::vector<SpeechEngine::WordStart> starts;
    if (lineStarts.empty()) return starts;
    for (const WordMark& w : chunk.words)
        starts.push_back({w.offset, w.length, lineStarts[std::min(w.line, lineStarts.size() - 1)]});
    return starts;
}
} // namespace

bool SpeechEngine::synthesiseRelayed(SpeechChunk& chunk, synth::AudioSink& sink,
                                     const std::function<void(const std::vector<int64_t>&)>& begun) {
    synth::SynthChannel& c = *channel_;
    prepareVoice(chunk);
    SinkRelay relay;
    if (c.render(std::move(chunk.phones), relay) != 0)
        throw MException(std::string(kSpeechFailed) + c.lastError());
    if (stopRequested_) c.stop();
    try {
        while (!c.finished()) relay.deliver(sink, begun, std::chrono::milliseconds(5));
    } catch (...) {
        c.stop(); // the caller's sink failed: the work ends here
        c.waitForEnd();
        throw;
    }
    const bool failed = c.waitForEnd() != 0;
    const bool completed = !failed && !c.stopped() && !stopRequested_;
    if (completed) relay.deliver(sink, begun, std::chrono::milliseconds(0));
    if (failed) {
        const char* why = c.lastError();
        throw MException(std::string(kSpeechFailed) + (why && *why ? why : "unknown synthesiser error"));
    }
    return completed;
}

void SpeechEngine::checkOptions(const RenderOptions& options) {
    if (!(options.rate >= 0.1f && options.rate <= 10.0f)) throw MException("Invalid speaking rate");
    if (!(options.pitch >= 0.1f && options.pitch <= 10.0f)) throw MException("Invalid pitch");
    if (options.outputRate != 0 && options.outputRate != kFirstRunRate &&
        (options.outputRate < 4000 || options.outputRate > 192000))
        throw MException("Invalid output rate");
}

void SpeechEngine::applyOptions(SpeechChunk& chunk, const RenderOptions& options) {
    // After the accent, which may bring ratios of its own: the call's rate
    // and pitch apply to whatever voice the chunk ended with.
    atSpeakingRate(chunk.phones, options.rate);
    if (options.durationJitter != 0) jitterDurations(chunk.phones, options.durationJitter);
    chunk.pitch *= options.pitch;
}

bool SpeechEngine::renderText(std::u16string_view text, bool withEmotion, bool withAccent, synth::AudioSink& sink,
                              const WordStartObserver& words) {
    return renderText(text, RenderOptions{withEmotion, withAccent, 1.0f, 1.0f}, sink, words);
}

bool SpeechEngine::renderText(std::u16string_view text, const RenderOptions& options, synth::AudioSink& sink,
                              const WordStartObserver& words) {
    checkOptions(options);
    // Conversion happens only where the caller asks for one rate.
    std::optional<synth::RateAdapter> adapter;
    if (options.outputRate != 0)
        adapter.emplace(sink, options.outputRate > 0 ? synth::RateAdapter::fixedRate(options.outputRate)
                                                     : synth::RateAdapter::firstRunRate());
    synth::AudioSink& target = adapter ? static_cast<synth::AudioSink&>(*adapter) : sink;
    stopRequested_ = false;
    bool completed = true;
    forEachSentence(text, options.withEmotion, options.withAccent, false, [&](SpeechChunk&& chunk, const SentencePlace& at) {
        if (stopRequested_) return completed = false;
        applyOptions(chunk, options);
        if (observer_) observer_(at.run, at.runs);
        return completed = synthesiseRelayed(chunk, target, [&](const std::vector<int64_t>& lineStarts) {
                   if (!words) return;
                   std::vector<WordStart> starts = wordStarts(chunk, lineStarts);
                   if (adapter)
                       for (WordStart& w : starts) w.sample = adapter->place(w.sample);
                   words(starts);
               });
    });
    return completed && !stopRequested_;
}

void SpeechEngine::speakChunk(const SpeechChunk& chunk) {
    stopRequested_ = false;
    if (chunk.phoneString.empty()) return;
    SpeechChunk spoken = chunk;
    spoken.phones.read(chunk.phoneString);
    synth::DeviceSink device(&stopRequested_);
    if (synthesise(spoken, device, false)) withPrefix(kSpeechFailed, [&] { return device.drain(); });
}

void SpeechEngine::speakText(std::u16string_view text, bool withEmotion, bool withAccent) {
    speakText(text, RenderOptions{withEmotion, withAccent, 1.0f, 1.0f, 0});
}

void SpeechEngine::speakText(std::u16string_view text, const RenderOptions& options) {
    checkOptions(options);
    if (text.empty()) return;
    // One device for the whole text: each sentence is synthesised while the
    // one before it plays.
    synth::DeviceSink device(&stopRequested_);
    stopRequested_ = false;
    bool completed = true;
    forEachSentence(text, options.withEmotion, options.withAccent, false, [&](SpeechChunk&& chunk, const SentencePlace& at) {
        if (stopRequested_) return completed = false;
        if (observer_) observer_(at.run, at.runs);
        if (chunk.phones.empty()) return true;
        applyOptions(chunk, options);
        return completed = synthesise(chunk, device, false);
    });
    if (completed && !stopRequested_) withPrefix(kSpeechFailed, [&] { return device.drain(); });
}

void SpeechEngine::stopSpeaking() {
    stopRequested_ = true;
    channel_->stop();
}

float SpeechEngine::chunkProgress() const { return channel_->progress(); }

StringList SpeechEngine::convertTextToSoundFile(std::u16string_view text, bool withEmotion, bool withAccent,
                                                int16_t fileType) {
    StringList paths;
    if (text.empty()) return paths;
    const synth::SoundFileFormat& format = formatOrThrow(fileType);
    stopRequested_ = false;
    // One file per run, written sentence by sentence as they come. Only
    // complete files are listed: a run cut short by a stop leaves nothing
    // under its name (an older file of that name is not listed).
    std::optional<synth::SoundFileSink> file;
    try {
        forEachSentence(text, withEmotion, withAccent, false, [&](SpeechChunk&& chunk, const SentencePlace& at) {
            if (stopRequested_) return false;
            if (!file) {
                if (observer_) observer_(at.run, at.runs);
                file.emplace(outputFolder_ + "temp" + std::to_string(paths.size() + 1) + format.extension, format.type);
            }
            if (!synthesise(chunk, *file, true)) return false;
            if (!at.lastOfRun) return true;
            withPrefix(kFileFailed, [&] { file->commit(); });
            paths.push_back(utf8ToUtf16(file->path()));
            file.reset();
            return true;
        });
    } catch (...) {
        // A failed conversion takes back the files it wrote, so no run of a
        // half-converted text is mistaken for the whole.
        for (const auto& p : paths) std::remove(utf16ToUtf8(p).c_str());
        throw;
    }
    return paths;
}

bool SpeechEngine::convertTextToNamedFile(std::u16string_view text, bool withEmotion, bool withAccent,
                                          int16_t fileType, const std::string& path) {
    return convertTextToNamedFile(text, RenderOptions{withEmotion, withAccent, 1.0f, 1.0f, 0}, fileType, path);
}

bool SpeechEngine::convertTextToNamedFile(std::u16string_view text, const RenderOptions& options, int16_t fileType,
                                          const std::string& path) {
    checkOptions(options);
    const synth::SoundFileFormat& format = formatOrThrow(fileType);
    synth::SoundFileSink file(path, format.type);
    // The file takes the first run's rate, or the one the call names.
    std::optional<synth::RateAdapter> adapter;
    if (options.outputRate > 0) adapter.emplace(file, synth::RateAdapter::fixedRate(options.outputRate));
    synth::AudioSink& target = adapter ? static_cast<synth::AudioSink&>(*adapter) : file;
    stopRequested_ = false;
    bool completed = true;
    std::size_t chunks = 0;
    forEachSentence(text, options.withEmotion, options.withAccent, false, [&](SpeechChunk&& chunk, const SentencePlace& at) {
        if (stopRequested_) return completed = false;
        if (observer_) observer_(at.run, at.runs);
        ++chunks;
        applyOptions(chunk, options);
        return completed = synthesise(chunk, target, true);
    });
    if (!completed || stopRequested_) return false;
    // No part of the text belongs to a loaded language: an empty file would
    // pass for the text's speech.
    if (chunks == 0) throw MException(kNothingToSpeak);
    withPrefix(kFileFailed, [&] { file.commit(); });
    return true;
}

} // namespace vorsan
