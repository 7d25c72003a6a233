#include "common/FamilyChecks.h"
#include "common/SerialPorts.h"
#include "common/ValueHelpers.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace ValueHelpers;
using namespace FamilyChecks;

class TestValueHelpers : public QObject
{
    Q_OBJECT
private slots:
    void splitter_data();
    void splitter();
    void octets_data();
    void octets();
    void addressAndPort_data();
    void addressAndPort();
    void readDecimalBounds();
    void networkInterfaceList();
    void separator_data();
    void separator();
    void decimalText_data();
    void decimalText();
    void opcUaNamesBothWays();
    void opcUaUnknownCodesAndNames();
    void nodeIdentifierText();
    void objectIdentifier_data();
    void objectIdentifier();
    void userName_data();
    void userName();
    void securityLevels_data();
    void securityLevels();
    void busAddress_data();
    void busAddress();
    void noDot();
    void serialDevicesInFolder();
    void serialPortsOfThisMachine();
};

void TestValueHelpers::splitter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QStringList>("parts");
    const auto row = [](const char* name, const QString& text, bool valid, const QStringList& parts) {
        QTest::newRow(name) << text << valid << parts;
    };
    row("plain", u"192.168.2.205"_qs, true, {u"192"_qs, u"168"_qs, u"2"_qs, u"205"_qs});
    row("blanks around parts", u" 10 . 0 .0. 1 "_qs, true, {u"10"_qs, u"0"_qs, u"0"_qs, u"1"_qs});
    row("tabs and control characters", u"\t\x01 1.2.3.4\r\n"_qs, true, {u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs});
    row("lowest", u"0.0.0.0"_qs, true, {u"0"_qs, u"0"_qs, u"0"_qs, u"0"_qs});
    row("highest", u"255.255.255.255"_qs, true, {u"255"_qs, u"255"_qs, u"255"_qs, u"255"_qs});
    row("leading zeros", u"010.001.000.099"_qs, true, {u"010"_qs, u"001"_qs, u"000"_qs, u"099"_qs});
    row("256", u"256.1.1.1"_qs, false, {u"256"_qs, u"1"_qs, u"1"_qs, u"1"_qs});
    row("empty last part", u"1.2.3."_qs, false, {u"1"_qs, u"2"_qs, u"3"_qs, QString()});
    row("letters", u"a.b.c.d"_qs, false, {u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs});
    row("three parts", u"1.2.3"_qs, false, {u"1"_qs, u"2"_qs, QString(), QString()});
    row("five parts", u"1.2.3.4.5"_qs, false, {u"1"_qs, u"2"_qs, u"3"_qs, u"4.5"_qs});
    row("empty", QString(), false, {QString(), QString(), QString(), QString()});
    row("no dot", u"192"_qs, false, {QString(), QString(), QString(), QString()});
    row("blank inside a part", u"1 0.0.0.1"_qs, false, {u"1 0"_qs, u"0"_qs, u"0"_qs, u"1"_qs});
    row("sign", u"+1.-0.0.1"_qs, false, {u"+1"_qs, u"-0"_qs, u"0"_qs, u"1"_qs});
    row("huge part", u"99999999999999999999.0.0.1"_qs, false,
        {u"99999999999999999999"_qs, u"0"_qs, u"0"_qs, u"1"_qs});
    row("non-ASCII digits", u"\u0661.2.3.4"_qs, false, {u"\u0661"_qs, u"2"_qs, u"3"_qs, u"4"_qs});
}

void TestValueHelpers::splitter()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QStringList, parts);
    const DottedAddress a = splitDottedAddress(text);
    QCOMPARE(a.valid, valid);
    QCOMPARE(QStringList(a.parts.begin(), a.parts.end()), parts);
}

using Octets = std::array<quint8, 4>;
Q_DECLARE_METATYPE(Octets)

