// Writes a configuration of 1000 devices, each with 8 uplink rules carrying a
// 2-byte hex test and 8 downlink rules, then times `zuvurazaru-cli compile` on
// it against `xmllint --noout` on the same two documents (the floor: reading
// the input). Both run as whole processes, alternately, N times.
#include "BenchSupport.h"
#include "lorawan/LoRaWANDocument.h"
#include "params/ParGenDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double runMs(const QString& program, const QStringList& args, bool* ok)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    const bool done = p.waitForFinished(120000);
    const double ms = t.nsecsElapsed() / 1e6;
    *ok = done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!*ok)
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), p.readAllStandardError().constData());
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 11;
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/zuvurazaru-cli");
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty()) {
        std::fprintf(stderr, "xmllint not found (Debian package libxml2-utils)\n");
        return 1;
    }

    QTemporaryDir dir;
    const QList<TDeviceLoRa> devices = benchDevices(1000, 8);
    const QString parGen = dir.filePath(QStringLiteral("ParGen.xml"));
    const QString loRaWAN = dir.filePath(QStringLiteral("LoRaWAN_Gateway.xml"));
    if (!ParGenDocument::save(parGen, ParGenValues()).isEmpty() ||
        !LoRaWANDocument::save(loRaWAN, devices).isEmpty())
        return 1;

    bool ok = true;
    std::vector<double> ours, floor;
    runMs(cli, {QStringLiteral("compile"), dir.path()}, &ok); // warm the caches
    for (int i = 0; i < runs && ok; ++i) {
        ours.push_back(runMs(cli, {QStringLiteral("compile"), dir.path()}, &ok));
        floor.push_back(runMs(xmllint, {QStringLiteral("--noout"), parGen, loRaWAN}, &ok));
    }
    if (!ok)
        return 1;
    std::printf("documents %lld + %lld bytes; bank2.bin %lld bytes\n", QFileInfo(parGen).size(),
                QFileInfo(loRaWAN).size(), QFileInfo(dir.filePath(QStringLiteral("bin/bank2.bin"))).size());
    std::printf("zuvurazaru-cli compile  median %7.1f ms  min %7.1f ms\n", median(ours),
                *std::min_element(ours.begin(), ours.end()));
    std::printf("xmllint --noout         median %7.1f ms  min %7.1f ms\n", median(floor),
                *std::min_element(floor.begin(), floor.end()));
    std::printf("ratio (median) %.2f\n", median(ours) / median(floor));
    return 0;
}
