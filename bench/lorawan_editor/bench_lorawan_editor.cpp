// Times the LoRaWAN editor with a full table: showing the window with the document
// loaded, and OK (validate and save). Prints the medians of several runs and the peak memory.
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

QList<TDeviceLoRa> fullDocument()
{
    QList<TDeviceLoRa> devices;
    for (int d = 0; d < 1000; ++d) {
        TDeviceLoRa dev;
        dev.DeviceEUI =
            QStringLiteral("%1").arg(0x0004A30B00000000ULL + quint64(d), 16, 16, QLatin1Char('0')).toUpper();
        dev.JoinEUI = QStringLiteral("70B3D57ED0000001");
        dev.DeviceName = QStringLiteral("device %1").arg(d + 1);
        dev.ActMethod = d % 2 ? LoRaWAN::OTAA : LoRaWAN::ABP;
        dev.NetSessKey = QStringLiteral("0123456789ABCDEF0123456789ABCDEF");
        dev.AppSessKey = QStringLiteral("FEDCBA9876543210FEDCBA9876543210");
        dev.AppKey = QStringLiteral("00112233445566778899AABBCCDDEEFF");
        dev.DevAdd = QStringLiteral("%1").arg(0x26010000 + d, 8, 16, QLatin1Char('0')).toUpper();
        dev.ClassLoRa = QStringLiteral("A");
        dev.DiagTimeOut = QStringLiteral("60000");
        dev.Mnemonic = QStringLiteral("bench");
        for (int r = 0; r < 16; ++r) {
            TRuleLoRa up;
            up.Port = QString::number(r + 1);
            up.StartTest = QStringLiteral("0");
            up.LenTest = QStringLiteral("1");
            up.HexTest = true;
            up.ValueTest = QStringLiteral("0A");
            up.StartBit = QStringLiteral("1");
            up.NumBits = QStringLiteral("1");
            up.PosBit = QString::number(r);
            dev.UpLinkRules.append(up);
            TRuleLoRa down;
            down.Port = QString::number(r + 1);
            down.StartBit = QStringLiteral("0");
            down.NumBits = QStringLiteral("1");
            down.OnChange = true;
            down.Time = QStringLiteral("1000");
            down.PosBit = QString::number(16 + r);
            dev.DownLinkRules.append(down);
        }
        devices.append(dev);
    }
    return devices;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

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
    const QString error = LoRaWANDocument::save(path, fullDocument());
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
