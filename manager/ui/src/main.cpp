// tolvane: the end user's configuration manager for the speech engine.
#include <QApplication>
#include <QEventLoop>
#include <clocale>
#include <memory>

#include "FirstUse.h"
#include "Icons.h"
#include "PSplash.h"
#include "Prompter.h"
#include "TolvaneScreen.h"
#include "vorsan/engine/UserData.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Qt takes the user's locale for the whole process; numbers in the data
    // files are written with a decimal point, whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Tolvane"));
    QApplication::setDesktopFileName(QStringLiteral("tolvane"));
    QApplication::setWindowIcon(vorsan::manager::applicationIcon());

    vorsan::manager::PSplash splash;
    splash.show();
    QEventLoop waiting;
    QObject::connect(&splash, &vorsan::manager::PSplash::readyToClose, &waiting, &QEventLoop::quit);
    vorsan::manager::MessageBoxPrompter prompter;
    // The configuration loads while the splash shows; a user with none yet
    // is first offered a copy of the installation's, once the splash is gone.
    std::unique_ptr<vorsan::manager::TolvaneScreen> screen;
    if (vorsan::userHasConfiguration()) screen = std::make_unique<vorsan::manager::TolvaneScreen>(prompter);
    if (!splash.ReadyToClose()) waiting.exec();
    splash.close();
    if (!screen) {
        vorsan::manager::offerUserSetUp(prompter, nullptr, vorsan::builtInInstallationFolder());
        screen = std::make_unique<vorsan::manager::TolvaneScreen>(prompter);
    }
    screen->show();
    return app.exec();
}
