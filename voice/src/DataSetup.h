#pragma once
// The system voice's per-user set-up: the user's configuration and data
// folder made from the installation folder the registry names (the rules are
// the engine's, vorsan/engine/UserData.h).
#include <string>

#include "vorsan/engine/UserData.h"

namespace vorsan::voice {

// The registry key whose default value names the installation folder, which
// holds "tolvane.xml" and the "Speechfiles" folder (written by the installer
// into the system registry; a user's own registry may override it).
inline constexpr const char* kInstallationKey = "Software\\Nimbrel";

// Makes sure the profile folder holds a tolvane.xml that loads and the
// Speechfiles folder, copying what is missing from the installation folder
// the registry names; without a registry entry, from `fallback` when it is
// not empty (programs that need no registration pass
// builtInInstallationFolder()). Returns 0 on success, 1 on failure.
// "loaded tolvane.xml", what was copied and written, and the failures a user
// must act on (with the path that was missing) go to the diagnostic sink; a
// new user with no installation named is left as they are, silently.
int setUpUserData(const std::string& fallback = {});

using vorsan::builtInInstallationFolder;

} // namespace vorsan::voice
