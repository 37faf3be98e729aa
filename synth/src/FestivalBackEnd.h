#pragma once
// The interface of Festival's back end as the plugin libvorsan_festival.so
// implements it. vorsan_synth (FestivalEngine.cpp) loads the plugin with
// dlopen only when Festival's back end is asked for (VORSAN_SYNTH=festival),
// so no program or client of the engine links Festival or the speech tools.
//
// The plugin uses no code of vorsan_synth or vorsan_core beyond their
// headers' inline parts: what needs the engine's own functions (finding and
// reading the voice's diphone index, the plan's pitch contour) is done by the
// caller and handed over. Failures raise MException (header-only).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "SegmentPlan.h"
#include "vorsan/synth/VoiceDatabase.h"

namespace vorsan::synth {

class FestivalBackEnd {
public:
    // Starts the interpreter (once); raises MException.
    virtual void start() = 0;
    // See FestivalEngine::anchor.
    virtual void anchor(void* outermostFrame) = 0;
    // Loads the diphone database of `indexPath` under the name `handle` and
    // returns the rate its pause diphone comes out at (-1: it gives none).
    virtual int32_t load(const VoiceDatabase& voice, const std::string& handle, const std::string& indexPath) = 0;
    // One piece of a plan at the voice's native rate `nativeRate`, exactly
    // (end - start) samples scaled by the voice's gain, following the
    // pitch contour `pitchAt` (native Hz at a time in output samples).
    virtual std::vector<int16_t> synthesise(const std::string& handle, int32_t nativeRate, const VoiceDatabase& voice,
                                            const SegmentPlan& plan, const PlanPiece& piece,
                                            const std::function<double(double)>& pitchAt) = 0;

protected:
    ~FestivalBackEnd() = default; // the plugin's one instance lives as long as the process
};

// Raised whenever the interface above changes: a plugin built for another
// version is refused.
inline constexpr int kFestivalBackEndVersion = 1;

} // namespace vorsan::synth

// The plugin's entry point: its back end, or nullptr when it was built for
// another interface version.
#define VORSAN_FESTIVAL_ENTRY "vorsan_festival_back_end"
extern "C" {
using VorsanFestivalEntry = vorsan::synth::FestivalBackEnd* (*)(int version);
}
