#include "lorawan/LoRaWANDocument.h"

#include "TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;
using LoRaWANDocument::load;
using LoRaWANDocument::read;
using LoRaWANDocument::ReadResult;
using LoRaWANDocument::save;
using LoRaWANDocument::write;

Q_DECLARE_METATYPE(TDeviceLoRa)

namespace {

const QByteArray EmptyDocument =
    "<LoRaWAN_Gateway><LoRaWAN_Devices_List/></LoRaWAN_Gateway><!--SW_VERSION = 1.000-->";

// One device with one rule of each kind, written out by hand.
const QByteArray SmallDocument =
    "<LoRaWAN_Gateway><LoRaWAN_Devices_List>"
    "<LoRaWAN_Device Enable=\"Y\" DeviceEUI=\"0011223344556677\" JoinEUI=\"8899AABBCCDDEEFF\""
    " DeviceName=\"Meter\" ActivationMethod=\"Over-the-Air Activation [OTAA]\" NetworkSessionKey=\"\""
    " ApplicationSessionKey=\"\" ApplicationKey=\"000102030405060708090A0B0C0D0E0F\""
    " DeviceAddress=\"26011BDA\" Class=\"A\" DiagTimeOut=\"60000\" RX2_Datarate=\"SF9BW125\""
    " Mnemonic=\"Hall &amp; &lt;1&gt; &quot;B&quot;\">"
    "<LoRaWAN_Rules>"
    "<LoRaWAN_UpLink_Rules>"
    "<Rule Enable=\"Y\" Port=\"10\" StartTest=\"0\" LenTest=\"1\" HexTest=\"Y\" ValueTest=\"01\""
    " StartBit=\"1\" NumberBits=\"4\" PositionBit=\"0\" Mnemonic=\"Counter\"/>"
    "</LoRaWAN_UpLink_Rules>"
    "<LoRaWAN_DownLink_Rules>"
    "<Rule Enable=\"N\" Port=\"20\" StartBit=\"0\" NumberBits=\"2\" OnChange=\"Y\" OnCommand=\"N\""
    " OnTimer=\"Y\" Time=\"1000\" PositionBit=\"4\" Mnemonic=\"Valve\"/>"
    "</LoRaWAN_DownLink_Rules>"
    "</LoRaWAN_Rules></LoRaWAN_Device>"
    "</LoRaWAN_Devices_List></LoRaWAN_Gateway><!--SW_VERSION = 1.000-->";

TDeviceLoRa smallDevice()
{
    TDeviceLoRa d;
    d.DeviceEUI = u"0011223344556677"_s;
    d.JoinEUI = u"8899AABBCCDDEEFF"_s;
    d.DeviceName = u"Meter"_s;
    d.ActMethod = LoRaWAN::OTAA;
    d.AppKey = u"000102030405060708090A0B0C0D0E0F"_s;
    d.DevAdd = u"26011BDA"_s;
    d.ClassLoRa = u"A"_s;
    d.DiagTimeOut = u"60000"_s;
    d.RX2Datarate = u"SF9BW125"_s;
    d.Mnemonic = u"Hall & <1> \"B\""_s;
    TRuleLoRa up;
    up.Port = u"10"_s;
    up.StartTest = u"0"_s;
    up.LenTest = u"1"_s;
    up.HexTest = true;
    up.ValueTest = u"01"_s;
    up.StartBit = u"1"_s;
    up.NumBits = u"4"_s;
    up.PosBit = u"0"_s;
    up.Mnemonic = u"Counter"_s;
    TRuleLoRa down;
    down.Enable = false;
    down.Port = u"20"_s;
    down.StartBit = u"0"_s;
    down.NumBits = u"2"_s;
    down.OnChange = true;
    down.OnTimer = true;
    down.Time = u"1000"_s;
    down.PosBit = u"4"_s;
    down.Mnemonic = u"Valve"_s;
    d.UpLinkRules = {up};
    d.DownLinkRules = {down};
    return d;
}

// Every field away from its default, texts with what XML must escape.
QList<TDeviceLoRa> changedDevices()
{
    QList<TDeviceLoRa> devices;
    for (int n = 1; n <= 2; ++n) {
        TDeviceLoRa d;
        const QString k = QString::number(n);
        d.Enable = n == 2;
        d.DeviceEUI = u" 0011223344556677 "_s + k;
        d.JoinEUI = u"j"_s + k;
        d.DeviceName = u"Na\"me'\t<&>"_s + k;
        d.ActMethod = LoRaWAN::ABP;
        d.NetSessKey = u"nk"_s + k;
        d.AppSessKey = u"ask"_s + k;
        d.AppKey = u"ak"_s + k;
        d.DevAdd = u"da"_s + k;
        d.ClassLoRa = u"C"_s;
        d.DiagTimeOut = u"4294967295"_s;
        d.RX2Datarate = u"SF7BW500"_s;
        d.Mnemonic = u"line 1\r\nline 2\n B\u00fcro \U0001F600 ]]>"_s;
        for (int r = 1; r <= 2; ++r) {
            const QString m = k + u'.' + QString::number(r);
            TRuleLoRa up;
            up.Enable = r == 2;
            up.Port = u"p"_s + m;
            up.StartTest = u"st"_s + m;
            up.LenTest = u"lt"_s + m;
            up.HexTest = true;
            up.ValueTest = u" v\t"_s + m;
            up.StartBit = u"sb"_s + m;
            up.NumBits = u"nb"_s + m;
            up.PosBit = u"pb"_s + m;
            up.Mnemonic = u"up &amp; "_s + m;
            d.UpLinkRules.append(up);
            TRuleLoRa down;
            down.Enable = r == 1;
            down.Port = u"dp"_s + m;
            down.StartBit = u"dsb"_s + m;
            down.NumBits = u"dnb"_s + m;
            down.OnChange = true;
            down.OnCMD = true;
            down.OnTimer = true;
            down.Time = u"t"_s + m;
            down.PosBit = u"dpb"_s + m;
            down.Mnemonic = u"down "_s + m;
            d.DownLinkRules.append(down);
        }
        devices.append(d);
    }
    // A device without rules.
    TDeviceLoRa bare;
    bare.DeviceEUI = u"E"_s;
    devices.append(bare);
    return devices;
}

const QByteArray Required = "DeviceEUI=\"E\" JoinEUI=\"J\" DeviceName=\"N\" ActivationMethod=\"M\""
                            " NetworkSessionKey=\"K1\" ApplicationSessionKey=\"K2\" ApplicationKey=\"K3\""
                            " DeviceAddress=\"A\" Mnemonic=\"D\"";
const QByteArray UpRequired =
    "Enable=\"Y\" Port=\"1\" StartBit=\"2\" NumberBits=\"3\" PositionBit=\"4\" Mnemonic=\"U\"";
const QByteArray DownRequired = "Enable=\"Y\" Port=\"1\" StartBit=\"2\" NumberBits=\"3\" OnChange=\"N\""
                                " OnCommand=\"N\" OnTimer=\"N\" Time=\"5\" PositionBit=\"4\" Mnemonic=\"W\"";

QByteArray rules(const QByteArray& up, const QByteArray& down)
{
    return "<LoRaWAN_Rules><LoRaWAN_UpLink_Rules>" + up + "</LoRaWAN_UpLink_Rules><LoRaWAN_DownLink_Rules>" +
           down + "</LoRaWAN_DownLink_Rules></LoRaWAN_Rules>";
}

QByteArray device(const QByteArray& attributes, const QByteArray& content = rules({}, {}))
{
    return "<LoRaWAN_Device " + attributes + ">" + content + "</LoRaWAN_Device>";
}

QByteArray gateway(const QByteArray& devices)
{
    return "<LoRaWAN_Gateway><LoRaWAN_Devices_List>" + devices + "</LoRaWAN_Devices_List></LoRaWAN_Gateway>";
}

// The device of Required as the editor reads it.
TDeviceLoRa requiredDevice(bool enabled = false)
{
    TDeviceLoRa d;
    d.Enable = enabled;
    d.DeviceEUI = u"E"_s;
    d.JoinEUI = u"J"_s;
    d.DeviceName = u"N"_s;
    d.ActMethod = u"M"_s;
    d.NetSessKey = u"K1"_s;
    d.AppSessKey = u"K2"_s;
    d.AppKey = u"K3"_s;
    d.DevAdd = u"A"_s;
    d.Mnemonic = u"D"_s;
    return d;
}

TRuleLoRa requiredRule(bool upLink)
{
    TRuleLoRa r;
    r.Port = u"1"_s;
    r.StartBit = u"2"_s;
    r.NumBits = u"3"_s;
    r.PosBit = u"4"_s;
    if (upLink) {
        r.Mnemonic = u"U"_s;
    } else {
        r.Time = u"5"_s;
        r.Mnemonic = u"W"_s;
    }
    return r;
}

} // namespace

