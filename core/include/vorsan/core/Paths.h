#pragma once
// Where the engine finds the user's files and the shipped data.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vorsan {

// The user profile folder: $USERPROFILE when set and not empty, else $HOME,
// else ".". No trailing slash (or backslash on Windows).
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

// Where an installed file or folder may be, for the program or library this
// code runs in: `fromModule` holds each relative path from the module's own
// folder (its place from the bin, lib or Python folder in the installation
// layout; "" entries are skipped), `configured` the folders of the
// list the build was configured for (platform::kFolderListSeparator). `inBuildTree` is true
// (and both lists empty) when the module runs from the build tree
// `buildTree`, or its file is unknown: the caller then uses its build-tree
// place.
struct InstallationPlaces {
    bool inBuildTree = false;
    std::vector<std::string> fromModule, configured;
};
InstallationPlaces installationPlaces(std::string_view buildTree, std::initializer_list<const char*> relative,
                                      std::string_view configured);

} // namespace vorsan
