// Fuzz target: our diphone renderer on arbitrary phone sequences, durations,
// pitch targets and settings in every shipped voice. The input's first bytes
// choose the voice, pitch ratio, duration ratio and output rate; then each
// phone takes a byte for the phone, two for its duration (ms) and a byte for
// how many pitch targets follow, two bytes each. Every piece must come out at
// exactly its planned length.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "renderer/DiphoneRenderer.h"
#include "vorsan/core/MException.h"

using namespace vorsan::synth;

namespace {

struct FuzzVoice {
    VoiceDatabase voice;
    std::shared_ptr<const renderer::RenderVoice> data;
    std::vector<std::string> phones;
};

std::vector<FuzzVoice> voices;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (const char* name : {"en1", "in1", "mr1", "tl1"}) {
        FuzzVoice v;
        v.voice = loadVoiceDatabase(vorsan::fuzz::dataFile(std::string("voices/") + name + ".xml"), name);
        v.data = renderer::loadRenderVoice(v.voice);
        for (const auto& [phone, parts] : v.voice.phones) v.phones.push_back(phone);
        voices.push_back(std::move(v));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const FuzzVoice& v = voices[data[0] % voices.size()];
    PlanSettings settings;
    settings.pitchRatio = 0.25f + static_cast<float>(data[1]) / 64.0f;
    settings.durationRatio = 0.25f + static_cast<float>(data[2]) / 64.0f;
    static constexpr int32_t kRates[] = {8000, 11025, 16000, 22050, 44100};
    settings.voiceFrequency = kRates[data[3] % 5];
    std::string text;
    long totalMs = 0;
    for (std::size_t at = 4; at + 4 <= size && totalMs < 6000;) {
        const std::string& phone = v.phones[data[at] % v.phones.size()];
        const int ms = (data[at + 1] << 8 | data[at + 2]) % 4000;
        std::size_t targets = data[at + 3] % 8;
        at += 4;
        totalMs += ms;
        text += phone + " " + std::to_string(ms);
        for (; targets > 0 && at + 2 <= size; --targets, at += 2)
            text += " " + std::to_string(data[at] % 101) + " " + std::to_string(data[at + 1] * 4);
        text += "\n";
    }
    SegmentPlan plan;
    try {
        plan = buildSegmentPlan(text, v.voice, v.data->index, settings);
    } catch (const vorsan::MException&) {
        return 0;
    }
    std::vector<int16_t> samples;
    int64_t total = 0;
    for (const PlanPiece& piece : plan.pieces) {
        renderer::renderPiece(*v.data, v.voice, plan, piece, samples);
        if (static_cast<int64_t>(samples.size()) != plan.segments[piece.last - 1].end - plan.segments[piece.first].start)
            vorsan::fuzz::fail("a piece comes out at its planned length");
        total += static_cast<int64_t>(samples.size());
    }
    if (total != plan.totalSamples) vorsan::fuzz::fail("the pieces cover the plan");
    return 0;
}
