// zuvurazaru-cli: the update step's compilation without windows, and a reader
// of the two device images, for installers who script their work.
#include "compiler/Compiler.h"
#include "compiler/ImageDecoder.h"
#include "update/EchoClient.h"
#include "update/PingCheck.h"
#include "update/UpdateJob.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QProcessEnvironment>

#include <cstdio>

namespace {

const char* const Usage =
    "usage: zuvurazaru-cli compile CONFIG_FOLDER\n"
    "       zuvurazaru-cli inspect FILE\n"
    "       zuvurazaru-cli update CONFIG_FOLDER --device ADDRESS [--option both|firmware|configuration]\n"
    "                             [--no-read-back]\n"
    "\n"
    "compile  compiles CONFIG_FOLDER/ParGen.xml and LoRaWAN_Gateway.xml into\n"
    "         CONFIG_FOLDER/bin/bank1.bin and bank2.bin; on any error nothing is written.\n"
    "inspect  prints a bank1.bin or bank2.bin as JSON: every field, EUIs and\n"
    "         addresses most significant digit first, keys as typed, the checksum\n"
    "         checked, the packet-forwarder text.\n"
    "update   compiles, checks with ICMP echo that ADDRESS answers, writes the update\n"
    "         job beside this program and runs the updater Ethernet_Update beside it\n"
    "         (firmware from MASTER/SimQX410.sim there); 0 only on a verified transfer.\n"
    "Exit status: 0 on success, 1 on any error (told on standard error), 2 on wrong usage.\n";

void err(const QString& text)
{
    std::fprintf(stderr, "zuvurazaru-cli: %s\n", text.toLocal8Bit().constData());
}

int compile(const QString& folder)
{
    if (!QFileInfo(folder).isDir()) {
        err(QStringLiteral("%1: no such configuration folder").arg(QDir::toNativeSeparators(folder)));
        return 1;
    }
    const CompileResult result = Compile_Configuration(folder);
    if (!result.error.isEmpty()) {
        err(result.error);
        return 1;
    }
    if (const QString error = Write_Images(folder, result); !error.isEmpty()) {
        err(error);
        return 1;
    }
    std::printf("compiled %d devices, %d rules: bank1.bin %lld bytes, bank2.bin %lld bytes\n", result.devices,
                result.rules, qint64(result.image1.size()), qint64(result.image2.size()));
    return 0;
}

int inspect(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        err(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), f.errorString()));
        return 1;
    }
    // Larger than any bank: not an image of ours.
    if (f.size() > 524288) {
        err(QStringLiteral("%1: %2 bytes is larger than a device bank")
                .arg(QDir::toNativeSeparators(path))
                .arg(f.size()));
        return 1;
    }
    const ImageDecoder::Result r = ImageDecoder::decode(f.readAll());
    if (!r.json.isEmpty())
        std::fputs(QJsonDocument(r.json).toJson(QJsonDocument::Indented).constData(), stdout);
    if (!r.error.isEmpty()) {
        err(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), r.error));
        return 1;
    }
    return 0;
}

int update(const QStringList& args)
{
    QString folder, device;
    int option = UpdateJob::FirmwareAndConfiguration;
    bool readBack = true;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QStringLiteral("--device") && i + 1 < args.size()) {
            device = args[++i];
        } else if (a == QStringLiteral("--option") && i + 1 < args.size()) {
            const QString o = args[++i];
            if (o == QStringLiteral("both"))
                option = UpdateJob::FirmwareAndConfiguration;
            else if (o == QStringLiteral("firmware"))
                option = UpdateJob::Firmware;
            else if (o == QStringLiteral("configuration"))
                option = UpdateJob::Configuration;
            else {
                err(QStringLiteral("--option takes both, firmware or configuration"));
                return 2;
            }
        } else if (a == QStringLiteral("--no-read-back")) {
            readBack = false;
        } else if (folder.isEmpty() && !a.startsWith(QStringLiteral("--"))) {
            folder = a;
        } else {
            std::fputs(Usage, stderr);
            return 2;
        }
    }
    if (folder.isEmpty() || device.isEmpty()) {
        std::fputs(Usage, stderr);
        return 2;
    }
    if (option != UpdateJob::Firmware) {
        if (const int rc = compile(folder); rc != 0)
            return rc;
    }
    // The same echo check as the update window.
    std::unique_ptr<EchoClient> echo = createSystemEchoClient();
    PingCheck check(*echo, PingCheck::systemClock());
    if (!check.Send_Ping(device)) {
        err(check.ping_res == 2 ? QStringLiteral("%1: Device Not Found!").arg(device)
                                : QStringLiteral("%1: Error!!! Check the Ip Address").arg(device));
        return 1;
    }
    const QString programFolder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    UpdateJob::Input job;
    job.deviceAddress = device;
    job.option = option;
    job.readBack = readBack;
    job.masterFolder = QDir::toNativeSeparators(QDir(programFolder).filePath(QStringLiteral("MASTER")));
    job.configurationFolder = QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath());
    if (const QString error = UpdateJob::write(programFolder, job); !error.isEmpty()) {
        err(error);
        return 1;
    }
    QProcess updater;
    updater.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
#ifndef Q_OS_WIN
    // Without a display the updater still runs, with its window off screen.
    if (!env.contains(QStringLiteral("DISPLAY")) && !env.contains(QStringLiteral("WAYLAND_DISPLAY")) &&
        !env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
#endif
    updater.setProcessEnvironment(env);
    updater.start(UpdateJob::updaterPath(programFolder), {});
    if (!updater.waitForStarted(10000)) {
        err(QStringLiteral("%1: %2").arg(UpdateJob::updaterPath(programFolder), updater.errorString()));
        return 1;
    }
    if (!updater.waitForFinished(150000)) {
        updater.kill();
        updater.waitForFinished(5000);
        err(QStringLiteral("the updater did not end within 150 s"));
        return 1;
    }
    if (updater.exitStatus() != QProcess::NormalExit || updater.exitCode() != 0) {
        err(QStringLiteral(
                "the update failed (updater exit code %1); see Ethernet_Update.log beside the program")
                .arg(updater.exitCode()));
        return 1;
    }
    std::printf("updated %s: verified\n", device.toLocal8Bit().constData());
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1 && (args[0] == QStringLiteral("--help") || args[0] == QStringLiteral("-h"))) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (args.size() == 2 && args[0] == QStringLiteral("compile"))
        return compile(args[1]);
    if (args.size() == 2 && args[0] == QStringLiteral("inspect"))
        return inspect(args[1]);
    if (!args.isEmpty() && args[0] == QStringLiteral("update"))
        return update(args.mid(1));
    std::fputs(Usage, stderr);
    return 2;
}
