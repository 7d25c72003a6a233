// The boot protocol's packets, the job reader, and whole updates: the real
// updater, started without parameters from a program folder of its own, sends
// a compiled configuration and a firmware file to the simulated gateway on
// 127.0.0.1.
#include "TestFiles.h"
#include "compiler/Compiler.h"
#include "lorawan/LoRaWANDocument.h"
#include "params/ParGenDocument.h"
#include "update/BootProtocol.h"
#include "update/UpdateJobReader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamWriter>

using namespace BootProtocol;

namespace {

// ---- packets ---------------------------------------------------------------

QList<Packet> samplePackets()
{
    return {
        enterBoot(0),
        beginRegion(7, 0x00008000, 307200),
        writeBlock(0xFFFFFFFF, 0x00080000, QByteArray(MaxBlock, '\x5A')),
        writeBlock(1, 0xFFFFFFFF, QByteArray(1, '\0')),
        endRegion(42, 0x07000, 0xCBF43926),
        readRequest(43, 0x07000, 1024),
        readResponse(43, 0x07000, QByteArray("\x01\x02\x03", 3)),
        goToApplication(99),
        ack(5, Type::WriteBlock),
        nak(6, Type::EndRegion, Status::ChecksumMismatch),
    };
}

void putU32(QByteArray& b, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

// A packet with the given fields and a correct length and CRC, whatever the fields say.
QByteArray frame(quint8 version, quint8 type, const QByteArray& payload, qsizetype lengthField = -1)
{
    QByteArray b("ZB");
    b.append(char(version));
    b.append(char(type));
    b.append(QByteArray("\x01\x00\x00\x00", 4));
    const qsizetype n = lengthField < 0 ? payload.size() : lengthField;
    b.append(char(n & 0xFF));
    b.append(char((n >> 8) & 0xFF));
    b.append(payload);
    b.append(QByteArray(4, '\0'));
    putU32(b, b.size() - 4, crc32(b.constData(), b.size() - 4));
    return b;
}

QByteArray withCrc(QByteArray b)
{
    putU32(b, b.size() - 4, crc32(b.constData(), b.size() - 4));
    return b;
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    putU32(b, 0, v);
    return b;
}

// ---- jobs ------------------------------------------------------------------

struct JobOperation
{
    QString fileName;
    QString start;
    QString bankType;
    bool readBack = true;
    bool goToAppAfter = false;
};

struct JobPlan
{
    QString address = QStringLiteral("127.0.0.1");
    int applicationPort = 10000;
    int bootPort = 2008;
    QList<JobOperation> operations;
};

// Ethernet_Update.xml as the update window writes it: every element in its order.
QByteArray jobXml(const JobPlan& plan)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("Ethernet_Update"));
    w.writeTextElement(QStringLiteral("Version"), QStringLiteral("1000"));
    w.writeTextElement(QStringLiteral("Title"), QStringLiteral("Quorvex - SWQX410 Ethernet Update"));
    w.writeTextElement(QStringLiteral("IP_Address_Dev"), plan.address);
    w.writeTextElement(QStringLiteral("Application_Port"), QString::number(plan.applicationPort));
    w.writeTextElement(QStringLiteral("Boot_Port"), QString::number(plan.bootPort));
    w.writeTextElement(QStringLiteral("Boot_Port_Sec"), QStringLiteral("2007"));
    w.writeTextElement(QStringLiteral("Address_Protection"), QStringLiteral("0x07800"));
    w.writeStartElement(QStringLiteral("Protections"));
    w.writeTextElement(QStringLiteral("Protection"), QStringLiteral("0x457"));
    w.writeEndElement();
    w.writeStartElement(QStringLiteral("Operations"));
    for (const JobOperation& op : plan.operations) {
        const bool firmware = op.bankType == QLatin1String("1");
        const QList<QPair<QString, QString>> fields = {
            {QStringLiteral("Ope_Protection_Enabled"), QString()},
            {QStringLiteral("Ope_GoToBoot_Before"), QStringLiteral("0")},
            {QStringLiteral("Ope_GoToApp_Before"), QStringLiteral("0")},
            {QStringLiteral("Ope_IP_Address"), QString()},
            {QStringLiteral("Ope_Port"), QStringLiteral("2008")},
            {QStringLiteral("Ope_Port_Sec"), QStringLiteral("2007")},
            {QStringLiteral("Ope_Erase_Memory"), QStringLiteral("0")},
            {QStringLiteral("Ope_FileName"), op.fileName},
            {QStringLiteral("Ope_Start_Address"), op.start},
            {QStringLiteral("Ope_Memory_Type"), QStringLiteral("0")},
            {QStringLiteral("Ope_Bank_Type"), op.bankType},
            {QStringLiteral("Ope_Read_Back"), op.readBack ? QStringLiteral("1") : QStringLiteral("0")},
            {QStringLiteral("Ope_Write_CSS"), firmware ? QStringLiteral("1") : QStringLiteral("0")},
            {QStringLiteral("Ope_Address_CSS"), QStringLiteral("0x07A00")},
            {QStringLiteral("Ope_Command_CSS"), QStringLiteral("0x02")},
            {QStringLiteral("Ope_Write_Internal_Data"), QStringLiteral("0")},
            {QStringLiteral("Ope_WID_Address"), QStringLiteral("0x07810")},
            {QStringLiteral("Ope_WID_Command"), QStringLiteral("0x02")},
            {QStringLiteral("Ope_WID_Data"), QStringLiteral("0x00, 0x00, 0x00, 0x01")},
            {QStringLiteral("Ope_GoToApp_After"),
             op.goToAppAfter ? QStringLiteral("1") : QStringLiteral("0")},
        };
        w.writeStartElement(QStringLiteral("Operation"));
        for (const auto& [name, text] : fields)
            w.writeTextElement(name, text);
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

// The configuration part of a job: parameter image, then LoRaWAN image.
JobPlan configurationJob()
{
    JobPlan plan;
    plan.operations = {
        {QStringLiteral("/cfg/bin/bank1.bin"), QStringLiteral("0x07000"), QStringLiteral("2"), true, false},
        {QStringLiteral("/cfg/bin/bank2.bin"), QStringLiteral("0x80000"), QStringLiteral("2"), true, true},
    };
    return plan;
}

// ---- whole updates -----------------------------------------------------------

// A configuration as the editors write it.
void makeConfiguration(const QString& folder)
{
    ParGenValues v;
    v.Eth_Conn_Device_Name = QStringLiteral("gw-north");
    v.Ethernet_IP = parGenOctets(u"10", u"1", u"2", u"3");
    v.WiFi_SSID = QStringLiteral("plant");
    QVERIFY(ParGenDocument::save(QDir(folder).filePath(QStringLiteral("ParGen.xml")), v).isEmpty());

    QList<TDeviceLoRa> devices;
    for (int i = 0; i < 3; ++i) {
        TDeviceLoRa d;
        d.DeviceEUI = QStringLiteral("0004A30B001C053%1").arg(i);
        d.JoinEUI = QStringLiteral("70B3D57ED0000001");
        d.DeviceName = QStringLiteral("meter %1").arg(i);
        d.ActMethod = LoRaWAN::OTAA;
        d.AppKey = QStringLiteral("00112233445566778899AABBCCDDEEFF");
        d.NetSessKey = QStringLiteral("0123456789ABCDEF0123456789ABCDEF");
        d.AppSessKey = QStringLiteral("FEDCBA9876543210FEDCBA9876543210");
        d.DevAdd = QStringLiteral("26011BD%1").arg(i);
        d.ClassLoRa = QStringLiteral("C");
        d.DiagTimeOut = QStringLiteral("60000");
        TRuleLoRa up;
        up.Port = QStringLiteral("2");
        up.StartTest = QStringLiteral("0");
        up.LenTest = QStringLiteral("2");
        up.HexTest = true;
        up.ValueTest = QStringLiteral("0A1B");
        up.StartBit = QStringLiteral("2");
        up.NumBits = QStringLiteral("4");
        up.PosBit = QString::number(100 + i);
        d.UpLinkRules.append(up);
        devices.append(d);
    }
    QVERIFY(LoRaWANDocument::save(QDir(folder).filePath(QStringLiteral("LoRaWAN_Gateway.xml")), devices)
                .isEmpty());
}

struct Outcome
{
    int exitCode = -1;
    qint64 ms = 0;
    QString err;
    QString log;
    QString sim;
    int simExit = -1;
    bool simStopped = false; // it did not end by itself
};

} // namespace

class TestUpdateE2E : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void crcOfTheCheckString();
    void wireLayout();
    void packetRoundTrip();
    void everyTruncationRejected();
    void everyBitFlipRejected();
    void invalidFieldsRejected_data();
    void invalidFieldsRejected();
    void encodeRefusesWhatParseRefuses();
    void acceptedPacketsAreCanonical();

