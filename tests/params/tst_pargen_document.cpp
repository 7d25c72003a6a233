#include "params/ParGenDocument.h"
#include "params/ParGenLists.h"

#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using ParGenDocument::load;
using ParGenDocument::read;
using ParGenDocument::save;
using ParGenDocument::write;

namespace {

// The document of the defaults, element by element from the table of elements.
const QByteArray DefaultsDocument =
    "<Par_Gen>"
    "<Select_Device>0</Select_Device>"
    "<Eth_Conn_Device_Name></Eth_Conn_Device_Name>"
    "<Eth_Conn_DHCP_Cable>0</Eth_Conn_DHCP_Cable>"
    "<Eth_Conn_DHCP_WiFi>0</Eth_Conn_DHCP_WiFi>"
    "<Eth_Conn_Enable_DNS>0</Eth_Conn_Enable_DNS>"
    "<Eth_Conn_Primary_DNS1>8</Eth_Conn_Primary_DNS1>"
    "<Eth_Conn_Primary_DNS2>8</Eth_Conn_Primary_DNS2>"
    "<Eth_Conn_Primary_DNS3>8</Eth_Conn_Primary_DNS3>"
    "<Eth_Conn_Primary_DNS4>8</Eth_Conn_Primary_DNS4>"
    "<Eth_Conn_Secondary_DNS1>8</Eth_Conn_Secondary_DNS1>"
    "<Eth_Conn_Secondary_DNS2>8</Eth_Conn_Secondary_DNS2>"
    "<Eth_Conn_Secondary_DNS3>8</Eth_Conn_Secondary_DNS3>"
    "<Eth_Conn_Secondary_DNS4>8</Eth_Conn_Secondary_DNS4>"
    "<LoRaWAN_Mode>Gateway</LoRaWAN_Mode>"
    "<LoRaWAN_RF_Band>EU868</LoRaWAN_RF_Band>"
    "<LoRaWAN_Server_Address>eu1.cloud.thethings.network</LoRaWAN_Server_Address>"
    "<LoRaWAN_Server_Port_Up>1780</LoRaWAN_Server_Port_Up>"
    "<LoRaWAN_Server_Port_Down>1780</LoRaWAN_Server_Port_Down>"
    "<LoRaWAN_KeepAlive_Interval>10</LoRaWAN_KeepAlive_Interval>"
    "<LoRaWAN_Network_Type>Private</LoRaWAN_Network_Type>"
    "<LoRaWAN_Adaptive_DataRate>0</LoRaWAN_Adaptive_DataRate>"
    "<LoRaWAN_DataRate>0 -\tLoRa: SF12/125kHz 250 [bit/s]</LoRaWAN_DataRate>"
    "<LoRaWAN_Transmission_Type>Unconfirmed</LoRaWAN_Transmission_Type>"
    "<LoRaWAN_Join_EUI></LoRaWAN_Join_EUI>"
    "<LoRaWAN_Activation_Method>Activation by Personalization [ABP]"
    "</LoRaWAN_Activation_Method>"
    "<LoRaWAN_Device_Address></LoRaWAN_Device_Address>"
    "<LoRaWAN_Network_Session_Key></LoRaWAN_Network_Session_Key>"
    "<LoRaWAN_Application_Session_Key></LoRaWAN_Application_Session_Key>"
    "<LoRaWAN_Application_Key></LoRaWAN_Application_Key>"
    "<LoRaWAN_Class>A</LoRaWAN_Class>"
    "<LoRaWAN_Diagostic_Position>0</LoRaWAN_Diagostic_Position>"
    "<LoRaWAN_RX2_Datarate>SF12BW125</LoRaWAN_RX2_Datarate>"
    "<LoRaWAN_Frequency_Sub_Band>1</LoRaWAN_Frequency_Sub_Band>"
    "<Ethernet_IP1>192</Ethernet_IP1>"
    "<Ethernet_IP2>168</Ethernet_IP2>"
    "<Ethernet_IP3>0</Ethernet_IP3>"
    "<Ethernet_IP4>5</Ethernet_IP4>"
    "<Ethernet_SM1>255</Ethernet_SM1>"
    "<Ethernet_SM2>255</Ethernet_SM2>"
    "<Ethernet_SM3>255</Ethernet_SM3>"
    "<Ethernet_SM4>0</Ethernet_SM4>"
    "<Ethernet_GAT1>192</Ethernet_GAT1>"
    "<Ethernet_GAT2>168</Ethernet_GAT2>"
    "<Ethernet_GAT3>0</Ethernet_GAT3>"
    "<Ethernet_GAT4>1</Ethernet_GAT4>"
    "<Ethernet_EN_GAT>0</Ethernet_EN_GAT>"
    "<Ethernet_TCP_Port>10001</Ethernet_TCP_Port>"
    "<Ethernet_UDP_Port>10001</Ethernet_UDP_Port>"
    "<WiFi_Type>0</WiFi_Type>"
    "<WiFi_IP1>192</WiFi_IP1>"
    "<WiFi_IP2>168</WiFi_IP2>"
    "<WiFi_IP3>0</WiFi_IP3>"
    "<WiFi_IP4>100</WiFi_IP4>"
    "<WiFi_SM1>255</WiFi_SM1>"
    "<WiFi_SM2>255</WiFi_SM2>"
    "<WiFi_SM3>255</WiFi_SM3>"
    "<WiFi_SM4>0</WiFi_SM4>"
    "<WiFi_EN_Gateway>0</WiFi_EN_Gateway>"
    "<WiFi_GAT1>192</WiFi_GAT1>"
    "<WiFi_GAT2>168</WiFi_GAT2>"
    "<WiFi_GAT3>0</WiFi_GAT3>"
    "<WiFi_GAT4>1</WiFi_GAT4>"
    "<WiFi_IP2_IP1>192</WiFi_IP2_IP1>"
    "<WiFi_IP2_IP2>168</WiFi_IP2_IP2>"
    "<WiFi_IP2_IP3>0</WiFi_IP2_IP3>"
    "<WiFi_IP2_IP4>110</WiFi_IP2_IP4>"
    "<WiFi_IP2_SM1>255</WiFi_IP2_SM1>"
    "<WiFi_IP2_SM2>255</WiFi_IP2_SM2>"
    "<WiFi_IP2_SM3>255</WiFi_IP2_SM3>"
    "<WiFi_IP2_SM4>0</WiFi_IP2_SM4>"
    "<WiFi_IP2_EN_Gateway>0</WiFi_IP2_EN_Gateway>"
    "<WiFi_IP2_GAT1>192</WiFi_IP2_GAT1>"
    "<WiFi_IP2_GAT2>168</WiFi_IP2_GAT2>"
    "<WiFi_IP2_GAT3>0</WiFi_IP2_GAT3>"
    "<WiFi_IP2_GAT4>1</WiFi_IP2_GAT4>"
    "<WiFi_SSID></WiFi_SSID>"
    "<WiFi_PWD></WiFi_PWD>"
    "<WiFi_Secure_Type>0</WiFi_Secure_Type>"
    "<WiFi_EN_DHCP>0</WiFi_EN_DHCP>"
    "<WiFi_DHCP_First_IP1>192</WiFi_DHCP_First_IP1>"
    "<WiFi_DHCP_First_IP2>168</WiFi_DHCP_First_IP2>"
    "<WiFi_DHCP_First_IP3>0</WiFi_DHCP_First_IP3>"
    "<WiFi_DHCP_First_IP4>200</WiFi_DHCP_First_IP4>"
    "<WiFi_DHCP_SM1>255</WiFi_DHCP_SM1>"
    "<WiFi_DHCP_SM2>255</WiFi_DHCP_SM2>"
    "<WiFi_DHCP_SM3>255</WiFi_DHCP_SM3>"
    "<WiFi_DHCP_SM4>0</WiFi_DHCP_SM4>"
    "<WiFi_Lease_Time>86400</WiFi_Lease_Time>"
    "<WiFi_Max_Client>0</WiFi_Max_Client>"
    "<WiFi_Channel>1</WiFi_Channel>"
    "</Par_Gen><!--SW_VERSION = 1.000-->";

// The defaults document with some elements holding other (already escaped)
// texts, given as "name=text".
QByteArray defaultsWith(const QStringList& changes)
{
    QByteArray doc = DefaultsDocument;
    for (const QString& change : changes) {
        const qsizetype eq = change.indexOf(u'=');
        const QByteArray name = change.left(eq).toUtf8();
        const QByteArray open = '<' + name + '>';
        const qsizetype begin = doc.indexOf(open);
        const qsizetype end = doc.indexOf("</" + name + '>');
        if (begin < 0 || end < 0)
            qFatal("no element %s in the defaults document", name.constData());
        doc.replace(begin + open.size(), end - begin - open.size(), change.mid(eq + 1).toUtf8());
    }
    return doc;
}

QByteArray parGen(const QByteArray& body)
{
    return "<Par_Gen>" + body + "</Par_Gen>";
}

// Something other than the default in every element.
ParGenValues changedValues()
{
    ParGenValues v;
    v.Select_Device = ParGenLists::EthernetCableAndWiFi;
    v.Eth_Conn_Device_Name = QStringLiteral("gateway-01 \u00e9t\u00e9");
    v.Eth_Conn_DHCP_Cable = true;
    v.Eth_Conn_DHCP_WiFi = true;
    v.Eth_Conn_Enable_DNS = true;
    v.Eth_Conn_Primary_DNS = parGenOctets(u"1", u"1", u"1", u"1");
    v.Eth_Conn_Secondary_DNS = parGenOctets(u"9", u"9", u"9", u"010");
    v.LoRaWAN_RF_Band = 1;
    v.LoRaWAN_Server_Address = QStringLiteral("lns.example <&> \"'");
    v.LoRaWAN_Server_Port_Up = QStringLiteral("1700");
    v.LoRaWAN_Server_Port_Down = QStringLiteral("1701");
    v.LoRaWAN_KeepAlive_Interval = QStringLiteral("30");
    v.LoRaWAN_Network_Type = 1;
    v.LoRaWAN_Adaptive_DataRate = true;
    v.LoRaWAN_DataRate = 5; // "8  -" TAB ...
    v.LoRaWAN_Transmission_Type = 1;
    v.LoRaWAN_Join_EUI = QStringLiteral("0123456789ABCDEF");
    v.LoRaWAN_Activation_Method = 1;
    v.LoRaWAN_Device_Address = QStringLiteral("26011F2A");
    v.LoRaWAN_Network_Session_Key = QStringLiteral("00112233445566778899AABBCCDDEEFF");
    v.LoRaWAN_Application_Session_Key = QStringLiteral("FFEEDDCCBBAA99887766554433221100");
    v.LoRaWAN_Application_Key = QStringLiteral("0F0E0D0C0B0A09080706050403020100");
    v.LoRaWAN_Class = 2;
    v.LoRaWAN_Diagostic_Position = QStringLiteral("1536");
    v.LoRaWAN_RX2_Datarate = 5;
    v.LoRaWAN_Frequency_Sub_Band = 7;
    v.Ethernet_IP = parGenOctets(u"10", u"0", u"0", u"2");
    v.Ethernet_SM = parGenOctets(u"255", u"0", u"0", u"0");
    v.Ethernet_GAT = parGenOctets(u"10", u"0", u"0", u"1");
    v.Ethernet_EN_GAT = true;
    v.Ethernet_TCP_Port = QStringLiteral("502");
    v.Ethernet_UDP_Port = QStringLiteral("");
    v.WiFi_Type = ParGenLists::Station;
    v.WiFi_IP = parGenOctets(u"172", u"16", u"0", u"2");
    v.WiFi_SM = parGenOctets(u"255", u"255", u"0", u"0");
    v.WiFi_EN_Gateway = true;
    v.WiFi_GAT = parGenOctets(u"172", u"16", u"0", u"1");
    v.WiFi_IP2_IP = parGenOctets(u"172", u"17", u"0", u"2");
    v.WiFi_IP2_SM = parGenOctets(u"255", u"255", u"255", u"128");
    v.WiFi_IP2_EN_Gateway = true;
    v.WiFi_IP2_GAT = parGenOctets(u"172", u"17", u"0", u"1");
    v.WiFi_SSID = QStringLiteral(" B\u00fcro\tWLAN \U0001F600 ");
    v.WiFi_PWD = QStringLiteral("a\r\nb]]>c&amp;");
    v.WiFi_Secure_Type = 3;
    v.WiFi_EN_DHCP = true;
    v.WiFi_DHCP_First_IP = parGenOctets(u"172", u"16", u"0", u"50");
    v.WiFi_DHCP_SM = parGenOctets(u"255", u"255", u"255", u"192");
    v.WiFi_Lease_Time = QStringLiteral("   ");
    v.WiFi_Max_Client = 9;
    v.WiFi_Channel = ParGenLists::AutoSearchChannel;
    return v;
}

} // namespace

