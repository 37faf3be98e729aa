// tolvane: the end user's configuration manager for the speech engine.
#include <QApplication>
#include <QEventLoop>
#include <clocale>

#include "Icons.h"
#include "PSplash.h"
#include "Prompter.h"
#include "TolvaneScreen.h"

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
    vorsan::manager::TolvaneScreen screen(prompter);
    if (!splash.ReadyToClose()) waiting.exec();
    splash.close();
    screen.show();
    return app.exec();
}
