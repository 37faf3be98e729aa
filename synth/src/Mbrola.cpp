// The MBR_ entry points: a thin facade over one process-wide channel, for
// callers that speak to the synthesiser the classic way. Engines use a
// channel of their own.
#include "vorsan/synth/Mbrola.h"

#include "vorsan/synth/SynthChannel.h"
#include "vorsan/synth/SynthReport.h"

using vorsan::synth::SynthChannel;

namespace {
SynthChannel& channel() {
    // Never destroyed: work may still be under way at exit.
    static SynthChannel* c = new SynthChannel;
    return *c;
}
} // namespace

int32_t MBR_SetDatabase(const char* name) { return channel().setDatabase(name); }
int32_t MBR_SetPitchRatio(float ratio) { return channel().setPitchRatio(ratio); }
int32_t MBR_SetDurationRatio(float ratio) { return channel().setDurationRatio(ratio); }
int32_t MBR_SetVoiceFreq(int32_t hz) { return channel().setVoiceFrequency(hz); }
int32_t MBR_Play(const char* phonemeText, int32_t flags, const char* outFile, void* /*callback*/) {
    return channel().play(phonemeText, flags, outFile);
}
int32_t MBR_WaitForEnd() { return channel().waitForEnd(); }
int32_t MBR_IsPlaying() { return channel().isPlaying(); }
int32_t MBR_Stop() { return channel().stop(); }
const char* MBR_LastError() { return channel().lastError(); }
float MBR_Progress() { return channel().progress(); }

namespace vorsan::synth {
std::vector<std::string> takeMissingDiphones() { return channel().takeMissingDiphones(); }
} // namespace vorsan::synth