void TestValueHelpers::octets_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("error");
    QTest::addColumn<Octets>("octets");
    QTest::newRow("plain") << u"192.168.2.205"_qs << false << Octets{192, 168, 2, 205};
    QTest::newRow("extremes") << u"0.255.0.255"_qs << false << Octets{0, 255, 0, 255};
    QTest::newRow("empty") << QString() << true << Octets{0, 0, 0, 0};
    // Every bad part is zeroed on its own; the good ones keep their values.
    QTest::newRow("one bad part") << u"10.300.3.4"_qs << true << Octets{10, 0, 3, 4};
    QTest::newRow("parts are not trimmed") << u"1. 2.3.4"_qs << true << Octets{1, 0, 3, 4};
    QTest::newRow("last part takes the rest") << u"1.2.3.4.5"_qs << true << Octets{1, 2, 3, 0};
    QTest::newRow("too few dots") << u"1.2.3"_qs << true << Octets{1, 2, 3, 0};
    QTest::newRow("no dot") << u"7"_qs << true << Octets{7, 0, 0, 0};
    QTest::newRow("empty parts") << u"..."_qs << true << Octets{0, 0, 0, 0};
    QTest::newRow("letters") << u"1.x.3.y"_qs << true << Octets{1, 0, 3, 0};
}

void TestValueHelpers::octets()
{
    QFETCH(QString, text);
    QFETCH(bool, error);
    QFETCH(Octets, octets);
    const AddressOctets r = addressToOctets(text);
    QCOMPARE(r.error, error);
    QCOMPARE(r.octets, octets);
}

void TestValueHelpers::addressAndPort_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<Octets>("octets");
    QTest::addColumn<int>("port");
    const Octets none{0, 0, 0, 0};
    QTest::newRow("plain") << u"192.168.1.10:47808"_qs << true << Octets{192, 168, 1, 10} << 47808;
    QTest::newRow("blanks around parts") << u" 10 . 0 . 0 . 1 : 80 "_qs << true << Octets{10, 0, 0, 1} << 80;
    QTest::newRow("port limits") << u"0.0.0.0:0"_qs << true << none << 0;
    QTest::newRow("highest port") << u"255.255.255.255:65535"_qs << true << Octets{255, 255, 255, 255}
                                  << 65535;
    QTest::newRow("port too big") << u"1.2.3.4:65536"_qs << false << none << 0;
    QTest::newRow("octet too big") << u"1.2.256.4:80"_qs << false << none << 0;
    QTest::newRow("no port") << u"1.2.3.4"_qs << false << none << 0;
    QTest::newRow("empty port") << u"1.2.3.4:"_qs << false << none << 0;
    QTest::newRow("missing dot") << u"1.2.3:80"_qs << false << none << 0;
    QTest::newRow("five parts") << u"1.2.3.4.5:80"_qs << false << none << 0;
    QTest::newRow("two colons") << u"1.2.3.4:80:81"_qs << false << none << 0;
    QTest::newRow("empty") << QString() << false << none << 0;
}

void TestValueHelpers::addressAndPort()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(Octets, octets);
    QFETCH(int, port);
    const AddressAndPort r = parseAddressAndPort(text);
    QCOMPARE(r.valid, valid);
    QCOMPARE(r.octets, octets);
    QCOMPARE(int(r.port), port);
}

void TestValueHelpers::readDecimalBounds()
{
    QCOMPARE(readDecimal(u"4294967295", 4294967295u), std::optional<quint32>(4294967295u));
    QCOMPARE(readDecimal(u"4294967296", 4294967295u), std::nullopt);
    QCOMPARE(readDecimal(u"000000000000000000000042", 255), std::optional<quint32>(42));
    QCOMPARE(readDecimal(u"18446744073709551617", 4294967295u), std::nullopt);
    QCOMPARE(readDecimal(u"", 255), std::nullopt);
    QCOMPARE(readDecimal(u" 1", 255), std::nullopt);
}

void TestValueHelpers::networkInterfaceList()
{
    const NetworkInterfaces n = networkInterfaces();
    QCOMPARE(n.count, 1);
    QCOMPARE(n.first, u"Ethernet"_qs);
    QVERIFY(n.second.isEmpty());
}

void TestValueHelpers::separator_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QChar>("separator");
    QTest::newRow("C") << QLocale::c() << QChar(u'.');
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << QChar(u'.');
    QTest::newRow("Italian") << QLocale(QLocale::Italian) << QChar(u',');
    QTest::newRow("German") << QLocale(QLocale::German) << QChar(u',');
    // The Arabic decimal sign is neither "," nor ".".
    QTest::newRow("Arabic") << QLocale(QLocale::Arabic, QLocale::Egypt) << QChar(u',');
}

