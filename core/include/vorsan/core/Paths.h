#pragma once
// Where the engine finds the user's files and the shipped data.
#include <string>

namespace vorsan {

// The user profile folder: $USERPROFILE when set and not empty, else $HOME,
// else ".". No trailing slash.
std::string profileFolder();

// The profile folder's "Speechfiles" folder (the per-user data folder).
std::string speechFilesFolder();

// The folder of the data files that ship with the program (voices, language,
// emotion and accent files); $VORSAN_DATA_DIR overrides the built-in one.
std::string installedDataFolder();

} // namespace vorsan
