#include "lang/StringTable.h"
#include "params/ParGenValidation.h"

#include <QTest>

#include <functional>
#include <limits>

namespace {

using Setup = std::function<void(ParGenCheckInput&)>;
using Octets = std::array<QString, 4>;

// One checked control: a single text member, or box `box` (0-based) of an
// address member.
struct Field
{
    QString ParGenCheckInput::*text = nullptr;
    Octets ParGenCheckInput::*octets = nullptr;
    int box = 0;

    QString& in(ParGenCheckInput& input) const { return text ? input.*text : (input.*octets)[box]; }
};

Octets octets(const char* a, const char* b, const char* c, const char* d)
{
    return {QString::fromLatin1(a), QString::fromLatin1(b), QString::fromLatin1(c), QString::fromLatin1(d)};
}

// The editor's defaults for a new configuration, with the controls shown and
// enabled as this product's layout leaves them in "Access Point" mode.
ParGenCheckInput validInput()
{
    ParGenCheckInput in;
    in.E_EthConn_Pri_DNS_IP = octets("8", "8", "8", "8");
    in.E_EthConn_Sec_DNS_IP = octets("8", "8", "8", "8");

    in.CB_LoRaWAN_RF_Band_text = QStringLiteral("EU868");
    in.E_LoRaWAN_Server_Port_Up = QStringLiteral("1780");
    in.E_LoRaWAN_Server_Port_Down = QStringLiteral("1780");
    in.E_LoRaWAN_KeepAlive_Interval = QStringLiteral("10");
    in.CB_LoRaWAN_Network_Type_text = QStringLiteral("Private");
    in.shown_CB_LoRaWAN_Network_Type = true;
    in.E_LoRaWAN_Diag_Pos = QStringLiteral("0");
    in.shown_E_LoRaWAN_Diag_Pos = true;
    in.CB_LoRaWAN_DataRate_text = QStringLiteral("0 -\tLoRa: SF12/125kHz 250 [bit/s]");
    in.CB_LoRaWAN_Transmission_Type_text = QStringLiteral("Unconfirmed");
    in.CB_LoRaWAN_Activation_Method_text = QStringLiteral("Activation by Personalization [ABP]");

    in.E_Ethernet_IP = octets("192", "168", "0", "5");
    in.E_Ethernet_SM = octets("255", "255", "255", "0");
    in.E_Ethernet_GAT = octets("192", "168", "0", "1");
    in.E_Ethernet_TCP_Port = QStringLiteral("10001");
    in.E_Ethernet_UDP_Port = QStringLiteral("10001");

    in.CB_WiFi2_Type_index = 0;
    in.E_WiFi2_IP1_IP = octets("192", "168", "0", "100");
    in.shown_E_WiFi2_IP1_IP1 = true;
    in.enabled_E_WiFi2_IP1_IP1 = true;
    in.E_WiFi2_IP1_SM = octets("255", "255", "255", "0");
    in.E_WiFi2_IP1_GAT = octets("192", "168", "0", "1");
    in.E_WiFi2_IP2_IP = octets("192", "168", "0", "110");
    in.E_WiFi2_IP2_SM = octets("255", "255", "255", "0");
    in.E_WiFi2_IP2_GAT = octets("192", "168", "0", "1");
    in.E_WiFi2_DHCP_First_IP = octets("192", "168", "0", "200");
    in.E_WiFi2_DHCP_SM = octets("255", "255", "255", "0");
    in.E_WiFi2_Lease_Time = QStringLiteral("86400");
    return in;
}

void station(ParGenCheckInput& in)
{
    in.CB_WiFi2_Type_index = 1;
}

void stationBlock2(ParGenCheckInput& in)
{
    in.CB_WiFi2_Type_index = 1;
    in.shown_E_WiFi2_IP2_IP1 = true;
    in.enabled_E_WiFi2_IP2_IP1 = true;
}

StringTable englishTable()
{
    StringTable t;
    t.buildDefaults();
    return t;
}

} // namespace

Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(Field)

