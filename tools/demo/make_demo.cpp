// Puts the demo beside the program: PROJECTS/Demo with both documents and
// MASTER/SimQX410.sim, a firmware file for the simulated gateway. Existing
// files are left alone, so a user's edits to the demo survive a rebuild.
#include "lorawan/LoRaWANDocument.h"
#include "params/ParGenDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

QList<TDeviceLoRa> demoDevices()
{
    QList<TDeviceLoRa> devices;
    TDeviceLoRa meter;
    meter.DeviceEUI = QStringLiteral("0004A30B001C0530");
    meter.JoinEUI = QStringLiteral("70B3D57ED0000001");
    meter.DeviceName = QStringLiteral("Energy meter");
    meter.ActMethod = LoRaWAN::ABP;
    meter.NetSessKey = QStringLiteral("2B7E151628AED2A6ABF7158809CF4F3C");
    meter.AppSessKey = QStringLiteral("3C4FCF098815F7ABA6D2AE2816157E2B");
    meter.DevAdd = QStringLiteral("26011BDA");
    meter.ClassLoRa = QStringLiteral("A");
    meter.DiagTimeOut = QStringLiteral("600000");
    meter.Mnemonic = QStringLiteral("Hall A, main feeder");
    TRuleLoRa reading;
    reading.Port = QStringLiteral("2");
    reading.StartBit = QStringLiteral("0");
    reading.NumBits = QStringLiteral("8");
    reading.PosBit = QStringLiteral("0");
    reading.Mnemonic = QStringLiteral("Energy counter");
    meter.UpLinkRules.append(reading);

    TDeviceLoRa valve;
    valve.DeviceEUI = QStringLiteral("0004A30B001C0531");
    valve.JoinEUI = QStringLiteral("70B3D57ED0000001");
    valve.DeviceName = QStringLiteral("Valve actuator");
    valve.ActMethod = LoRaWAN::OTAA;
    valve.AppKey = QStringLiteral("00112233445566778899AABBCCDDEEFF");
    valve.DevAdd = QStringLiteral("26011BDB");
    valve.ClassLoRa = QStringLiteral("C");
    valve.DiagTimeOut = QStringLiteral("60000");
    valve.Mnemonic = QStringLiteral("Cooling loop");
    TRuleLoRa status;
    status.Port = QStringLiteral("3");
    status.StartTest = QStringLiteral("0");
    status.LenTest = QStringLiteral("1");
    status.HexTest = true;
    status.ValueTest = QStringLiteral("01");
    status.StartBit = QStringLiteral("1");
    status.NumBits = QStringLiteral("2");
    status.PosBit = QStringLiteral("16");
    status.Mnemonic = QStringLiteral("Valve position when frame type 01");
    valve.UpLinkRules.append(status);
    TRuleLoRa command;
    command.Port = QStringLiteral("10");
    command.StartBit = QStringLiteral("0");
    command.NumBits = QStringLiteral("1");
    command.OnChange = true;
    command.Time = QStringLiteral("0");
    command.PosBit = QStringLiteral("100");
    command.Mnemonic = QStringLiteral("Set point");
    valve.DownLinkRules.append(command);

    TDeviceLoRa spare = meter;
    spare.Enable = false;
    spare.DeviceEUI = QStringLiteral("0004A30B001C0532");
    spare.DeviceName = QStringLiteral("Spare meter");
    spare.DevAdd = QStringLiteral("26011BDC");
    spare.Mnemonic = QStringLiteral("Not installed yet");
    devices << meter << valve << spare;
    return devices;
}

QByteArray demoFirmware()
{
    // 256 KiB that look like a firmware image: a header, then reproducible noise.
    QByteArray fw("QX410 simulated firmware 1.000\n");
    fw.resize(256 * 1024);
    quint32 x = 0x12345678;
    for (qsizetype i = 32; i < fw.size(); ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        fw[i] = char(x & 0xFF);
    }
    return fw;
}

bool writeOnce(const QString& path, const QByteArray& data)
{
    if (QFileInfo::exists(path))
        return true;
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: zv_make_demo PROGRAM_FOLDER\n");
        return 2;
    }
    const QDir program(QString::fromLocal8Bit(argv[1]));
    const QString demo = program.filePath(QStringLiteral("PROJECTS/Demo"));
    if (!QDir().mkpath(demo + QStringLiteral("/bin")) ||
        !QDir().mkpath(program.filePath(QStringLiteral("MASTER"))))
        return 1;
    bool ok = writeOnce(program.filePath(QStringLiteral("MASTER/SimQX410.sim")), demoFirmware());
    const QString parGen = QDir(demo).filePath(QStringLiteral("ParGen.xml"));
    if (!QFileInfo::exists(parGen)) {
        ParGenValues v;
        v.Eth_Conn_Device_Name = QStringLiteral("qx410-demo");
        v.Ethernet_IP = parGenOctets(u"192", u"168", u"2", u"205");
        ok = ParGenDocument::save(parGen, v).isEmpty() && ok;
    }
    const QString loRaWAN = QDir(demo).filePath(QStringLiteral("LoRaWAN_Gateway.xml"));
    if (!QFileInfo::exists(loRaWAN))
        ok = LoRaWANDocument::save(loRaWAN, demoDevices()).isEmpty() && ok;
    return ok ? 0 : 1;
}