class TestLoRaWANDocument : public QObject
{
    Q_OBJECT

private slots:
    void smallDocument()
    {
        QCOMPARE(write({smallDevice()}), SmallDocument);
        const ReadResult r = read(SmallDocument, true);
        QCOMPARE(r.error, QString());
        QCOMPARE(r.devices.size(), 1);
        QVERIFY(r.devices.first() == smallDevice());
    }

    void roundTrip()
    {
        const QList<TDeviceLoRa> devices = changedDevices();
        const QByteArray doc = write(devices);
        const ReadResult r = read(doc, true);
        QCOMPARE(r.error, QString());
        QCOMPARE(r.devices.size(), devices.size());
        for (qsizetype i = 0; i < devices.size(); ++i)
            QVERIFY2(r.devices[i] == devices[i], qPrintable(QString::number(i)));
        QCOMPARE(write(r.devices), doc);
        // Blanks and line breaks survive attribute-value normalisation.
        QVERIFY(doc.contains("Mnemonic=\"line 1&#13;&#10;line 2&#10; B\xc3\xbcro \xf0\x9f\x98\x80 ]]&gt;\""));
        QVERIFY(doc.contains("DeviceName=\"Na&quot;me'&#9;&lt;&amp;&gt;1\""));
        QVERIFY(
            doc.contains("<LoRaWAN_Rules><LoRaWAN_UpLink_Rules/><LoRaWAN_DownLink_Rules/></LoRaWAN_Rules>"));
    }

