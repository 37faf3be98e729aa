// tolvane: the end user's configuration manager for the speech engine.
#include <QApplication>
#include <QEventLoop>

#include "Icons.h"
#include "PSplash.h"
#include "Prompter.h"
#include "TolvaneScreen.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvane"));
    QApplication::setDesktopFileName(QStringLiteral("tolvane"));
    QApplication::setWindowIcon(vorsan::manager::applicationIcon());

    vorsan::manager::PSplash splash;
    splash.show();
    QEventLoop waiting;
    QObject::connect(&splash, &vorsan::manager::PSplash::readyToClose, &waiting, &QEventLoop::quit);
    vorsan::manager::MessageBoxPrompter prompter;
    vorsan::manager::TolvaneScreen screen(prompter);
    if (!splash.ReadyToClose()) waiting.exec();
    splash.close();
    screen.show();
    return app.exec();
}
