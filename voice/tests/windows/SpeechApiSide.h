#pragma once
// What the tests of the voice under Windows need of the system itself,
// written against the platform's own headers in one file apart: the voices
// category as the registry holds it, the speech API's own listing of it, and
// a server library's registration as regsvr32 makes it.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorsan::testing {

// One token of the voices category as the registry holds it.
struct RegistryVoiceToken {
    std::u16string id;   // "HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Speech\Voices\Tokens\<key>"
    std::u16string key;  // "<key>"
    std::u16string name; // the key's default value
    std::u16string clsid;
    std::map<std::u16string, std::u16string> values;     // the token key's other values
    std::map<std::u16string, std::u16string> attributes; // its key "Attributes"
};

// Every token of HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Speech\Voices\Tokens
// (64-bit view).
std::vector<RegistryVoiceToken> registryVoiceTokens();

// The ids of the voice tokens the speech API's own token category
// (SpObjectTokenCategory over the voices category) enumerates, or the
// failure's result code.
struct SpeechApiListing {
    long result = 0;
    std::vector<std::u16string> ids;
};
SpeechApiListing voicesListedBySpeechApi();

// A string value of the class registry (the user's classes, then the
// machine's, as HKEY_CLASSES_ROOT merges them), nothing when it is not there.
std::optional<std::u16string> classesValue(const std::u16string& key, const std::u16string& name = {});

// Loads a server library and calls DllRegisterServer (or
// DllUnregisterServer) as regsvr32 does: its result, or a failure result
// when it cannot be loaded or lacks the entry point.
long callRegistration(const std::string& libraryUtf8, bool unregister = false);

// Names the installation folder for the current user (the default value of
// HKEY_CURRENT_USER\Software\Nimbrel), as a per-user installation does.
bool setUserInstallationFolder(const std::string& folderUtf8);

} // namespace vorsan::testing
