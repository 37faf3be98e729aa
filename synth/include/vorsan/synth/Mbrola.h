#pragma once
// The diphone synthesiser's entry points, as the engine calls them.
//
// These calls share one process-wide channel (see SynthChannel.h, which an
// engine uses instead, with settings of its own): its settings apply to the
// next MBR_Play. Work runs on the synthesiser's worker thread: MBR_Play hands
// it over and returns at once, MBR_WaitForEnd blocks until it has ended,
// MBR_Stop ends it promptly from any thread. Every failure is reported by MBR_WaitForEnd's result (or by the
// result of the call that was refused) together with MBR_LastError.
#include <cstdint>

// Player flags of MBR_Play: 0 plays on the sound device, one of these writes
// a 16-bit mono sound file of that type to the given path.
inline constexpr int32_t MBR_FLAG_WAVE = 0x800;
inline constexpr int32_t MBR_FLAG_AU = 0x1000;
inline constexpr int32_t MBR_FLAG_AIFF = 0x2000;

// Selects the voice database <name> ("<profile>/Speechfiles/Voices/<name>.xml",
// else the shipped "voices/<name>.xml"); non-zero when there is none or it
// cannot be read.
int32_t MBR_SetDatabase(const char* name);
int32_t MBR_SetPitchRatio(float ratio);
int32_t MBR_SetDurationRatio(float ratio);
// Output sampling rate in Hz.
int32_t MBR_SetVoiceFreq(int32_t hz);

// Starts speaking (flags 0) or writing outFile (a player flag). Returns at
// once; non-zero when the request is refused (busy, bad flags, no database).
// The callback is not used.
int32_t MBR_Play(const char* phonemeText, int32_t flags, const char* outFile, void* callback);
// Blocks until the work started by MBR_Play ends: 0 when it completed or was
// stopped, non-zero when it failed.
int32_t MBR_WaitForEnd();
// Non-zero while work is under way.
int32_t MBR_IsPlaying();
// Ends the current work within a few tens of milliseconds. A file that was
// being written is not created (an existing one is left as it was).
int32_t MBR_Stop();
// Text of the last failure; valid until the next call of any MBR_ function.
const char* MBR_LastError();
// Share (0 to 1) of the current work already synthesised; for progress bars.
float MBR_Progress();