    void readsAJob();
    void brokenJobs_data();
    void brokenJobs();
    void jobFiles();

    void transferVerified_data();
    void transferVerified();
    void failures_data();
    void failures();
    void simulatorRefusesBadOptions_data();
    void simulatorRefusesBadOptions();

private:
    void update(const QStringList& simArgs, const std::function<QByteArray(int, int)>& job,
                const QString& store, Outcome* o);

    QTemporaryDir m_work;
    QString m_config;
    QString m_firmware;
};

void TestUpdateE2E::initTestCase()
{
    QVERIFY(m_work.isValid());
    m_config = m_work.filePath(QStringLiteral("PROJECTS/North"));
    QVERIFY(QDir().mkpath(m_config));
    makeConfiguration(m_config);
    const CompileResult compiled = Compile_Configuration(m_config);
    QVERIFY2(compiled.error.isEmpty(), qPrintable(compiled.error));
    QCOMPARE(Write_Images(m_config, compiled), QString());

    QVERIFY(QDir().mkpath(m_work.filePath(QStringLiteral("MASTER"))));
    m_firmware = m_work.filePath(QStringLiteral("MASTER/SimQX410.sim"));
    QByteArray firmware(300 * 1024 + 17, '\0'); // not a whole number of blocks
    QRandomGenerator random(410);
    for (char& c : firmware)
        c = char(random.bounded(256));
    writeFile(m_firmware, firmware);
}

