#pragma once
// The manager's offer to set up a user who has no configuration yet: a copy
// of the installation's tolvane.xml and databases in the profile folder.
#include <string>

#include "Prompter.h"

namespace vorsan::manager {

enum class SetUpOffer {
    notNeeded,      // the profile has its tolvane.xml
    noInstallation, // nothing to set up from: the window reports what is missing
    declined,
    setUp,
    failed,         // the user was told why
};

// Asks through `prompter` whether to set the user up from `installation`
// (nothing is asked when the profile has its tolvane.xml or there is no
// installation folder), and does it when the answer is Yes.
SetUpOffer offerUserSetUp(Prompter& prompter, QWidget* parent, const std::string& installation);

} // namespace vorsan::manager
