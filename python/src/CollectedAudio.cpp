#include "CollectedAudio.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>

#include "vorsan/core/MException.h"

namespace vorsan::python {

std::string Audio::bytes() const {
    std::string out(samples.size() * 2, '\0');
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto v = static_cast<uint16_t>(samples[i]);
        out[2 * i] = static_cast<char>(v & 0xff);
        out[2 * i + 1] = static_cast<char>(v >> 8);
    }
    return out;
}

std::optional<synth::SoundFileType> soundFileTypeOf(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) return std::nullopt;
    std::string suffix(path.substr(dot + 1));
    for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (suffix == "wav" || suffix == "wave") return synth::SoundFileType::Wave;
    if (suffix == "aiff" || suffix == "aif") return synth::SoundFileType::Aiff;
    if (suffix == "au" || suffix == "snd") return synth::SoundFileType::Au;
    return std::nullopt;
}

void Audio::save(const std::string& path, synth::SoundFileType type) const {
    synth::SoundFileSink file(path, type);
    // Like the engine's files: without speech, no run at all.
    if (!sentences.empty() || !samples.empty()) {
        file.beginRun(rate);
        file.write(samples);
        file.endRun();
    }
    file.commit();
}

TextPlaces::TextPlaces(std::u16string_view text) {
    const bool pairs = std::any_of(text.begin(), text.end(), [](char16_t c) { return c >= 0xD800 && c <= 0xDBFF; });
    if (!pairs) return;
    map_.resize(text.size() + 1);
    uint32_t points = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        map_[i] = points;
        const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
        if (!(high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)) ++points;
    }
    map_[text.size()] = points;
}

std::size_t TextPlaces::toCodePoint(std::size_t utf16) const {
    if (map_.empty()) return utf16;
    return map_[std::min(utf16, map_.size() - 1)];
}

CollectingSink::CollectingSink(const TextPlaces& places, std::function<void(std::unique_ptr<Audio>)> done)
    : places_(places), done_(std::move(done)) {}

Audio& CollectingSink::current() {
    if (!audio_) audio_ = std::make_unique<Audio>();
    return *audio_;
}

void CollectingSink::beginRun(int32_t rate) {
    begun_ = true;
    Audio& a = current();
    a.rate = rate; // one rate for all of one Audio's runs: the engine converts them
    runStart_ = static_cast<int64_t>(a.samples.size());
    runWords_ = a.words.size();
    a.sentences.push_back({0, 0, runStart_, runStart_});
}

void CollectingSink::write(std::span<const int16_t> samples) {
    if (onWrite_) onWrite_();
    Audio& a = current();
    a.samples.insert(a.samples.end(), samples.begin(), samples.end());
}

void CollectingSink::wordsBegin(const std::vector<SpeechEngine::WordStart>& starts) {
    Audio& a = current();
    for (const auto& w : starts) {
        const std::size_t begin = places_.toCodePoint(w.offset);
        const std::size_t end = places_.toCodePoint(w.offset + w.length);
        a.words.push_back({begin, end - begin, runStart_ + w.sample});
    }
}

void CollectingSink::endRun() {
    Audio& a = current();
    SentencePlace& s = a.sentences.back();
    s.end = static_cast<int64_t>(a.samples.size());
    if (a.words.size() > runWords_) {
        std::size_t first = a.words[runWords_].offset, last = first;
        for (std::size_t i = runWords_; i < a.words.size(); ++i) {
            first = std::min(first, a.words[i].offset);
            last = std::max(last, a.words[i].offset + a.words[i].length);
        }
        s.offset = first;
        s.length = last - first;
    } else {
        s.offset = textEnd_;
    }
    textEnd_ = s.offset + s.length;
    if (done_) done_(take());
}

std::unique_ptr<Audio> CollectingSink::take() {
    if (!audio_) return std::make_unique<Audio>();
    return std::move(audio_);
}

} // namespace vorsan::python