void TestUpdateE2E::crcOfTheCheckString()
{
    QCOMPARE(crc32(QByteArrayLiteral("123456789")), 0xCBF43926u);
    // Continuing over pieces gives the CRC of the whole.
    QCOMPARE(crc32("6789", 4, crc32("12345", 5)), 0xCBF43926u);
}

void TestUpdateE2E::wireLayout()
{
    const QByteArray b = encode(writeBlock(0x04030201, 0x00080010, QByteArrayLiteral("\xAA\xBB")));
    const QByteArray head = QByteArrayLiteral("ZB\x01\x03"
                                              "\x01\x02\x03\x04"
                                              "\x06\x00"
                                              "\x10\x00\x08\x00"
                                              "\xAA\xBB");
    QCOMPARE(b.left(b.size() - 4).toHex(' '), head.toHex(' '));
    QCOMPARE(b.right(4).toHex(), le32(crc32(head)).toHex());
    QCOMPARE(encode(nak(2, Type::EndRegion, Status::ChecksumMismatch)).mid(10, 2).toHex(),
             QByteArray("0405"));
    QCOMPARE(encode(readRequest(2, 0x7000, 1024)).mid(10, 6).toHex(), QByteArray("007000000004"));
}

void TestUpdateE2E::packetRoundTrip()
{
    for (const Packet& p : samplePackets()) {
        const QByteArray b = encode(p);
        QVERIFY2(!b.isEmpty(), qPrintable(typeName(p.type)));
        QVERIFY(b.size() <= MaxPacketSize);
        const std::optional<Packet> back = parse(b);
        QVERIFY2(back.has_value(), qPrintable(typeName(p.type)));
        QVERIFY2(*back == p, qPrintable(typeName(p.type)));
    }
}

void TestUpdateE2E::everyTruncationRejected()
{
    for (const Packet& p : samplePackets()) {
        const QByteArray b = encode(p);
        for (qsizetype n = 0; n < b.size(); ++n)
            QVERIFY2(!parse(b.left(n)),
                     qPrintable(QStringLiteral("%1 cut to %2").arg(typeName(p.type)).arg(n)));
        QVERIFY(!parse(b + '\0'));
        QVERIFY(!parse(withCrc(b + QByteArray(4, '\0')))); // one more field than the length says
    }
}

void TestUpdateE2E::everyBitFlipRejected()
{
    for (const Packet& p : samplePackets()) {
        const QByteArray b = encode(p);
        for (qsizetype bit = 0; bit < b.size() * 8; ++bit) {
            QByteArray bad = b;
            bad[bit / 8] = char(bad[bit / 8] ^ (1 << (bit % 8)));
            QVERIFY2(!parse(bad), qPrintable(QStringLiteral("%1, bit %2").arg(typeName(p.type)).arg(bit)));
        }
    }
}

void TestUpdateE2E::invalidFieldsRejected_data()
{
    QTest::addColumn<QByteArray>("datagram");
    const QByteArray addr = le32(0x8000);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("header without CRC") << frame(1, 0x01, {}).left(10);
    QTest::newRow("version 2") << frame(2, 0x01, {});
    QTest::newRow("version 0") << frame(0, 0x01, {});
    QTest::newRow("type 0x00") << frame(1, 0x00, {});
    QTest::newRow("type 0x08") << frame(1, 0x08, {});
    QTest::newRow("type 0xFF") << frame(1, 0xFF, {});
    QTest::newRow("bad magic") << withCrc(QByteArray("ZC").append(frame(1, 0x01, {}).mid(2)));
    QTest::newRow("length field one more") << frame(1, 0x02, addr + le32(1), 9);
    QTest::newRow("length field one less") << frame(1, 0x02, addr + le32(1), 7);
    QTest::newRow("length field 0xFFFF") << frame(1, 0x03, addr + "x", 0xFFFF);
    QTest::newRow("enter boot with payload") << frame(1, 0x01, "x");
    QTest::newRow("go to application with payload") << frame(1, 0x07, "x");
    QTest::newRow("begin region of 7 bytes") << frame(1, 0x02, addr + QByteArray(3, '\0'));
    QTest::newRow("begin region of 9 bytes") << frame(1, 0x02, addr + QByteArray(5, '\0'));
    QTest::newRow("end region of 7 bytes") << frame(1, 0x04, addr + QByteArray(3, '\0'));
    QTest::newRow("write block address only") << frame(1, 0x03, addr);
    QTest::newRow("write block short address") << frame(1, 0x03, addr.left(3));
    QTest::newRow("write block 1025 bytes") << frame(1, 0x03, addr + QByteArray(1025, 'x'));
    QTest::newRow("read response without data") << frame(1, 0x06, addr);
    QTest::newRow("read request length 0") << frame(1, 0x05, addr + QByteArray(2, '\0'));
    QTest::newRow("read request length 1025") << frame(1, 0x05, addr + QByteArray("\x01\x04", 2));
    QTest::newRow("read request of 5 bytes") << frame(1, 0x05, addr + QByteArray(1, '\x01'));
    QTest::newRow("ack with a failure status") << frame(1, 0x10, QByteArray("\x03\x05", 2));
    QTest::newRow("nak with status ok") << frame(1, 0x11, QByteArray("\x03\x00", 2));
    QTest::newRow("nak with unknown status") << frame(1, 0x11, QByteArray("\x03\x09", 2));
    QTest::newRow("ack of an ack") << frame(1, 0x10, QByteArray("\x10\x00", 2));
    QTest::newRow("ack of a read response") << frame(1, 0x10, QByteArray("\x06\x00", 2));
    QTest::newRow("ack of an unknown type") << frame(1, 0x10, QByteArray("\x08\x00", 2));
    QTest::newRow("ack of 3 bytes") << frame(1, 0x10, QByteArray("\x03\x00\x00", 3));
    QTest::newRow("ack of 1 byte") << frame(1, 0x10, QByteArray("\x03", 1));
}

