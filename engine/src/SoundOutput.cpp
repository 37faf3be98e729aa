// Handing chunks to the synthesiser: played on the sound device or written to
// WAVE, AIFF or AU files in the output folder.
#include <string>

#include "Registries.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/synth/Mbrola.h"

namespace vorsan {

namespace {
struct FileType {
    int32_t flag;
    const char* extension;
};
constexpr FileType kFileTypes[] = {{0x1000, ".au"}, {0x2000, ".aiff"}, {0x800, ".wav"}};
} // namespace

void SpeechEngine::synthesise(const SpeechChunk& chunk, int32_t flags, const std::string& path) {
    if (MBR_SetDatabase(chunk.mbrolaDatabase.c_str()) != 0) throw MException("Error in setting Mbrola database");
    if (MBR_SetPitchRatio(chunk.pitch) != 0) throw MException("Error in setting Mbrola pitch ratio");
    if (MBR_SetDurationRatio(chunk.time) != 0) throw MException("Error in setting Mbrola duration ratio");
    if (MBR_SetVoiceFreq(chunk.voiceFrequency) != 0) throw MException("Error in setting Mbrola voice frequency");
    // The synthesiser's verdict is checked: a missing sound device or an
    // unwritable file must not pass for spoken speech.
    const char* file = path.empty() ? nullptr : path.c_str();
    if (MBR_Play(chunk.phoneString.c_str(), flags, file, nullptr) != 0 || MBR_WaitForEnd() != 0) {
        const char* why = MBR_LastError();
        throw MException(std::string(path.empty() ? "Speech output failed: " : "Writing sound file failed: ") +
                         (why && *why ? why : "unknown synthesiser error"));
    }
}

void SpeechEngine::speakChunk(const SpeechChunk& chunk) {
    if (chunk.phoneString.empty()) return;
    synthesise(chunk, 0, std::string());
}

void SpeechEngine::speakText(std::u16string_view text, bool withEmotion, bool withAccent) {
    stopRequested_ = false;
    if (text.empty()) return;
    ChunkList chunks = convertTextToPhoneme(text, withEmotion, withAccent, false);
    for (std::size_t i = 0; i < chunks.size() && !stopRequested_; ++i) {
        if (observer_) observer_(i, chunks.size());
        speakChunk(chunks[i]);
    }
}

void SpeechEngine::stopSpeaking() {
    stopRequested_ = true;
    if (MBR_IsPlaying() != 0) MBR_Stop();
}

StringList SpeechEngine::convertTextToSoundFile(std::u16string_view text, bool withEmotion, bool withAccent,
                                                int16_t fileType) {
    StringList paths;
    if (text.empty()) return paths;
    if (fileType < 0 || fileType > 2) throw MException("Invalid sound file type");
    const FileType& type = kFileTypes[fileType];
    auto write = [&](const SpeechChunk& chunk, int counter) {
        std::string path = outputFolder_ + "temp" + std::to_string(counter) + type.extension;
        synthesise(chunk, type.flag, path);
        paths.push_back(utf8ToUtf16(path));
    };
    if (reg_->primary) {
        if (observer_) observer_(0, 1);
        write(convertRun(text, *reg_->primary, withEmotion, withAccent), 1);
        return paths;
    }
    std::vector<Run> runs = cutIntoRuns(text);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (observer_) observer_(i, runs.size());
        write(convertRun(runs[i].text, *runs[i].entry, withEmotion, withAccent), static_cast<int>(i) + 1);
    }
    return paths;
}

} // namespace vorsan