    // Characters XML cannot hold would make the whole file unreadable.
    void textsThatXmlCannotHold()
    {
        TDeviceLoRa d = requiredDevice();
        d.Mnemonic = u"a\x01"
                     "b"_s +
                     QChar(0xD800) + u"c\x1f\uFFFE"_s;
        const QByteArray doc = write({d});
        const ReadResult r = read(doc, true);
        QCOMPARE(r.error, QString());
        QCOMPARE(r.devices.value(0).Mnemonic, u"ab\ufffdc"_s);
        QCOMPARE(write(r.devices), doc);
    }

    void noDevices()
    {
        QCOMPARE(write({}), EmptyDocument);
        TDeviceLoRa blank = smallDevice();
        blank.DeviceEUI = u" \t "_s;
        QCOMPARE(write({blank, smallDevice()}), EmptyDocument);
        const ReadResult r = read(EmptyDocument, true);
        QCOMPARE(r.error, QString());
        QVERIFY(r.devices.isEmpty());
    }

    void savedUpToTheFirstEmptyEui()
    {
        TDeviceLoRa blank = smallDevice();
        blank.DeviceEUI = u"  "_s;
        TDeviceLoRa third = smallDevice();
        third.DeviceEUI = u"FFFFFFFFFFFFFFFF"_s;
        QCOMPARE(write({smallDevice(), blank, third}), SmallDocument);
    }

    void readValues_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<bool>("gatewayMode");
        QTest::addColumn<QList<TDeviceLoRa>>("devices");

