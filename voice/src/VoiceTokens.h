#pragma once
// The voices the system voice offers to the speech API: one per language the
// installation's rule files describe (and the built-in English), each a
// token in the voices category naming the voice's class, with the
// attributes programs choose voices by.
#include <cstdint>
#include <string>
#include <vector>

#include "vorsan/automation/Interfaces.h"
#include "vorsan/automation/SpeechStream.h"

namespace vorsan::voice {

struct VoiceTokenRecord {
    std::string key;      // the token's key under the category's Tokens: "Vorsan_Hindi"
    std::string name;     // what programs show: "Vorsan Hindi"
    std::string language; // the engine's language name: "Hindi"
    uint16_t lcid = 0;    // Windows language identifier: 0x0439
};

// The Windows language identifier of each language the engine has loaded,
// as the language describes itself: one record per language that has one,
// in the engine's order.
std::vector<VoiceTokenRecord> voiceTokensOf(IVorsanAPI& engine, IVorsanSpeechStream& stream);

// The voice tokens of an installation folder: an engine object loads every
// rule file of <installation>/Speechfiles/Pelmira.
std::vector<VoiceTokenRecord> voiceTokensOfInstallation(const std::string& installation);

// "439" for 0x0439: the form of the token's Language attribute.
std::string lcidText(uint16_t lcid);

// The installation folder the voice copies a new user's data from: the
// default value of the key Software\Nimbrel (the user's, then the
// machine's), else `fallback`; empty when there is neither.
std::string installationFolder(const std::string& fallback = {});

// Whether the system keeps the speech API's voices category (Windows);
// elsewhere the voice is found by its class alone and no token is written.
#ifdef _WIN32
inline constexpr bool kVoiceCategory = true;
#else
inline constexpr bool kVoiceCategory = false;
#endif

// Writes the tokens naming the class `clsid` into the voices category
// (replacing tokens of earlier registrations of the class), or removes
// every token that names it. S_OK, or REGDB_E_WRITEREGDB.
HRESULT registerVoiceTokens(const std::vector<VoiceTokenRecord>& tokens, const CLSID& clsid);
HRESULT unregisterVoiceTokens(const CLSID& clsid);

} // namespace vorsan::voice