void TestUpdateE2E::invalidFieldsRejected()
{
    QFETCH(QByteArray, datagram);
    QVERIFY(!parse(datagram));
}

void TestUpdateE2E::encodeRefusesWhatParseRefuses()
{
    QVERIFY(encode(writeBlock(1, 0, {})).isEmpty());
    QVERIFY(encode(writeBlock(1, 0, QByteArray(MaxBlock + 1, 'x'))).isEmpty());
    QVERIFY(encode(readResponse(1, 0, {})).isEmpty());
    QVERIFY(encode(readRequest(1, 0, 0)).isEmpty());
    QVERIFY(encode(readRequest(1, 0, MaxBlock + 1)).isEmpty());
    QVERIFY(encode(ack(1, Type::Ack)).isEmpty());
    QVERIFY(encode(nak(1, Type::WriteBlock, Status::Ok)).isEmpty());
    Packet p = ack(1, Type::WriteBlock);
    p.status = Status::OutOfRange;
    QVERIFY(encode(p).isEmpty());
}

// Random changes to valid packets, with the CRC made right again: whatever the
// parser accepts must encode back to exactly the bytes it was given.
void TestUpdateE2E::acceptedPacketsAreCanonical()
{
    const QList<Packet> samples = samplePackets();
    QRandomGenerator random(2008);
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        QByteArray b = encode(samples[random.bounded(int(samples.size()))]);
        const int edits = 1 + random.bounded(3);
        for (int e = 0; e < edits; ++e) {
            const int kind = random.bounded(4);
            const qsizetype body = b.size() - 4;
            if (kind == 0 && body > 0) // one byte anywhere before the CRC
                b[random.bounded(int(body))] = char(random.bounded(256));
            else if (kind == 1) // the payload length
                b[8] = char(random.bounded(16));
            else if (kind == 2 && body > 10) // cut the payload
                b.remove(10 + random.bounded(int(body - 10)), 1);
            else // grow the payload
                b.insert(10, char(random.bounded(256)));
        }
        b = withCrc(b);
        if (const std::optional<Packet> p = parse(b)) {
            ++accepted;
            QCOMPARE(encode(*p).toHex(), b.toHex());
        }
    }
    QVERIFY(accepted > 100); // the property was exercised, not only refusals
}

void TestUpdateE2E::readsAJob()
{
    JobPlan plan = configurationJob();
    plan.address = QStringLiteral("192.168.2. 205");
    plan.operations.prepend({QStringLiteral("/m/MASTER/SimQX410.sim"), QStringLiteral("0x8000"),
                             QStringLiteral("1"), false, false});
    plan.operations[1].readBack = false;
    plan.operations[2].readBack = false;
    const UpdateJobReader::Result r = UpdateJobReader::read(jobXml(plan));
    QCOMPARE(r.error, QString());
    const UpdateJobReader::Job& job = r.job;
    QCOMPARE(job.version, QStringLiteral("1000"));
    QCOMPARE(job.title, QStringLiteral("Quorvex - SWQX410 Ethernet Update"));
    QCOMPARE(job.deviceAddress, QStringLiteral("192.168.2.205"));
    QCOMPARE(job.applicationPort, quint16(10000));
    QCOMPARE(job.bootPort, quint16(2008));
    QCOMPARE(job.bootPortSec, quint16(2007));
    QCOMPARE(job.addressProtection, QStringLiteral("0x07800"));
    QCOMPARE(job.protections, QStringList{QStringLiteral("0x457")});
    QCOMPARE(job.operations.size(), 3);
    const QList<quint32> starts = {0x8000, 0x7000, 0x80000};
    const QList<int> banks = {1, 2, 2};
    for (int i = 0; i < 3; ++i) {
        const UpdateJobReader::Operation& op = job.operations[i];
        QCOMPARE(op.fileName, plan.operations[i].fileName);
        QCOMPARE(op.startAddress, starts[i]);
        QCOMPARE(op.bankType, banks[i]);
        QCOMPARE(op.readBack, false);
        QCOMPARE(op.goToAppAfter, i == 2);
        QCOMPARE(op.texts.value(QStringLiteral("Ope_Address_CSS")), QStringLiteral("0x07A00"));
        QCOMPARE(op.texts.value(QStringLiteral("Ope_WID_Data")), QStringLiteral("0x00, 0x00, 0x00, 0x01"));
        QVERIFY(op.texts.contains(QStringLiteral("Ope_Protection_Enabled")));
        QVERIFY(!op.texts.contains(QStringLiteral("Ope_FileName")));
    }
    QCOMPARE(job.operations[0].texts.value(QStringLiteral("Ope_Write_CSS")), QStringLiteral("1"));
}

