#include "compiler/Compiler.h"
#include "compiler/ForwarderText.h"
#include "compiler/LoRaWANConfig.h"
#include "compiler/LoRaWANLoader.h"

#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// ---- Fixture documents

// Attribute or element name and value; a null value leaves the item out.
using Items = QList<QPair<QString, QString>>;

QString escaped(QString text)
{
    return text.replace(u'&', QStringLiteral("&amp;"))
        .replace(u'<', QStringLiteral("&lt;"))
        .replace(u'"', QStringLiteral("&quot;"))
        .replace(u'\t', QStringLiteral("&#9;"));
}

// The defaults with the overrides applied; overrides of names not among the
// defaults are added at the end.
QString attributes(const Items& defaults, const Items& overrides)
{
    Items all = defaults;
    for (const auto& [name, value] : overrides) {
        auto it = std::find_if(all.begin(), all.end(), [&](const auto& p) { return p.first == name; });
        if (it != all.end())
            it->second = value;
        else
            all.append({name, value});
    }
    QString out;
    for (const auto& [name, value] : all) {
        if (!value.isNull())
            out += QStringLiteral(" %1=\"%2\"").arg(name, escaped(value));
    }
    return out;
}

const Items DeviceDefaults{
    {QStringLiteral("Enable"), QStringLiteral("Y")},
    {QStringLiteral("DeviceEUI"), QStringLiteral("0011223344556677")},
    {QStringLiteral("JoinEUI"), QStringLiteral("8899AABBCCDDEEFF")},
    {QStringLiteral("DeviceName"), QStringLiteral("Sensor")},
    {QStringLiteral("ActivationMethod"), QStringLiteral("Over-the-Air Activation [OTAA]")},
    {QStringLiteral("NetworkSessionKey"), QStringLiteral("000102030405060708090A0B0C0D0E0F")},
    {QStringLiteral("ApplicationSessionKey"), QStringLiteral("101112131415161718191A1B1C1D1E1F")},
    {QStringLiteral("ApplicationKey"), QStringLiteral("202122232425262728292A2B2C2D2E2F")},
    {QStringLiteral("DeviceAddress"), QStringLiteral("26011BDA")},
    {QStringLiteral("Class"), QStringLiteral("C")},
    {QStringLiteral("DiagTimeOut"), QStringLiteral("60000")},
    {QStringLiteral("RX2_Datarate"), QStringLiteral("SF9BW125")},
    {QStringLiteral("Mnemonic"), QStringLiteral("m")},
};

const Items UpLinkDefaults{
    {QStringLiteral("Enable"), QStringLiteral("Y")},
    {QStringLiteral("Port"), QStringLiteral("10")},
    {QStringLiteral("StartTest"), QStringLiteral("2")},
    {QStringLiteral("LenTest"), QStringLiteral("3")},
    {QStringLiteral("HexTest"), QStringLiteral("Y")},
    {QStringLiteral("ValueTest"), QStringLiteral("010203")},
    {QStringLiteral("StartBit"), QStringLiteral("4")},
    {QStringLiteral("NumberBits"), QStringLiteral("6")},
    {QStringLiteral("PositionBit"), QStringLiteral("100")},
    {QStringLiteral("Mnemonic"), QStringLiteral("u")},
};

const Items DownLinkDefaults{
    {QStringLiteral("Enable"), QStringLiteral("Y")},
    {QStringLiteral("Port"), QStringLiteral("20")},
    {QStringLiteral("StartBit"), QStringLiteral("1")},
    {QStringLiteral("NumberBits"), QStringLiteral("8")},
    {QStringLiteral("OnChange"), QStringLiteral("Y")},
    {QStringLiteral("OnCommand"), QStringLiteral("N")},
    {QStringLiteral("OnTimer"), QStringLiteral("Y")},
    {QStringLiteral("Time"), QStringLiteral("5000")},
    {QStringLiteral("PositionBit"), QStringLiteral("200")},
    {QStringLiteral("Mnemonic"), QStringLiteral("d")},
};

QString upRule(const Items& overrides = {})
{
    return QStringLiteral("<Rule%1/>").arg(attributes(UpLinkDefaults, overrides));
}

QString downRule(const Items& overrides = {})
{
    return QStringLiteral("<Rule%1/>").arg(attributes(DownLinkDefaults, overrides));
}

QString rules(const QStringList& up, const QStringList& down)
{
    return QStringLiteral("<LoRaWAN_Rules><LoRaWAN_UpLink_Rules>%1</LoRaWAN_UpLink_Rules>"
                          "<LoRaWAN_DownLink_Rules>%2</LoRaWAN_DownLink_Rules></LoRaWAN_Rules>")
        .arg(up.join(QString()), down.join(QString()));
}

QString device(const Items& overrides = {}, const QStringList& up = {}, const QStringList& down = {})
{
    return QStringLiteral("<LoRaWAN_Device%1>%2</LoRaWAN_Device>")
        .arg(attributes(DeviceDefaults, overrides), rules(up, down));
}

QByteArray gatewayDocument(const QStringList& devices)
{
    return QStringLiteral(
               "<?xml version=\"1.0\"?>\n<LoRaWAN_Gateway><LoRaWAN_Devices_List>%1</LoRaWAN_Devices_List>"
               "</LoRaWAN_Gateway><!--SW_VERSION = 1.000-->\n")
        .arg(devices.join(u'\n'))
        .toUtf8();
}

QByteArray parGenDocument(const Items& keys)
{
    QString out = QStringLiteral("<?xml version=\"1.0\"?>\n<Par_Gen>\n");
    for (const auto& [name, value] : keys) {
        if (!value.isNull())
            out += QStringLiteral("  <%1>%2</%1>\n").arg(name, escaped(value));
    }
    return (out + QStringLiteral("</Par_Gen>\n")).toUtf8();
}

// An EU868 gateway: RX2 data rate 2, diagnostic position 12, sub-band 2.
const Items GatewayParGen{
    {QStringLiteral("LoRaWAN_Mode"), QStringLiteral("GATEWAY")},
    {QStringLiteral("LoRaWAN_RF_Band"), QStringLiteral("EU868")},
    {QStringLiteral("LoRaWAN_RX2_Datarate"), QStringLiteral("SF10BW125")},
    {QStringLiteral("LoRaWAN_Diagostic_Position"), QStringLiteral("12")},
    {QStringLiteral("LoRaWAN_Frequency_Sub_Band"), QStringLiteral("2")},
};

Items merged(Items base, const Items& overrides)
{
    for (const auto& item : overrides) {
        auto it =
            std::find_if(base.begin(), base.end(), [&](const auto& p) { return p.first == item.first; });
        if (it != base.end())
            it->second = item.second;
        else
            base.append(item);
    }
    return base;
}

// A configuration folder written by the test.
class Configuration
{
public:
    Configuration() { QVERIFY(m_dir.isValid()); }
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
    void parGen(const Items& keys) { writeFile(file(QStringLiteral("ParGen.xml")), parGenDocument(keys)); }
    void gateway(const QByteArray& document)
    {
        writeFile(file(QStringLiteral("LoRaWAN_Gateway.xml")), document);
    }
    void gateway(const QStringList& devices) { gateway(gatewayDocument(devices)); }
    CompileResult compile() const { return Compile_Configuration(m_dir.path()); }

private:
    QTemporaryDir m_dir;
};

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

// The record of the default device in an EU868 gateway.
const QByteArray DefaultDeviceRecord = hex("77 66 55 44 33 22 11 00"
                                           "FF EE DD CC BB AA 99 88"
                                           "53 65 6E 73 6F 72 00 00 00 00 00 00 00 00 00 00"
                                           "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F"
                                           "10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F"
                                           "20 21 22 23 24 25 26 27 28 29 2A 2B 2C 2D 2E 2F"
                                           "DA 1B 01 26"
                                           "22 01 00 00"
                                           "60 EA 00 00"
                                           "03 00 00 00");

// The forwarder text part of an image: from its offset to the end.
QString textAt(const QByteArray& image, qsizetype offset)
{
    return QString::fromLatin1(image.mid(offset));
}

// ---- The forwarder text read back

// Removes the C-style comments outside strings.
QString withoutComments(const QString& text)
{
    QString out;
    bool inString = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inString) {
            out += c;
            if (c == u'\\' && i + 1 < text.size())
                out += text[++i];
            else if (c == u'"')
                inString = false;
        } else if (c == u'/' && i + 1 < text.size() && text[i + 1] == u'*') {
            const qsizetype end = text.indexOf(QStringLiteral("*/"), i + 2);
            if (end < 0)
                return QString();
            i = end + 1;
        } else {
            inString = c == u'"';
            out += c;
        }
    }
    return out;
}

