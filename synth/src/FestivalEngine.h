#pragma once
// Festival's diphone back end, used purely as a waveform synthesiser: given
// voice phones with their times and pitch targets it returns samples. The
// back end itself is the plugin libvorsan_festival.so (FestivalPlugin.cpp),
// loaded on first use; a build configured with VORSAN_FESTIVAL=OFF has none.
// The Festival interpreter is global and not thread-safe, so one thread (the
// synthesiser's worker) makes every call.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "SegmentPlan.h"
#include "vorsan/synth/VoiceDatabase.h"

namespace vorsan::synth {

struct LoadedVoice {
    std::string handle;  // the diphone database's name inside Festival
    DiphoneIndex index;
    int32_t nativeRate = 0;
};

class FestivalBackEnd;

class FestivalEngine {
public:
    static FestivalEngine& instance();

    // Loads the plugin and starts the interpreter (once) with a small heap;
    // raises MException naming the plugin when it is missing or unusable.
    void start();
    // The address of a local variable in the outermost frame of the thread
    // that makes every Festival call, given before the first call.
    void anchor(void* outermostFrame);
    // Loads the voice's diphone database once and keeps it; raises MException.
    const LoadedVoice& load(const VoiceDatabase& voice);
    // Synthesises one piece of a plan: exactly (end - start) samples of the
    // piece at the output rate, scaled by the voice's gain. The plan has
    // already given every pair a diphone the voice has.
    std::vector<int16_t> synthesise(const LoadedVoice& loaded, const VoiceDatabase& voice, const SegmentPlan& plan,
                                    const PlanPiece& piece);

    // Where the plugin is looked for, in order (none when this build has no
    // Festival back end).
    static std::vector<std::string> pluginCandidates();

private:
    FestivalEngine() = default;
    FestivalBackEnd& backEnd();

    FestivalBackEnd* backEnd_ = nullptr;
    void* anchor_ = nullptr;
    int handles_ = 0;
    std::map<std::string, std::unique_ptr<LoadedVoice>> voices_;
};

} // namespace vorsan::synth
