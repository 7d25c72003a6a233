#pragma once

#include <QByteArray>
#include <QString>

// Ethernet_Update.xml: what the external updater is to transfer, in order.
namespace UpdateJob {

enum Option { FirmwareAndConfiguration = 0, Firmware = 1, Configuration = 2 };

struct Input
{
    QString deviceAddress; // the four boxes joined with "." as typed
    int option = FirmwareAndConfiguration;
    bool readBack = true;
    QString masterFolder;        // native separators, no trailing one
    QString configurationFolder; // native separators, no trailing one
};

QByteArray build(const Input& input);
// Compile_XML_Parameter_New_Boot: writes the job beside the program; returns an error text.
QString write(const QString& programFolder, const Input& input);

QString jobPath(const QString& programFolder);
// The updater beside the program: Ethernet_Update.exe on Windows, Ethernet_Update elsewhere.
QString updaterPath(const QString& programFolder);

} // namespace UpdateJob