        QTest::newRow("device Enable y is disabled")
            << gateway(device("Enable=\"y\" " + Required)) << true << QList<TDeviceLoRa>{requiredDevice()};
        QTest::newRow("device Enable missing is disabled")
            << gateway(device(Required)) << true << QList<TDeviceLoRa>{requiredDevice()};
        QTest::newRow("device Enable Y") << gateway(device(Required + " Enable=\"Y\"")) << true
                                         << QList<TDeviceLoRa>{requiredDevice(true)};
        {
            // Rule flags are trimmed and upper-cased; optional texts missing are empty.
            TDeviceLoRa d = requiredDevice();
            TRuleLoRa up = requiredRule(true);
            up.Enable = true;
            d.UpLinkRules = {up};
            TRuleLoRa down = requiredRule(false);
            down.OnChange = true;
            d.DownLinkRules = {down};
            QByteArray downAttributes = DownRequired;
            downAttributes.replace("OnChange=\"N\"", "OnChange=\"\ty\"");
            downAttributes.replace("OnCommand=\"N\"", "OnCommand=\"YES\"");
            QByteArray upAttributes = UpRequired;
            upAttributes.replace("Enable=\"Y\"", "Enable=\" y \"");
            QTest::newRow("rule flags, optional rule attributes missing")
                << gateway(device(Required,
                                  rules("<Rule " + upAttributes + "/>", "<Rule " + downAttributes + "/>")))
                << true << QList<TDeviceLoRa>{d};

            TRuleLoRa tested = up;
            tested.StartTest = u"0"_s;
            tested.LenTest = u" 1"_s;
            tested.ValueTest = u"x"_s;
            tested.HexTest = false;
            d.UpLinkRules = {tested};
            d.DownLinkRules.clear();
            QTest::newRow("HexTest N, optional attributes present")
                << gateway(device(Required,
                                  rules("<Rule " + UpRequired +
                                            " StartTest=\"0\" LenTest=\" 1\" HexTest=\"N\" ValueTest=\"x\"/>",
                                        {})))
                << true << QList<TDeviceLoRa>{d};
        }
        {
            // Devices and rules by position, whatever their names; other
            // nodes and later elements of a structural name are ignored.
            TDeviceLoRa d = requiredDevice();
            d.UpLinkRules = {requiredRule(true), requiredRule(true)};
            d.DownLinkRules = {requiredRule(false)};
            const QByteArray doc =
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE LoRaWAN_Gateway>\n<!-- saved by hand "
                "-->\n"
                "<LoRaWAN_Gateway>\n  <Other/>\n  <LoRaWAN_Devices_List>\n"
                "    text <!-- note --><Thing " +
                Required + ">" + "<Extra/><LoRaWAN_Rules><LoRaWAN_DownLink_Rules><R " + DownRequired +
                "><Inner/></R></LoRaWAN_DownLink_Rules><LoRaWAN_UpLink_Rules><A " + UpRequired + "/><B " +
                UpRequired + "/></LoRaWAN_UpLink_Rules><LoRaWAN_UpLink_Rules><Rule/></LoRaWAN_UpLink_Rules>" +
                "</LoRaWAN_Rules><LoRaWAN_Rules/></Thing>\n" + device(Required) +
                "\n  </LoRaWAN_Devices_List>\n  <LoRaWAN_Devices_List><Bad/></LoRaWAN_Devices_List>\n"
                "</LoRaWAN_Gateway>\n<!--SW_VERSION = 1.000-->\n";
            QTest::newRow("by position, by name") << doc << true << QList<TDeviceLoRa>{d, requiredDevice()};
        }
        {
            TDeviceLoRa first = requiredDevice();
            first.DeviceEUI = u"E1"_s;
            first.UpLinkRules = {requiredRule(true)};
            QByteArray firstAttributes = Required;
            firstAttributes.replace("DeviceEUI=\"E\"", "DeviceEUI=\"E1\"");
            const QByteArray three =
                gateway(device(firstAttributes, rules("<Rule " + UpRequired + "/>", {})) +
                        device(Required, rules({}, "<Rule " + DownRequired + "/>")) + device(Required));
            TDeviceLoRa second = requiredDevice();
            second.DownLinkRules = {requiredRule(false)};
            QTest::newRow("gateway mode: every device")
                << three << true << QList<TDeviceLoRa>{first, second, requiredDevice()};
            QTest::newRow("end-node mode: the first device only")
                << three << false << QList<TDeviceLoRa>{first};
            // What is not read cannot break the reading.
            QTest::newRow("end-node mode: later devices not read")
                << gateway(device(firstAttributes, rules("<Rule " + UpRequired + "/>", {})) +
                           "<LoRaWAN_Device/>")
                << false << QList<TDeviceLoRa>{first};
        }
    }

    void readValues()
    {
        QFETCH(QByteArray, document);
        QFETCH(bool, gatewayMode);
        QFETCH(QList<TDeviceLoRa>, devices);
        const ReadResult r = read(document, gatewayMode);
        QCOMPARE(r.error, QString());
        QCOMPARE(r.devices.size(), devices.size());
        for (qsizetype i = 0; i < devices.size(); ++i)
            QVERIFY2(r.devices[i] == devices[i], qPrintable(QString::number(i)));
        QCOMPARE(r.skippedDevices, 0);
        QCOMPARE(r.skippedRules, 0);
    }

    void readErrors_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<bool>("gatewayMode");
        QTest::addColumn<QString>("error");

        const QByteArray good = device(Required);
        QTest::newRow("other document element")
            << QByteArray("<LoRaWAN_Gateways/>") << true
            << u"the document element is LoRaWAN_Gateways, not LoRaWAN_Gateway"_s;
        QTest::newRow("no devices list")
            << QByteArray("<LoRaWAN_Gateway><LoRaWAN_Device_List/></LoRaWAN_Gateway>") << true
            << u"LoRaWAN_Gateway (line 1) has no LoRaWAN_Devices_List element"_s;
        QTest::newRow("no rules") << gateway(good + "\n" + device(Required, "<LoRaWAN_rules/>")) << true
                                  << u"device 2: LoRaWAN_Device (line 2) has no LoRaWAN_Rules element"_s;
        QTest::newRow("no uplink rules")
            << gateway(device(Required, "<LoRaWAN_Rules><LoRaWAN_DownLink_Rules/></LoRaWAN_Rules>")) << true
            << u"device 1: LoRaWAN_Rules (line 1) has no LoRaWAN_UpLink_Rules element"_s;
        QTest::newRow("no downlink rules")
            << gateway(device(Required, "<LoRaWAN_Rules><LoRaWAN_UpLink_Rules/></LoRaWAN_Rules>")) << true
            << u"device 1: LoRaWAN_Rules (line 1) has no LoRaWAN_DownLink_Rules element"_s;
        {
            QByteArray noEui = Required;
            noEui.replace("DeviceEUI=\"E\"", "deviceEUI=\"E\"");
            QTest::newRow("device attribute missing, after a good device")
                << gateway(good + "\n\n<Dev " + noEui + ">" + rules({}, {}) + "</Dev>") << true
                << u"device 2: Dev (line 3) has no DeviceEUI attribute"_s;
            QTest::newRow("end-node mode: first device attribute missing")
                << gateway("<Dev " + noEui + ">" + rules({}, {}) + "</Dev>" + good) << false
                << u"device 1: Dev (line 1) has no DeviceEUI attribute"_s;
        }
        {
            QByteArray noMnemonic = Required;
            noMnemonic.replace(" Mnemonic=\"D\"", "");
            QTest::newRow("device Mnemonic missing")
                << gateway(device(noMnemonic)) << true
                << u"device 1: LoRaWAN_Device (line 1) has no Mnemonic attribute"_s;
        }
        {
            QByteArray noPort = UpRequired;
            noPort.replace(" Port=\"1\"", "");
            QTest::newRow("uplink attribute missing")
                << gateway(good +
                           device(Required, rules("<Rule " + UpRequired + "/>\n<Rule " + noPort + "/>", {})))
                << true << u"device 2, uplink rule 2: Rule (line 2) has no Port attribute"_s;
            QByteArray noEnable = UpRequired;
            noEnable.replace("Enable=\"Y\" ", "");
            QTest::newRow("uplink Enable missing")
                << gateway(device(Required, rules("<Rule " + noEnable + "/>", {}))) << true
                << u"device 1, uplink rule 1: Rule (line 1) has no Enable attribute"_s;
            QByteArray noCommand = DownRequired;
            noCommand.replace(" OnCommand=\"N\"", "");
            QTest::newRow("downlink attribute missing")
                << gateway(device(Required, rules({}, "<Rule " + noCommand + "/>"))) << true
                << u"device 1, downlink rule 1: Rule (line 1) has no OnCommand attribute"_s;
        }
        // Attributes are compared by their names as written.
        {
            QByteArray prefixed = Required;
            prefixed.replace("JoinEUI=", "x:JoinEUI=");
            QTest::newRow("prefixed attribute")
                << gateway(device(prefixed + " xmlns:x=\"urn:x\"")) << true
                << u"device 1: LoRaWAN_Device (line 1) has no JoinEUI attribute"_s;
        }
        QTest::newRow("empty") << QByteArray() << true << u"(line 1, column 0)"_s;
        QTest::newRow("unclosed") << QByteArray("<LoRaWAN_Gateway>\n<LoRaWAN_Devices_List>") << true
                                  << u"(line 2, column 22)"_s;
        QTest::newRow("mismatched tag after a good device")
            << QByteArray("<LoRaWAN_Gateway><LoRaWAN_Devices_List>" + good + "\n</LoRaWAN_Gateway>") << true
            << u"Opening and ending tag mismatch. (line 2, column 18)"_s;
        QTest::newRow("duplicate attribute")
            << gateway(device(Required + " Mnemonic=\"E\"")) << true << u"Mnemonic"_s;
    }

    void readErrors()
    {
        QFETCH(QByteArray, document);
        QFETCH(bool, gatewayMode);
        QFETCH(QString, error);
        const ReadResult r = read(document, gatewayMode);
        QVERIFY2(r.error.contains(error), qPrintable(r.error));
        // Nothing of a broken document is shown.
        QVERIFY(r.devices.isEmpty());
    }

    // Entity expansion is refused before it can grow: the nested kind, the
    // one large entity referenced many times, and entities from outside.
    void hostileInput_data()
    {
        QTest::addColumn<QByteArray>("document");

        QByteArray laughs = "<!DOCTYPE LoRaWAN_Gateway [<!ENTITY l0 \"lol\">";
        for (int i = 1; i <= 9; ++i) {
            laughs += "<!ENTITY l" + QByteArray::number(i) + " \"";
            for (int k = 0; k < 10; ++k)
                laughs += "&l" + QByteArray::number(i - 1) + ';';
            laughs += "\">";
        }
        laughs += "]>";
        QByteArray mnemonic = Required;
        mnemonic.replace("Mnemonic=\"D\"", "Mnemonic=\"&l9;\"");
        QTest::newRow("billion laughs") << laughs + gateway(device(mnemonic));

        // Within Qt's limit for one entity, but 80 million characters in all.
        QByteArray refs;
        for (int i = 0; i < 20000; ++i)
            refs += "&big;";
        mnemonic = Required;
        mnemonic.replace("Mnemonic=\"D\"", "Mnemonic=\"" + refs + '"');
        QTest::newRow("quadratic blow-up") << "<!DOCTYPE LoRaWAN_Gateway [<!ENTITY big \"" +
                                                  QByteArray(4000, 'x') + "\">]>" + gateway(device(mnemonic));
        QTest::newRow("quadratic blow-up in content")
            << "<!DOCTYPE LoRaWAN_Gateway [<!ENTITY big \"" + QByteArray(4000, 'x') + "\">]>" +
                   gateway(device(Required, "<x>" + refs + "</x>" + rules({}, {})));

        mnemonic = Required;
        mnemonic.replace("Mnemonic=\"D\"", "Mnemonic=\"&ext;\"");
        QTest::newRow("external entity in an attribute")
            << "<!DOCTYPE LoRaWAN_Gateway [<!ENTITY ext SYSTEM \"SECRET_PATH\">]>" +
                   gateway(device(mnemonic));
        QTest::newRow("external entity in content")
            << "<!DOCTYPE LoRaWAN_Gateway [<!ENTITY ext SYSTEM \"SECRET_PATH\">]>" +
                   gateway(device(Required, "<x>&ext;</x>" + rules({}, {})));
        QTest::newRow("external parameter entity")
            << "<!DOCTYPE LoRaWAN_Gateway [<!ENTITY % p SYSTEM \"SECRET_PATH\"> %p;]>" +
                   gateway(device(Required));
    }

    void hostileInput()
    {
        QFETCH(QByteArray, document);
        QTemporaryDir dir;
        const QString secretPath = dir.filePath(u"secret.txt"_s);
        writeFile(secretPath, "SECRET_TEXT");
        document.replace("SECRET_PATH", QUrl::fromLocalFile(secretPath).toEncoded());
        const ReadResult r = read(document, true);
        QVERIFY2(r.error.contains(u"declares entities"_s), qPrintable(r.error));
        QVERIFY(r.devices.isEmpty());
    }

    // An external DTD is never fetched: its entity stays an unexpanded text.
    void externalDtdNotRead()
    {
        QTemporaryDir dir;
        const QString dtdPath = dir.filePath(u"gateway.dtd"_s);
        writeFile(dtdPath, "<!ENTITY y \"SECRET_TEXT\">");
        QByteArray mnemonic = Required;
        mnemonic.replace("Mnemonic=\"D\"", "Mnemonic=\"&y;\"");
        const QByteArray doc = "<!DOCTYPE LoRaWAN_Gateway SYSTEM \"" +
                               QUrl::fromLocalFile(dtdPath).toEncoded() + "\">" + gateway(device(mnemonic));
        const ReadResult r = read(doc, true);
        QVERIFY(!r.error.contains(u"SECRET_TEXT"_s));
        for (const TDeviceLoRa& d : r.devices)
            QVERIFY2(!d.Mnemonic.contains(u"SECRET_TEXT"_s), qPrintable(d.Mnemonic));
    }

    // The editor's tables hold 1000 devices and 1024 rules of each kind.
    void capacity()
    {
        QList<TDeviceLoRa> devices(LoRaWAN::DeviceRows + 2, requiredDevice());
        devices[0].UpLinkRules = QList<TRuleLoRa>(LoRaWAN::RuleRows + 1, requiredRule(true));
        devices[0].DownLinkRules = QList<TRuleLoRa>(LoRaWAN::RuleRows + 3, requiredRule(false));
        devices[1].DownLinkRules = QList<TRuleLoRa>(LoRaWAN::RuleRows, requiredRule(false));
        devices[LoRaWAN::DeviceRows - 1].Mnemonic = u"last"_s;
        const ReadResult r = read(write(devices), true);
        QCOMPARE(r.error, QString());
        QCOMPARE(r.devices.size(), LoRaWAN::DeviceRows);
        QCOMPARE(r.devices.last().Mnemonic, u"last"_s);
        QCOMPARE(r.devices[0].UpLinkRules.size(), LoRaWAN::RuleRows);
        QCOMPARE(r.devices[0].DownLinkRules.size(), LoRaWAN::RuleRows);
        QCOMPARE(r.devices[1].DownLinkRules.size(), LoRaWAN::RuleRows);
        QCOMPARE(r.skippedDevices, 2);
        QCOMPARE(r.skippedRules, 4);
    }

    void gatewaySettings_data()
    {
        QTest::addColumn<QByteArray>("parGen"); // null: no file
        QTest::addColumn<bool>("master");
        QTest::addColumn<QString>("band");

        const auto parGen = [](const QByteArray& mode, const QByteArray& band = "EU868") {
            return "<Par_Gen><Select_Device>0</Select_Device><LoRaWAN_Mode>" + mode +
                   "</LoRaWAN_Mode><LoRaWAN_RF_Band>" + band + "</LoRaWAN_RF_Band></Par_Gen>";
        };
        QTest::newRow("no file") << QByteArray() << true << QString();
        QTest::newRow("no mode element")
            << QByteArray("<Par_Gen><LoRaWAN_RF_Band>US915</LoRaWAN_RF_Band></Par_Gen>") << true
            << u"US915"_s;
        QTest::newRow("gateway") << parGen("Gateway") << true << u"EU868"_s;
        QTest::newRow("End Node") << parGen("End Node", "US915") << false << u"US915"_s;
        QTest::newRow("end node") << parGen("end node") << false << u"EU868"_s;
        QTest::newRow("CDATA") << parGen("<![CDATA[END]]> NODE") << false << u"EU868"_s;
        QTest::newRow("blank in front, not trimmed") << parGen(" END NODE") << true << u"EU868"_s;
        QTest::newRow("blank after, not trimmed") << parGen("END NODE ") << true << u"EU868"_s;
        QTest::newRow("band as written") << parGen("Gateway", " us915") << true << u" us915"_s;
        QTest::newRow("first element of the name")
            << QByteArray("<Par_Gen><LoRaWAN_Mode>Gateway</LoRaWAN_Mode><LoRaWAN_Mode>End Node</LoRaWAN_Mode>"
                          "</Par_Gen>")
            << true << QString();
        QTest::newRow("more than a text")
            << QByteArray("<Par_Gen><LoRaWAN_Mode>End Node<x/></LoRaWAN_Mode><LoRaWAN_Mode>End Node"
                          "</LoRaWAN_Mode></Par_Gen>")
            << true << QString();
        QTest::newRow("not a child of the root")
            << QByteArray("<Par_Gen><x><LoRaWAN_Mode>End Node</LoRaWAN_Mode></x></Par_Gen>") << true
            << QString();
        // As the ParGen.xml reader takes it, a node before the root leaves no elements.
        QTest::newRow("declaration in front")
            << "<?xml version=\"1.0\"?>" + parGen("End Node") << true << QString();
        QTest::newRow("not well-formed") << parGen("End Node", "US915").chopped(3) << true << QString();
        QTest::newRow("no XML") << QByteArray("LoRaWAN_Mode=End Node") << true << QString();
    }

    void gatewaySettings()
    {
        QFETCH(QByteArray, parGen);
        QFETCH(bool, master);
        QFETCH(QString, band);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"ParGen.xml"_s);
        if (!parGen.isNull())
            writeFile(path, parGen);
        const LoRaWANDocument::GatewaySettings s = LoRaWANDocument::readGatewaySettings(path);
        QCOMPARE(s.master, master);
        QCOMPARE(s.band, band);
    }

    void gatewaySettingsUnreadable()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"ParGen.xml"_s));
        QVERIFY(LoRaWANDocument::readGatewaySettings(dir.filePath(u"ParGen.xml"_s)).master);
    }

    void rx2Items()
    {
        LoRaWANDocument::GatewaySettings s;
        s.band = u"US915"_s;
        QCOMPARE(LoRaWANDocument::rx2Items(s),
                 QStringList({u"SF12BW500"_s, u"SF11BW500"_s, u"SF10BW500"_s, u"SF9BW500"_s, u"SF8BW500"_s,
                              u"SF7BW500"_s, QString()}));
        const QStringList eu = {u"SF12BW125"_s, u"SF11BW125"_s, u"SF10BW125"_s, u"SF9BW125"_s,
                                u"SF8BW125"_s,  u"SF7BW125"_s,  u"SF7BW250"_s,  QString()};
        s.band = u"us915"_s;
        QCOMPARE(LoRaWANDocument::rx2Items(s), eu);
        s.band.clear();
        QCOMPARE(LoRaWANDocument::rx2Items(s), eu);
    }

    void saveAndLoad()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"LoRaWAN_Gateway.xml"_s);
        ReadResult r = load(path, true);
        QCOMPARE(r.error, QString());
        QVERIFY(r.devices.isEmpty());

        writeFile(path,
                  "old contents that are longer than the new ones, much longer than them" + SmallDocument);
        QCOMPARE(save(path, {smallDevice()}), QString());
        QCOMPARE(readFile(path), SmallDocument);
        r = load(path, false);
        QCOMPARE(r.error, QString());
        QCOMPARE(r.devices.size(), 1);
        QVERIFY(r.devices.first() == smallDevice());
    }

    void saveIntoMissingFolder()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"missing"_s);
        QVERIFY(!save(folder + u"/LoRaWAN_Gateway.xml"_s, {smallDevice()}).isEmpty());
        QVERIFY(!QFileInfo::exists(folder));
    }

    void loadFailures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("broken") << u"broken"_s;
        QTest::newRow("unreadable") << u"folder"_s;
        QTest::newRow("too large") << u"large"_s;
    }

    void loadFailures()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"LoRaWAN_Gateway.xml"_s);
        if (kind == u"broken") {
            writeFile(path, SmallDocument.chopped(40));
        } else if (kind == u"folder") {
            QVERIFY(QDir(dir.path()).mkdir(u"LoRaWAN_Gateway.xml"_s));
        } else {
            // Well-formed, padded with layout white space past the limit.
            QByteArray big = SmallDocument;
            big.append(QByteArray(LoRaWANDocument::MaxFileSize + 1 - big.size(), ' '));
            QCOMPARE(read(big, true).devices.size(), 1);
            writeFile(path, big);
            // The device reader refuses it as well.
            QBuffer buffer(&big);
            QVERIFY(buffer.open(QIODevice::ReadOnly));
            QVERIFY(!read(buffer, true).error.isEmpty());
        }
        const ReadResult r = load(path, true);
        QVERIFY2(r.error.startsWith(QDir::toNativeSeparators(path)), qPrintable(r.error));
        QVERIFY(r.devices.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLoRaWANDocument)
#include "tst_lorawan_document.moc"
