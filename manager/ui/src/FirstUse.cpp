#include "FirstUse.h"

#include <QString>
#include <string>
#include <vector>

#include "vorsan/core/Diagnostics.h"
#include "vorsan/core/Paths.h"
#include "vorsan/engine/UserData.h"

namespace vorsan::manager {

SetUpOffer offerUserSetUp(Prompter& prompter, QWidget* parent, const std::string& installation) {
    if (userHasConfiguration()) return SetUpOffer::notNeeded;
    if (installation.empty()) return SetUpOffer::noInstallation;
    const QString question =
        QStringLiteral("There is no configuration in %1 yet.\n\nSet it up with the languages, moods and accents "
                       "of the installation in %2?")
            .arg(QString::fromStdString(profileFolder()), QString::fromStdString(installation));
    if (!prompter.ask(parent, question)) return SetUpOffer::declined;

    // The set-up's lines go on to the sink as ever; the user is shown them
    // too if it fails.
    std::vector<std::string> lines;
    DiagnosticSink previous = setDiagnosticSink([&lines](std::string_view line) { lines.emplace_back(line); });
    const FirstUse done = setUpNewUser("tolvane", installation);
    setDiagnosticSink(previous);
    std::string why;
    for (const std::string& line : lines) {
        diagnose(line);
        why += line + "\n";
    }
    if (done != FirstUse::failed) return SetUpOffer::setUp;
    prompter.message(parent, QStringLiteral("The set-up did not complete:\n") + QString::fromStdString(why));
    return SetUpOffer::failed;
}

} // namespace vorsan::manager
