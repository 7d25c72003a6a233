// A whole update over loopback: a LoRaWAN image of about 0.5 MB (1000 devices,
// 16 rules each) and a 1 MB firmware file, both read back, sent by the real
// Ethernet_Update to qx410-sim on 127.0.0.1; without loss and with 5 % of the
// packets dropped. Reports the updater's own transfer time (from its log; the
// process time adds start-up and the moment the finished window stays up),
// the throughput of the bytes written and the retries.
//
// The firmware goes to 0x100000, after the LoRaWAN bank (0x80000..0xFFFFF):
// at the job's usual 0x8000 a 1 MB file would run into that bank, and the
// updater refuses overlapping regions.
#include "BenchSupport.h"
#include "compiler/Compiler.h"
#include "lorawan/LoRaWANDocument.h"
#include "params/ParGenDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Operation
{
    QString file;
    QString start;
    QString bankType;
    bool goToApp;
};

QByteArray job(int bootPort, int appPort, const QList<Operation>& operations)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("Ethernet_Update"));
    w.writeTextElement(QStringLiteral("Version"), QStringLiteral("1000"));
    w.writeTextElement(QStringLiteral("Title"), QStringLiteral("Quorvex - SWQX410 Ethernet Update"));
    w.writeTextElement(QStringLiteral("IP_Address_Dev"), QStringLiteral("127.0.0.1"));
    w.writeTextElement(QStringLiteral("Application_Port"), QString::number(appPort));
    w.writeTextElement(QStringLiteral("Boot_Port"), QString::number(bootPort));
    w.writeTextElement(QStringLiteral("Boot_Port_Sec"), QStringLiteral("2007"));
    w.writeTextElement(QStringLiteral("Address_Protection"), QStringLiteral("0x07800"));
    w.writeStartElement(QStringLiteral("Protections"));
    w.writeTextElement(QStringLiteral("Protection"), QStringLiteral("0x457"));
    w.writeEndElement();
    w.writeStartElement(QStringLiteral("Operations"));
    for (const Operation& op : operations) {
        w.writeStartElement(QStringLiteral("Operation"));
        w.writeTextElement(QStringLiteral("Ope_Port"), QStringLiteral("2008"));
        w.writeTextElement(QStringLiteral("Ope_Port_Sec"), QStringLiteral("2007"));
        w.writeTextElement(QStringLiteral("Ope_FileName"), QDir::toNativeSeparators(op.file));
        w.writeTextElement(QStringLiteral("Ope_Start_Address"), op.start);
        w.writeTextElement(QStringLiteral("Ope_Memory_Type"), QStringLiteral("0"));
        w.writeTextElement(QStringLiteral("Ope_Bank_Type"), op.bankType);
        w.writeTextElement(QStringLiteral("Ope_Read_Back"), QStringLiteral("1"));
        w.writeTextElement(QStringLiteral("Ope_GoToApp_After"),
                           op.goToApp ? QStringLiteral("1") : QStringLiteral("0"));
        w.writeEndElement();
    }
    w.writeEndDocument();
    return out;
}

