#pragma once
// Nimbrel22TTSEngine: the system voice's object. It creates the engine's
// automation object when it gets its token, and speaks each request through
// the engine's speech stream sentence by sentence, raising sentence, word
// and bookmark events at their places in the audio.
#include "vorsan/voice/Sapi.h"

namespace vorsan::voice {

// Creates a voice object and hands out `iid` from it.
HRESULT createTtsEngine(REFIID iid, void** ppv);

} // namespace vorsan::voice