class TestParGenValidation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void baselinePasses();
    void defaultInputStopsAtTheBand();
    void eachCheck_data();
    void eachCheck();
    void firstFailureWins_data();
    void firstFailureWins();
    void ethernetTcpPort_data();
    void ethernetTcpPort();
    void leaseTimeOnlyForAccessPointWithDhcp_data();
    void leaseTimeOnlyForAccessPointWithDhcp();
    void stationBlocksNeedShownAndEnabled_data();
    void stationBlocksNeedShownAndEnabled();
    void lengthsCountTheUnchangedText_data();
    void lengthsCountTheUnchangedText();
    void numberReading_data();
    void numberReading();
    void hugeNumbersFailTheirRange();
    void messagesFollowTheStringTable();

private:
    StringTable m_texts;
};

void TestParGenValidation::initTestCase()
{
    m_texts = englishTable();
}

void TestParGenValidation::baselinePasses()
{
    const auto failure = checkParGen(validInput(), m_texts);
    QVERIFY2(!failure, failure ? qPrintable(failure->message) : "");
}

void TestParGenValidation::defaultInputStopsAtTheBand()
{
    // Nothing shown, nothing ticked: DNS is skipped and the empty band is the
    // first check that runs and fails.
    const auto failure = checkParGen(ParGenCheckInput(), m_texts);
    QVERIFY(failure);
    QCOMPARE(failure->step, 3);
    QCOMPARE(failure->index, 1396);
}