void TestValueHelpers::separator()
{
    QFETCH(QLocale, locale);
    QFETCH(QChar, separator);
    QCOMPARE(decimalSeparator(locale), separator);
    const QChar system = decimalSeparator();
    QVERIFY(system == u',' || system == u'.');
}

void TestValueHelpers::decimalText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<float>("value");
    const QLocale c = QLocale::c();
    const QLocale it(QLocale::Italian);
    QTest::newRow("C dot") << c << u"1.5"_qs << true << 1.5f;
    QTest::newRow("C comma becomes dot") << c << u"1,5"_qs << true << 1.5f;
    QTest::newRow("C negative") << c << u"-0,25"_qs << true << -0.25f;
    QTest::newRow("C integer") << c << u"42"_qs << true << 42.0f;
    QTest::newRow("C two separators") << c << u"1,2.3"_qs << false << 1.0f;
    QTest::newRow("C letters") << c << u"abc"_qs << false << 1.0f;
    QTest::newRow("C empty") << c << QString() << false << 1.0f;
    QTest::newRow("C beyond float") << c << u"1e39"_qs << false << 1.0f;
    QTest::newRow("C infinity") << c << u"inf"_qs << false << 1.0f;
    QTest::newRow("C not a number") << c << u"nan"_qs << false << 1.0f;
    QTest::newRow("Italian comma") << it << u"2,75"_qs << true << 2.75f;
    QTest::newRow("Italian dot becomes comma") << it << u"2.75"_qs << true << 2.75f;
    QTest::newRow("Italian negative") << it << u"-0.5"_qs << true << -0.5f;
    QTest::newRow("Italian two separators") << it << u"1.234,5"_qs << false << 1.0f;
    QTest::newRow("Italian letters") << it << u"x"_qs << false << 1.0f;
}

void TestValueHelpers::decimalText()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(float, value);
    const DecimalNumber r = decimalTextToNumber(text, decimalSeparator(locale), locale);
    QCOMPARE(r.ok, ok);
    QCOMPARE(r.value, value);
}

void TestValueHelpers::opcUaNamesBothWays()
{
    const QStringList nodeTypes{u"Numeric"_qs, {}, {}, u"String"_qs, u"Guid"_qs, u"ByteString"_qs};
    for (int code = 0; code < nodeTypes.size(); ++code) {
        QCOMPARE(nodeIdTypeName(code), nodeTypes[code]);
        if (!nodeTypes[code].isEmpty())
            QCOMPARE(nodeIdTypeCode(nodeTypes[code]), code);
    }
    const QStringList dataTypes{u"Boolean"_qs, u"Int8"_qs,   u"UInt8"_qs,    u"Int16"_qs,  u"UInt16"_qs,
                                u"Int32"_qs,   u"UInt32"_qs, u"Int64"_qs,    u"UInt64"_qs, u"Float"_qs,
                                u"Double"_qs,  u"String"_qs, u"DateTime"_qs, u"Guid"_qs,   u"ByteString"_qs};
    for (int code = 0; code < dataTypes.size(); ++code) {
        QCOMPARE(dataTypeName(code), dataTypes[code]);
        QCOMPARE(dataTypeCode(dataTypes[code]), code);
    }
    const QStringList tokens{u"Anonymous"_qs, u"Username and Password"_qs, u"Certificate"_qs};
    const QStringList modes{u"None"_qs, u"Sign"_qs, u"Sign and Encrypt"_qs};
    for (int code = 0; code < 3; ++code) {
        QCOMPARE(userTokenTypeName(code), tokens[code]);
        QCOMPARE(userTokenTypeCode(tokens[code]), code);
        QCOMPARE(securityModeName(code), modes[code]);
        QCOMPARE(securityModeCode(modes[code]), code);
    }
    const QStringList policies{u"None"_qs,
                               u"Basic 128 RSA 15"_qs,
                               u"Basic 256"_qs,
                               u"Basic 256 SHA 256"_qs,
                               u"AES 128 SHA 256 RSA OAEP"_qs,
                               u"AES 256 SHA 256 RSA PSS"_qs};
    for (int code = 0; code < policies.size(); ++code) {
        QCOMPARE(securityPolicyName(code), policies[code]);
        QCOMPARE(securityPolicyCode(policies[code]), code);
    }
}