QJsonObject parsed(const QStringList& lines)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(withoutComments(lines.join(u'\n')).toUtf8(), &error);
    if (error.error != QJsonParseError::NoError)
        qWarning() << "JSON:" << error.errorString() << "at" << error.offset;
    return doc.object();
}

QJsonObject object(std::initializer_list<QPair<QString, QJsonValue>> members)
{
    return QJsonObject(members);
}

QJsonObject expectedTree(bool us, const QString& server, const QString& portUp, const QString& portDown,
                         const QString& keepAlive, bool isPublic)
{
    const auto multiSf = [&](int radio, int offset) {
        return object({{QStringLiteral("enable"), true},
                       {QStringLiteral("radio"), radio},
                       {QStringLiteral("if"), offset}});
    };
    const QJsonObject rssiTcomp = object({{QStringLiteral("coeff_a"), 0},
                                          {QStringLiteral("coeff_b"), 0},
                                          {QStringLiteral("coeff_c"), 20.41},
                                          {QStringLiteral("coeff_d"), 2162.56},
                                          {QStringLiteral("coeff_e"), 0}});
    QJsonArray lut;
    const int powerIndex[16] = {15, 16, 17, 19, 20, 22, 1, 2, 3, 4, 5, 6, 7, 9, 11, 14};
    for (int i = 0; i < 16; ++i)
        lut.append(object({{QStringLiteral("rf_power"), 12 + i},
                           {QStringLiteral("pa_gain"), i < 6 ? 0 : 1},
                           {QStringLiteral("pwr_idx"), powerIndex[i]}}));
    const auto channel = [](int freq, int bandwidth, int scan, int transmit) {
        return object({{QStringLiteral("freq_hz"), freq},
                       {QStringLiteral("bandwidth"), bandwidth},
                       {QStringLiteral("scan_time_us"), scan},
                       {QStringLiteral("transmit_time_ms"), transmit}});
    };
    const QJsonObject lbt =
        us ? object({{QStringLiteral("enable"), false}})
           : object({{QStringLiteral("enable"), false},
                     {QStringLiteral("rssi_target"), -70},
                     {QStringLiteral("channels"),
                      QJsonArray{channel(867100000, 125000, 128, 400), channel(867300000, 125000, 128, 400),
                                 channel(867500000, 125000, 128, 400), channel(867700000, 125000, 128, 400),
                                 channel(867900000, 125000, 128, 400), channel(868100000, 125000, 128, 400),
                                 channel(868300000, 125000, 128, 400), channel(868500000, 125000, 128, 400),
                                 channel(869525000, 125000, 5000, 4000),
                                 channel(868300000, 250000, 128, 400)}}});

    const QJsonObject sx130x = object({
        {QStringLiteral("com_type"), QStringLiteral("SPI")},
        {QStringLiteral("com_path"), QStringLiteral("/dev/spidev0.0")},
        {QStringLiteral("lorawan_public"), isPublic},
        {QStringLiteral("clksrc"), 0},
        {QStringLiteral("antenna_gain"), 0},
        {QStringLiteral("full_duplex"), false},
        {QStringLiteral("fine_timestamp"),
         object({{QStringLiteral("enable"), false}, {QStringLiteral("mode"), QStringLiteral("all_sf")}})},
        {QStringLiteral("sx1261_conf"),
         object({{QStringLiteral("spi_path"), QStringLiteral("/dev/spidev0.1")},
                 {QStringLiteral("rssi_offset"), 0},
                 {QStringLiteral("spectral_scan"),
                  object({{QStringLiteral("enable"), false},
                          {QStringLiteral("freq_start"), us ? 903900000 : 867100000},
                          {QStringLiteral("nb_chan"), 8},
                          {QStringLiteral("nb_scan"), 2000},
                          {QStringLiteral("pace_s"), 10}})},
                 {QStringLiteral("lbt"), lbt}})},
        {QStringLiteral("radio_0"), object({{QStringLiteral("enable"), true},
                                            {QStringLiteral("type"), QStringLiteral("SX1250")},
                                            {QStringLiteral("freq"), us ? 904300000 : 867500000},
                                            {QStringLiteral("rssi_offset"), -215.4},
                                            {QStringLiteral("rssi_tcomp"), rssiTcomp},
                                            {QStringLiteral("tx_enable"), true},
                                            {QStringLiteral("tx_freq_min"), us ? 923000000 : 863000000},
                                            {QStringLiteral("tx_freq_max"), us ? 928000000 : 870000000},
                                            {QStringLiteral("tx_gain_lut"), lut}})},
        {QStringLiteral("radio_1"), object({{QStringLiteral("enable"), true},
                                            {QStringLiteral("type"), QStringLiteral("SX1250")},
                                            {QStringLiteral("freq"), us ? 905000000 : 868500000},
                                            {QStringLiteral("rssi_offset"), -215.4},
                                            {QStringLiteral("rssi_tcomp"), rssiTcomp},
                                            {QStringLiteral("tx_enable"), false}})},
        {QStringLiteral("chan_multiSF_All"),
         object({{QStringLiteral("spreading_factor_enable"), QJsonArray{5, 6, 7, 8, 9, 10, 11, 12}}})},
        {QStringLiteral("chan_multiSF_0"), us ? multiSf(0, -400000) : multiSf(1, -400000)},
        {QStringLiteral("chan_multiSF_1"), us ? multiSf(0, -200000) : multiSf(1, -200000)},
        {QStringLiteral("chan_multiSF_2"), us ? multiSf(0, 0) : multiSf(1, 0)},
        {QStringLiteral("chan_multiSF_3"), us ? multiSf(0, 200000) : multiSf(0, -400000)},
        {QStringLiteral("chan_multiSF_4"), us ? multiSf(1, -300000) : multiSf(0, -200000)},
        {QStringLiteral("chan_multiSF_5"), us ? multiSf(1, -100000) : multiSf(0, 0)},
        {QStringLiteral("chan_multiSF_6"), us ? multiSf(1, 100000) : multiSf(0, 200000)},
        {QStringLiteral("chan_multiSF_7"), us ? multiSf(1, 300000) : multiSf(0, 400000)},
        {QStringLiteral("chan_Lora_std"), object({{QStringLiteral("enable"), true},
                                                  {QStringLiteral("radio"), us ? 0 : 1},
                                                  {QStringLiteral("if"), us ? 300000 : -200000},
                                                  {QStringLiteral("bandwidth"), us ? 500000 : 250000},
                                                  {QStringLiteral("spread_factor"), us ? 8 : 7},
                                                  {QStringLiteral("implicit_hdr"), false},
                                                  {QStringLiteral("implicit_payload_length"), 17},
                                                  {QStringLiteral("implicit_crc_en"), false},
                                                  {QStringLiteral("implicit_coderate"), 1}})},
        {QStringLiteral("chan_FSK"), object({{QStringLiteral("enable"), !us},
                                             {QStringLiteral("radio"), 1},
                                             {QStringLiteral("if"), 300000},
                                             {QStringLiteral("bandwidth"), 125000},
                                             {QStringLiteral("datarate"), 50000}})},
    });
    const QJsonObject gateway = object({
        {QStringLiteral("gateway_ID"),
         us ? QStringLiteral("AA555A0000000000") : QStringLiteral("DCA632FFFFB3DC2B")},
        {QStringLiteral("server_address"), server},
        {QStringLiteral("serv_port_up"), portUp.toInt()},
        {QStringLiteral("serv_port_down"), portDown.toInt()},
        {QStringLiteral("keepalive_interval"), keepAlive.toInt()},
        {QStringLiteral("stat_interval"), 30},
        {QStringLiteral("push_timeout_ms"), 100},
        {QStringLiteral("forward_crc_valid"), true},
        {QStringLiteral("forward_crc_error"), false},
        {QStringLiteral("forward_crc_disabled"), false},
        {QStringLiteral("gps_tty_path"), QStringLiteral("/dev/ttyS0")},
        {QStringLiteral("ref_latitude"), 0.0},
        {QStringLiteral("ref_longitude"), 0.0},
        {QStringLiteral("ref_altitude"), 0},
        {QStringLiteral("beacon_period"), 0},
        {QStringLiteral("beacon_freq_hz"), 869525000},
        {QStringLiteral("beacon_datarate"), 9},
        {QStringLiteral("beacon_bw_hz"), 125000},
        {QStringLiteral("beacon_power"), 14},
        {QStringLiteral("beacon_infodesc"), 0},
    });
    const QJsonObject debug = object({
        {QStringLiteral("ref_payload"),
         QJsonArray{object({{QStringLiteral("id"), QStringLiteral("0xCAFE1234")}}),
                    object({{QStringLiteral("id"), QStringLiteral("0xCAFE2345")}})}},
        {QStringLiteral("log_file"), QStringLiteral("loragw_hal.log")},
    });
    return object({{QStringLiteral("SX130x_conf"), sx130x},
                   {QStringLiteral("gateway_conf"), gateway},
                   {QStringLiteral("debug_conf"), debug}});
}