// One row per check (per box for addresses): `setup` makes the check run,
// `good` must pass and `bad` must fail with step, index and message; `off`,
// where given, makes the check not run, so that `bad` passes again.
void TestParGenValidation::eachCheck_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<Setup>("off");
    QTest::addColumn<Field>("field");
    QTest::addColumn<QString>("good");
    QTest::addColumn<QString>("bad");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("message"); // empty: the table's text at index

    const Setup none;
    auto single = [](QString ParGenCheckInput::*m) { return Field{m, nullptr, 0}; };
    auto row = [&](const char* name, const Setup& setup, const Setup& off, Field field, const char* good,
                   const char* bad, int step, int index, const char* message = "") {
        QTest::newRow(name) << setup << off << field << QString::fromUtf8(good) << QString::fromUtf8(bad)
                            << step << index << QString::fromUtf8(message);
    };
    // Each box of an address with its own index; the values vary by box so
    // that several forms of number and non-number are seen.
    auto address = [&](int step, const char* name, const Setup& setup, const Setup& off,
                       Octets ParGenCheckInput::*member, int firstIndex, const char* bad = nullptr,
                       std::array<const char*, 4> messages = {"", "", "", ""}) {
        static const char* const goods[] = {"255", "0", "08", "007"};
        static const char* const bads[] = {"256", "-1", "", "abc"};
        for (int box = 0; box < 4; ++box) {
            const QByteArray rowName =
                QByteArray::number(step) + ' ' + name + " box " + QByteArray::number(box + 1);
            row(rowName.constData(), setup, off, Field{nullptr, member, box}, goods[box],
                bad ? bad : bads[box], step, firstIndex + box, messages[box]);
        }
    };

    const Setup dnsOn = [](ParGenCheckInput& in) { in.CB_EthConn_Enable_DNS_ticked = true; };
    const Setup dnsOff = [](ParGenCheckInput& in) { in.CB_EthConn_Enable_DNS_ticked = false; };
    address(1, "primary DNS", dnsOn, dnsOff, &ParGenCheckInput::E_EthConn_Pri_DNS_IP, 1051, "300",
            {"Error Primary DNS!! DNS 1 must be between 0 and 255", "", "",
             "Error Primary DNS!! DNS 4 must be between 0 and 255"});
    address(2, "secondary DNS", dnsOn, dnsOff, &ParGenCheckInput::E_EthConn_Sec_DNS_IP, 1055, "300",
            {"", "", "", "Error Secondary DNS!! DNS 4 must be between 0 and 255"});

    row("3 band empty", none, none, single(&ParGenCheckInput::CB_LoRaWAN_RF_Band_text), "US915", "", 3, 1396,
        "Error LoRaWAN!! RF Band cannot be empty");
    row("3 band blanks and controls", none, none, single(&ParGenCheckInput::CB_LoRaWAN_RF_Band_text),
        " EU868\t", " \t\r\n\x01 ", 3, 1396);

    auto setFlag = [](bool ParGenCheckInput::*flag, bool value) {
        return Setup([flag, value](ParGenCheckInput& in) { in.*flag = value; });
    };
    row("4 server port up", setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Server_Port_Up, true),
        setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Server_Port_Up, false),
        single(&ParGenCheckInput::E_LoRaWAN_Server_Port_Up), "65535", "65536", 4, 1343);
    row("5 server port down", setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Server_Port_Down, true),
        setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Server_Port_Down, false),
        single(&ParGenCheckInput::E_LoRaWAN_Server_Port_Down), "0", "-1", 5, 1344);
    row("6 keep-alive", setFlag(&ParGenCheckInput::shown_E_LoRaWAN_KeepAlive_Interval, true),
        setFlag(&ParGenCheckInput::shown_E_LoRaWAN_KeepAlive_Interval, false),
        single(&ParGenCheckInput::E_LoRaWAN_KeepAlive_Interval), "10000000", "10000001", 6, 1345);
    row("7 network type", none, setFlag(&ParGenCheckInput::shown_CB_LoRaWAN_Network_Type, false),
        single(&ParGenCheckInput::CB_LoRaWAN_Network_Type_text), "Public", "", 7, 1397);
    row("8 diag position", none, setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Diag_Pos, false),
        single(&ParGenCheckInput::E_LoRaWAN_Diag_Pos), "1536", "1537", 8, 1408,
        "Error LoRaWAN!! Diagnostic Position must be between 0 and 1536");
    row("9 data rate", setFlag(&ParGenCheckInput::shown_CB_LoRaWAN_DataRate, true),
        setFlag(&ParGenCheckInput::shown_CB_LoRaWAN_DataRate, false),
        single(&ParGenCheckInput::CB_LoRaWAN_DataRate_text), "8  -\tLoRa: SF12/500kHz 980 [bit/s]", "\t", 9,
        1398);
    row("10 transmission", setFlag(&ParGenCheckInput::shown_CB_LoRaWAN_Transmission_Type, true),
        setFlag(&ParGenCheckInput::shown_CB_LoRaWAN_Transmission_Type, false),
        single(&ParGenCheckInput::CB_LoRaWAN_Transmission_Type_text), "Confirmed", "", 10, 1399);
    row("11 join EUI", setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Join_EUI, true),
        setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Join_EUI, false),
        single(&ParGenCheckInput::E_LoRaWAN_Join_EUI), "0123456789ABCDEF", "0123456789ABCDE", 11, 1400,
        "Error LoRaWAN!! Join EUI must have 8 bytes");
    row("12 activation", setFlag(&ParGenCheckInput::shown_CB_LoRaWAN_Activation_Method, true),
        setFlag(&ParGenCheckInput::shown_CB_LoRaWAN_Activation_Method, false),
        single(&ParGenCheckInput::CB_LoRaWAN_Activation_Method_text), "Over-the-Air Activation [OTAA]", " ",
        12, 1401);
    row("13 device address short", setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Device_Address, true),
        setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Device_Address, false),
        single(&ParGenCheckInput::E_LoRaWAN_Device_Address), "0123ABCD", "0123ABC", 13, 1402);
    row("13 device address long", setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Device_Address, true),
        setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Device_Address, false),
        single(&ParGenCheckInput::E_LoRaWAN_Device_Address), "0123ABCD", "0123ABCDE", 13, 1402,
        "Error LoRa!! Device Address must have 4 bytes");
    const char* key32 = "000102030405060708090A0B0C0D0E0F";
    const char* key31 = "000102030405060708090A0B0C0D0E0";
    const char* key33 = "000102030405060708090A0B0C0D0E0F1";
    row("14 network session key", setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Network_Session_Key, true),
        setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Network_Session_Key, false),
        single(&ParGenCheckInput::E_LoRaWAN_Network_Session_Key), key32, key31, 14, 1403);
    row("15 application session key",
        setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Application_Session_Key, true),
        setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Application_Session_Key, false),
        single(&ParGenCheckInput::E_LoRaWAN_Application_Session_Key), key32, key33, 15, 1404);
    row("16 application key", setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Application_Key, true),
        setFlag(&ParGenCheckInput::shown_E_LoRaWAN_Application_Key, false),
        single(&ParGenCheckInput::E_LoRaWAN_Application_Key), key32, "", 16, 1405,
        "Error LoRa!! Application Key must have 16 bytes");

    address(17, "Ethernet IP", none, none, &ParGenCheckInput::E_Ethernet_IP, 1142, nullptr,
            {"", "", "Error Ethernet!! IP Address 3 must be between 0 and 255", ""});
    address(18, "Ethernet mask", none, none, &ParGenCheckInput::E_Ethernet_SM, 1146);
    address(19, "Ethernet gateway", setFlag(&ParGenCheckInput::CB_Ethernet_En_GAT_ticked, true),
            setFlag(&ParGenCheckInput::CB_Ethernet_En_GAT_ticked, false), &ParGenCheckInput::E_Ethernet_GAT,
            1150, nullptr, {"Error Ethernet!! GATEWAY IP 1 must be between 0 and 255", "", "", ""});
    row("20 TCP port", none, none, single(&ParGenCheckInput::E_Ethernet_TCP_Port), "9999", "10000", 20, 1154,
        "Error Ethernet!! TCP Port must be between 0 and 65535 and different from 10000");
    row("21 UDP port reserved", none, none, single(&ParGenCheckInput::E_Ethernet_UDP_Port), "65535", "10000",
        21, 1155);
    row("21 UDP port range", none, none, single(&ParGenCheckInput::E_Ethernet_UDP_Port), "0", "65536", 21,
        1155);

    // Access point (the baseline's mode); Station with DHCP for Wi-Fi, which
    // disables the address rows, checks none of them.
    const Setup stationDhcp = [](ParGenCheckInput& in) {
        station(in);
        in.enabled_E_WiFi2_IP1_IP1 = false;
    };
    address(22, "AP IP", none, stationDhcp, &ParGenCheckInput::E_WiFi2_IP1_IP, 1184, nullptr,
            {"Error WiFi!! IP Address 1 must be between 0 and 255", "", "", ""});
    address(23, "AP mask", none, stationDhcp, &ParGenCheckInput::E_WiFi2_IP1_SM, 1188);
    const Setup apGateway = setFlag(&ParGenCheckInput::CB_WiFi2_IP1_En_GAT_ticked, true);
    address(24, "AP gateway", apGateway, setFlag(&ParGenCheckInput::CB_WiFi2_IP1_En_GAT_ticked, false),
            &ParGenCheckInput::E_WiFi2_IP1_GAT, 1192);
    const Setup dhcpOn = setFlag(&ParGenCheckInput::CB_WiFi2_En_DHCP_ticked, true);
    const Setup dhcpOff = setFlag(&ParGenCheckInput::CB_WiFi2_En_DHCP_ticked, false);
    address(25, "DHCP first IP", dhcpOn, dhcpOff, &ParGenCheckInput::E_WiFi2_DHCP_First_IP, 1196);
    address(26, "DHCP mask", dhcpOn, dhcpOff, &ParGenCheckInput::E_WiFi2_DHCP_SM, 1200, nullptr,
            {"", "", "", "Error WiFi!! DHCP SUBNET Mask 4 must be between 0 and 255"});
    row("27 lease time zero", dhcpOn, dhcpOff, single(&ParGenCheckInput::E_WiFi2_Lease_Time), "1", "0", 27,
        1204, "Error WiFi!! Lease Time must be between 1 and 99999999 seconds");
    row("27 lease time too long", dhcpOn, dhcpOff, single(&ParGenCheckInput::E_WiFi2_Lease_Time), "99999999",
        "100000000", 27, 1204);

    // Station: block 1 shown and enabled; DHCP for Wi-Fi disables it.
    const Setup block1Disabled = setFlag(&ParGenCheckInput::enabled_E_WiFi2_IP1_IP1, false);
    address(28, "station IP", station, block1Disabled, &ParGenCheckInput::E_WiFi2_IP1_IP, 1205, nullptr,
            {"", "Error WiFi - IP Address 1 !! IP Address 2 must be between 0 and 255", "", ""});
    address(29, "station mask", station, block1Disabled, &ParGenCheckInput::E_WiFi2_IP1_SM, 1209);
    const Setup stationGateway = [](ParGenCheckInput& in) {
        station(in);
        in.CB_WiFi2_IP1_En_GAT_ticked = true;
    };
    address(30, "station gateway", stationGateway,
            setFlag(&ParGenCheckInput::CB_WiFi2_IP1_En_GAT_ticked, false), &ParGenCheckInput::E_WiFi2_IP1_GAT,
            1213);

    // The second block, hidden in this product.
    const Setup block2Hidden = setFlag(&ParGenCheckInput::shown_E_WiFi2_IP2_IP1, false);
    address(31, "block 2 IP", stationBlock2, block2Hidden, &ParGenCheckInput::E_WiFi2_IP2_IP, 1217);
    address(32, "block 2 mask", stationBlock2, block2Hidden, &ParGenCheckInput::E_WiFi2_IP2_SM, 1221);
    const Setup block2Gateway = [](ParGenCheckInput& in) {
        stationBlock2(in);
        in.CB_WiFi2_IP2_En_GAT_ticked = true;
    };
    address(33, "block 2 gateway", block2Gateway,
            setFlag(&ParGenCheckInput::CB_WiFi2_IP2_En_GAT_ticked, false), &ParGenCheckInput::E_WiFi2_IP2_GAT,
            1225, nullptr, {"", "", "", "Error WiFi - IP Address 2 !! Gateway 4 must be between 0 and 255"});
}