// An executable beside this one.
QString program(const QString& binDir, const QString& name)
{
#ifdef Q_OS_WIN
    return binDir + QLatin1Char('/') + name + QStringLiteral(".exe");
#else
    return binDir + QLatin1Char('/') + name;
#endif
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Run
{
    bool ok = false;
    double transferS = 0; // from the updater's log
    double processS = 0;
    int retries = 0;
};

Run runOnce(const QString& binDir, const QList<Operation>& operations, double drop, int seed)
{
    Run run;
    QTemporaryDir folder, store;
    const QString source = program(binDir, QStringLiteral("Ethernet_Update"));
    const QString updater = folder.filePath(QFileInfo(source).fileName());
    if (!QFile::copy(source, updater))
        return run;

    QProcess sim;
    sim.start(program(binDir, QStringLiteral("qx410-sim")),
              {QStringLiteral("--address"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
               QStringLiteral("0"), QStringLiteral("--app-port"), QStringLiteral("0"),
               QStringLiteral("--store"), store.path(), QStringLiteral("--exit-after-app"),
               QStringLiteral("--drop"), QString::number(drop), QStringLiteral("--seed"),
               QString::number(seed)});
    const QRegularExpression listening(QStringLiteral("boot port (\\d+), application port (\\d+)"));
    QString out;
    QRegularExpressionMatch m;
    QElapsedTimer wait;
    wait.start();
    while (!m.hasMatch() && wait.elapsed() < 5000 && sim.state() != QProcess::NotRunning) {
        sim.waitForReadyRead(100);
        out += QString::fromLocal8Bit(sim.readAllStandardOutput());
        m = listening.match(out);
    }
    if (!m.hasMatch()) {
        std::fprintf(stderr, "qx410-sim did not start: %s\n", qPrintable(out));
        return run;
    }
    QFile jobFile(folder.filePath(QStringLiteral("Ethernet_Update.xml")));
    if (!jobFile.open(QIODevice::WriteOnly))
        return run;
    jobFile.write(job(m.captured(1).toInt(), m.captured(2).toInt(), operations));
    jobFile.close();

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(updater, QStringList());
    const bool ended = p.waitForFinished(150000);
    run.processS = t.nsecsElapsed() / 1e9;
    if (!ended)
        p.kill();
    if (!sim.waitForFinished(3000)) {
        sim.terminate();
        sim.waitForFinished(3000);
    }
    const QString log = QString::fromUtf8(readAll(folder.filePath(QStringLiteral("Ethernet_Update.log"))));
    const QRegularExpressionMatch result =
        QRegularExpression(QStringLiteral("result: success: .* in ([0-9.]+) s, (\\d+) retries")).match(log);
    if (!ended || p.exitCode() != 0 || !result.hasMatch()) {
        std::fprintf(stderr, "the update failed:\n%s\n", qPrintable(log.right(2000)));
        return run;
    }
    run.transferS = result.captured(1).toDouble();
    run.retries = result.captured(2).toInt();
    // What arrived must be what was sent.
    for (const Operation& op : operations) {
        const quint32 start = op.start.mid(2).toUInt(nullptr, 16);
        const QString stored =
            QDir(store.path())
                .filePath(QStringLiteral("0x") +
                          QStringLiteral("%1").arg(start, 8, 16, QLatin1Char('0')).toUpper() +
                          QStringLiteral(".bin"));
        if (readAll(stored) != readAll(op.file)) {
            std::fprintf(stderr, "%s differs from %s\n", qPrintable(stored), qPrintable(op.file));
            return run;
        }
    }
    run.ok = true;
    return run;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 3;
    const QString binDir = QCoreApplication::applicationDirPath();

    QTemporaryDir dir;
    if (!ParGenDocument::save(dir.filePath(QStringLiteral("ParGen.xml")), ParGenValues()).isEmpty() ||
        !LoRaWANDocument::save(dir.filePath(QStringLiteral("LoRaWAN_Gateway.xml")), benchDevices(1000, 8)).isEmpty())
        return 1;
    const CompileResult compiled = Compile_Configuration(dir.path());
    if (!compiled.error.isEmpty() || !Write_Images(dir.path(), compiled).isEmpty()) {
        std::fprintf(stderr, "compilation failed: %s\n", qPrintable(compiled.error));
        return 1;
    }
    const QString firmware = dir.filePath(QStringLiteral("firmware.sim"));
    {
        QByteArray bytes(1024 * 1024, '\0');
        QRandomGenerator random(1);
        for (char& c : bytes)
            c = char(random.bounded(256));
        QFile f(firmware);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return 1;
    }
    const QList<Operation> operations = {
        {firmware, QStringLiteral("0x100000"), QStringLiteral("1"), false},
        {dir.filePath(QStringLiteral("bin/bank2.bin")), QStringLiteral("0x80000"), QStringLiteral("2"), true},
    };
    const qint64 bytes = compiled.image2.size() + 1024 * 1024;
    std::printf(
        "LoRaWAN image %lld bytes + firmware %d bytes = %lld bytes, written and read back, %d runs each\n",
        qint64(compiled.image2.size()), 1024 * 1024, bytes, runs);

    for (const double drop : {0.0, 5.0}) {
        std::vector<double> transfer, process, retries;
        for (int i = 0; i < runs; ++i) {
            const Run r = runOnce(binDir, operations, drop, 1000 + i);
            if (!r.ok)
                return 1;
            transfer.push_back(r.transferS);
            process.push_back(r.processS);
            retries.push_back(r.retries);
        }
        const double t = median(transfer);
        std::printf(
            "loss %3.0f %%: transfer median %6.2f s (min %6.2f s), %6.2f MB/s written; process median "
            "%6.2f s; retries median %.0f\n",
            drop, t, *std::min_element(transfer.begin(), transfer.end()), bytes / t / 1e6, median(process),
            median(retries));
    }
    return 0;
}
