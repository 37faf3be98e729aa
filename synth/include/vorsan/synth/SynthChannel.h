#pragma once
// One caller's line to the diphone synthesiser. Every engine owns a channel;
// the channel keeps that caller's settings (voice database, pitch ratio,
// duration ratio, voice frequency), and each piece of work it starts carries
// a copy of them, so nothing another caller sets changes what it sounds like.
//
// All channels of a process share one back end (Festival's interpreter is
// global and not thread-safe): a single worker thread serves the work of
// every channel in turn, piece by piece, so several engines speak and write
// at once and none is refused or kept waiting for another's long text.
//
// Results follow the MBR_ functions: 0 is success, anything else a failure
// whose text lastError() gives.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vorsan/core/PhonemeText.h"
#include "vorsan/synth/AudioSink.h"

namespace vorsan::synth {

class SynthChannel {
public:
    SynthChannel();
    // Stops this channel's work and waits until the back end has let go of it.
    ~SynthChannel();
    SynthChannel(const SynthChannel&) = delete;
    SynthChannel& operator=(const SynthChannel&) = delete;

    // Selects the voice database <name> ("<profile>/Speechfiles/Voices/<name>.xml",
    // else the shipped "voices/<name>.xml"); non-zero when there is none or it
    // cannot be read.
    int32_t setDatabase(const char* name);
    int32_t setPitchRatio(float ratio);
    int32_t setDurationRatio(float ratio);
    int32_t setVoiceFrequency(int32_t hz); // output sampling rate

    // Starts speaking (flags 0) or writing outFile (a player flag of
    // soundFileFormatOfFlag) the phoneme text. Returns at once; non-zero when
    // the request is refused (this channel busy, bad flags, no database).
    int32_t play(const char* phonemeText, int32_t flags, const char* outFile);
    // Starts synthesising the phones into the caller's sink, which must
    // outlive the work (until waitForEnd returns). The sink gets one run,
    // with where each record begins in it (AudioSink::lineStarts).
    int32_t render(PhonemeRecordList phones, AudioSink& sink);
    // Blocks until the work has ended (for play on the device: until it has
    // been heard): 0 when it completed or was stopped, non-zero when it failed.
    int32_t waitForEnd();
    // True when the synthesis of the last work has ended (its sound may still
    // play).
    bool finished() const;
    // True when the last work ended because of stop().
    bool stopped() const;
    // Non-zero while work is under way or its sound still plays.
    int32_t isPlaying() const;
    // Ends this channel's work within a few tens of milliseconds; other
    // channels go on. A file being written is not created (an existing one
    // is left as it was).
    int32_t stop();
    // Text of the last failure; valid until the next call on this channel.
    const char* lastError();
    // Share (0 to 1) of the current work already synthesised.
    float progress() const;
    // Diphones ("database: a-b") this channel's work needed that neither the
    // voice nor any of its fallbacks provides, since the last call. Such a
    // pair is spoken with the voice's default diphone, and a diagnostic line
    // names it once per process.
    std::vector<std::string> takeMissingDiphones();

private:
    struct State;
    std::unique_ptr<State> s_;
};

} // namespace vorsan::synth