void TestParGenValidation::eachCheck()
{
    QFETCH(Setup, setup);
    QFETCH(Setup, off);
    QFETCH(Field, field);
    QFETCH(QString, good);
    QFETCH(QString, bad);
    QFETCH(int, step);
    QFETCH(int, index);
    QFETCH(QString, message);

    ParGenCheckInput in = validInput();
    if (setup)
        setup(in);
    field.in(in) = good;
    auto failure = checkParGen(in, m_texts);
    QVERIFY2(!failure, failure ? qPrintable(failure->message) : "");

    field.in(in) = bad;
    failure = checkParGen(in, m_texts);
    QVERIFY(failure);
    QCOMPARE(failure->step, step);
    QCOMPARE(failure->index, index);
    QCOMPARE(failure->message, message.isEmpty() ? m_texts.text(index) : message);

    if (off) {
        off(in);
        failure = checkParGen(in, m_texts);
        QVERIFY2(!failure, failure ? qPrintable(failure->message) : "");
    }
}

void TestParGenValidation::firstFailureWins_data()
{
    QTest::addColumn<Setup>("errors");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("index");

    QTest::newRow("DNS before Ethernet port") << Setup([](ParGenCheckInput& in) {
        in.CB_EthConn_Enable_DNS_ticked = true;
        in.E_EthConn_Pri_DNS_IP[2] = QStringLiteral("300");
        in.E_Ethernet_TCP_Port = QStringLiteral("10000");
    }) << 1 << 1053;
    QTest::newRow("primary before secondary DNS") << Setup([](ParGenCheckInput& in) {
        in.CB_EthConn_Enable_DNS_ticked = true;
        in.E_EthConn_Sec_DNS_IP[0] = QStringLiteral("x");
        in.E_EthConn_Pri_DNS_IP[3] = QStringLiteral("x");
    }) << 1 << 1054;
    QTest::newRow("earlier box of the same address") << Setup([](ParGenCheckInput& in) {
        in.E_Ethernet_IP[3] = QString();
        in.E_Ethernet_IP[1] = QString();
    }) << 17 << 1143;
    QTest::newRow("band before diagnostic position") << Setup([](ParGenCheckInput& in) {
        in.E_LoRaWAN_Diag_Pos = QStringLiteral("1537");
        in.CB_LoRaWAN_RF_Band_text.clear();
    }) << 3 << 1396;
    QTest::newRow("Ethernet port before Wi-Fi") << Setup([](ParGenCheckInput& in) {
        in.E_WiFi2_IP1_IP[0] = QStringLiteral("abc");
        in.E_Ethernet_UDP_Port = QStringLiteral("10000");
    }) << 21 << 1155;
    QTest::newRow("DHCP mask before lease time") << Setup([](ParGenCheckInput& in) {
        in.CB_WiFi2_En_DHCP_ticked = true;
        in.E_WiFi2_Lease_Time = QStringLiteral("0");
        in.E_WiFi2_DHCP_SM[0] = QStringLiteral("256");
    }) << 26 << 1200;
    QTest::newRow("station block 1 before block 2") << Setup([](ParGenCheckInput& in) {
        stationBlock2(in);
        in.E_WiFi2_IP2_IP[0] = QStringLiteral("256");
        in.E_WiFi2_IP1_SM[3] = QStringLiteral("256");
    }) << 29 << 1212;
}

