// The MBR_ entry points forward to the process-wide synthesiser.
#include "vorsan/synth/Mbrola.h"

#include "Synthesiser.h"
#include "vorsan/synth/SynthReport.h"

using vorsan::synth::Synthesiser;

int32_t MBR_SetDatabase(const char* name) { return Synthesiser::instance().setDatabase(name); }
int32_t MBR_SetPitchRatio(float ratio) { return Synthesiser::instance().setPitchRatio(ratio); }
int32_t MBR_SetDurationRatio(float ratio) { return Synthesiser::instance().setDurationRatio(ratio); }
int32_t MBR_SetVoiceFreq(int32_t hz) { return Synthesiser::instance().setVoiceFrequency(hz); }
int32_t MBR_Play(const char* phonemeText, int32_t flags, const char* outFile, void* /*callback*/) {
    return Synthesiser::instance().play(phonemeText, flags, outFile);
}
int32_t MBR_WaitForEnd() { return Synthesiser::instance().waitForEnd(); }
int32_t MBR_IsPlaying() { return Synthesiser::instance().isPlaying(); }
int32_t MBR_Stop() { return Synthesiser::instance().stop(); }
const char* MBR_LastError() { return Synthesiser::instance().lastError(); }
float MBR_Progress() { return Synthesiser::instance().progress(); }

namespace vorsan::synth {
std::vector<std::string> takeMissingDiphones() { return Synthesiser::instance().takeMissingDiphones(); }
} // namespace vorsan::synth