class TestParGenDocument : public QObject
{
    Q_OBJECT

private slots:
    void defaultsDocument()
    {
        QCOMPARE(write(ParGenValues()), DefaultsDocument);
        const ParGenDocument::ReadResult r = read(DefaultsDocument);
        QCOMPARE(r.error, QString());
        QVERIFY(r.values == ParGenValues());
    }

    void roundTrip()
    {
        const ParGenValues v = changedValues();
        const QByteArray doc = write(v);
        const ParGenDocument::ReadResult r = read(doc);
        QCOMPARE(r.error, QString());
        QCOMPARE(write(r.values), doc);
        QVERIFY(r.values == v);
        // Stored as the item texts, the TAB and blanks as they are.
        QVERIFY(doc.contains("<LoRaWAN_DataRate>8  -\tLoRa: SF12/500kHz 980 [bit/s]</LoRaWAN_DataRate>"));
        QVERIFY(doc.contains("<LoRaWAN_RX2_Datarate>SF7BW500</LoRaWAN_RX2_Datarate>"));
        QVERIFY(doc.contains("<WiFi_PWD>a&#13;\nb]]&gt;c&amp;amp;</WiFi_PWD>"));
        QVERIFY(doc.contains("<WiFi_SSID> B\xc3\xbcro\tWLAN \xf0\x9f\x98\x80 </WiFi_SSID>"));
        QVERIFY(doc.startsWith("<Par_Gen><Select_Device>1</Select_Device>"));
    }