void TestParGenValidation::firstFailureWins()
{
    QFETCH(Setup, errors);
    QFETCH(int, step);
    QFETCH(int, index);

    ParGenCheckInput in = validInput();
    errors(in);
    const auto failure = checkParGen(in, m_texts);
    QVERIFY(failure);
    QCOMPARE(failure->step, step);
    QCOMPARE(failure->index, index);
}

void TestParGenValidation::ethernetTcpPort_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("10000") << QStringLiteral("10000") << false;
    QTest::newRow("010000") << QStringLiteral("010000") << false;
    QTest::newRow("0") << QStringLiteral("0") << true;
    QTest::newRow("9999") << QStringLiteral("9999") << true;
    QTest::newRow("10001") << QStringLiteral("10001") << true;
    QTest::newRow("65535") << QStringLiteral("65535") << true;
    QTest::newRow("65536") << QStringLiteral("65536") << false;
    QTest::newRow("65536 + 10000") << QStringLiteral("75536") << false;
}

void TestParGenValidation::ethernetTcpPort()
{
    QFETCH(QString, port);
    QFETCH(bool, accepted);

    ParGenCheckInput in = validInput();
    in.E_Ethernet_TCP_Port = port;
    const auto failure = checkParGen(in, m_texts);
    QCOMPARE(!failure, accepted);
    if (failure)
        QCOMPARE(failure->index, 1154);
}