void TestUpdateE2E::brokenJobs_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("error");
    // Values chosen so that every element to break is found once.
    JobPlan plan;
    plan.operations = {
        {QStringLiteral("/m/MASTER/SimQX410.sim"), QStringLiteral("0x8000"), QStringLiteral("1"), true,
         false},
        {QStringLiteral("/cfg/bin/bank2.bin"), QStringLiteral("0x80000"), QStringLiteral("2"), false, true},
    };
    const QByteArray good = jobXml(plan);
    QVERIFY(UpdateJobReader::read(good).error.isEmpty());
    auto row = [&](const char* name, const QByteArray& from, const QByteArray& to, const char* error) {
        QVERIFY2(good.count(from) == 1, name);
        QByteArray xml = good;
        QTest::newRow(name) << xml.replace(from, to) << QString::fromUtf8(error);
    };
    auto element = [](const char* name, const char* text) {
        return QByteArray("<") + name + ">" + text + "</" + name + ">";
    };
    QTest::newRow("not XML") << QByteArray("Boot_Port=2008") << QStringLiteral("not a readable XML document");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("not a readable XML document");
    QTest::newRow("cut short") << good.left(good.size() / 2) << QStringLiteral("not a readable XML document");
    QTest::newRow("trailing garbage") << good + "<x>" << QStringLiteral("not a readable XML document");
    row("other root", "<Ethernet_Update>", "<Serial_Update>", "the root element is Serial_Update");
    row("entity declaration", "<Ethernet_Update>",
        "<!DOCTYPE Ethernet_Update [<!ENTITY ip \"127.0.0.1\">]><Ethernet_Update>", "declares entities");
    row("undeclared entity", "127.0.0.1", "&ip;", "not a readable XML document");
    row("version missing", element("Version", "1000"), "", "Version is missing");
    row("version 2000", element("Version", "1000"), element("Version", "2000"),
        "Version \"2000\" is not supported");
    row("address missing", element("IP_Address_Dev", "127.0.0.1"), "", "IP_Address_Dev is missing");
    row("address abc", "127.0.0.1", "abc", "IP_Address_Dev \"abc\" is not an IPv4 address");
    row("address 256", "127.0.0.1", "256.0.0.1", "is not an IPv4 address");
    row("address of 3 parts", "127.0.0.1", "127.0.1", "is not an IPv4 address");
    row("address of 5 parts", "127.0.0.1", "127.0.0.1.1", "is not an IPv4 address");
    row("address with a sign", "127.0.0.1", "+127.0.0.1", "is not an IPv4 address");
    row("address with an empty part", "127.0.0.1", "127..0.1", "is not an IPv4 address");
    row("address with a leading zero", "127.0.0.1", "127.0.0.010", "is not an IPv4 address");
    row("address holds an element", "127.0.0.1", "<b>127.0.0.1</b>", "IP_Address_Dev holds elements");
    row("boot port missing", element("Boot_Port", "2008"), "", "Boot_Port is missing");
    row("boot port 0", element("Boot_Port", "2008"), element("Boot_Port", "0"),
        "Boot_Port \"0\" is not a port");
    row("boot port 65536", element("Boot_Port", "2008"), element("Boot_Port", "65536"), "is not a port");
    row("boot port -1", element("Boot_Port", "2008"), element("Boot_Port", "-1"), "is not a port");
    row("boot port text", element("Boot_Port", "2008"), element("Boot_Port", "boot"), "is not a port");
    row("boot port twice", element("Boot_Port", "2008"),
        element("Boot_Port", "2008") + element("Boot_Port", "2009"), "Boot_Port appears more than once");
    row("application port missing", element("Application_Port", "10000"), "", "Application_Port is missing");
    row("secondary port text", element("Boot_Port_Sec", "2007"), element("Boot_Port_Sec", "x"),
        "Boot_Port_Sec \"x\" is not a port");
    QTest::newRow("operations missing")
        << QByteArray(good).replace(
               good.mid(good.indexOf("<Operations>"),
                        good.indexOf("</Operations>") + 13 - good.indexOf("<Operations>")),
               "")
        << QStringLiteral("Operations is missing");
    QTest::newRow("no operation") << QByteArray(good).replace(good.mid(good.indexOf("<Operations>"),
                                                                       good.indexOf("</Operations>") + 13 -
                                                                           good.indexOf("<Operations>")),
                                                              "<Operations/>")
                                  << QStringLiteral("Operations holds no Operation");
    row("file name missing", element("Ope_FileName", "/m/MASTER/SimQX410.sim"), "",
        "operation 1: Ope_FileName is missing");
    row("file name empty", element("Ope_FileName", "/cfg/bin/bank2.bin"), element("Ope_FileName", " "),
        "operation 2: Ope_FileName is empty");
    row("file name holds an element", element("Ope_FileName", "/cfg/bin/bank2.bin"),
        element("Ope_FileName", "<x/>"), "operation 2: Ope_FileName holds elements");
    row("start missing", element("Ope_Start_Address", "0x80000"), "",
        "operation 2: Ope_Start_Address is missing");
    row("start without 0x", element("Ope_Start_Address", "0x80000"), element("Ope_Start_Address", "80000"),
        "operation 2: Ope_Start_Address \"80000\" is not a hexadecimal address");
    row("start 0x", element("Ope_Start_Address", "0x80000"), element("Ope_Start_Address", "0x"),
        "is not a hexadecimal address");
    row("start 0x8G", element("Ope_Start_Address", "0x80000"), element("Ope_Start_Address", "0x8G"),
        "is not a hexadecimal address");
    row("start above 32 bits", element("Ope_Start_Address", "0x80000"),
        element("Ope_Start_Address", "0x100000000"), "is not a hexadecimal address");
    row("start negative", element("Ope_Start_Address", "0x80000"), element("Ope_Start_Address", "-0x1"),
        "is not a hexadecimal address");
    row("start twice", element("Ope_Start_Address", "0x80000"),
        element("Ope_Start_Address", "0x80000") + element("Ope_Start_Address", "0x90000"),
        "operation 2: Ope_Start_Address appears more than once");
    row("bank type missing", element("Ope_Bank_Type", "2"), "", "operation 2: Ope_Bank_Type is missing");
    row("bank type text", element("Ope_Bank_Type", "2"), element("Ope_Bank_Type", "two"),
        "operation 2: Ope_Bank_Type \"two\" is not a number");
    row("bank type 256", element("Ope_Bank_Type", "2"), element("Ope_Bank_Type", "256"), "is not a number");
    row("read-back missing", element("Ope_Read_Back", "0"), "", "operation 2: Ope_Read_Back is missing");
    row("read-back 2", element("Ope_Read_Back", "0"), element("Ope_Read_Back", "2"),
        "operation 2: Ope_Read_Back \"2\" is neither");
    row("go-to-application yes", element("Ope_GoToApp_After", "1"), element("Ope_GoToApp_After", "yes"),
        "operation 2: Ope_GoToApp_After \"yes\" is neither");
    row("go-to-application missing", element("Ope_GoToApp_After", "1"), "",
        "operation 2: Ope_GoToApp_After is missing");
    QByteArray many = good;
    const qsizetype from = good.indexOf("<Operation>"), to = good.indexOf("</Operation>") + 12;
    many.insert(to, good.mid(from, to - from).repeated(UpdateJobReader::MaxOperations));
    QTest::newRow("too many operations") << many << QStringLiteral("more than 64 operations");
    QByteArray huge = good;
    huge.insert(huge.indexOf("<Ethernet_Update>"),
                "<!--" + QByteArray(UpdateJobReader::MaxFileSize, '-') + "-->");
    QTest::newRow("too large") << huge << QStringLiteral("more than the 1048576 accepted");
}