void TestValueHelpers::opcUaUnknownCodesAndNames()
{
    // Only identifier types are read in any letter case.
    QCOMPARE(nodeIdTypeCode(u"bytestring"_qs), 5);
    QCOMPARE(nodeIdTypeCode(u"GUID"_qs), 4);
    QCOMPARE(dataTypeCode(u"boolean"_qs), -1);
    QCOMPARE(securityModeCode(u"sign"_qs), 2);
    QCOMPARE(securityPolicyCode(u"basic 256"_qs), 5);
    QCOMPARE(userTokenTypeCode(u"anonymous"_qs), 2);

    QCOMPARE(nodeIdTypeName(1), QString());
    QCOMPARE(nodeIdTypeName(-1), QString());
    QCOMPARE(nodeIdTypeCode(u"Opaque"_qs), 0);
    QCOMPARE(dataTypeName(15), QString());
    QCOMPARE(dataTypeName(-1), QString());
    QCOMPARE(dataTypeCode(QString()), -1);
    QCOMPARE(userTokenTypeName(7), u"Certificate"_qs);
    QCOMPARE(userTokenTypeName(-1), u"Certificate"_qs);
    QCOMPARE(userTokenTypeCode(u"Kerberos"_qs), 2);
    QCOMPARE(securityModeName(99), u"Sign and Encrypt"_qs);
    QCOMPARE(securityModeCode(QString()), 2);
    QCOMPARE(securityPolicyName(6), u"AES 256 SHA 256 RSA PSS"_qs);
    QCOMPARE(securityPolicyCode(u"Basic256"_qs), 5);
}

void TestValueHelpers::nodeIdentifierText()
{
    NodeId id;
    id.numeric = 4294967295u;
    QCOMPARE(nodeIdText(id), u"4294967295"_qs);
    id.identifierType = 3;
    id.text = u"Line 1.Speed"_qs;
    QCOMPARE(nodeIdText(id), u"Line 1.Speed"_qs);
    id.identifierType = 5;
    QCOMPARE(nodeIdText(id), u"Line 1.Speed"_qs);
    id.identifierType = 4;
    id.guid = {0x0a1b2c3d, 0x00ef, 0xabcd, {0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef}};
    QCOMPARE(nodeIdText(id), u"0A1B2C3D-00EF-ABCD-0123-456789ABCDEF"_qs);
    id.guid = {};
    QCOMPARE(nodeIdText(id), u"00000000-0000-0000-0000-000000000000"_qs);
    id.identifierType = 1;
    QCOMPARE(nodeIdText(id), QString());
}

void TestValueHelpers::objectIdentifier_data()
{
    QTest::addColumn<QString>("oid");
    QTest::addColumn<int>("code");
    QTest::newRow("valid") << u"1.3.6.1.2.1.1.5.0"_qs << 0;
    QTest::newRow("single component") << u"1"_qs << 0;
    QTest::newRow("largest component") << u"1.3.4294967295"_qs << 0;
    QTest::newRow("128 characters") << (u"1."_qs.repeated(63) + u"11"_qs) << 0;
    QTest::newRow("129 characters") << (u"1."_qs.repeated(64) + u"1"_qs) << 1;
    QTest::newRow("too long beats bad characters") << u"x"_qs.repeated(129) << 1;
    QTest::newRow("letter") << u"1.3.x"_qs << 2;
    QTest::newRow("blank") << u"1.3.6 "_qs << 2;
    QTest::newRow("empty") << QString() << 2;
    QTest::newRow("bad character beats leading dot") << u".1.a"_qs << 2;
    QTest::newRow("leading dot") << u".1.3"_qs << 3;
    QTest::newRow("lone dot") << u"."_qs << 3;
    QTest::newRow("trailing dot") << u"1.3.6."_qs << 4;
    QTest::newRow("double dot") << u"1.3..6"_qs << 5;
    QTest::newRow("component too big") << u"1.3.4294967296"_qs << 6;
    QTest::newRow("component far too big") << u"1.3.99999999999999999999999"_qs << 6;
}