// The first member name of each line at an indentation, in text order.
QStringList leadingMembers(const QStringList& lines, int indent)
{
    static const QRegularExpression member(QStringLiteral("^( *)\"([^\"]+)\":"));
    QStringList names;
    for (const QString& line : lines) {
        const auto m = member.match(line);
        if (m.hasMatch() && m.capturedLength(1) == indent)
            names << m.captured(2);
    }
    return names;
}

// Each comment with what stands before it on its line, blanks removed.
QStringList commentsWithContext(const QStringList& lines)
{
    QStringList out;
    for (const QString& line : lines) {
        const qsizetype start = line.indexOf(QStringLiteral("/*"));
        if (start < 0)
            continue;
        QString before = line.left(start);
        before.remove(u' ').remove(u'\t');
        out << before + QStringLiteral(" | ") + line.mid(start);
    }
    return out;
}

} // namespace

class TestLoRaWANImage : public QObject
{
    Q_OBJECT

private slots:
    void emptyConfiguration_data();
    void emptyConfiguration();
    void deviceWithRules();
    void deviceRecord_data();
    void deviceRecord();
    void testValueBytes_data();
    void testValueBytes();
    void ruleRecord_data();
    void ruleRecord();
    void deviceSelection();
    void rx2DataRate_data();
    void rx2DataRate();
    void hexConversions_data();
    void hexConversions();
    void modeDetection_data();
    void modeDetection();
    void endNode_data();
    void endNode();
    void forwarderText_data();
    void forwarderText();
    void forwarderValues_data();
    void forwarderValues();
    void documentErrors_data();
    void documentErrors();
    void parGenErrors_data();
    void parGenErrors();
    void imageCapacity();
    void writeImages();
    void unwritableBinFolder();
    void secondImageFails_data();
    void secondImageFails();
};

void TestLoRaWANImage::emptyConfiguration_data()
{
    QTest::addColumn<bool>("withParGen");
    QTest::addColumn<QByteArray>("document"); // empty: no LoRaWAN_Gateway.xml
    QTest::addColumn<QByteArray>("header");

    const QByteArray addresses = hex("24 00 08 00 24 00 08 00 24 00 08 00");
    QTest::newRow("gateway, no document")
        << true << QByteArray()
        << hex("00000000 00000000") + addresses + hex("11 11 00 00 00 02 00 00 0C000000 02 000000");
    QTest::newRow("gateway, empty devices list")
        << true << gatewayDocument({})
        << hex("00000000 00000000") + addresses + hex("11 11 00 00 00 02 00 00 0C000000 02 000000");
    // Without ParGen.xml: gateway mode with every default (sub-band 1).
    QTest::newRow("no ParGen.xml") << false << QByteArray()
                                   << hex("00000000 00000000") + addresses +
                                          hex("11 11 00 00 00 00 00 00 00000000 01 000000");
}

void TestLoRaWANImage::emptyConfiguration()
{
    QFETCH(bool, withParGen);
    QFETCH(QByteArray, document);
    QFETCH(QByteArray, header);
    Configuration config;
    if (withParGen)
        config.parGen(GatewayParGen);
    if (!document.isEmpty())
        config.gateway(document);

    const CompileResult result = config.compile();
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    QCOMPARE(result.image1.size(), 2048);
    QCOMPARE(result.devices, 0);
    QCOMPARE(result.rules, 0);
    const QByteArray& image = result.image2;
    QCOMPARE(image.left(36).toHex(' '), header.toHex(' '));
    QVERIFY(image.endsWith(hex("7D 0A 00")));
    // The text follows the header directly and the 0 byte is the only one.
    QVERIFY(image.mid(36).startsWith("{\n    \"SX130x_conf\": {\n"));
    QCOMPARE(image.indexOf('\0', 36), image.size() - 1);
    QVERIFY(!image.contains('\r'));

    const QStringList lines = textAt(image, 36).chopped(2).split(u'\n');
    const QJsonObject gateway = parsed(lines).value(QStringLiteral("gateway_conf")).toObject();
    QCOMPARE(gateway.value(QStringLiteral("server_address")).toString(), DefaultServerAddress);
    QCOMPARE(gateway.value(QStringLiteral("serv_port_up")).toInt(), 1780);
    QCOMPARE(gateway.value(QStringLiteral("serv_port_down")).toInt(), 1780);
    QCOMPARE(gateway.value(QStringLiteral("keepalive_interval")).toInt(), 10);
    QCOMPARE(gateway.value(QStringLiteral("gateway_ID")).toString(), QStringLiteral("DCA632FFFFB3DC2B"));
    QVERIFY(parsed(lines)
                .value(QStringLiteral("SX130x_conf"))
                .toObject()
                .value(QStringLiteral("lorawan_public")) == QJsonValue(false));
}

void TestLoRaWANImage::deviceWithRules()
{
    Configuration config;
    config.parGen(GatewayParGen);
    config.gateway(QStringList{device({}, {upRule()}, {downRule()})});

    const CompileResult result = config.compile();
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    QCOMPARE(result.devices, 1);
    QCOMPARE(result.rules, 2);
    const QByteArray& image = result.image2;
    const QByteArray expected =
        hex("01000000 02000000 24000800 84000800 B7000800 11110000 00 02 00 00 0C000000 02 000000") +
        DefaultDeviceRecord +
        // uplink: device 0, port 10, test at 2 for 3, test bytes at 0x800B4
        hex("0000 0A00 0200 0300 B4000800 00000000 0400 6400 0600 0000") +
        // downlink: port 20, period 5000, on change and on timer
        hex("0000 1400 0000 0000 B7000800 88130000 0100 C800 0800 0D00") + hex("01 02 03");
    QCOMPARE(expected.size(), 183);
    QCOMPARE(image.left(183).toHex(' '), expected.toHex(' '));
    QVERIFY(image.mid(183).startsWith("{\n"));
    QVERIFY(image.endsWith(hex("7D 0A 00")));
}

void TestLoRaWANImage::deviceRecord_data()
{
    QTest::addColumn<Items>("overrides");
    QTest::addColumn<QByteArray>("record");

    QTest::newRow("every attribute") << Items{} << DefaultDeviceRecord;
    QTest::newRow("15-digit EUI, ABP, optional attributes missing")
        << Items{{QStringLiteral("DeviceEUI"), QStringLiteral("123456789ABCDEF")},
                 {QStringLiteral("JoinEUI"), QStringLiteral("")},
                 {QStringLiteral("ActivationMethod"), QStringLiteral("Activation by Personalization [ABP]")},
                 {QStringLiteral("DeviceName"), QStringLiteral("A device name of more than sixteen")},
                 {QStringLiteral("DeviceAddress"), QStringLiteral("1BDA")},
                 {QStringLiteral("Class"), QString()},
                 {QStringLiteral("DiagTimeOut"), QString()},
                 {QStringLiteral("RX2_Datarate"), QString()},
                 {QStringLiteral("Mnemonic"), QString()}}
        << hex("EF CD AB 89 67 45 23 01"
               "00 00 00 00 00 00 00 00"
               "41 20 64 65 76 69 63 65 20 6E 61 6D 65 20 6F 66"
               "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F"
               "10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F"
               "20 21 22 23 24 25 26 27 28 29 2A 2B 2C 2D 2E 2F"
               "DA 1B 00 00"
               "20 00 00 00"
               "00 00 00 00"
               "02 00 00 00");
    // Class is exact, the method trimmed and upper-cased; short keys are padded on the left.
    QTest::newRow("class c, otaa in lower case, short texts")
        << Items{{QStringLiteral("Class"), QStringLiteral("c")},
                 {QStringLiteral("ActivationMethod"), QStringLiteral(" over-the-air activation [otaa] ")},
                 {QStringLiteral("DeviceEUI"), QStringLiteral("G1")},
                 {QStringLiteral("NetworkSessionKey"), QStringLiteral("ABC")},
                 {QStringLiteral("ApplicationSessionKey"), QStringLiteral("")},
                 {QStringLiteral("ApplicationKey"), QStringLiteral("  00112233445566778899AABBCCDDEEFF ")},
                 {QStringLiteral("DeviceName"), QStringLiteral("\u0141x")},
                 {QStringLiteral("DiagTimeOut"), QStringLiteral("4294967295")}}
        << hex("00 00 00 00 00 00 00 00"
               "FF EE DD CC BB AA 99 88"
               "41 78 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
               "00 00 00 00 00 00 00 00 00 00 00 00 00 00 0A BC"
               "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
               "00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF"
               "DA 1B 01 26"
               "20 01 00 00"
               "FF FF FF FF"
               "03 00 00 00");
    QTest::newRow("time-out beyond 32 bits")
        << Items{{QStringLiteral("DiagTimeOut"), QStringLiteral("4294967296")}}
        << DefaultDeviceRecord.left(88) + hex("00 00 00 00 03 00 00 00");
    QTest::newRow("time-out not a number") << Items{{QStringLiteral("DiagTimeOut"), QStringLiteral("-1")}}
                                           << DefaultDeviceRecord.left(88) + hex("00 00 00 00 03 00 00 00");
}

