#include "compiler/ParGenKeys.h"
#include "compiler/ParameterImage.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Bytes expected at one offset, on top of a base image.
struct Patch
{
    int at;
    QByteArray bytes;
};
using Patches = QList<Patch>;

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

void place(QByteArray& image, int at, const QByteArray& bytes)
{
    image.replace(at, bytes.size(), bytes);
}

// The record after the reset, written byte by byte: no checksum yet.
QByteArray resetImage()
{
    QByteArray e(2048, '\0');
    place(e, 0x000, hex("90d00300")); // 250000
    place(e, 0x004, hex("90d00300"));
    place(e, 0x00C, hex("80250000")); // 9600
    place(e, 0x028, hex("c0a802cd")); // 192.168.2.205
    place(e, 0x02C, hex("ffffff00"));
    place(e, 0x030, hex("ffffffff"));
    place(e, 0x034, hex("1027")); // 10000
    place(e, 0x036, hex("1127")); // 10001
    place(e, 0x038, hex("1127"));
    place(e, 0x1B4, hex("0808080808080808"));
    return e;
}

// The record compiled from a ParGen.xml holding none of the keys: no checksum yet.
QByteArray defaultsImage()
{
    QByteArray e = resetImage();
    place(e, 0x028, hex("c0a8000a")); // 192.168.0.10
    place(e, 0x4EC, hex("c0a800c8")); // 192.168.0.200
    place(e, 0x4F0, hex("ffffff00"));
    place(e, 0x4F4, hex("80510100")); // 86400
    place(e, 0x4F8, hex("0a"));
    place(e, 0x4FA, hex("01"));
    place(e, 0x4FC, hex("c0a80064")); // 192.168.0.100
    place(e, 0x500, hex("ffffff00"));
    place(e, 0x504, hex("ffffffff"));
    place(e, 0x66C, hex("312e303030000000")); // "1.000"
    place(e, 0x674, hex("00000800"));         // 0x80000
    return e;
}

quint32 byteSum(const QByteArray& image)
{
    quint32 sum = 0;
    for (int i = 0; i < 0x7FC; ++i)
        sum += quint8(image[i]);
    return sum;
}

quint32 storedChecksum(const QByteArray& image)
{
    return quint32(quint8(image[0x7FC])) | quint32(quint8(image[0x7FD])) << 8 |
           quint32(quint8(image[0x7FE])) << 16 | quint32(quint8(image[0x7FF])) << 24;
}

QByteArray withChecksum(QByteArray image)
{
    const quint32 sum = byteSum(image);
    for (int i = 0; i < 4; ++i)
        image[0x7FC + i] = char((sum >> (8 * i)) & 0xFF);
    return image;
}

// The compile sequence around the parameter image.
QByteArray compile(const ParGenKeys& keys)
{
    ParameterImage image;
    image.Reset_Parameter_Image();
    image.readParameters(keys);
    image.setLoRaWANAddress(0x80000);
    return image.Serialize_Parameter_Image();
}

ParGenKeys parse(const QByteArray& body)
{
    QString error;
    const ParGenKeys keys = ParGenKeys::parse("<Par_Gen>" + body + "</Par_Gen>", &error);
    if (!error.isEmpty())
        qWarning("fixture does not parse: %s", qPrintable(error));
    return keys;
}

// Every differing byte, so a failure shows where the image went wrong.
QString differences(const QByteArray& actual, const QByteArray& expected)
{
    if (actual.size() != expected.size())
        return u"size %1, expected %2"_s.arg(actual.size()).arg(expected.size());
    QStringList out;
    for (int i = 0; i < actual.size() && out.size() < 24; ++i)
        if (actual[i] != expected[i])
            out << u"0x%1: %2 (expected %3)"_s.arg(i, 3, 16, QChar(u'0'))
                       .arg(quint8(actual[i]), 2, 16, QChar(u'0'))
                       .arg(quint8(expected[i]), 2, 16, QChar(u'0'));
    return out.join(u"; "_s);
}

#define COMPARE_IMAGE(actual, expected)                                                                      \
    do {                                                                                                     \
        const QString diff = differences(actual, expected);                                                  \
        QVERIFY2(diff.isEmpty(), qPrintable(diff));                                                          \
    } while (false)

} // namespace

Q_DECLARE_METATYPE(Patches)

class TestParameterImage : public QObject
{
    Q_OBJECT

private slots:
    void withoutParGen();
    void noneOfTheKeys();
    void keys_data();
    void keys();
    void resetClearsEverything();
    void checksum_data();
    void checksum();
};

void TestParameterImage::withoutParGen()
{
    const ParGenKeys none;
    QVERIFY(!none.exists());
    QByteArray expected = resetImage();
    place(expected, 0x674, hex("00000800"));
    COMPARE_IMAGE(compile(none), withChecksum(expected));
}

