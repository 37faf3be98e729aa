#pragma once
// The user's configuration and data folder for the system voice, made from
// the installation when the user has none yet.
#include <string>

namespace vorsan::voice {

// The registry key whose default value names the installation folder, which
// holds "tolvane.xml" and the "Speechfiles" folder (written by the installer
// into the system registry; a user's own registry may override it).
inline constexpr const char* kInstallationKey = "Software\\Nimbrel";

// Makes sure the profile folder holds tolvane.xml and Speechfiles:
// - a tolvane.xml that loads is kept as it is; otherwise the installation's
//   is loaded, its database locations are pointed at the user's copies under
//   <profile>/Speechfiles, and it is saved as the user's;
// - a missing <profile>/Speechfiles is copied from the installation's.
// The installation folder is the one the registry names; without a
// registry entry, `fallback` when it is not empty (programs that need no
// registration pass builtInInstallationFolder()).
// Returns 0 on success, 1 on failure. Progress and the failures a user must
// act on (with the path that was missing) go to the diagnostic sink.
int setUpUserData(const std::string& fallback = {});

// The installation folder this build knows: <prefix>/share/vorsan/nimbrel
// beside the installed data the running program finds, else the build
// tree's (made by scripts/setup.sh), else the configured prefix's; "" when
// none of them exists.
std::string builtInInstallationFolder();

} // namespace vorsan::voice