void TestUpdateE2E::brokenJobs()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, error);
    const UpdateJobReader::Result r = UpdateJobReader::read(xml);
    QVERIFY2(r.error.contains(error), qPrintable(r.error));
    QVERIFY(r.job.operations.isEmpty());
    QVERIFY(r.job.deviceAddress.isEmpty());
}

void TestUpdateE2E::jobFiles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Ethernet_Update.xml"));
    UpdateJobReader::Result r = UpdateJobReader::load(path);
    QVERIFY2(r.error.contains(QDir::toNativeSeparators(path) + QStringLiteral(": no such job file")),
             qPrintable(r.error));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Ethernet_Update.xml")));
    QVERIFY(UpdateJobReader::load(path).error.contains(QStringLiteral("no such job file")));
    QVERIFY(QDir(dir.path()).rmdir(QStringLiteral("Ethernet_Update.xml")));

    writeFile(path, jobXml(configurationJob()));
    r = UpdateJobReader::load(path);
    QCOMPARE(r.error, QString());
    QCOMPARE(r.job.operations.size(), 2);
    writeFile(path, jobXml(configurationJob()) + QByteArray(UpdateJobReader::MaxFileSize, ' '));
    r = UpdateJobReader::load(path);
    QVERIFY2(r.error.startsWith(QDir::toNativeSeparators(path)) &&
                 r.error.contains(QStringLiteral("more than")),
             qPrintable(r.error));
}