void TestParameterImage::noneOfTheKeys()
{
    const QByteArray image = compile(parse(QByteArray()));
    COMPARE_IMAGE(image, withChecksum(defaultsImage()));
    QCOMPARE(image.size(), 2048);
}

void TestParameterImage::keys_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<Patches>("patches");

    // Addresses: each byte its own key and default; gateways only when enabled.
    QTest::newRow("Ethernet address and mask")
        << "<Ethernet_IP1>10</Ethernet_IP1><Ethernet_IP3>7</Ethernet_IP3><Ethernet_SM4>128</Ethernet_SM4>"_ba
        << Patches{{0x028, hex("0aa8070a")}, {0x02C, hex("ffffff80")}};
    QTest::newRow("Ethernet gateway enabled, its keys missing")
        << "<Ethernet_EN_GAT>1</Ethernet_EN_GAT>"_ba << Patches{{0x030, hex("c0a80001")}};
    QTest::newRow("Ethernet gateway enabled with keys")
        << "<Ethernet_EN_GAT>1</Ethernet_EN_GAT><Ethernet_GAT1>10</Ethernet_GAT1><Ethernet_GAT4>254</Ethernet_GAT4>"_ba
        << Patches{{0x030, hex("0aa800fe")}};
    QTest::newRow("Ethernet gateway keys, not enabled")
        << "<Ethernet_GAT1>10</Ethernet_GAT1><Ethernet_GAT4>254</Ethernet_GAT4>"_ba << Patches{};
    QTest::newRow("Ethernet gateway enable ' 1'")
        << "<Ethernet_EN_GAT> 1</Ethernet_EN_GAT><Ethernet_GAT1>10</Ethernet_GAT1>"_ba << Patches{};
    QTest::newRow("Wi-Fi gateway enabled, its keys missing")
        << "<WiFi_EN_Gateway>1</WiFi_EN_Gateway>"_ba << Patches{{0x504, hex("c0a80001")}};
    QTest::newRow("Wi-Fi gateway enable 'true'")
        << "<WiFi_EN_Gateway>true</WiFi_EN_Gateway><WiFi_GAT1>10</WiFi_GAT1>"_ba << Patches{};
    QTest::newRow("Wi-Fi address and mask")
        << "<WiFi_IP1>172</WiFi_IP1><WiFi_IP2>16</WiFi_IP2><WiFi_SM3>0</WiFi_SM3>"_ba
        << Patches{{0x4FC, hex("ac100064")}, {0x500, hex("ffff0000")}};

    // DNS: only with the enable exactly "1"; primary default 8.8.8.8, secondary 8.8.4.4.
    QTest::newRow("DNS enabled, keys missing") << "<Eth_Conn_Enable_DNS>1</Eth_Conn_Enable_DNS>"_ba
                                               << Patches{{0x58C, hex("08080808")}, {0x53C, hex("08080404")}};
    QTest::newRow("DNS enabled with some keys")
        << "<Eth_Conn_Enable_DNS>1</Eth_Conn_Enable_DNS><Eth_Conn_Primary_DNS1>1</Eth_Conn_Primary_DNS1>"
           "<Eth_Conn_Primary_DNS4>9</Eth_Conn_Primary_DNS4><Eth_Conn_Secondary_DNS3>1</Eth_Conn_Secondary_DNS3>"_ba
        << Patches{{0x58C, hex("01080809")}, {0x53C, hex("08080104")}};
    QTest::newRow("DNS enable ' 1'")
        << "<Eth_Conn_Enable_DNS> 1</Eth_Conn_Enable_DNS><Eth_Conn_Primary_DNS1>1</Eth_Conn_Primary_DNS1>"_ba
        << Patches{};
    QTest::newRow("DNS enable 'true'") << "<Eth_Conn_Enable_DNS>true</Eth_Conn_Enable_DNS>"_ba << Patches{};

    // DHCP flag word.
    QTest::newRow("DHCP cable") << "<Eth_Conn_DHCP_Cable>1</Eth_Conn_DHCP_Cable>"_ba
                                << Patches{{0x4E8, hex("0100")}};
    QTest::newRow("DHCP Wi-Fi") << "<Eth_Conn_DHCP_WiFi>1</Eth_Conn_DHCP_WiFi>"_ba
                                << Patches{{0x4E8, hex("0200")}};
    QTest::newRow("DHCP both")
        << "<Eth_Conn_DHCP_Cable>1</Eth_Conn_DHCP_Cable><Eth_Conn_DHCP_WiFi>1</Eth_Conn_DHCP_WiFi>"_ba
        << Patches{{0x4E8, hex("0300")}};
    QTest::newRow("DHCP flags not exactly 1")
        << "<Eth_Conn_DHCP_Cable>1 </Eth_Conn_DHCP_Cable><Eth_Conn_DHCP_WiFi>2</Eth_Conn_DHCP_WiFi>"_ba
        << Patches{};

    // Ports.
    QTest::newRow("ports")
        << "<Ethernet_TCP_Port>502</Ethernet_TCP_Port><Ethernet_UDP_Port>65535</Ethernet_UDP_Port>"_ba
        << Patches{{0x036, hex("f601")}, {0x038, hex("ffff")}};

    // Access-point rows.
    QTest::newRow("access point settings")
        << "<WiFi_Secure_Type>4</WiFi_Secure_Type><WiFi_EN_DHCP>1</WiFi_EN_DHCP>"
           "<WiFi_DHCP_First_IP1>10</WiFi_DHCP_First_IP1><WiFi_DHCP_First_IP4>50</WiFi_DHCP_First_IP4>"
           "<WiFi_DHCP_SM4>128</WiFi_DHCP_SM4><WiFi_Lease_Time>3600</WiFi_Lease_Time>"
           "<WiFi_Max_Client>4</WiFi_Max_Client><WiFi_Channel>11</WiFi_Channel>"_ba
        << Patches{{0x4EA, hex("0104")},     {0x4EC, hex("0aa80032")}, {0x4F0, hex("ffffff80")},
                   {0x4F4, hex("100e0000")}, {0x4F8, hex("05")},       {0x4FA, hex("0b00")}};
    QTest::newRow("channel 0 is automatic")
        << "<WiFi_Channel>0</WiFi_Channel>"_ba << Patches{{0x4FA, hex("0001")}};
    QTest::newRow("channel 256 keeps 0, automatic")
        << "<WiFi_Channel>256</WiFi_Channel>"_ba << Patches{{0x4FA, hex("0001")}};
    QTest::newRow("maximum clients not a number")
        << "<WiFi_Max_Client>many</WiFi_Max_Client>"_ba << Patches{};
    QTest::newRow("maximum clients 255 plus one")
        << "<WiFi_Max_Client>255</WiFi_Max_Client>"_ba << Patches{{0x4F8, hex("00")}};
    const QByteArray accessPointKeys =
        "<WiFi_Secure_Type>4</WiFi_Secure_Type><WiFi_EN_DHCP>1</WiFi_EN_DHCP><WiFi_Lease_Time>3600</"
        "WiFi_Lease_Time>"
        "<WiFi_DHCP_First_IP1>10</WiFi_DHCP_First_IP1><WiFi_DHCP_SM1>1</WiFi_DHCP_SM1>"
        "<WiFi_Max_Client>4</WiFi_Max_Client><WiFi_Channel>0</WiFi_Channel>";
    // Not an access point: those rows stay 0, the rest of the Wi-Fi block is still written.
    const Patches station{{0x4EA, QByteArray(15, '\0')}, {0x4FA, hex("0000")}};
    QTest::newRow("Wi-Fi type 1") << "<WiFi_Type>1</WiFi_Type><WiFi_IP4>7</WiFi_IP4>"_ba + accessPointKeys
                                  << (Patches(station)
                                      << Patch{0x4F9, hex("01")} << Patch{0x4FC, hex("c0a80007")});
    QTest::newRow("Wi-Fi type 257 keeps 1")
        << "<WiFi_Type>257</WiFi_Type>"_ba + accessPointKeys << (Patches(station) << Patch{0x4F9, hex("01")});
    QTest::newRow("Wi-Fi type 256 keeps 0, access point")
        << "<WiFi_Type>256</WiFi_Type><WiFi_Channel>0</WiFi_Channel>"_ba << Patches{{0x4FA, hex("0001")}};
    QTest::newRow("Wi-Fi type not a number") << "<WiFi_Type>AP</WiFi_Type>"_ba << Patches{};

    // Numbers: low bits kept; text that is not decimal takes the default.
    QTest::newRow("octet 300 keeps 44")
        << "<Ethernet_IP1>300</Ethernet_IP1>"_ba << Patches{{0x028, hex("2c")}};
    QTest::newRow("port 70000 keeps 4464")
        << "<Ethernet_TCP_Port>70000</Ethernet_TCP_Port>"_ba << Patches{{0x036, hex("7011")}};
    QTest::newRow("lease 2^32 + 5 keeps 5")
        << "<WiFi_Lease_Time>4294967301</WiFi_Lease_Time>"_ba << Patches{{0x4F4, hex("05000000")}};
    QTest::newRow("not decimal gives the default")
        << "<Ethernet_IP1>-1</Ethernet_IP1><Ethernet_IP2>0x10</Ethernet_IP2><Ethernet_IP3>1.5</Ethernet_IP3>"
           "<Ethernet_IP4></Ethernet_IP4><Ethernet_UDP_Port>port</Ethernet_UDP_Port>"_ba
        << Patches{};

    // Texts.
    const QByteArray forty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd";
    QTest::newRow("device name of 40 characters keeps 31")
        << "<Eth_Conn_Device_Name>" + forty + "</Eth_Conn_Device_Name>" << Patches{{0x514, forty.left(31)}};
    QTest::newRow("device name, low 8 bits of each character")
        << "<Eth_Conn_Device_Name>G\xc3\xa9\xc5\x81</Eth_Conn_Device_Name>"_ba // "Gé" + U+0141
        << Patches{{0x514, hex("47e941")}};
    QTest::newRow("SSID of 40 characters fills 32 bytes")
        << "<WiFi_SSID>" + forty + "</WiFi_SSID>" << Patches{{0x47C, forty.left(32)}};
    QTest::newRow("SSID of 32 and password of 64, no terminator")
        << "<WiFi_SSID>" + QByteArray(32, 's') + "</WiFi_SSID><WiFi_PWD>" + QByteArray(64, 'p') +
               "</WiFi_PWD>"
        << Patches{{0x47C, QByteArray(32, 's') + QByteArray(64, 'p')}};
    QTest::newRow("password of 70 characters fills 64 bytes")
        << "<WiFi_PWD>" + QByteArray(70, 'p') + "</WiFi_PWD><Eth_Conn_DHCP_Cable>1</Eth_Conn_DHCP_Cable>"
        << Patches{{0x49C, QByteArray(64, 'p')}, {0x4E8, hex("0100")}};
    QTest::newRow("short SSID and password") << "<WiFi_SSID>home</WiFi_SSID><WiFi_PWD>secret</WiFi_PWD>"_ba
                                             << Patches{{0x47C, "home"_ba}, {0x49C, "secret"_ba}};
}