    void nothingSelected()
    {
        ParGenValues v;
        v.Select_Device = -1;
        v.WiFi_Channel = 12; // beyond the list
        v.LoRaWAN_RF_Band = -1;
        v.LoRaWAN_DataRate = 0;
        v.LoRaWAN_Class = -1;
        QCOMPARE(write(v),
                 defaultsWith({QStringLiteral("Select_Device=-1"), QStringLiteral("WiFi_Channel=-1"),
                               QStringLiteral("LoRaWAN_RF_Band="), QStringLiteral("LoRaWAN_DataRate="),
                               QStringLiteral("LoRaWAN_RX2_Datarate="), QStringLiteral("LoRaWAN_Class=")}));
    }

    void modeIsAlwaysGateway()
    {
        ParGenValues v;
        v.LoRaWAN_Mode = 1;
        QCOMPARE(write(v), DefaultsDocument);
    }

    // Characters XML cannot hold would make the whole file unreadable.
    void textsThatXmlCannotHold()
    {
        ParGenValues v;
        v.WiFi_SSID = QStringLiteral("a\x01"
                                     "b") +
                      QChar(0xD800) + QStringLiteral("c\x1f");
        const QByteArray doc = write(v);
        const ParGenDocument::ReadResult r = read(doc);
        QCOMPARE(r.error, QString());
        QCOMPARE(r.values.WiFi_SSID, QStringLiteral("ab\ufffdc"));
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QStringList>("written"); // elements that differ from the defaults document

        const QByteArray ssid = "<WiFi_SSID>set</WiFi_SSID>";
        QTest::newRow("declaration first")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + parGen(ssid) << QStringList();
        QTest::newRow("comment first") << "<!--SW_VERSION = 1.000-->" + parGen(ssid) << QStringList();
        QTest::newRow("doctype first") << "<!DOCTYPE Par_Gen>" + parGen(ssid) << QStringList();
        QTest::newRow("root of another name")
            << "<Other>" + ssid + "</Other>" << QStringList{u"WiFi_SSID=set"_s};
        QTest::newRow("layout white space") << "\n<Par_Gen>\n  " + ssid + "\n</Par_Gen>\n"
                                            << QStringList{u"WiFi_SSID=set"_s};
        QTest::newRow("only children of the root") << parGen("<Group>" + ssid + "</Group>") << QStringList();

        QTest::newRow("END NODE") << parGen("<LoRaWAN_Mode>END NODE</LoRaWAN_Mode>") << QStringList();
        QTest::newRow("End Node") << parGen("<LoRaWAN_Mode>End Node</LoRaWAN_Mode>") << QStringList();

        const QStringList us915Rx2{u"LoRaWAN_RF_Band=US915"_s, u"LoRaWAN_RX2_Datarate=SF12BW500"_s};
        QTest::newRow("EU868 data rate in US915")
            << parGen("<LoRaWAN_RF_Band>US915</LoRaWAN_RF_Band>"
                      "<LoRaWAN_DataRate>0 -\tLoRa: SF12/125kHz 250 [bit/s]</LoRaWAN_DataRate>")
            << us915Rx2 + QStringList{u"LoRaWAN_DataRate="_s};
        QTest::newRow("US915 data rate, band after it")
            << parGen("<LoRaWAN_RX2_Datarate>SF8BW500</LoRaWAN_RX2_Datarate>"
                      "<LoRaWAN_DataRate>8  -\tLoRa: SF12/500kHz 980 [bit/s]</LoRaWAN_DataRate>"
                      "<LoRaWAN_RF_Band>US915</LoRaWAN_RF_Band>")
            << QStringList{u"LoRaWAN_RF_Band=US915"_s, u"LoRaWAN_RX2_Datarate=SF8BW500"_s,
                           u"LoRaWAN_DataRate=8  -\tLoRa: SF12/500kHz 980 [bit/s]"_s};
        QTest::newRow("US915, no data rates")
            << parGen("<LoRaWAN_RF_Band>US915</LoRaWAN_RF_Band>")
            << us915Rx2 + QStringList{u"LoRaWAN_DataRate=0  -\tLoRa: SF10/125kHz "
                                      u"980 [bit/s]"_s};
        QTest::newRow("data rate with the TAB as blank")
            << parGen("<LoRaWAN_DataRate>1 - LoRa: SF11/125kHz 440 [bit/s]</LoRaWAN_DataRate>")
            << QStringList{u"LoRaWAN_DataRate="_s};
        QTest::newRow("data rate, band missing")
            << parGen("<LoRaWAN_DataRate>7 - FSK: 50kbps 50000 [bit/s]</LoRaWAN_DataRate>")
            << QStringList{u"LoRaWAN_DataRate=7 - FSK: 50kbps 50000 [bit/s]"_s};
        QTest::newRow("unknown band empties both lists")
            << parGen("<LoRaWAN_RF_Band>eu868</LoRaWAN_RF_Band>"
                      "<LoRaWAN_RX2_Datarate>SF12BW125</LoRaWAN_RX2_Datarate>")
            << QStringList{u"LoRaWAN_RF_Band="_s, u"LoRaWAN_DataRate="_s, u"LoRaWAN_RX2_Datarate="_s};
        QTest::newRow("item case matters")
            << parGen("<LoRaWAN_Network_Type>public</LoRaWAN_Network_Type><LoRaWAN_Class>C</LoRaWAN_Class>")
            << QStringList{u"LoRaWAN_Network_Type="_s, u"LoRaWAN_Class=C"_s};

        QTest::newRow("index beyond the list")
            << parGen("<Select_Device>2</Select_Device>") << QStringList{u"Select_Device=-1"_s};
        QTest::newRow("index -1 and leading zero")
            << parGen("<Select_Device>-1</Select_Device><WiFi_Secure_Type>03</WiFi_Secure_Type>")
            << QStringList{u"Select_Device=-1"_s, u"WiFi_Secure_Type=3"_s};
        QTest::newRow("index not a number")
            << parGen("<WiFi_Type>1.0</WiFi_Type><WiFi_Secure_Type>x</WiFi_Secure_Type>") << QStringList();
        QTest::newRow("index too large for any type")
            << parGen("<WiFi_Type>99999999999999999999999</WiFi_Type>") << QStringList{u"WiFi_Type=-1"_s};
        QTest::newRow("channel abc") << parGen("<WiFi_Channel>abc</WiFi_Channel>") << QStringList();
        QTest::newRow("channel auto search")
            << parGen("<WiFi_Channel>0</WiFi_Channel>") << QStringList{u"WiFi_Channel=0"_s};
        QTest::newRow("channel 12") << parGen("<WiFi_Channel>12</WiFi_Channel>")
                                    << QStringList{u"WiFi_Channel=-1"_s};
        QTest::newRow("empty max client") << parGen("<WiFi_Max_Client>5</WiFi_Max_Client>"
                                                    "<WiFi_Max_Client></WiFi_Max_Client>")
                                          << QStringList{u"WiFi_Max_Client=5"_s};
        QTest::newRow("empty max client, alone")
            << parGen("<WiFi_Max_Client/><WiFi_Channel/>") << QStringList();

        QTest::newRow("flags 01")
            << parGen("<Ethernet_EN_GAT>01</Ethernet_EN_GAT><WiFi_EN_Gateway>01</WiFi_EN_Gateway>")
            << QStringList{u"WiFi_EN_Gateway=1"_s};
        QTest::newRow("flags 1") << parGen("<Eth_Conn_DHCP_Cable>1</Eth_Conn_DHCP_Cable>"
                                           "<WiFi_IP2_EN_Gateway>1</WiFi_IP2_EN_Gateway>")
                                 << QStringList{u"Eth_Conn_DHCP_Cable=1"_s, u"WiFi_IP2_EN_Gateway=1"_s};
        QTest::newRow("flags not 1")
            << parGen("<Eth_Conn_Enable_DNS>true</Eth_Conn_Enable_DNS>"
                      "<WiFi_EN_DHCP>2</WiFi_EN_DHCP><WiFi_EN_Gateway>yes</WiFi_EN_Gateway>")
            << QStringList();

        QTest::newRow("other order, extra elements, duplicates")
            << parGen("<WiFi_PWD>first</WiFi_PWD><BACnet_Type>3</BACnet_Type><Select_Device>1</Select_Device>"
                      "<WiFi_PWD>second</WiFi_PWD><Select_Device>0</Select_Device>")
            << QStringList{u"WiFi_PWD=first"_s, u"Select_Device=1"_s};
        QTest::newRow("empty texts") << parGen("<Ethernet_IP1></Ethernet_IP1><Ethernet_TCP_Port/>")
                                     << QStringList{u"Ethernet_IP1="_s, u"Ethernet_TCP_Port="_s};
        QTest::newRow("texts unchanged")
            << parGen("<WiFi_SSID> a\tb </WiFi_SSID><WiFi_PWD> </WiFi_PWD><Ethernet_IP4>010</Ethernet_IP4>"
                      "<Eth_Conn_Device_Name>a-host-name-longer-than-31-characters</Eth_Conn_Device_Name>")
            << QStringList{u"WiFi_SSID= a\tb "_s, u"WiFi_PWD= "_s, u"Ethernet_IP4=010"_s,
                           u"Eth_Conn_Device_Name=a-host-name-longer-than-31-characters"_s};
        QTest::newRow("references and CDATA")
            << parGen("<WiFi_SSID>x&amp;y&#9;z&lt;</WiFi_SSID><WiFi_PWD><![CDATA[p<w]]></WiFi_PWD>")
            << QStringList{u"WiFi_SSID=x&amp;y\tz&lt;"_s, u"WiFi_PWD=p&lt;w"_s};
        QTest::newRow("element with a child element")
            << parGen("<Eth_Conn_Primary_DNS1>1<b>2</b></Eth_Conn_Primary_DNS1><WiFi_Channel><v>3</v></"
                      "WiFi_Channel>"
                      "<Eth_Conn_Primary_DNS1>4</Eth_Conn_Primary_DNS1>")
            << QStringList();
        QTest::newRow("element with a comment")
            << parGen("<Ethernet_TCP_Port>502<!--modbus--></Ethernet_TCP_Port>") << QStringList();
        QTest::newRow("attributes do not matter")
            << parGen("<Ethernet_TCP_Port unit=\"port\">502</Ethernet_TCP_Port>")
            << QStringList{u"Ethernet_TCP_Port=502"_s};
    }