void TestLoRaWANImage::deviceRecord()
{
    QFETCH(Items, overrides);
    QFETCH(QByteArray, record);
    Configuration config;
    config.parGen(GatewayParGen);
    config.gateway(QStringList{device(overrides)});

    const CompileResult result = config.compile();
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    QCOMPARE(result.image2.mid(36, 96).toHex(' '), record.toHex(' '));
}

void TestLoRaWANImage::testValueBytes_data()
{
    QTest::addColumn<QString>("hexTest"); // null: no HexTest attribute
    QTest::addColumn<QString>("value");   // null: no ValueTest attribute
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("three hex digits") << QStringLiteral("Y") << QStringLiteral("ABC") << hex("0A BC");
    QTest::newRow("hex flag trimmed, lower case")
        << QStringLiteral(" y ") << QStringLiteral("a1b2") << hex("A1 B2");
    QTest::newRow("pair that is not hex") << QStringLiteral("Y") << QStringLiteral("ZZ12") << hex("00 12");
    QTest::newRow("empty hex value") << QStringLiteral("Y") << QStringLiteral("") << QByteArray();
    QTest::newRow("letters O and K") << QStringLiteral("N") << QStringLiteral("OK") << hex("4F 4B");
    QTest::newRow("no HexTest attribute") << QString() << QStringLiteral("OK") << hex("4F 4B");
    QTest::newRow("low 8 bits of a character")
        << QStringLiteral("N") << QStringLiteral("\u01411") << hex("41 31");
    QTest::newRow("no ValueTest attribute") << QStringLiteral("Y") << QString() << QByteArray();
}

void TestLoRaWANImage::testValueBytes()
{
    QFETCH(QString, hexTest);
    QFETCH(QString, value);
    QFETCH(QByteArray, bytes);
    Configuration config;
    config.parGen(GatewayParGen);
    config.gateway(QStringList{
        device({}, {upRule({{QStringLiteral("HexTest"), hexTest}, {QStringLiteral("ValueTest"), value}})})});

    const CompileResult result = config.compile();
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    const QByteArray& image = result.image2;
    // The text starts right after the test bytes: 0x80024 + 96 + 24 + their count.
    const quint32 confFile = 0x80024 + 96 + 24 + quint32(bytes.size());
    const QByteArray confFileBytes =
        QByteArray(1, char(confFile & 0xFF)) + char((confFile >> 8) & 0xFF) + hex("08 00");
    QCOMPARE(image.mid(16, 4).toHex(' '), confFileBytes.toHex(' '));
    QCOMPARE(image.mid(132 + 8, 4).toHex(' '), hex("9C 00 08 00").toHex(' '));
    QCOMPARE(image.mid(156, bytes.size()).toHex(' '), bytes.toHex(' '));
    QVERIFY(image.mid(156 + bytes.size()).startsWith("{\n"));
}

void TestLoRaWANImage::ruleRecord_data()
{
    QTest::addColumn<bool>("upLink");
    QTest::addColumn<Items>("overrides");
    QTest::addColumn<QByteArray>("record");

    QTest::newRow("uplink without test") << true
                                         << Items{{QStringLiteral("StartTest"), QString()},
                                                  {QStringLiteral("LenTest"), QString()},
                                                  {QStringLiteral("ValueTest"), QString()}}
                                         << hex("0000 0A00 FFFF FFFF 9C000800 00000000 0400 6400 0600 0000");
    QTest::newRow("uplink numbers that are not numbers")
        << true
        << Items{{QStringLiteral("Port"), QStringLiteral("x")},
                 {QStringLiteral("StartTest"), QStringLiteral("")},
                 {QStringLiteral("LenTest"), QStringLiteral("70000")},
                 {QStringLiteral("ValueTest"), QString()}}
        << hex("0000 FFFF FFFF FFFF 9C000800 00000000 0400 6400 0600 0000");
    QTest::newRow("uplink numbers with blanks")
        << true
        << Items{{QStringLiteral("Port"), QStringLiteral(" 65535 ")},
                 {QStringLiteral("StartBit"), QStringLiteral(" 500")},
                 {QStringLiteral("NumberBits"), QStringLiteral("1536 ")},
                 {QStringLiteral("PositionBit"), QStringLiteral("0")},
                 {QStringLiteral("ValueTest"), QString()}}
        << hex("0000 FFFF 0200 0300 9C000800 00000000 F401 0000 0006 0000");
    QTest::newRow("downlink on command only, time not a number")
        << false
        << Items{{QStringLiteral("OnChange"), QStringLiteral("n")},
                 {QStringLiteral("OnCommand"), QStringLiteral(" y")},
                 {QStringLiteral("OnTimer"), QStringLiteral("")},
                 {QStringLiteral("Time"), QStringLiteral("soon")}}
        << hex("0000 1400 0000 0000 9C000800 00000000 0100 C800 0800 0A00");
    QTest::newRow("downlink every trigger")
        << false
        << Items{{QStringLiteral("OnCommand"), QStringLiteral("Y")},
                 {QStringLiteral("Time"), QStringLiteral("100000000")}}
        << hex("0000 1400 0000 0000 9C000800 00E1F505 0100 C800 0800 0F00");
}

void TestLoRaWANImage::ruleRecord()
{
    QFETCH(bool, upLink);
    QFETCH(Items, overrides);
    QFETCH(QByteArray, record);
    Configuration config;
    config.parGen(GatewayParGen);
    config.gateway(
        QStringList{upLink ? device({}, {upRule(overrides)}) : device({}, {}, {downRule(overrides)})});

    const CompileResult result = config.compile();
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    QCOMPARE(result.rules, 1);
    QCOMPARE(result.image2.mid(132, 24).toHex(' '), record.toHex(' '));
}

void TestLoRaWANImage::deviceSelection()
{
    const auto eui = [](const char* text) {
        return Items{{QStringLiteral("DeviceEUI"), QString::fromLatin1(text)}};
    };
    const auto port = [](int p, const QString& enable = QStringLiteral("Y")) {
        return Items{{QStringLiteral("Port"), QString::number(p)}, {QStringLiteral("Enable"), enable}};
    };
    Configuration config;
    config.parGen(GatewayParGen);
    // Entries 1 and 3 are enabled; entry 3 lists its downlink rules first and
    // entry 2 has nothing a compiled device would need.
    const QString entry3 =
        QStringLiteral("<LoRaWAN_Device%1><LoRaWAN_Rules><LoRaWAN_DownLink_Rules>%2</LoRaWAN_DownLink_Rules>"
                       "<LoRaWAN_UpLink_Rules>%3%4</LoRaWAN_UpLink_Rules></LoRaWAN_Rules></LoRaWAN_Device>")
            .arg(attributes(DeviceDefaults, eui("0000000000000003")), downRule(port(5)),
                 upRule(port(4, QStringLiteral(" y "))), upRule(port(6, QStringLiteral("N"))));
    config.gateway(QStringList{
        device(eui("0000000000000001"), {upRule(port(1))}),
        QStringLiteral("<LoRaWAN_Device Enable=\"N\"/>"),
        entry3,
        device(merged(eui("0000000000000004"), {{QStringLiteral("Enable"), QStringLiteral("y")}}),
               {upRule(port(3))}),
        device(merged(eui("0000000000000005"), {{QStringLiteral("Enable"), QString()}}), {upRule(port(7))}),
    });

    const CompileResult result = config.compile();
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    const QByteArray& image = result.image2;
    QCOMPARE(image.left(8).toHex(' '), hex("02000000 03000000").toHex(' '));
    QCOMPARE(image.mid(36, 8).toHex(' '), hex("01 00 00 00 00 00 00 00").toHex(' '));
    QCOMPARE(image.mid(36 + 96, 8).toHex(' '), hex("03 00 00 00 00 00 00 00").toHex(' '));
    // num_device and port of each rule: entry 3 is device 1, its uplink rules come first.
    const qsizetype rules = 36 + 2 * 96;
    QCOMPARE(image.mid(rules, 4).toHex(' '), hex("0000 0100").toHex(' '));
    QCOMPARE(image.mid(rules + 24, 4).toHex(' '), hex("0100 0400").toHex(' '));
    QCOMPARE(image.mid(rules + 48, 4).toHex(' '), hex("0100 0500").toHex(' '));
    // Each uplink test has 3 bytes; the downlink's address is the next one free.
    QCOMPARE(image.mid(rules + 8, 4).toHex(' '), hex("2C010800").toHex(' '));
    QCOMPARE(image.mid(rules + 24 + 8, 4).toHex(' '), hex("2F010800").toHex(' '));
    QCOMPARE(image.mid(rules + 48 + 8, 4).toHex(' '), hex("32010800").toHex(' '));
    QCOMPARE(image.mid(16, 4).toHex(' '), hex("32010800").toHex(' '));
}