void TestParameterImage::keys()
{
    QFETCH(QByteArray, body);
    QFETCH(Patches, patches);
    QByteArray expected = defaultsImage();
    for (const Patch& p : patches)
        place(expected, p.at, p.bytes);
    COMPARE_IMAGE(compile(parse(body)), withChecksum(expected));
}

void TestParameterImage::resetClearsEverything()
{
    ParameterImage image;
    COMPARE_IMAGE(image.buffer().bytes(), resetImage());

    image.readParameters(parse("<Eth_Conn_Device_Name>box</Eth_Conn_Device_Name><WiFi_SSID>net</WiFi_SSID>"
                               "<Eth_Conn_Enable_DNS>1</Eth_Conn_Enable_DNS>"_ba));
    image.setLoRaWANAddress(0x80000);
    image.Serialize_Parameter_Image();
    image.Reset_Parameter_Image();
    COMPARE_IMAGE(image.buffer().bytes(), resetImage());
}

void TestParameterImage::checksum_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<qint64>("change");

    QTest::newRow("one byte up") << "<Ethernet_IP4>10</Ethernet_IP4>"_ba
                                 << "<Ethernet_IP4>200</Ethernet_IP4>"_ba << qint64(190);
    QTest::newRow("one byte down") << "<WiFi_SSID>B</WiFi_SSID>"_ba
                                   << "<WiFi_SSID>A</WiFi_SSID>"_ba << qint64(-1);
    QTest::newRow("gateway enabled") << QByteArray() << "<Ethernet_EN_GAT>1</Ethernet_EN_GAT>"_ba
                                     << qint64(192 + 168 + 0 + 1 - 4 * 255);
    QTest::newRow("u32 field, second byte")
        << QByteArray() << "<WiFi_Lease_Time>86656</WiFi_Lease_Time>"_ba << qint64(1); // 86400 + 256
    QTest::newRow("last byte of a field")
        << "<WiFi_PWD>" + QByteArray(63, 'a') + "</WiFi_PWD>"
        << "<WiFi_PWD>" + QByteArray(63, 'a') + "z</WiFi_PWD>" << qint64('z');
}

void TestParameterImage::checksum()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(qint64, change);

    const QByteArray a = compile(parse(before));
    const QByteArray b = compile(parse(after));
    QCOMPARE(storedChecksum(a), byteSum(a));
    QCOMPARE(storedChecksum(b), byteSum(b));
    QCOMPARE(quint32(storedChecksum(b) - storedChecksum(a)), quint32(change));

    // The checksum field is not part of its own sum: serializing again gives the same bytes.
    ParameterImage image;
    image.readParameters(parse(after));
    image.setLoRaWANAddress(0x80000);
    const QByteArray first = image.Serialize_Parameter_Image();
    QCOMPARE(image.Serialize_Parameter_Image(), first);
    QCOMPARE(first, b);
}

QTEST_GUILESS_MAIN(TestParameterImage)
#include "tst_parameter_image.moc"