    void decode()
    {
        QFETCH(QByteArray, document);
        QFETCH(QStringList, written);
        const ParGenDocument::ReadResult r = read(document);
        QCOMPARE(r.error, QString());
        QCOMPARE(write(r.values), defaultsWith(written));
    }

    void decodedPositions()
    {
        const ParGenDocument::ReadResult r = read(parGen("<LoRaWAN_Mode>END NODE</LoRaWAN_Mode>"
                                                         "<WiFi_Channel>abc</WiFi_Channel>"
                                                         "<Select_Device>2</Select_Device>"
                                                         "<LoRaWAN_RF_Band>US915</LoRaWAN_RF_Band>"
                                                         "<LoRaWAN_DataRate>x</LoRaWAN_DataRate>"));
        QCOMPARE(r.values.LoRaWAN_Mode, ParGenLists::GatewayMode);
        QCOMPARE(r.values.WiFi_Channel, 1);
        QCOMPARE(r.values.Select_Device, -1);
        QCOMPARE(r.values.LoRaWAN_RF_Band, 1);
        QCOMPARE(r.values.LoRaWAN_DataRate, -1);
        QCOMPARE(r.values.LoRaWAN_RX2_Datarate, 0);

        // A band without lists leaves both data-rate lists without a selection.
        const ParGenDocument::ReadResult unknown = read(parGen("<LoRaWAN_RF_Band>eu868</LoRaWAN_RF_Band>"));
        QCOMPARE(unknown.values.LoRaWAN_RF_Band, -1);
        QCOMPARE(unknown.values.LoRaWAN_DataRate, -1);
        QCOMPARE(unknown.values.LoRaWAN_RX2_Datarate, -1);
    }

