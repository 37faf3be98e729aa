#include "DataSetup.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "VoiceTokens.h"
#include "vorsan/core/Diagnostics.h"
#include "vorsan/core/Paths.h"

namespace vorsan::voice {

int setUpUserData(const std::string& fallback) {
    const bool loads = userConfigurationLoads();
    if (loads) diagnose("loaded tolvane.xml");
    std::optional<std::string> installation;
    if (std::string folder = installationFolder(fallback); !folder.empty()) installation = folder;

    const std::string data = speechFilesFolder();
    if (!installation) {
        std::error_code ec;
        if (!loads) return 1;
        if (std::filesystem::exists(data, ec)) return 0;
        diagnose("Files Missing.Please reinstall Nimbrel: " + data);
        return 1;
    }
    const UserDataSetUp done = vorsan::setUpUserData(*installation);
    if (done.copiedFiles > 0) diagnose("copied " + *installation + "/Speechfiles to " + data);
    if (done.wroteConfiguration)
        diagnose("wrote " + userConfigurationPath() + " from " + *installation + "/tolvane.xml");
    return done.ok ? 0 : 1;
}

} // namespace vorsan::voice
