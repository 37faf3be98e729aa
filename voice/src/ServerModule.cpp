// The voice library's class, Nimbrel22TTSEngine, and its registration; the
// entry points (class factory, registration, the unload query) are the
// shared ones.
#include "DataSetup.h"
#include "TtsEngine.h"
#include "vorsan/automation/ServerSupport.h"
#include "vorsan/core/Diagnostics.h"
#include "vorsan/voice/Sapi.h"

namespace vorsan::voice {

namespace {

// Creating a voice first makes sure the user has a configuration and a data
// folder; a failure is only logged, since the voice can still be created
// (its engine then finds no configuration).
HRESULT createVoice(REFIID riid, void** ppv) {
    if (setUpUserData() != 0) diagnose("Nimbrel22: the user's data set-up failed");
    return createTtsEngine(riid, ppv);
}

constexpr serversupport::ServerClass kClasses[] = {
    {sapi::CLSID_Nimbrel22TTSEngine, &createVoice, "Nimbrel22.TTSEngine", 1, "Nimbrel22TTSEngine Class", "Both"},
};

} // namespace

} // namespace vorsan::voice

VORSAN_SERVER_ENTRY_POINTS(vorsan::voice::kClasses)