void TestParGenValidation::leaseTimeOnlyForAccessPointWithDhcp_data()
{
    QTest::addColumn<int>("wifiType");
    QTest::addColumn<bool>("dhcp");
    QTest::addColumn<QString>("lease");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("AP, DHCP, 0") << 0 << true << QStringLiteral("0") << false;
    QTest::newRow("AP, DHCP, empty") << 0 << true << QString() << false;
    QTest::newRow("AP, DHCP, 99999999") << 0 << true << QStringLiteral("99999999") << true;
    QTest::newRow("AP, no DHCP, 0") << 0 << false << QStringLiteral("0") << true;
    QTest::newRow("station, DHCP, 0") << 1 << true << QStringLiteral("0") << true;
    QTest::newRow("no type, DHCP, 0") << -1 << true << QStringLiteral("0") << true;
}

void TestParGenValidation::leaseTimeOnlyForAccessPointWithDhcp()
{
    QFETCH(int, wifiType);
    QFETCH(bool, dhcp);
    QFETCH(QString, lease);
    QFETCH(bool, accepted);

    ParGenCheckInput in = validInput();
    in.CB_WiFi2_Type_index = wifiType;
    in.CB_WiFi2_En_DHCP_ticked = dhcp;
    in.E_WiFi2_Lease_Time = lease;
    const auto failure = checkParGen(in, m_texts);
    QCOMPARE(!failure, accepted);
    if (failure)
        QCOMPARE(failure->index, 1204);
}

