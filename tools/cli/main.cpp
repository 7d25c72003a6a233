// zuvurazaru-cli: the update step's compilation without windows, and a reader
// of the two device images, for installers who script their work.
#include "compiler/Compiler.h"
#include "compiler/ImageDecoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

#include <cstdio>

namespace {

const char* const Usage =
    "usage: zuvurazaru-cli compile CONFIG_FOLDER\n"
    "       zuvurazaru-cli inspect FILE\n"
    "\n"
    "compile  compiles CONFIG_FOLDER/ParGen.xml and LoRaWAN_Gateway.xml into\n"
    "         CONFIG_FOLDER/bin/bank1.bin and bank2.bin; on any error nothing is written.\n"
    "inspect  prints a bank1.bin or bank2.bin as JSON: every field, EUIs and\n"
    "         addresses most significant digit first, keys as typed, the checksum\n"
    "         checked, the packet-forwarder text.\n"
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
    std::fputs(Usage, stderr);
    return 2;
}
