#include "TestFiles.h"
#include "compiler/Compiler.h"
#include "lorawan/LoRaWANDocument.h"
#include "params/ParGenDocument.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int code = -1;
    QByteArray out, err;
};

Run cli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(ZV_CLI), args);
    Run r;
    if (!p.waitForFinished(30000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// A configuration as the editors write it.
void makeConfiguration(const QString& folder)
{
    ParGenValues v;
    v.Eth_Conn_Device_Name = QStringLiteral("gw-north");
    v.Ethernet_IP = parGenOctets(u"10", u"1", u"2", u"3");
    v.Ethernet_EN_GAT = true;
    v.Ethernet_TCP_Port = QStringLiteral("502");
    v.WiFi_SSID = QStringLiteral("plant");
    QVERIFY(ParGenDocument::save(QDir(folder).filePath(QStringLiteral("ParGen.xml")), v).isEmpty());

    TDeviceLoRa d;
    d.DeviceEUI = QStringLiteral("0004A30B001C0530");
    d.JoinEUI = QStringLiteral("70B3D57ED0000001");
    d.DeviceName = QStringLiteral("meter");
    d.ActMethod = LoRaWAN::OTAA;
    d.AppKey = QStringLiteral("00112233445566778899AABBCCDDEEFF");
    d.NetSessKey = QStringLiteral("0123456789ABCDEF0123456789ABCDEF");
    d.AppSessKey = QStringLiteral("FEDCBA9876543210FEDCBA9876543210");
    d.DevAdd = QStringLiteral("26011BDA");
    d.ClassLoRa = QStringLiteral("C");
    d.DiagTimeOut = QStringLiteral("60000");
    d.RX2Datarate = QStringLiteral("SF9BW125");
    TRuleLoRa up;
    up.Port = QStringLiteral("2");
    up.StartTest = QStringLiteral("0");
    up.LenTest = QStringLiteral("2");
    up.HexTest = true;
    up.ValueTest = QStringLiteral("0A1B");
    up.StartBit = QStringLiteral("2");
    up.NumBits = QStringLiteral("4");
    up.PosBit = QStringLiteral("100");
    d.UpLinkRules.append(up);
    TRuleLoRa down;
    down.Port = QStringLiteral("3");
    down.StartBit = QStringLiteral("0");
    down.NumBits = QStringLiteral("2");
    down.OnTimer = true;
    down.Time = QStringLiteral("5000");
    down.PosBit = QStringLiteral("200");
    d.DownLinkRules.append(down);
    TDeviceLoRa off = d;
    off.Enable = false;
    off.DeviceEUI = QStringLiteral("0004A30B001C0531");
    QVERIFY(LoRaWANDocument::save(QDir(folder).filePath(QStringLiteral("LoRaWAN_Gateway.xml")), {d, off})
                .isEmpty());
}

} // namespace

class TestCompilerCli : public QObject
{
    Q_OBJECT
private slots:
    void help();
    void compileWritesWhatTheLibraryBuilds();
    void inspectShowsEveryValue();
    void brokenInputsFailCleanly_data();
    void brokenInputsFailCleanly();
    void inspectRefusesDamagedImages_data();
    void inspectRefusesDamagedImages();
};

void TestCompilerCli::help()
{
    const Run r = cli({QStringLiteral("--help")});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains("compile CONFIG_FOLDER") && r.out.contains("inspect FILE"));
    QCOMPARE(cli({QStringLiteral("frobnicate")}).code, 2);
}

void TestCompilerCli::compileWritesWhatTheLibraryBuilds()
{
    QTemporaryDir dir;
    makeConfiguration(dir.path());
    const Run r = cli({QStringLiteral("compile"), dir.path()});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.startsWith("compiled 1 devices, 2 rules: bank1.bin 2048 bytes, bank2.bin "),
             r.out.constData());
    const CompileResult expected = Compile_Configuration(dir.path());
    QVERIFY(expected.error.isEmpty());
    QCOMPARE(readFile(dir.filePath(QStringLiteral("bin/bank1.bin"))), expected.image1);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("bin/bank2.bin"))), expected.image2);
}

