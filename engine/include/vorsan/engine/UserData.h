#pragma once
// The user's configuration and data folder, made from an installation folder.
//
// An installation folder holds "tolvane.xml" and "Speechfiles" with the
// shipped databases: Pelmira (languages), Ruvetta (emotions), Oskalen
// (accents), Voices and English (english.dat). The build tree has one in
// <build>/nimbrel, an installation in <prefix>/share/vorsan/nimbrel.
//
// The rules, the same for every program that sets a user up (the command
// line, the Python package, the manager, the system voice, the
// speech-dispatcher module and vorsan-user-setup):
// - <profile>/Speechfiles: when it is missing, the installation's is copied
//   whole (under a name of its own, then renamed into place, so two set-ups
//   at once both end with a complete folder). With ShippedFiles::refresh
//   every shipped file is copied over the user's copy of it as well; files
//   the user added are never touched.
// - <profile>/tolvane.xml: one that loads is never touched. Otherwise the
//   installation's is written in its place (one that is there but does not
//   load is first kept as tolvane.xml.bad): its database locations point at
//   the user's copies (each keeps its file name), entries whose copy is
//   missing are left out and references to a left-out emotion or accent
//   database are cleared, so the file always loads. The first language
//   entry (the built-in English) keeps its location.
// - A profile folder that does not exist is not made.
#include <cstddef>
#include <string>
#include <string_view>

namespace vorsan {

enum class ShippedFiles {
    keepUsers, // copy the data folder only when the user has none
    refresh,   // also copy every shipped file over the user's copy of it
};

struct UserDataSetUp {
    bool ok = false;                 // both the configuration and the data folder are in place
    bool wroteConfiguration = false; // tolvane.xml was written from the installation's
    std::size_t copiedFiles = 0;     // files copied into the data folder
};

// Sets the profile folder up from `installation` by the rules above. An
// empty `installation` can only confirm what the user has. Failures (with
// the path that was missing) go to the diagnostic sink; what was done is in
// the result, for the caller to report.
UserDataSetUp setUpUserData(const std::string& installation, ShippedFiles shipped = ShippedFiles::keepUsers);

// The installation folder this build knows: <data>/nimbrel beside the
// shipped data the running program finds, else the build tree's, else the
// configured prefix's; "" when none of them exists.
std::string builtInInstallationFolder();

// The profile's tolvane.xml, whether it is there, and whether it is there
// and parses (through the configuration's own loader).
std::string userConfigurationPath();
bool userHasConfiguration();
bool userConfigurationLoads();

enum class FirstUse { ready, setUp, failed };

// For a profile with no tolvane.xml yet: sets it up from `installation`
// (builtInInstallationFolder() when empty) and says so in one diagnostic line,
// "<program>: set up <profile> from <installation>". A profile that has its
// tolvane.xml is left alone and nothing is said.
FirstUse setUpNewUser(std::string_view program, const std::string& installation = {});

} // namespace vorsan
