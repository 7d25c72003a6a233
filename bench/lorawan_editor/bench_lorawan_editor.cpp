// Times the LoRaWAN editor with a full table: showing the window with the document
// loaded, and OK (validate and save). Prints the medians of several runs and the peak memory.
#include "BenchSupport.h"
#include "common/Dialogs.h"
#include "common/ProgramState.h"
#include "lorawan/LoRaWANDocument.h"
#include "lorawan/TFLoRaWAN_Gateway.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

// Counts what would have been shown; a benchmark never waits on a box.
class SilentDialogs : public Dialogs
{
public:
    int shown = 0;
    void error(QWidget*, const QString& t) override { note(t); }
    void warning(QWidget*, const QString& t) override { note(t); }
    void information(QWidget*, const QString& t) override { note(t); }
    bool yesNo(QWidget*, const QString& t) override
    {
        note(t);
        return true;
    }
    Answer yesNoCancel(QWidget*, const QString& t) override
    {
        note(t);
        return Answer::Yes;
    }
    QString openFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }

private:
    void note(const QString& t)
    {
        ++shown;
        std::fprintf(stderr, "message: %s\n", qPrintable(t));
    }
};

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 7;

    QTemporaryDir dir;
    ProgramState state(dir.path());
    state.createFolders();
    state.strings.buildDefaults();
    QDir(state.projectsFolder).mkdir(QStringLiteral("Bench"));
    state.configurationName = QStringLiteral("Bench");
    state.decideActiveConfiguration();
    state.Set_Files();
    const QString path = state.documentPath(Document::LoRaWAN_Gateway);
    const QString error = LoRaWANDocument::save(path, benchDevices(1000, 16, true));
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const QByteArray original = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    SilentDialogs dialogs;
    TFLoRaWAN_Gateway editor(state, dialogs);
    std::vector<double> show, ok;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        editor.show();
        QCoreApplication::processEvents();
        show.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        editor.Btn_OKClick();
        ok.push_back(t.nsecsElapsed() / 1e6);
        if (editor.isVisible()) {
            std::fprintf(stderr, "OK did not close the window\n");
            return 1;
        }
    }
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const bool same = f.readAll() == original;
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::printf("document %lld bytes, 1000 devices, 32000 rules, saved back %s\n", qint64(original.size()),
                same ? "byte-identical" : "DIFFERENT");
    std::printf("show (load + fill) median %.1f ms, first %.1f ms\n", median(show), show.front());
    std::printf("OK (validate + save) median %.1f ms, first %.1f ms\n", median(ok), ok.front());
    std::printf("peak rss %.1f MiB, messages %d\n", u.ru_maxrss / 1024.0, dialogs.shown);
    return same && dialogs.shown == 0 ? 0 : 1;
}
