#include "app/Program.h"
#include "app/TFZuvurazarueFirmWare.h"
#include "common/ProgramRunner.h"
#include "common/QtDialogs.h"

#include <QApplication>
#include <QDesktopServices>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Zuvurazaru"));
    QtDialogs dialogs;
    SystemProgramRunner runner;
    Program program(QCoreApplication::applicationDirPath(),
                    Services{dialogs, runner, [](const QUrl& url) { QDesktopServices::openUrl(url); }});
    program.mainWindow->show();
    return app.exec();
}