void TestCompilerCli::inspectShowsEveryValue()
{
    QTemporaryDir dir;
    makeConfiguration(dir.path());
    QCOMPARE(cli({QStringLiteral("compile"), dir.path()}).code, 0);

    Run r = cli({QStringLiteral("inspect"), dir.filePath(QStringLiteral("bin/bank1.bin"))});
    QCOMPARE(r.code, 0);
    const QJsonObject p = QJsonDocument::fromJson(r.out).object();
    QCOMPARE(p[QStringLiteral("type")].toString(), QStringLiteral("bank1"));
    QCOMPARE(p[QStringLiteral("ethernet")][QStringLiteral("ip")].toString(), QStringLiteral("10.1.2.3"));
    QCOMPARE(p[QStringLiteral("ethernet")][QStringLiteral("gateway")].toString(),
             QStringLiteral("192.168.0.1"));
    QCOMPARE(p[QStringLiteral("ethernet")][QStringLiteral("tcpPort")].toInt(), 502);
    QCOMPARE(p[QStringLiteral("deviceName")].toString(), QStringLiteral("gw-north"));
    QCOMPARE(p[QStringLiteral("wifi")][QStringLiteral("ssid")].toString(), QStringLiteral("plant"));
    QCOMPARE(p[QStringLiteral("version")].toString(), QStringLiteral("1.000"));
    QCOMPARE(p[QStringLiteral("loRaWANImageAddress")].toString(), QStringLiteral("0x00080000"));
    QVERIFY(p[QStringLiteral("checksum")][QStringLiteral("valid")].toBool());

    r = cli({QStringLiteral("inspect"), dir.filePath(QStringLiteral("bin/bank2.bin"))});
    QCOMPARE(r.code, 0);
    const QJsonObject l = QJsonDocument::fromJson(r.out).object();
    QCOMPARE(l[QStringLiteral("header")][QStringLiteral("Num_Devices")].toInt(), 1);
    QCOMPARE(l[QStringLiteral("header")][QStringLiteral("Address_DevList")].toString(),
             QStringLiteral("0x00080024"));
    const QJsonObject d = l[QStringLiteral("devices")].toArray().at(0).toObject();
    QCOMPARE(d[QStringLiteral("DevEUI")].toString(), QStringLiteral("0004A30B001C0530"));
    QCOMPARE(d[QStringLiteral("JoinEUI")].toString(), QStringLiteral("70B3D57ED0000001"));
    QCOMPARE(d[QStringLiteral("DevNAME")].toString(), QStringLiteral("meter"));
    QCOMPARE(d[QStringLiteral("AppKey")].toString(), QStringLiteral("00112233445566778899AABBCCDDEEFF"));
    QCOMPARE(d[QStringLiteral("NwkSKey")].toString(), QStringLiteral("0123456789ABCDEF0123456789ABCDEF"));
    QCOMPARE(d[QStringLiteral("DevADDR")].toString(), QStringLiteral("26011BDA"));
    QCOMPARE(d[QStringLiteral("class")].toString(), QStringLiteral("C"));
    QCOMPARE(d[QStringLiteral("activation")].toString(), QStringLiteral("OTAA"));
    QCOMPARE(d[QStringLiteral("timeout")].toInt(), 60000);
    QCOMPARE(d[QStringLiteral("DL_settings")].toInt(), 3);
    const QJsonArray rules = l[QStringLiteral("rules")].toArray();
    QCOMPARE(rules.size(), 2);
    QCOMPARE(rules[0][QStringLiteral("data_test")].toString(), QStringLiteral("0A1B"));
    QCOMPARE(rules[0][QStringLiteral("byte_offset_memory")].toInt(), 100);
    QCOMPARE(rules[1][QStringLiteral("direction")].toString(), QStringLiteral("downlink"));
    QVERIFY(rules[1][QStringLiteral("on_timer")].toBool());
    QCOMPARE(rules[1][QStringLiteral("time_poll")].toInt(), 5000);
    QVERIFY(l[QStringLiteral("forwarderText")].toString().contains(QStringLiteral("\"serv_port_up\": 1780")));
}

void TestCompilerCli::brokenInputsFailCleanly_data()
{
    QTest::addColumn<QByteArray>("loRaWAN");
    QTest::addColumn<bool>("missingFolder");
    QTest::newRow("no folder") << QByteArray() << true;
    QTest::newRow("not xml") << QByteArray("<LoRaWAN_Gateway><LoRaWAN_Devices_List>") << false;
    QTest::newRow("missing required attribute")
        << QByteArray(
               "<LoRaWAN_Gateway><LoRaWAN_Devices_List><LoRaWAN_Device Enable=\"Y\"/></LoRaWAN_Devices_List>"
               "</LoRaWAN_Gateway>")
        << false;
}

void TestCompilerCli::brokenInputsFailCleanly()
{
    QFETCH(QByteArray, loRaWAN);
    QFETCH(bool, missingFolder);
    QTemporaryDir dir;
    const QString folder = missingFolder ? dir.filePath(QStringLiteral("nowhere")) : dir.path();
    if (!missingFolder)
        writeFile(dir.filePath(QStringLiteral("LoRaWAN_Gateway.xml")), loRaWAN);
    const Run r = cli({QStringLiteral("compile"), folder});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.startsWith("zuvurazaru-cli: "));
    QVERIFY(r.out.isEmpty());
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("bin/bank1.bin"))));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("bin/bank2.bin"))));
}

void TestCompilerCli::inspectRefusesDamagedImages_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<int>("cut"); // bytes kept; -1: flip a byte instead
    QTest::newRow("bank1 short") << "bank1" << 2000;
    QTest::newRow("bank1 checksum") << "bank1" << -1;
    QTest::newRow("bank2 header only") << "bank2" << 20;
    QTest::newRow("bank2 truncated devices") << "bank2" << 100;
    QTest::newRow("bank2 no final zero") << "bank2" << -2;
    QTest::newRow("empty") << "bank2" << 0;
}

void TestCompilerCli::inspectRefusesDamagedImages()
{
    QFETCH(QString, which);
    QFETCH(int, cut);
    QTemporaryDir dir;
    makeConfiguration(dir.path());
    QCOMPARE(cli({QStringLiteral("compile"), dir.path()}).code, 0);
    QByteArray image = readFile(dir.filePath(QStringLiteral("bin/%1.bin").arg(which)));
    if (cut >= 0)
        image.truncate(cut);
    else if (cut == -1)
        image[0x100] = char(image[0x100] ^ 0x5A);
    else
        image.chop(1);
    const QString damaged = dir.filePath(QStringLiteral("damaged.bin"));
    writeFile(damaged, image);
    const Run r = cli({QStringLiteral("inspect"), damaged});
    QCOMPARE(r.code, 1);
    QVERIFY2(!r.err.isEmpty(), r.err.constData());
}

QTEST_GUILESS_MAIN(TestCompilerCli)
#include "tst_compiler_cli.moc"
