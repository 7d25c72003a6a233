// Starts like the configurator (every window created, main window shown) and
// quits as soon as the event loop is idle; with --floor only one empty window.
#include "app/Program.h"
#include "app/TFZuvurazarueFirmWare.h"
#include "common/ProgramRunner.h"
#include "common/QtDialogs.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <sys/resource.h>

// "Shown and idle": the window has painted once and the event loop has nothing left.
class QuitAfterPaint : public QObject
{
public:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(o, e);
    }

private:
    bool m_done = false;
};

static void report()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::printf("maxrss_kb=%ld\n", u.ru_maxrss);
    std::fflush(stdout);
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString arg = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (arg == QStringLiteral("--floor")) {
        QWidget w;
        w.resize(694, 396);
        QuitAfterPaint quit;
        w.installEventFilter(&quit);
        w.show();
        const int rc = app.exec();
        report();
        return rc;
    }
    QtDialogs dialogs;
    SystemProgramRunner runner;
    Program program(arg, Services{dialogs, runner, [](const QUrl&) {}});
    QuitAfterPaint quit;
    program.mainWindow->installEventFilter(&quit);
    program.mainWindow->show();
    const int rc = app.exec();
    report();
    return rc;
}