void TestLoRaWANImage::rx2DataRate_data()
{
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("gatewayRate");
    QTest::addColumn<QString>("deviceRate"); // null: no attribute
    QTest::addColumn<int>("bandByte");
    QTest::addColumn<int>("headerCode");
    QTest::addColumn<int>("deviceCode");

    const QString eu = QStringLiteral("EU868");
    const QString us = QStringLiteral("US915");
    QTest::newRow("EU lower case with a blank")
        << eu << QStringLiteral("SF10BW125") << QStringLiteral("sf9bw125 ") << 0 << 2 << 3;
    QTest::newRow("EU given a US name")
        << eu << QStringLiteral("SF10BW125") << QStringLiteral("SF9BW500") << 0 << 2 << 2;
    QTest::newRow("EU attribute missing") << eu << QStringLiteral("SF10BW125") << QString() << 0 << 2 << 2;
    QTest::newRow("EU attribute empty")
        << eu << QStringLiteral("SF10BW125") << QStringLiteral("") << 0 << 2 << 2;
    QTest::newRow("EU SF7BW250 and SF12BW125")
        << eu << QStringLiteral(" sf7bw250") << QStringLiteral("SF12BW125") << 0 << 6 << 0;
    QTest::newRow("US") << us << QStringLiteral("SF8BW500") << QStringLiteral("SF9BW500") << 1 << 12 << 11;
    QTest::newRow("US given an EU name")
        << us << QStringLiteral("SF8BW500") << QStringLiteral("SF9BW125") << 1 << 12 << 12;
    QTest::newRow("US gateway rate unknown")
        << us << QStringLiteral("SF7BW125") << QStringLiteral("sf7bw500") << 1 << 0 << 13;
    QTest::newRow("band not exactly US915")
        << QStringLiteral("us915") << QStringLiteral("SF8BW125") << QStringLiteral("SF9BW500") << 0 << 4 << 4;
}

void TestLoRaWANImage::rx2DataRate()
{
    QFETCH(QString, band);
    QFETCH(QString, gatewayRate);
    QFETCH(QString, deviceRate);
    QFETCH(int, bandByte);
    QFETCH(int, headerCode);
    QFETCH(int, deviceCode);
    Configuration config;
    config.parGen(merged(GatewayParGen, {{QStringLiteral("LoRaWAN_RF_Band"), band},
                                         {QStringLiteral("LoRaWAN_RX2_Datarate"), gatewayRate}}));
    config.gateway(QStringList{device({{QStringLiteral("RX2_Datarate"), deviceRate}})});

    const CompileResult result = config.compile();
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    QCOMPARE(int(quint8(result.image2[24])), bandByte);
    QCOMPARE(int(quint8(result.image2[25])), headerCode);
    QCOMPARE(int(quint8(result.image2[36 + 92])), deviceCode);
}

void TestLoRaWANImage::hexConversions_data()
{
    QTest::addColumn<int>("digits"); // 16 EUI, 32 key, 8 address
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes"); // empty: refused

    QTest::newRow("EUI") << 16 << QStringLiteral("0011223344556677") << hex("77 66 55 44 33 22 11 00");
    QTest::newRow("EUI of 15 digits")
        << 16 << QStringLiteral("123456789abcdef") << hex("EF CD AB 89 67 45 23 01");
    QTest::newRow("EUI empty") << 16 << QString() << hex("00 00 00 00 00 00 00 00");
    QTest::newRow("EUI with a pair not hex")
        << 16 << QStringLiteral("0x112233") << hex("33 22 11 00 00 00 00 00");
    QTest::newRow("EUI with blanks around 16 digits")
        << 16 << QStringLiteral(" 0011223344556677\t") << hex("77 66 55 44 33 22 11 00");
    QTest::newRow("EUI of 17 digits") << 16 << QStringLiteral("00112233445566778") << QByteArray();
    QTest::newRow("key") << 32 << QStringLiteral("000102030405060708090a0b0c0d0e0f")
                         << hex("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F");
    QTest::newRow("key of 3 digits") << 32 << QStringLiteral("ABC")
                                     << hex("00 00 00 00 00 00 00 00 00 00 00 00 00 00 0A BC");
    QTest::newRow("key of 33 digits")
        << 32 << QStringLiteral("000102030405060708090A0B0C0D0E0F1") << QByteArray();
    QTest::newRow("address") << 8 << QStringLiteral("26011BDA") << hex("DA 1B 01 26");
    QTest::newRow("address of 1 digit") << 8 << QStringLiteral("1") << hex("01 00 00 00");
    QTest::newRow("address of 9 digits") << 8 << QStringLiteral("126011BDA") << QByteArray();
}

void TestLoRaWANImage::hexConversions()
{
    QFETCH(int, digits);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    std::optional<QByteArray> got;
    const auto asBytes = [](const auto& array) {
        return QByteArray(reinterpret_cast<const char*>(array.data()), qsizetype(array.size()));
    };
    if (digits == 16) {
        if (const auto a = LoRaWANLoader::euiFromHex(text))
            got = asBytes(*a);
    } else if (digits == 32) {
        if (const auto a = LoRaWANLoader::keyFromHex(text))
            got = asBytes(*a);
    } else if (const auto a = LoRaWANLoader::addressFromHex(text)) {
        got = asBytes(*a);
    }
    QCOMPARE(got.has_value(), !bytes.isEmpty());
    if (got)
        QCOMPARE(got->toHex(' '), bytes.toHex(' '));
}

void TestLoRaWANImage::modeDetection_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QByteArray>("options");
    QTest::addColumn<int>("devices");

    QTest::newRow("END NODE") << QStringLiteral("END NODE") << hex("00 21 00 00") << 1;
    QTest::newRow("end node") << QStringLiteral("end node") << hex("00 21 00 00") << 1;
    QTest::newRow("blank before") << QStringLiteral(" END NODE") << hex("11 11 00 00") << 0;
    QTest::newRow("other text") << QStringLiteral("ENDNODE") << hex("11 11 00 00") << 0;
    QTest::newRow("missing") << QString() << hex("11 11 00 00") << 0;
}

void TestLoRaWANImage::modeDetection()
{
    QFETCH(QString, mode);
    QFETCH(QByteArray, options);
    QFETCH(int, devices);
    Configuration config;
    config.parGen(merged(GatewayParGen, {{QStringLiteral("LoRaWAN_Mode"), mode}}));
    config.gateway(QStringList{device({{QStringLiteral("Enable"), QStringLiteral("N")}})});

    const CompileResult result = config.compile();
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    QCOMPARE(result.image2.mid(20, 4).toHex(' '), options.toHex(' '));
    QCOMPARE(result.devices, devices);
}

