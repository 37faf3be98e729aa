// vorsan-user-setup: sets the user's profile folder up from the installation,
// or refreshes the copies of the shipped files a user already has (the rules
// are the engine's, vorsan/engine/UserData.h).
#include <iostream>
#include <string>
#include <vector>

#include "vorsan/core/Paths.h"
#include "vorsan/core/Platform.h"
#include "vorsan/engine/UserData.h"

namespace {

constexpr const char* kUsage = R"(Usage: vorsan-user-setup [--from FOLDER]

Sets up the profile folder ($USERPROFILE, else $HOME) from the installation
folder (default: the one this program belongs to, <prefix>/share/vorsan/nimbrel
or the build tree's nimbrel):
  - Speechfiles: the shipped language, emotion, accent and voice files and the
    English dictionary are copied in; copies of shipped files are refreshed,
    files the user added are left alone;
  - tolvane.xml: written from the installation's when the user has none that
    loads (one that does not load is kept as tolvane.xml.bad), pointing at the
    user's copies; an existing one that loads is never touched.
The vorsan program, the Python package and the manager do the same for a user
who has no tolvane.xml yet.
)";

} // namespace

int main(int argc, char** argv) {
    vorsan::platform::useUtf8StandardStreams();
    const std::vector<std::string> arguments = vorsan::platform::programArguments(argc, argv);
    std::string installation;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--help" || arguments[i] == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (arguments[i] == "--from" && i + 1 < arguments.size()) {
            installation = arguments[++i];
            continue;
        }
        std::cerr << "vorsan-user-setup: unknown argument '" << arguments[i] << "'\n" << kUsage;
        return 2;
    }
    if (installation.empty()) installation = vorsan::builtInInstallationFolder();
    if (installation.empty()) {
        std::cerr << "vorsan-user-setup: no installation folder found (package vorsan-data); name one with --from\n";
        return 1;
    }
    const vorsan::UserDataSetUp done = vorsan::setUpUserData(installation, vorsan::ShippedFiles::refresh);
    std::cout << "vorsan-user-setup: " << done.copiedFiles << " files from " << installation << "/Speechfiles in "
              << vorsan::speechFilesFolder() << "\n";
    if (done.wroteConfiguration) std::cout << "vorsan-user-setup: wrote " << vorsan::userConfigurationPath() << "\n";
    else if (done.ok) std::cout << "vorsan-user-setup: keeping the existing " << vorsan::userConfigurationPath() << "\n";
    return done.ok ? 0 : 1;
}
