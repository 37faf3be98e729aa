// Fuzz target: the voice file loader on arbitrary bytes. A voice that loads
// must hold only values the synthesiser can use: a native rate and default
// pitch in range, a finite positive gain, phones whose shares are each
// positive and add up to 100, fallback shares of 1 to 90.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "vorsan/core/MException.h"
#include "vorsan/synth/VoiceDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string path = vorsan::fuzz::writeTemp("Speechfiles/Voices/fz.xml",
                                                     std::string_view(reinterpret_cast<const char*>(data), size));
    vorsan::synth::VoiceDatabase voice;
    try {
        voice = vorsan::synth::loadVoiceDatabase(path, "fz");
    } catch (const vorsan::MException&) {
        return 0;
    }
    if (voice.nativeRate < 4000 || voice.nativeRate > 96000) vorsan::fuzz::fail("native rate out of range");
    if (voice.defaultPitch < 20 || voice.defaultPitch > 1000) vorsan::fuzz::fail("default pitch out of range");
    if (!std::isfinite(voice.gain) || voice.gain <= 0) vorsan::fuzz::fail("gain not finite and positive");
    for (const auto& phone : voice.phones) {
        int64_t total = 0;
        for (const auto& part : phone.second) {
            if (part.share <= 0) vorsan::fuzz::fail("a phone share is not positive");
            total += part.share;
        }
        if (total != 100) vorsan::fuzz::fail("phone shares do not add up to 100");
    }
    for (const auto& f : voice.fallbacks)
        if (f.share < 1 || f.share > 90) vorsan::fuzz::fail("fallback share out of range");
    return 0;
}