void TestLoRaWANImage::endNode_data()
{
    QTest::addColumn<Items>("keys");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QByteArray>("headerTail"); // offsets 20 to 35
    QTest::addColumn<QByteArray>("record");

    const Items identity{
        {QStringLiteral("LoRaWAN_Mode"), QStringLiteral("End Node")},
        {QStringLiteral("LoRaWAN_Join_EUI"), QStringLiteral("0102030405060708")},
        {QStringLiteral("LoRaWAN_Application_Key"), QStringLiteral("A0A1A2A3A4A5A6A7A8A9AAABACADAEAF")},
        {QStringLiteral("LoRaWAN_Device_Address"), QStringLiteral("11223344")},
        {QStringLiteral("LoRaWAN_Network_Session_Key"), QStringLiteral("B0B1B2B3B4B5B6B7B8B9BABBBCBDBEBF")},
        {QStringLiteral("LoRaWAN_Application_Session_Key"),
         QStringLiteral("C0C1C2C3C4C5C6C7C8C9CACBCCCDCECF")},
        {QStringLiteral("LoRaWAN_RX2_Datarate"), QStringLiteral("SF9BW125")},
        {QStringLiteral("LoRaWAN_Diagostic_Position"), QStringLiteral("7")},
        {QStringLiteral("LoRaWAN_Frequency_Sub_Band"), QStringLiteral("258")},
    };
    QTest::newRow("OTAA, class C, confirmed")
        << merged(identity, {{QStringLiteral("LoRaWAN_Activation_Method"),
                              QStringLiteral(" over-the-air activation [otaa]")},
                             {QStringLiteral("LoRaWAN_Class"), QStringLiteral(" c ")},
                             {QStringLiteral("LoRaWAN_Adaptive_DataRate"), QStringLiteral("257")},
                             {QStringLiteral("LoRaWAN_Transmission_Type"), QStringLiteral("Confirmed")}})
        << 1 << hex("00 21 00 00 00 03 01 01 07 00 00 00 02 00 00 00")
        << hex("00 00 00 00 00 00 00 00"
               "08 07 06 05 04 03 02 01"
               "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
               "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
               "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
               "A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF"
               "00 00 00 00"
               "22 01 00 00"
               "00 00 00 00"
               "00 00 00 00");
    // Every entry is compiled with the same identity, however many there are.
    QTest::newRow("ABP, class B, three entries")
        << merged(identity, {{QStringLiteral("LoRaWAN_Activation_Method"),
                              QStringLiteral("Activation by Personalization [ABP]")},
                             {QStringLiteral("LoRaWAN_Class"), QStringLiteral("B")},
                             {QStringLiteral("LoRaWAN_Transmission_Type"), QStringLiteral("confirmed")}})
        << 3 << hex("00 21 00 00 00 03 00 00 07 00 00 00 02 00 00 00")
        << hex("00 00 00 00 00 00 00 00"
               "08 07 06 05 04 03 02 01"
               "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
               "B0 B1 B2 B3 B4 B5 B6 B7 B8 B9 BA BB BC BD BE BF"
               "C0 C1 C2 C3 C4 C5 C6 C7 C8 C9 CA CB CC CD CE CF"
               "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
               "44 33 22 11"
               "21 00 00 00"
               "00 00 00 00"
               "00 00 00 00");
}

void TestLoRaWANImage::endNode()
{
    QFETCH(Items, keys);
    QFETCH(int, entries);
    QFETCH(QByteArray, headerTail);
    QFETCH(QByteArray, record);
    Configuration config;
    // The forwarder settings of ParGen.xml are not used by an end node.
    config.parGen(merged(keys, {{QStringLiteral("LoRaWAN_Server_Address"), QStringLiteral("not \"used\"")},
                                {QStringLiteral("LoRaWAN_Server_Port_Up"), QStringLiteral("x")}}));
    // The first entry is disabled and has no device attributes at all.
    QStringList devices{QStringLiteral("<LoRaWAN_Device Enable=\"N\">%1</LoRaWAN_Device>")
                            .arg(rules({upRule({{QStringLiteral("ValueTest"), QString()}})}, {}))};
    for (int i = 1; i < entries; ++i)
        devices << device({{QStringLiteral("Enable"), QStringLiteral("N")}});
    config.gateway(devices);

    const CompileResult result = config.compile();
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    QCOMPARE(result.devices, entries);
    QCOMPARE(result.rules, 1);
    const QByteArray& image = result.image2;
    QCOMPARE(image.mid(20, 16).toHex(' '), headerTail.toHex(' '));
    for (int i = 0; i < entries; ++i)
        QCOMPARE(image.mid(36 + 96 * i, 96).toHex(' '), record.toHex(' '));
    const QJsonObject gateway = parsed(textAt(image, 36 + 96 * entries + 24).chopped(2).split(u'\n'))
                                    .value(QStringLiteral("gateway_conf"))
                                    .toObject();
    QCOMPARE(gateway.value(QStringLiteral("server_address")).toString(), DefaultServerAddress);
    QCOMPARE(gateway.value(QStringLiteral("serv_port_up")).toInt(), 1780);
}

void TestLoRaWANImage::forwarderText_data()
{
    QTest::addColumn<bool>("us");
    QTest::addColumn<QStringList>("comments");
    QTest::addColumn<QStringList>("followedByEmptyLine");

    const QStringList head{
        QStringLiteral("\"antenna_gain\":0, | /* antenna gain, in dBi */"),
        QStringLiteral("\"mode\":\"all_sf\" | /* high_capacity or all_sf */"),
        QStringLiteral("\"rssi_offset\":0, | /* dB */"),
    };
    const QStringList gateway{
        QStringLiteral(" | /* change with default server address/ports */"),
        QStringLiteral(" | /* adjust the following parameters for your network */"),
        QStringLiteral(" | /* forward only valid packets */"),
        QStringLiteral(" | /* GPS configuration */"),
        QStringLiteral(" | /* GPS reference coordinates */"),
        QStringLiteral(" | /* Beaconing parameters */"),
    };
    QTest::newRow("EU868") << false
                           << head +
                                  QStringList{QStringLiteral("\"rssi_target\":-70, | /* dBm */"),
                                              QStringLiteral("\"channels\":[ | /* 16 channels maximum */")} +
                                  gateway
                           << QStringList{QStringLiteral("gateway_conf")};
    QStringList us = head;
    us << QStringLiteral("\"enable\":false | /* LBT for 500 Khz channels is not supported */");
    const char* multiSf[8] = {
        "0,\"if\":-400000}, | /* Freq : 903.9 MHz*/", "0,\"if\":-200000}, | /* Freq : 904.1 MHz*/",
        "0,\"if\":0}, | /* Freq : 904.3 MHz*/",       "0,\"if\":200000}, | /* Freq : 904.5 MHz*/",
        "1,\"if\":-300000}, | /* Freq : 904.7 MHz*/", "1,\"if\":-100000}, | /* Freq : 904.9 MHz*/",
        "1,\"if\":100000}, | /* Freq : 905.1 MHz*/",  "1,\"if\":300000}, | /* Freq : 905.3 MHz*/"};
    for (int n = 0; n < 8; ++n)
        us << QStringLiteral("\"chan_multiSF_%1\":{\"enable\":true,\"radio\":").arg(n) +
                  QString::fromLatin1(multiSf[n]);
    us << QStringLiteral("\"chan_Lora_std\":{\"enable\":true,\"radio\":0,\"if\":300000,\"bandwidth\":500000,"
                         "\"spread_factor\":8, | /* Freq : 904.6 MHz*/")
       << QStringLiteral("\"chan_FSK\":{\"enable\":false,\"radio\":1,\"if\":300000,\"bandwidth\":125000,"
                         "\"datarate\":50000} | /* Freq : 868.8 MHz*/")
       << gateway << QStringLiteral("\"beacon_period\":0, | /* disable class B beacon */");
    QTest::newRow("US915") << true << us
                           << QStringList{QStringLiteral("SX130x_conf"), QStringLiteral("gateway_conf")};
}

