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
// emotion and accent files, the installation's tolvane.xml, english.dat).
// $VORSAN_DATA_DIR, when set and not empty, is the answer. Otherwise a
// program or library running from the build tree gets the source data folder;
// an installed one gets <prefix>/share/vorsan found relative to its own file,
// so a moved installation still finds its data; any other program linking the
// engine gets the data folder of the configured installation prefix.
std::string installedDataFolder();

} // namespace vorsan