// "abc" in the first box of each block, in Station mode or with no type.
void TestParGenValidation::stationBlocksNeedShownAndEnabled_data()
{
    QTest::addColumn<int>("wifiType");
    QTest::addColumn<int>("block");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("index"); // 0: accepted

    for (int type : {1, -1}) {
        for (int block : {1, 2}) {
            const QByteArray base =
                (type == 1 ? "station" : "no type") + QByteArray(", block ") + QByteArray::number(block);
            const int index = block == 1 ? 1205 : 1217;
            QTest::newRow((base + ", shown and enabled").constData())
                << type << block << true << true << index;
            QTest::newRow((base + ", shown, disabled").constData()) << type << block << true << false << 0;
            QTest::newRow((base + ", hidden, enabled").constData()) << type << block << false << true << 0;
            QTest::newRow((base + ", hidden, disabled").constData()) << type << block << false << false << 0;
        }
    }
}

void TestParGenValidation::stationBlocksNeedShownAndEnabled()
{
    QFETCH(int, wifiType);
    QFETCH(int, block);
    QFETCH(bool, shown);
    QFETCH(bool, enabled);
    QFETCH(int, index);

    ParGenCheckInput in = validInput();
    in.CB_WiFi2_Type_index = wifiType;
    if (block == 1) {
        in.shown_E_WiFi2_IP1_IP1 = shown;
        in.enabled_E_WiFi2_IP1_IP1 = enabled;
        in.E_WiFi2_IP1_IP[0] = QStringLiteral("abc");
    } else {
        in.shown_E_WiFi2_IP2_IP1 = shown;
        in.enabled_E_WiFi2_IP2_IP1 = enabled;
        in.E_WiFi2_IP2_IP[0] = QStringLiteral("abc");
    }
    const auto failure = checkParGen(in, m_texts);
    QCOMPARE(failure ? failure->index : 0, index);
}

void TestParGenValidation::lengthsCountTheUnchangedText_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("8 digits") << QStringLiteral("0123ABCD") << true;
    QTest::newRow("7 digits and a trailing blank") << QStringLiteral("0123ABC ") << true;
    QTest::newRow("8 digits and a leading blank") << QStringLiteral(" 0123ABCD") << false;
    QTest::newRow("8 blanks") << QStringLiteral("        ") << true;
    // A character outside the basic plane is one character, not two.
    QTest::newRow("7 digits and an emoji")
        << (QStringLiteral("0123ABC") + QString::fromUcs4(U"\U0001F600")) << true;
    QTest::newRow("6 digits and an emoji")
        << (QStringLiteral("0123AB") + QString::fromUcs4(U"\U0001F600")) << false;
}

void TestParGenValidation::lengthsCountTheUnchangedText()
{
    QFETCH(QString, address);
    QFETCH(bool, accepted);

    ParGenCheckInput in = validInput();
    in.shown_E_LoRaWAN_Device_Address = true;
    in.E_LoRaWAN_Device_Address = address;
    const auto failure = checkParGen(in, m_texts);
    QCOMPARE(!failure, accepted);
    if (failure)
        QCOMPARE(failure->index, 1402);
}