void TestValueHelpers::objectIdentifier()
{
    QFETCH(QString, oid);
    QFETCH(int, code);
    QCOMPARE(checkObjectIdentifier(oid), code);
}

void TestValueHelpers::userName_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isUserName");
    QTest::addColumn<int>("code");
    QTest::newRow("user") << u"admin1"_qs << true << 0;
    QTest::newRow("one character user") << u"a"_qs << true << 0;
    QTest::newRow("empty user") << QString() << true << 2;
    QTest::newRow("15 characters") << u"A"_qs.repeated(15) << true << 0;
    QTest::newRow("16 characters") << u"A"_qs.repeated(16) << true << 1;
    QTest::newRow("blank in user") << u"ad min"_qs << true << 3;
    QTest::newRow("accented letter") << u"caf\u00e9"_qs << true << 3;
    QTest::newRow("pass phrase") << u"secret12"_qs << false << 0;
    QTest::newRow("short pass phrase") << u"secret1"_qs << false << 2;
    QTest::newRow("long pass phrase") << u"s"_qs.repeated(16) << false << 1;
    QTest::newRow("symbol in pass phrase") << u"secret-12"_qs << false << 3;
}

void TestValueHelpers::userName()
{
    QFETCH(QString, text);
    QFETCH(bool, isUserName);
    QFETCH(int, code);
    QCOMPARE(checkUserName(text, isUserName), code);
}

void TestValueHelpers::securityLevels_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("level");
    QTest::newRow("auth nopriv") << u"AUTH NOPRIV"_qs << 1;
    QTest::newRow("lower case, blanks") << u"  auth priv "_qs << 3;
    QTest::newRow("noauth") << u"NOAUTH NOPRIV"_qs << 0;
    QTest::newRow("empty") << QString() << -1;
    QTest::newRow("blanks only") << u"   "_qs << -1;
    QTest::newRow("two blanks inside") << u"AUTH  PRIV"_qs << 0;
}

void TestValueHelpers::securityLevels()
{
    QFETCH(QString, text);
    QFETCH(int, level);
    QCOMPARE(securityLevel(text), level);
}

void TestValueHelpers::busAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("group");
    QTest::addColumn<bool>("allowZero");
    QTest::addColumn<int>("code");
    // Group addresses.
    QTest::newRow("g three levels max") << u"31/7/255"_qs << true << false << 0;
    QTest::newRow("g three levels, blanks") << u" 1 / 2 / 3 "_qs << true << false << 0;
    QTest::newRow("g three levels zero") << u"0/0/0"_qs << true << true << 1;
    QTest::newRow("g three levels, last only") << u"0/0/1"_qs << true << false << 0;
    QTest::newRow("g middle too big") << u"1/8/1"_qs << true << false << 1;
    QTest::newRow("g sub too big") << u"1/1/256"_qs << true << false << 1;
    QTest::newRow("g two levels max") << u"31/2047"_qs << true << false << 0;
    QTest::newRow("g two levels zero") << u"0/0"_qs << true << false << 1;
    QTest::newRow("g main too big") << u"32/1"_qs << true << false << 1;
    QTest::newRow("g sub of two too big") << u"1/2048"_qs << true << false << 1;
    QTest::newRow("g number") << u"65535"_qs << true << false << 0;
    QTest::newRow("g number zero") << u"0"_qs << true << false << 1;
    QTest::newRow("g number too big") << u"65536"_qs << true << false << 1;
    QTest::newRow("g four levels") << u"1/1/1/1"_qs << true << false << 1;
    QTest::newRow("g with dot") << u"1/1.1"_qs << true << false << 1;
    QTest::newRow("g empty part") << u"1//1"_qs << true << false << 1;
    QTest::newRow("g empty") << QString() << true << false << 1;
    QTest::newRow("g sign") << u"+1/1"_qs << true << false << 1;
    // Individual addresses.
    QTest::newRow("i max") << u"15.15.255"_qs << false << false << 0;
    QTest::newRow("i blanks") << u" 1 . 1 . 1 "_qs << false << false << 0;
    QTest::newRow("i area too big") << u"16.1.1"_qs << false << false << 1;
    QTest::newRow("i line too big") << u"1.16.1"_qs << false << false << 1;
    QTest::newRow("i device too big") << u"1.1.256"_qs << false << false << 1;
    QTest::newRow("i one dot") << u"1.2"_qs << false << false << 1;
    QTest::newRow("i three dots") << u"1.2.3.4"_qs << false << false << 1;
    QTest::newRow("i zero refused") << u"0.0.0"_qs << false << false << 1;
    QTest::newRow("i zero allowed") << u"0.0.0"_qs << false << true << 0;
    QTest::newRow("i zero device") << u"1.1.0"_qs << false << false << 0;
    QTest::newRow("i number") << u"4353"_qs << false << false << 0;
    QTest::newRow("i number zero allowed") << u"0"_qs << false << true << 1;
    QTest::newRow("i with slash") << u"1/1"_qs << false << false << 1;
    QTest::newRow("i letters") << u"a.b.c"_qs << false << false << 1;
    QTest::newRow("i empty") << QString() << false << true << 1;
}