void TestLoRaWANImage::forwarderText()
{
    QFETCH(bool, us);
    QFETCH(QStringList, comments);
    QFETCH(QStringList, followedByEmptyLine);
    TLoRaWAN_ParGen parGen;
    parGen.Server_Add = QStringLiteral(" my server .example ");
    parGen.Server_Port_Up = QStringLiteral("1700");
    parGen.Server_Port_Down = QStringLiteral("1701");
    parGen.KA_Interval = QStringLiteral("15");
    parGen.NetworkType = QStringLiteral("true");
    const QStringList lines = Build_Forwarder_Text(parGen, us ? 1 : 0);

    const QJsonObject tree = parsed(lines);
    const QJsonObject expected = expectedTree(us, parGen.Server_Add, QStringLiteral("1700"),
                                              QStringLiteral("1701"), QStringLiteral("15"), true);
    for (const QString& top : expected.keys()) {
        const QJsonObject got = tree.value(top).toObject();
        const QJsonObject want = expected.value(top).toObject();
        for (const QString& key : want.keys())
            QVERIFY2(got.value(key) == want.value(key), qPrintable(top + u'.' + key));
        QCOMPARE(got.keys(), want.keys());
    }
    QCOMPARE(tree, expected);
    QVERIFY(lines.contains(QStringLiteral("        \"server_address\": \" my server .example \",")));
    QVERIFY(lines.contains(QStringLiteral("        \"serv_port_up\": 1700,")));

    QCOMPARE(lines.first(), QStringLiteral("{"));
    QCOMPARE(lines.last(), QStringLiteral("}"));
    for (const QString& line : lines)
        QVERIFY(!line.contains(u'\n') && !line.contains(u'\r'));

    // Member order at the first three levels.
    QCOMPARE(leadingMembers(lines, 4),
             (QStringList{QStringLiteral("SX130x_conf"), QStringLiteral("gateway_conf"),
                          QStringLiteral("debug_conf")}));
    QStringList level2 =
        QStringLiteral("com_type com_path lorawan_public clksrc antenna_gain full_duplex "
                       "fine_timestamp sx1261_conf radio_0 radio_1 chan_multiSF_All chan_multiSF_0 "
                       "chan_multiSF_1 chan_multiSF_2 chan_multiSF_3 chan_multiSF_4 chan_multiSF_5 "
                       "chan_multiSF_6 chan_multiSF_7 chan_Lora_std chan_FSK gateway_ID "
                       "server_address serv_port_up serv_port_down keepalive_interval stat_interval "
                       "push_timeout_ms forward_crc_valid forward_crc_error forward_crc_disabled "
                       "gps_tty_path ref_latitude ref_longitude ref_altitude beacon_period "
                       "beacon_freq_hz beacon_datarate beacon_bw_hz beacon_power beacon_infodesc "
                       "ref_payload log_file")
            .split(u' ');
    QCOMPARE(leadingMembers(lines, 8), level2);
    QCOMPARE(leadingMembers(lines, 12),
             QStringLiteral(
                 "enable mode spi_path rssi_offset spectral_scan lbt enable type freq rssi_offset "
                 "rssi_tcomp tx_enable tx_freq_min tx_freq_max tx_gain_lut enable type freq rssi_offset "
                 "rssi_tcomp tx_enable")
                 .split(u' '));

    // The second line of chan_Lora_std stands under its first member.
    const qsizetype loraStd = lines.indexOf(QRegularExpression(QStringLiteral(" *\"chan_Lora_std\":.*")));
    QVERIFY(loraStd > 0);
    QCOMPARE(lines[loraStd + 1].indexOf(QStringLiteral("\"implicit_hdr\"")),
             lines[loraStd].indexOf(QStringLiteral("\"enable\"")));

    QCOMPARE(commentsWithContext(lines), comments);
    // Comment lines stand at the members' indentation.
    for (const QString& line : lines) {
        if (line.trimmed().startsWith(QStringLiteral("/*")))
            QVERIFY2(line.startsWith(QStringLiteral("        /*")), qPrintable(line));
    }

    QStringList closedBeforeEmptyLine;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].isEmpty())
            continue;
        QVERIFY(i > 0 && i + 1 < lines.size());
        QCOMPARE(lines[i - 1], QStringLiteral("    },"));
        // Which object the line before closed: the last level-1 member opened before it.
        const QStringList before = leadingMembers(lines.mid(0, i), 4);
        closedBeforeEmptyLine << before.last();
    }
    QCOMPARE(closedBeforeEmptyLine, followedByEmptyLine);
}

void TestLoRaWANImage::forwarderValues_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("accepted");

    const QString server = QStringLiteral("LoRaWAN_Server_Address");
    const QString up = QStringLiteral("LoRaWAN_Server_Port_Up");
    const QString down = QStringLiteral("LoRaWAN_Server_Port_Down");
    const QString keepAlive = QStringLiteral("LoRaWAN_KeepAlive_Interval");
    QTest::newRow("address with blanks") << server << QStringLiteral(" a b ") << true;
    QTest::newRow("empty address") << server << QStringLiteral("") << true;
    QTest::newRow("address with a double quote") << server << QStringLiteral("a\"b") << false;
    QTest::newRow("address with a backslash") << server << QStringLiteral("a\\b") << false;
    QTest::newRow("address with a tab") << server << QStringLiteral("a\tb") << false;
    // Stored as its low 8 bits, U+0122 would be a double quote.
    QTest::newRow("address with U+0122") << server << QStringLiteral("a\u0122b") << false;
    QTest::newRow("address beyond ASCII") << server << QStringLiteral("caf\u00E9.example") << false;
    QTest::newRow("port 0") << up << QStringLiteral("0") << true;
    QTest::newRow("port 65535") << down << QStringLiteral("65535") << true;
    QTest::newRow("port 17a0") << up << QStringLiteral("17a0") << false;
    QTest::newRow("port with a blank") << up << QStringLiteral(" 1700") << false;
    QTest::newRow("empty port") << down << QStringLiteral("") << false;
    QTest::newRow("port with a sign") << down << QStringLiteral("+1700") << false;
    QTest::newRow("keep-alive with a leading zero") << keepAlive << QStringLiteral("010") << false;
    QTest::newRow("keep-alive 1e3") << keepAlive << QStringLiteral("1e3") << false;
}

void TestLoRaWANImage::forwarderValues()
{
    QFETCH(QString, element);
    QFETCH(QString, value);
    QFETCH(bool, accepted);
    Configuration config;
    config.parGen(
        merged(GatewayParGen,
               {{element, value}, {QStringLiteral("LoRaWAN_Network_Type"), QStringLiteral(" public ")}}));

    const CompileResult result = config.compile();
    if (!accepted) {
        QVERIFY(result.error.contains(element));
        QVERIFY(result.error.contains(QStringLiteral("ParGen.xml")));
        QVERIFY(result.image1.isEmpty() && result.image2.isEmpty());
        return;
    }
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    const QJsonObject tree = parsed(textAt(result.image2, 36).chopped(2).split(u'\n'));
    QCOMPARE(tree.value(QStringLiteral("SX130x_conf")).toObject().value(QStringLiteral("lorawan_public")),
             QJsonValue(true));
    const QJsonObject gateway = tree.value(QStringLiteral("gateway_conf")).toObject();
    if (element == QStringLiteral("LoRaWAN_Server_Address"))
        QCOMPARE(gateway.value(QStringLiteral("server_address")).toString(), value);
    else if (element == QStringLiteral("LoRaWAN_Server_Port_Up"))
        QCOMPARE(gateway.value(QStringLiteral("serv_port_up")).toInt(), value.toInt());
    else
        QCOMPARE(gateway.value(QStringLiteral("serv_port_down")).toInt(), value.toInt());
}

void TestLoRaWANImage::documentErrors_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("error"); // empty: the document compiles

    const auto doc = [](const QStringList& devices) { return gatewayDocument(devices); };
    const auto without = [](const char* name) { return Items{{QString::fromLatin1(name), QString()}}; };
    QTest::newRow("not well-formed") << QByteArray("<LoRaWAN_Gateway><LoRaWAN_Devices_List>")
                                     << QStringLiteral("line");
    QTest::newRow("other document element") << QByteArray("<Par_Gen/>") << QStringLiteral("LoRaWAN_Gateway");
    QTest::newRow("no devices list") << QByteArray("<LoRaWAN_Gateway><Devices/></LoRaWAN_Gateway>")
                                     << QStringLiteral("LoRaWAN_Devices_List");
    QTest::newRow("entities") << QByteArray(
                                     "<!DOCTYPE LoRaWAN_Gateway [<!ENTITY a \"aaaa\">]><LoRaWAN_Gateway/>")
                              << QStringLiteral("entities");
    QTest::newRow("device without rules")
        << doc({QStringLiteral("<LoRaWAN_Device%1/>").arg(attributes(DeviceDefaults, {}))})
        << QStringLiteral("LoRaWAN_Rules");
    QTest::newRow("rules without downlink list")
        << doc({QStringLiteral("<LoRaWAN_Device%1><LoRaWAN_Rules><LoRaWAN_UpLink_Rules/></LoRaWAN_Rules>"
                               "</LoRaWAN_Device>")
                    .arg(attributes(DeviceDefaults, {}))})
        << QStringLiteral("LoRaWAN_DownLink_Rules");
    QTest::newRow("no DeviceEUI") << doc({device(without("DeviceEUI"))}) << QStringLiteral("DeviceEUI");
    QTest::newRow("no ActivationMethod")
        << doc({device(without("ActivationMethod"))}) << QStringLiteral("ActivationMethod");
    QTest::newRow("DeviceEUI of 17 digits")
        << doc({device({{QStringLiteral("DeviceEUI"), QStringLiteral("00112233445566778")}})})
        << QStringLiteral("DeviceEUI");
    QTest::newRow("uplink rule without Enable")
        << doc({device({}, {upRule(without("Enable"))})}) << QStringLiteral("Enable");
    QTest::newRow("uplink StartBit not an integer")
        << doc({device({}, {upRule({{QStringLiteral("StartBit"), QStringLiteral("4x")}})})})
        << QStringLiteral("StartBit");
    QTest::newRow("uplink without NumberBits")
        << doc({device({}, {upRule(without("NumberBits"))})}) << QStringLiteral("NumberBits");
    QTest::newRow("uplink PositionBit beyond 16 bits")
        << doc({device({}, {upRule({{QStringLiteral("PositionBit"), QStringLiteral("65536")}})})})
        << QStringLiteral("PositionBit");
    QTest::newRow("downlink Port not an integer")
        << doc({device({}, {}, {downRule({{QStringLiteral("Port"), QStringLiteral("x")}})})})
        << QStringLiteral("Port");
    QTest::newRow("downlink without OnTimer")
        << doc({device({}, {}, {downRule(without("OnTimer"))})}) << QStringLiteral("OnTimer");
    QTest::newRow("downlink without Time")
        << doc({device({}, {}, {downRule(without("Time"))})}) << QStringLiteral("Time");
    // What is not compiled is not checked; what the compiler does not read is not required.
    QTest::newRow("disabled device without anything")
        << doc({QStringLiteral("<LoRaWAN_Device Enable=\"N\"/>")}) << QString();
    QTest::newRow("disabled rule with a bad StartBit")
        << doc({device({}, {upRule({{QStringLiteral("Enable"), QStringLiteral("N")},
                                    {QStringLiteral("StartBit"), QStringLiteral("x")}})})})
        << QString();
    QTest::newRow("no Mnemonic, no optional attributes, unknown elements")
        << doc({QStringLiteral("<Note><Deep><Deeper/></Deep></Note>"),
                device({{QStringLiteral("Mnemonic"), QString()},
                        {QStringLiteral("Class"), QString()},
                        {QStringLiteral("DiagTimeOut"), QString()},
                        {QStringLiteral("RX2_Datarate"), QString()}},
                       {upRule({{QStringLiteral("Mnemonic"), QString()}})},
                       {downRule({{QStringLiteral("Mnemonic"), QString()}})})})
        << QString();
}