void TestParGenValidation::numberReading_data()
{
    constexpr long long Max = std::numeric_limits<long long>::max();
    QTest::addColumn<QString>("text");
    QTest::addColumn<long long>("value");

    QTest::newRow("zero") << QStringLiteral("0") << 0LL;
    QTest::newRow("leading zero") << QStringLiteral("08") << 8LL;
    QTest::newRow("many leading zeros") << QStringLiteral("000000000000000000000000000255") << 255LL;
    QTest::newRow("blanks around") << QStringLiteral("  12 ") << 12LL;
    QTest::newRow("tab and newline around") << QStringLiteral("\t12\n") << 12LL;
    QTest::newRow("plus") << QStringLiteral("+12") << 12LL;
    QTest::newRow("minus") << QStringLiteral("-12") << -12LL;
    QTest::newRow("blank then sign") << QStringLiteral(" -7") << -7LL;
    QTest::newRow("beyond 32 bits") << QStringLiteral("4294967297") << 4294967297LL;
    QTest::newRow("largest") << QStringLiteral("9223372036854775807") << Max;
    QTest::newRow("one past largest") << QStringLiteral("9223372036854775808") << Max;
    QTest::newRow("30 digits") << QStringLiteral("999999999999999999999999999999") << Max;
    QTest::newRow("minus 30 digits") << QStringLiteral("-999999999999999999999999999999") << -Max;

    QTest::newRow("empty") << QString() << -1LL;
    QTest::newRow("blanks only") << QStringLiteral("   ") << -1LL;
    QTest::newRow("sign only") << QStringLiteral("+") << -1LL;
    QTest::newRow("sign then blank") << QStringLiteral("+ 1") << -1LL;
    QTest::newRow("two signs") << QStringLiteral("--1") << -1LL;
    QTest::newRow("blank inside") << QStringLiteral("1 2") << -1LL;
    QTest::newRow("letters") << QStringLiteral("abc") << -1LL;
    QTest::newRow("trailing letter") << QStringLiteral("12a") << -1LL;
    QTest::newRow("0x prefix") << QStringLiteral("0x10") << -1LL;
    QTest::newRow("dollar prefix") << QStringLiteral("$10") << -1LL;
    QTest::newRow("exponent") << QStringLiteral("1e3") << -1LL;
    QTest::newRow("decimal point") << QStringLiteral("12.0") << -1LL;
    QTest::newRow("fullwidth digit") << QString(QChar(0xFF11)) << -1LL;
    QTest::newRow("arabic-indic digit") << QString(QChar(0x0661)) << -1LL;
}

void TestParGenValidation::numberReading()
{
    QFETCH(QString, text);
    QFETCH(long long, value);
    QCOMPARE(parGenNumber(text), value);
}

void TestParGenValidation::hugeNumbersFailTheirRange()
{
    // Numbers that a narrower or wrapping reader would turn into small ones.
    const QString huge30 = QStringLiteral("100000000000000000000000000001");
    const QString wraps32 = QStringLiteral("4294967297"); // 2^32 + 1

    ParGenCheckInput in = validInput();
    in.E_Ethernet_IP[0] = wraps32;
    auto failure = checkParGen(in, m_texts);
    QVERIFY(failure);
    QCOMPARE(failure->index, 1142);

    in = validInput();
    in.CB_WiFi2_En_DHCP_ticked = true;
    in.E_WiFi2_Lease_Time = huge30;
    failure = checkParGen(in, m_texts);
    QVERIFY(failure);
    QCOMPARE(failure->index, 1204);

    in = validInput();
    in.E_LoRaWAN_Diag_Pos = QStringLiteral("-") + huge30;
    failure = checkParGen(in, m_texts);
    QVERIFY(failure);
    QCOMPARE(failure->index, 1408);
}

void TestParGenValidation::messagesFollowTheStringTable()
{
    StringTable texts = englishTable();
    texts.set(1154, QStringLiteral("Porta TCP non valida"));
    texts.set(1408, QStringLiteral("Posizione fino a %d"));

    ParGenCheckInput in = validInput();
    in.E_Ethernet_TCP_Port = QStringLiteral("10000");
    auto failure = checkParGen(in, texts);
    QVERIFY(failure);
    QCOMPARE(failure->message, QStringLiteral("Porta TCP non valida"));

    in = validInput();
    in.E_LoRaWAN_Diag_Pos = QStringLiteral("1537");
    failure = checkParGen(in, texts);
    QVERIFY(failure);
    QCOMPARE(failure->message, QStringLiteral("Posizione fino a 1536"));
}

QTEST_GUILESS_MAIN(TestParGenValidation)
#include "tst_pargen_validation.moc"
