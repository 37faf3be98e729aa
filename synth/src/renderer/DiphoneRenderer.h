#pragma once
// Our own waveform generation for Festival's LPC diphone voices: residual-
// excited LPC with pitch-synchronous overlap-add, straight from the voice's
// mapped group file. It renders a plan piece exactly as the Festival back end
// does (same diphones, same analysis frames, same target pitch marks and
// frame map, same filter), without its interpreter, with windows computed
// once per length, only the frames that are used, and no work past the end
// of the piece.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "SegmentPlan.h"
#include "renderer/GroupFile.h"
#include "vorsan/synth/VoiceDatabase.h"

namespace vorsan::synth::renderer {

struct RenderVoice {
    std::shared_ptr<const GroupFile> file;
    DiphoneIndex index;       // what the plan may use (unusable diphones left out)
    int32_t nativeRate = 0;
    long defaultEntry = -1;   // the voice's default diphone
};

// The voice's data, mapped once per group file and shared; raises MException
// when the voice is not installed, its file is damaged, or its rate is not
// the one the voice database declares. Safe to call from several threads.
std::shared_ptr<const RenderVoice> loadRenderVoice(const VoiceDatabase& voice);

// Whether synthesis goes through Festival's back end instead of this
// renderer: only when the environment variable VORSAN_SYNTH is "festival".
bool festivalBackEnd();

// Renders one piece of a plan into `out`: exactly (end - start) samples of
// the piece, scaled by the voice's gain. Safe to call from several threads.
void renderPiece(const RenderVoice& loaded, const VoiceDatabase& voice, const SegmentPlan& plan,
                 const PlanPiece& piece, std::vector<int16_t>& out);

} // namespace vorsan::synth::renderer