void TestValueHelpers::busAddress()
{
    QFETCH(QString, text);
    QFETCH(bool, group);
    QFETCH(bool, allowZero);
    QFETCH(int, code);
    QCOMPARE(checkBusAddress(text, group, allowZero), code);
}

void TestValueHelpers::noDot()
{
    QVERIFY(hasNoDot(u"1/2/3"_qs));
    QVERIFY(hasNoDot(QString()));
    QVERIFY(!hasNoDot(u"1.2"_qs));
    QVERIFY(!hasNoDot(u"."_qs));
}

void TestValueHelpers::serialDevicesInFolder()
{
#ifdef Q_OS_WIN
    QSKIP("Windows probes COM ports by number");
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Links to a character device stand in for device nodes.
    const auto link = [&](const char* name, const QString& target) {
        QVERIFY(QFile::link(target, dir.filePath(QString::fromLatin1(name))));
    };
    const QString device = u"/dev/null"_qs;
    link("ttyUSB0", device);
    link("ttyS10", device);
    link("ttyS2", device);
    link("ttyACM1", device);
    link("ttyS", device);                         // no number
    link("ttyS1x", device);                       // not a number
    link("tty1", device);                         // a console, not a serial port
    link("ttyUSB9", dir.filePath(u"missing"_qs)); // vanished device
    QFile regular(dir.filePath(u"ttyUSB3"_qs));   // not a device
    QVERIFY(regular.open(QIODevice::WriteOnly));
    regular.close();

    const QList<SerialPorts::SerialPort> ports = SerialPorts::devicesIn(dir.path());
    QStringList labels, devices;
    for (const auto& p : ports) {
        labels << p.label;
        devices << p.device;
    }
    QCOMPARE(labels, (QStringList{u"ttyS2"_qs, u"ttyS10"_qs, u"ttyUSB0"_qs, u"ttyACM1"_qs}));
    for (int i = 0; i < ports.size(); ++i)
        QCOMPARE(devices[i], dir.filePath(labels[i]));
    QVERIFY(SerialPorts::devicesIn(dir.filePath(u"absent"_qs)).isEmpty());
#endif
}

void TestValueHelpers::serialPortsOfThisMachine()
{
    QElapsedTimer timer;
    timer.start();
    const QList<SerialPorts::SerialPort> ports = SerialPorts::list();
    QVERIFY2(timer.elapsed() < 10000, "the enumeration must not wait on devices");
    QStringList labels;
    for (const auto& p : ports) {
        QVERIFY(!p.label.isEmpty());
#ifndef Q_OS_WIN
        QVERIFY2(QFileInfo::exists(p.device), qPrintable(p.device));
        QCOMPARE(QFileInfo(p.device).fileName(), p.label);
#endif
        labels << p.label;
    }
    QCOMPARE(SerialPorts::labels(), labels);
    QCOMPARE(QSet<QString>(labels.begin(), labels.end()).size(), labels.size());
}

QTEST_GUILESS_MAIN(TestValueHelpers)
#include "tst_value_helpers.moc"