// Starts the simulator on 127.0.0.1 with ports of its own choosing, writes the
// job for them beside a copy of the updater and runs the updater there.
void TestUpdateE2E::update(const QStringList& simArgs, const std::function<QByteArray(int, int)>& job,
                           const QString& store, Outcome* o)
{
    QTemporaryDir program;
    QVERIFY(program.isValid());
    const QString updater = program.filePath(QFileInfo(QStringLiteral(ZV_UPDATER)).fileName());
    QVERIFY(QFile::copy(QStringLiteral(ZV_UPDATER), updater));

    QProcess sim;
    sim.start(QStringLiteral(ZV_SIM),
              QStringList{QStringLiteral("--address"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
                          QStringLiteral("0"), QStringLiteral("--app-port"), QStringLiteral("0"),
                          QStringLiteral("--store"), store, QStringLiteral("--exit-after-app")} +
                  simArgs);
    QVERIFY(sim.waitForStarted(5000));
    const QRegularExpression listening(QStringLiteral("boot port (\\d+), application port (\\d+)"));
    QRegularExpressionMatch m;
    QElapsedTimer wait;
    wait.start();
    while (!m.hasMatch() && wait.elapsed() < 5000 && sim.state() == QProcess::Running) {
        sim.waitForReadyRead(100);
        o->sim += QString::fromLocal8Bit(sim.readAllStandardOutput());
        m = listening.match(o->sim);
    }
    QVERIFY2(m.hasMatch(), qPrintable(o->sim + QString::fromLocal8Bit(sim.readAllStandardError())));

    const QByteArray xml = job(m.captured(1).toInt(), m.captured(2).toInt());
    if (!xml.isNull())
        writeFile(program.filePath(QStringLiteral("Ethernet_Update.xml")), xml);

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(m_work.path()); // the job is found beside the program, not here
    QElapsedTimer t;
    t.start();
    p.start(updater, QStringList());
    QVERIFY(p.waitForStarted(5000));
    const bool ended = p.waitForFinished(60000);
    o->ms = t.elapsed();
    if (!ended)
        p.kill();
    QVERIFY2(ended, "the updater did not end within 60 s");
    o->exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    o->err = QString::fromLocal8Bit(p.readAllStandardError());
    o->log = QString::fromUtf8(readFile(program.filePath(QStringLiteral("Ethernet_Update.log"))));

    // After a finished update the simulator ends by itself; otherwise it is stopped.
    if (!(o->exitCode == 0 && sim.waitForFinished(3000))) {
        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
        o->simStopped = true;
    }
    o->simExit = sim.exitStatus() == QProcess::NormalExit ? sim.exitCode() : -2;
    o->sim += QString::fromLocal8Bit(sim.readAllStandardOutput());
}

void TestUpdateE2E::transferVerified_data()
{
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<bool>("readBack");
    QTest::newRow("clean") << QStringList() << true;
    QTest::newRow("20 % of the packets lost")
        << QStringList{QStringLiteral("--drop"), QStringLiteral("20")} << true;
    QTest::newRow("without read-back") << QStringList() << false;
}

void TestUpdateE2E::transferVerified()
{
    QFETCH(QStringList, simArgs);
    QFETCH(bool, readBack);
    const QString bank1 = QDir(m_config).filePath(QStringLiteral("bin/bank1.bin"));
    const QString bank2 = QDir(m_config).filePath(QStringLiteral("bin/bank2.bin"));
    QTemporaryDir store;
    Outcome o;
    update(
        simArgs,
        [&](int bootPort, int appPort) {
            JobPlan plan;
            plan.bootPort = bootPort;
            plan.applicationPort = appPort;
            plan.operations = {
                {QDir::toNativeSeparators(m_firmware), QStringLiteral("0x8000"), QStringLiteral("1"),
                 readBack, false},
                {QDir::toNativeSeparators(bank1), QStringLiteral("0x07000"), QStringLiteral("2"), readBack,
                 false},
                {QDir::toNativeSeparators(bank2), QStringLiteral("0x80000"), QStringLiteral("2"), readBack,
                 true},
            };
            return jobXml(plan);
        },
        store.path(), &o);
    if (QTest::currentTestFailed())
        return;
    const QString all = o.err + o.log + o.sim;
    QVERIFY2(o.exitCode == 0, qPrintable(all));
    QVERIFY2(o.log.contains(QStringLiteral("result: success")), qPrintable(o.log));
    QVERIFY(o.ms < 30000);

    QCOMPARE(QDir(store.path()).entryList(QDir::Files),
             (QStringList{QStringLiteral("0x00007000.bin"), QStringLiteral("0x00008000.bin"),
                          QStringLiteral("0x00080000.bin")}));
    QVERIFY(readFile(store.filePath(QStringLiteral("0x00008000.bin"))) == readFile(m_firmware));
    QVERIFY(readFile(store.filePath(QStringLiteral("0x00007000.bin"))) == readFile(bank1));
    QVERIFY(readFile(store.filePath(QStringLiteral("0x00080000.bin"))) == readFile(bank2));
    QVERIFY2(o.sim.contains(QStringLiteral("parameter image at 0x00007000: valid")), qPrintable(o.sim));
    QVERIFY2(o.sim.contains(QStringLiteral("LoRaWAN image at 0x00080000: valid, 3 devices, 3 rules")),
             qPrintable(o.sim));
    // The simulator ended by itself: the request to start the application arrived.
    QVERIFY2(!o.simStopped && o.simExit == 0, qPrintable(o.sim));

    QCOMPARE(o.log.contains(QStringLiteral("read back and verified")), readBack);
    QCOMPARE(o.log.contains(QStringLiteral("read back, all equal")), readBack);
    if (simArgs.contains(QStringLiteral("--drop"))) {
        // Losses happened and were made good.
        QVERIFY(o.log.contains(QStringLiteral("retry ")));
        QVERIFY(!o.sim.contains(QStringLiteral(" 0 dropped")));
    }
}

void TestUpdateE2E::failures_data()
{
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<QString>("job");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("maxMs");
    QTest::newRow("silent device") << QStringList{QStringLiteral("--silent")} << QStringLiteral("good") << 2
                                   << QStringLiteral("the device 127.0.0.1 does not answer") << 15000;
    QTest::newRow("read-back differs")
        << QStringList{QStringLiteral("--corrupt-readback")} << QStringLiteral("good") << 2
        << QStringLiteral("read-back of SimQX410.sim differs at 0x00008000") << 10000;
    QTest::newRow("missing file") << QStringList() << QStringLiteral("missing") << 1
                                  << QStringLiteral("Missing.sim: no such file") << 10000;
    QTest::newRow("overlapping regions")
        << QStringList() << QStringLiteral("overlap") << 1
        << QStringLiteral("bank2.bin at 0x00050000 (%1 bytes) overlaps SimQX410.sim at 0x00008000") << 10000;
    QTest::newRow("no job") << QStringList() << QStringLiteral("none") << 1
                            << QStringLiteral("Ethernet_Update.xml: no such job file") << 10000;
    QTest::newRow("broken job") << QStringList() << QStringLiteral("broken") << 1
                                << QStringLiteral("not a readable XML document") << 10000;
}

void TestUpdateE2E::failures()
{
    QFETCH(QStringList, simArgs);
    QFETCH(QString, job);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFETCH(int, maxMs);
    const QString bank2 = QDir(m_config).filePath(QStringLiteral("bin/bank2.bin"));
    if (message.contains(QStringLiteral("%1")))
        message = message.arg(QFileInfo(bank2).size());
    QTemporaryDir store;
    Outcome o;
    update(
        simArgs,
        [&](int bootPort, int appPort) {
            JobPlan plan;
            plan.bootPort = bootPort;
            plan.applicationPort = appPort;
            plan.operations = {
                {QDir::toNativeSeparators(m_firmware), QStringLiteral("0x8000"), QStringLiteral("1"), true,
                 false},
                {QDir::toNativeSeparators(bank2), QStringLiteral("0x80000"), QStringLiteral("2"), true, true},
            };
            if (job == QLatin1String("missing"))
                plan.operations[0].fileName =
                    QDir::toNativeSeparators(m_work.filePath(QStringLiteral("MASTER/Missing.sim")));
            if (job == QLatin1String("overlap"))
                plan.operations[1].start = QStringLiteral("0x50000");
            if (job == QLatin1String("none"))
                return QByteArray();
            if (job == QLatin1String("broken"))
                return QByteArray("<Ethernet_Update><Version>1000</Version><IP_Address_Dev>127.0.0.1");
            return jobXml(plan);
        },
        store.path(), &o);
    if (QTest::currentTestFailed())
        return;
    const QString all = o.err + o.log + o.sim;
    QVERIFY2(o.exitCode == exitCode, qPrintable(QString::number(o.exitCode) + QLatin1Char('\n') + all));
    QVERIFY2(o.ms < maxMs, qPrintable(QString::number(o.ms)));
    QVERIFY2(o.err.contains(message), qPrintable(o.err));
    QVERIFY2(o.log.contains(QStringLiteral("result: failed: ")) && o.log.contains(message),
             qPrintable(o.log));
    QVERIFY(!o.log.contains(QStringLiteral("result: success")));
    // The application was never started on a failed update.
    QVERIFY2(!o.sim.contains(QStringLiteral("starting the application")), qPrintable(o.sim));
    // The simulator stops cleanly when told to.
    QVERIFY(o.simStopped);
    QCOMPARE(o.simExit, 0);
    QVERIFY(o.sim.contains(QStringLiteral("stopped")));
    if (exitCode == 1) {
        // A job that cannot be carried out whole is not started at all.
        QVERIFY2(!o.sim.contains(QStringLiteral("entered the boot loader")), qPrintable(o.sim));
        QVERIFY(QDir(store.path()).isEmpty());
    }
    if (simArgs.contains(QStringLiteral("--silent")))
        QVERIFY(QDir(store.path()).isEmpty());
}

// Nothing is bound or sent for these: the simulator stops at its options.
void TestUpdateE2E::simulatorRefusesBadOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a loopback address")
        << QStringList{QStringLiteral("--address"), QStringLiteral("192.0.2.1")}
        << QStringLiteral("192.0.2.1 is not a loopback address");
    QTest::newRow("any address") << QStringList{QStringLiteral("--address"), QStringLiteral("0.0.0.0")}
                                 << QStringLiteral("0.0.0.0 is not a loopback address");
    QTest::newRow("a name") << QStringList{QStringLiteral("--address"), QStringLiteral("localhost")}
                            << QStringLiteral("localhost is not an IP address");
    QTest::newRow("drop above 100") << QStringList{QStringLiteral("--drop"), QStringLiteral("150")}
                                    << QStringLiteral("--drop 150 is not a share from 0 to 100");
    QTest::newRow("port above 65535") << QStringList{QStringLiteral("--port"), QStringLiteral("70000")}
                                      << QStringLiteral("--port 70000 is not a port number");
}

void TestUpdateE2E::simulatorRefusesBadOptions()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QTemporaryDir store;
    QProcess sim;
    sim.start(QStringLiteral(ZV_SIM), QStringList{QStringLiteral("--store"), store.path()} + args);
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), 2);
    const QString err = QString::fromLocal8Bit(sim.readAllStandardError());
    QVERIFY2(err.contains(message), qPrintable(err));
    QVERIFY(!sim.readAllStandardOutput().contains("listening"));
}

QTEST_GUILESS_MAIN(TestUpdateE2E)
#include "tst_update_e2e.moc"