    void notWellFormed_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("where");

        QTest::newRow("empty") << QByteArray() << u"line 1, column 0"_s;
        QTest::newRow("unclosed root")
            << QByteArray("<Par_Gen><Select_Device>1</Select_Device>") << u"line 1, column 41"_s;
        QTest::newRow("mismatched tag, elements before it")
            << QByteArray("<Par_Gen>\n<Select_Device>1</Select_Device>\n<WiFi_SSID>x</Par_Gen>")
            << u"line 3, column 22"_s;
        QTest::newRow("bare ampersand") << parGen("<WiFi_SSID>a & b</WiFi_SSID>") << u"line 1, column 24"_s;
        QTest::newRow("second root") << QByteArray("<Par_Gen/><Par_Gen/>") << u"line 1, column 20"_s;
        QTest::newRow("not XML") << QByteArray("Select_Device=1") << u"line 1, column 1"_s;
    }

    void notWellFormed()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, where);
        const ParGenDocument::ReadResult r = read(document);
        QVERIFY2(r.error.contains(where), qPrintable(r.error));
        QVERIFY(r.values == ParGenValues());
    }

    void dataRateLists()
    {
        using namespace ParGenLists;
        QCOMPARE(dataRates(EU868).size(), 8);
        QCOMPARE(dataRates(US915).size(), 11);
        QCOMPARE(dataRates(US915).at(0), u"0  -\tLoRa: SF10/125kHz 980 [bit/s]"_s);
        QCOMPARE(dataRates(US915).at(7), u"10 - LoRa: SF10/500kHz 3900 [bit/s]"_s);
        QCOMPARE(dataRates(EU868).at(6), u"6 - LoRa: SF7/250kHz 11000 [bit/s]"_s);
        QCOMPARE(rx2DataRates(EU868).size(), 7);
        QCOMPARE(rx2DataRates(US915).size(), 6);
        QVERIFY(dataRates(u"us915").isEmpty());
        QVERIFY(rx2DataRates(u"").isEmpty());
    }

    void saveAndLoad()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"ParGen.xml"_s);

        ParGenDocument::ReadResult r = load(path);
        QCOMPARE(r.error, QString());
        QVERIFY(r.values == ParGenValues());

        writeFile(path, "old contents that are longer than nothing");
        const ParGenValues v = changedValues();
        QCOMPARE(save(path, v), QString());
        QCOMPARE(readFile(path), write(v));
        r = load(path);
        QCOMPARE(r.error, QString());
        QVERIFY(r.values == v);
    }

    void saveIntoMissingFolder()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"missing"_s);
        const QString error = save(folder + u"/ParGen.xml"_s, ParGenValues());
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void loadFailures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("not well-formed") << u"broken"_s;
        QTest::newRow("unreadable") << u"folder"_s;
        QTest::newRow("too large") << u"large"_s;
    }

    void loadFailures()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"ParGen.xml"_s);
        if (kind == u"broken") {
            writeFile(path, parGen("<Select_Device>1</Select_Device><x>"));
        } else if (kind == u"folder") {
            QVERIFY(QDir(dir.path()).mkdir(u"ParGen.xml"_s));
        } else {
            // A well-formed document, padded with layout white space past the limit.
            QByteArray big = parGen("<Select_Device>1</Select_Device>");
            big.append(QByteArray(ParGenDocument::MaxFileSize + 1 - big.size(), ' '));
            writeFile(path, big);
            QCOMPARE(read(big).values.Select_Device, 1);
        }
        const ParGenDocument::ReadResult r = load(path);
        QVERIFY(!r.error.isEmpty());
        QVERIFY2(r.error.startsWith(QDir::toNativeSeparators(path)), qPrintable(r.error));
        QVERIFY(r.values == ParGenValues());
    }
};

QTEST_GUILESS_MAIN(TestParGenDocument)
#include "tst_pargen_document.moc"