void TestLoRaWANImage::documentErrors()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, error);
    Configuration config;
    config.parGen(GatewayParGen);
    config.gateway(document);

    const CompileResult result = config.compile();
    if (error.isEmpty()) {
        QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
        QVERIFY(!result.image2.isEmpty());
        return;
    }
    QVERIFY2(result.error.contains(error), qPrintable(result.error));
    QVERIFY2(result.error.contains(QStringLiteral("LoRaWAN_Gateway.xml")), qPrintable(result.error));
    QVERIFY(result.image1.isEmpty() && result.image2.isEmpty());
    QVERIFY(!Write_Images(config.path(), result).isEmpty());
    QVERIFY(!QFileInfo::exists(config.file(QStringLiteral("bin"))));
}

void TestLoRaWANImage::parGenErrors_data()
{
    QTest::addColumn<QByteArray>("parGen");
    QTest::addColumn<QString>("error"); // empty: compiles

    const Items endNode{
        {QStringLiteral("LoRaWAN_Mode"), QStringLiteral("END NODE")},
        {QStringLiteral("LoRaWAN_Activation_Method"), QStringLiteral("Over-the-Air Activation [OTAA]")}};
    QTest::newRow("not well-formed") << QByteArray("<Par_Gen><LoRaWAN_Mode>") << QStringLiteral("ParGen.xml");
    QTest::newRow("Join EUI of 17 digits")
        << parGenDocument(
               merged(endNode, {{QStringLiteral("LoRaWAN_Join_EUI"), QStringLiteral("01234567890123456")}}))
        << QStringLiteral("LoRaWAN_Join_EUI");
    QTest::newRow("OTAA key of 33 digits")
        << parGenDocument(merged(endNode, {{QStringLiteral("LoRaWAN_Application_Key"), QString(33, u'1')}}))
        << QStringLiteral("LoRaWAN_Application_Key");
    // The keys of the other method are not read.
    QTest::newRow("ABP key of 33 digits while OTAA")
        << parGenDocument(
               merged(endNode, {{QStringLiteral("LoRaWAN_Network_Session_Key"), QString(33, u'1')}}))
        << QString();
    QTest::newRow("ABP address of 9 digits")
        << parGenDocument(
               merged(endNode, {{QStringLiteral("LoRaWAN_Activation_Method"), QStringLiteral("ABP")},
                                {QStringLiteral("LoRaWAN_Device_Address"), QStringLiteral("123456789")}}))
        << QStringLiteral("LoRaWAN_Device_Address");
}

void TestLoRaWANImage::parGenErrors()
{
    QFETCH(QByteArray, parGen);
    QFETCH(QString, error);
    Configuration config;
    writeFile(config.file(QStringLiteral("ParGen.xml")), parGen);

    const CompileResult result = config.compile();
    if (error.isEmpty()) {
        QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
        return;
    }
    QVERIFY2(result.error.contains(error), qPrintable(result.error));
    QVERIFY(result.image1.isEmpty() && result.image2.isEmpty());
}

void TestLoRaWANImage::imageCapacity()
{
    // One device with one uplink rule whose test value takes the rest of the bank.
    const auto compileWith = [](qsizetype testBytes) {
        Configuration config;
        config.parGen(GatewayParGen);
        config.gateway(
            QStringList{device({}, {upRule({{QStringLiteral("HexTest"), QStringLiteral("N")},
                                            {QStringLiteral("ValueTest"), QString(testBytes, u'T')}})})});
        CompileResult result = config.compile();
        const bool written = Write_Images(config.path(), result).isEmpty();
        return std::make_pair(result, written || QFileInfo::exists(config.file(QStringLiteral("bin"))));
    };
    const CompileResult bare = compileWith(0).first;
    QVERIFY2(bare.error.isEmpty(), qPrintable(bare.error));
    const qsizetype room = 524288 - bare.image2.size();

    const auto [full, fullWritten] = compileWith(room);
    QVERIFY2(full.error.isEmpty(), qPrintable(full.error));
    QCOMPARE(full.image2.size(), 524288);
    QVERIFY(full.image2.endsWith(hex("7D 0A 00")));
    QVERIFY(fullWritten);

    const auto [over, overWritten] = compileWith(room + 1);
    QVERIFY2(over.error.contains(QStringLiteral("524289")), qPrintable(over.error));
    QVERIFY2(over.error.contains(QStringLiteral("524288")), qPrintable(over.error));
    QVERIFY(over.image1.isEmpty() && over.image2.isEmpty());
    QVERIFY(!overWritten);
}

void TestLoRaWANImage::writeImages()
{
    Configuration config;
    config.parGen(GatewayParGen);
    config.gateway(QStringList{device({}, {upRule()}, {downRule()})});
    const CompileResult result = config.compile();
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));

    // A first compilation creates the folder, a second replaces the files whole.
    QCOMPARE(Write_Images(config.path(), result), QString());
    const QString bank1 = config.file(QStringLiteral("bin/bank1.bin"));
    const QString bank2 = config.file(QStringLiteral("bin/bank2.bin"));
    writeFile(bank1, QByteArray(5000, 'x'));
    writeFile(bank2, QByteArray(600000, 'x'));
    QCOMPARE(Write_Images(config.path(), result), QString());
    QCOMPARE(readFile(bank1), result.image1);
    QCOMPARE(readFile(bank2), result.image2);
    QCOMPARE(QDir(config.file(QStringLiteral("bin"))).entryList(QDir::Files | QDir::Hidden),
             (QStringList{QStringLiteral("bank1.bin"), QStringLiteral("bank2.bin")}));
}

void TestLoRaWANImage::unwritableBinFolder()
{
    Configuration config;
    const CompileResult result = config.compile();
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    writeFile(config.file(QStringLiteral("bin")), "not a folder");

    const QString error = Write_Images(config.path(), result);
    QVERIFY2(error.contains(QDir::toNativeSeparators(config.file(QStringLiteral("bin")))), qPrintable(error));
    QVERIFY(QFileInfo(config.file(QStringLiteral("bin"))).isFile());
    QCOMPARE(QDir(config.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("bin")});
}

void TestLoRaWANImage::secondImageFails_data()
{
    QTest::addColumn<QByteArray>("oldBank1"); // empty: none

    QTest::newRow("no earlier bank1.bin") << QByteArray();
    QTest::newRow("earlier bank1.bin") << QByteArray("an earlier compilation");
}

void TestLoRaWANImage::secondImageFails()
{
    QFETCH(QByteArray, oldBank1);
    Configuration config;
    const CompileResult result = config.compile();
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    // A folder where bank2.bin should be cannot be replaced by a file.
    QVERIFY(QDir(config.path()).mkpath(QStringLiteral("bin/bank2.bin")));
    const QString bank1 = config.file(QStringLiteral("bin/bank1.bin"));
    if (!oldBank1.isEmpty())
        writeFile(bank1, oldBank1);

    const QString error = Write_Images(config.path(), result);
    QVERIFY2(error.contains(QStringLiteral("bank2.bin")), qPrintable(error));
    // bank1.bin is left as it was, never paired with an image of another compilation.
    QCOMPARE(QFileInfo::exists(bank1), !oldBank1.isEmpty());
    if (!oldBank1.isEmpty())
        QCOMPARE(readFile(bank1), oldBank1);
}

QTEST_GUILESS_MAIN(TestLoRaWANImage)
#include "tst_lorawan_image.moc"
