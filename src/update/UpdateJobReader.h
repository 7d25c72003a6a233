#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// Reads the update job Ethernet_Update.xml: where the device is and which
// files go to which addresses, in order.
namespace UpdateJobReader {

// Larger files are refused rather than loaded.
inline constexpr qint64 MaxFileSize = 1024 * 1024;
inline constexpr int MaxOperations = 64;

struct Operation
{
    QString fileName;          // Ope_FileName as written (an absolute path)
    quint32 startAddress = 0;  // Ope_Start_Address, hexadecimal text "0x..."
    bool readBack = false;     // Ope_Read_Back "1"
    bool goToAppAfter = false; // Ope_GoToApp_After "1"
    int bankType = 0;          // Ope_Bank_Type
    // Every other Ope_ element of the operation, by name, as text.
    QMap<QString, QString> texts;
};

struct Job
{
    QString version;
    QString title;
    QString deviceAddress; // IP_Address_Dev as a plain dotted IPv4 address ("192.168.2.205")
    quint16 applicationPort = 0;
    quint16 bootPort = 0;
    quint16 bootPortSec = 0;
    QString addressProtection;
    QStringList protections;
    QList<Operation> operations; // at least one
};

struct Result
{
    Job job;
    QString error; // empty when the job was read; says which element is wrong
};

Result read(const QByteArray& data);
// Adds the file's name to every error; a missing or oversized file is an error.
Result load(const QString& path);

// "0x" followed by hexadecimal digits, at most 32 bits.
std::optional<quint32> parseHexAddress(const QString& text);
// Four decimal parts 0..255 joined with ".", blanks around a part allowed, in
// plain form; nothing for anything else, also for a part with a leading zero,
// which some resolvers read as octal.
std::optional<QString> parseIPv4Address(const QString& text);

} // namespace UpdateJobReader
