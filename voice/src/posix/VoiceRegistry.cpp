// Outside Windows the speech API's voices category does not exist: the voice
// is found by its class alone, and the installation folder is named in the
// class registry (vorsan/automation/Registry.h).
#include "DataSetup.h"
#include "VoiceTokens.h"
#include "vorsan/automation/Registry.h"

namespace vorsan::voice {

std::string installationFolder(const std::string& fallback) {
    return registry::lookup(kInstallationKey).value_or(fallback);
}

HRESULT registerVoiceTokens(const std::vector<VoiceTokenRecord>&, const CLSID&) { return S_OK; }
HRESULT unregisterVoiceTokens(const CLSID&) { return S_OK; }

} // namespace vorsan::voice
