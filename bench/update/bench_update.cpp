// Compiles a configuration whose LoRaWAN image is about 0.5 MB, then runs the
// updater against qx410-sim on 127.0.0.1 with read-back on: firmware (480 KB),
// parameter image and LoRaWAN image. Prints time and throughput, without loss
// and with 5 % of the packets dropped.
#include "compiler/Compiler.h"
#include "lorawan/LoRaWANDocument.h"
#include "params/ParGenDocument.h"
#include "update/UpdateJob.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QList<TDeviceLoRa> devices()
{
    QList<TDeviceLoRa> list;
    for (int d = 0; d < 1000; ++d) {
        TDeviceLoRa dev;
        dev.DeviceEUI =
            QStringLiteral("%1").arg(0x0004A30B00000000ULL + quint64(d), 16, 16, QLatin1Char('0')).toUpper();
        dev.JoinEUI = QStringLiteral("70B3D57ED0000001");
        dev.DeviceName = QStringLiteral("device %1").arg(d + 1);
        dev.ActMethod = LoRaWAN::ABP;
        dev.NetSessKey = QStringLiteral("0123456789ABCDEF0123456789ABCDEF");
        dev.AppSessKey = QStringLiteral("FEDCBA9876543210FEDCBA9876543210");
        dev.DevAdd = QStringLiteral("%1").arg(0x26010000 + d, 8, 16, QLatin1Char('0')).toUpper();
        dev.ClassLoRa = QStringLiteral("A");
        dev.DiagTimeOut = QStringLiteral("60000");
        for (int r = 0; r < 8; ++r) {
            TRuleLoRa up;
            up.Port = QString::number(r + 1);
            up.StartTest = QStringLiteral("0");
            up.LenTest = QStringLiteral("2");
            up.HexTest = true;
            up.ValueTest = QStringLiteral("0A%1").arg(r, 2, 16, QLatin1Char('0'));
            up.StartBit = QStringLiteral("2");
            up.NumBits = QStringLiteral("1");
            up.PosBit = QString::number(r);
            dev.UpLinkRules.append(up);
            TRuleLoRa down;
            down.Port = QString::number(r + 1);
            down.StartBit = QStringLiteral("0");
            down.NumBits = QStringLiteral("1");
            down.OnChange = true;
            down.Time = QStringLiteral("1000");
            down.PosBit = QString::number(8 + r);
            dev.DownLinkRules.append(down);
        }
        list.append(dev);
    }
    return list;
}

bool run(const QString& bin, const QString& program, int drop, qint64 bytes)
{
    QTemporaryDir store;
    QStringList simArgs = {QStringLiteral("--address"),
                           QStringLiteral("127.0.0.1"),
                           QStringLiteral("--store"),
                           store.path(),
                           QStringLiteral("--exit-after-app"),
                           QStringLiteral("--seed"),
                           QStringLiteral("7")};
    if (drop > 0)
        simArgs << QStringLiteral("--drop") << QString::number(drop);
    QProcess sim;
    sim.start(bin + QStringLiteral("/qx410-sim"), simArgs);
    if (!sim.waitForStarted(5000))
        return false;
    QProcess updater;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    updater.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    updater.start(UpdateJob::updaterPath(program), {});
    const bool finished = updater.waitForFinished(150000);
    const double s = t.nsecsElapsed() / 1e9;
    const bool ok = finished && updater.exitStatus() == QProcess::NormalExit && updater.exitCode() == 0;
    sim.waitForFinished(5000);
    if (sim.state() != QProcess::NotRunning)
        sim.kill();
    sim.waitForFinished(2000);
    if (!ok)
        std::fprintf(stderr, "%s\n", updater.readAllStandardError().constData());
    std::printf("%2d %% loss: %s in %.2f s, %.2f MB/s written and read back\n", drop,
                ok ? "verified" : "FAILED", s, bytes / 1e6 / s);
    return ok;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString bin = QCoreApplication::applicationDirPath();
    QTemporaryDir program;
    const QString config = program.filePath(QStringLiteral("PROJECTS/Bench"));
    QDir().mkpath(config);
    QDir().mkpath(program.filePath(QStringLiteral("MASTER")));
    if (!ParGenDocument::save(QDir(config).filePath(QStringLiteral("ParGen.xml")), ParGenValues())
             .isEmpty() ||
        !LoRaWANDocument::save(QDir(config).filePath(QStringLiteral("LoRaWAN_Gateway.xml")), devices())
             .isEmpty())
        return 1;
    const CompileResult images = Compile_Configuration(config);
    if (!images.error.isEmpty() || !Write_Images(config, images).isEmpty())
        return 1;
    // The simulator keeps one address space: the firmware fills 0x8000 up to the LoRaWAN image.
    QByteArray firmware(0x80000 - 0x8000, '\0');
    quint32 x = 0x9E3779B9;
    for (char& c : firmware) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x);
    }
    QFile fw(program.filePath(QStringLiteral("MASTER/SimQX410.sim")));
    if (!fw.open(QIODevice::WriteOnly) || fw.write(firmware) != firmware.size())
        return 1;
    fw.close();
    QFile::copy(bin + QStringLiteral("/Ethernet_Update"),
                program.filePath(QStringLiteral("Ethernet_Update")));
    UpdateJob::Input job;
    job.deviceAddress = QStringLiteral("127.0.0.1");
    job.readBack = true;
    job.masterFolder = QDir::toNativeSeparators(program.filePath(QStringLiteral("MASTER")));
    job.configurationFolder = QDir::toNativeSeparators(config);
    if (!UpdateJob::write(QDir::toNativeSeparators(program.path()), job).isEmpty())
        return 1;
    const qint64 bytes = firmware.size() + images.image1.size() + images.image2.size();
    std::printf("firmware %lld bytes, bank1.bin %lld bytes, bank2.bin %lld bytes\n", qint64(firmware.size()),
                qint64(images.image1.size()), qint64(images.image2.size()));
    const bool a = run(bin, QDir::toNativeSeparators(program.path()), 0, bytes);
    const bool b = run(bin, QDir::toNativeSeparators(program.path()), 5, bytes);
    return a && b ? 0 : 1;
}
