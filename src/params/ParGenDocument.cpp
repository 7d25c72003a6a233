#include "params/ParGenDocument.h"

#include "common/XmlLimits.h"

#include "common/SafeWrite.h"
#include "common/XmlText.h"
#include "params/ParGenLists.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QSet>
#include <QXmlStreamReader>

#include <limits>
#include <optional>

namespace ParGenDocument {

namespace {

const QString RootName = QStringLiteral("Par_Gen");
const QString VersionComment = QStringLiteral("SW_VERSION = 1.000");

// Flags written by older family members differ in how they read back.
enum class FlagRule {
    ExactOne,  // ticked only for the text "1"
    IntegerOne // ticked for any decimal integer equal to 1; other texts count as missing
};

QString octetName(QStringView row, int octet)
{
    return row.toString() + QString::number(octet + 1);
}

// The elements in document order; the writer, the reader and the name list
// all walk this one list, so they cannot disagree.
template <class Visitor, class Values> void forEachElement(Visitor& v, Values& s)
{
    using namespace ParGenLists;
    v.index(u"Select_Device", s.Select_Device, DeviceTypeCount, 0);
    v.text(u"Eth_Conn_Device_Name", s.Eth_Conn_Device_Name);
    v.flag(u"Eth_Conn_DHCP_Cable", s.Eth_Conn_DHCP_Cable, FlagRule::ExactOne);
    v.flag(u"Eth_Conn_DHCP_WiFi", s.Eth_Conn_DHCP_WiFi, FlagRule::ExactOne);
    v.flag(u"Eth_Conn_Enable_DNS", s.Eth_Conn_Enable_DNS, FlagRule::ExactOne);
    v.octets(u"Eth_Conn_Primary_DNS", s.Eth_Conn_Primary_DNS);
    v.octets(u"Eth_Conn_Secondary_DNS", s.Eth_Conn_Secondary_DNS);
    v.mode(u"LoRaWAN_Mode", s.LoRaWAN_Mode);
    v.item(u"LoRaWAN_RF_Band", s.LoRaWAN_RF_Band, bands());
    v.text(u"LoRaWAN_Server_Address", s.LoRaWAN_Server_Address);
    v.text(u"LoRaWAN_Server_Port_Up", s.LoRaWAN_Server_Port_Up);
    v.text(u"LoRaWAN_Server_Port_Down", s.LoRaWAN_Server_Port_Down);
    v.text(u"LoRaWAN_KeepAlive_Interval", s.LoRaWAN_KeepAlive_Interval);
    v.item(u"LoRaWAN_Network_Type", s.LoRaWAN_Network_Type, networkTypes());
    v.flag(u"LoRaWAN_Adaptive_DataRate", s.LoRaWAN_Adaptive_DataRate, FlagRule::ExactOne);
    // The band is already decoded here, so both data-rate lists are the band's.
    v.item(u"LoRaWAN_DataRate", s.LoRaWAN_DataRate, dataRates(bands().value(s.LoRaWAN_RF_Band)));
    v.item(u"LoRaWAN_Transmission_Type", s.LoRaWAN_Transmission_Type, transmissionTypes());
    v.text(u"LoRaWAN_Join_EUI", s.LoRaWAN_Join_EUI);
    v.item(u"LoRaWAN_Activation_Method", s.LoRaWAN_Activation_Method, activationMethods());
    v.text(u"LoRaWAN_Device_Address", s.LoRaWAN_Device_Address);
    v.text(u"LoRaWAN_Network_Session_Key", s.LoRaWAN_Network_Session_Key);
    v.text(u"LoRaWAN_Application_Session_Key", s.LoRaWAN_Application_Session_Key);
    v.text(u"LoRaWAN_Application_Key", s.LoRaWAN_Application_Key);
    v.item(u"LoRaWAN_Class", s.LoRaWAN_Class, classes());
    v.text(u"LoRaWAN_Diagostic_Position", s.LoRaWAN_Diagostic_Position);
    v.item(u"LoRaWAN_RX2_Datarate", s.LoRaWAN_RX2_Datarate, rx2DataRates(bands().value(s.LoRaWAN_RF_Band)));
    v.item(u"LoRaWAN_Frequency_Sub_Band", s.LoRaWAN_Frequency_Sub_Band, frequencySubBands());
    v.octets(u"Ethernet_IP", s.Ethernet_IP);
    v.octets(u"Ethernet_SM", s.Ethernet_SM);
    v.octets(u"Ethernet_GAT", s.Ethernet_GAT);
    v.flag(u"Ethernet_EN_GAT", s.Ethernet_EN_GAT, FlagRule::ExactOne);
    v.text(u"Ethernet_TCP_Port", s.Ethernet_TCP_Port);
    v.text(u"Ethernet_UDP_Port", s.Ethernet_UDP_Port);
    v.index(u"WiFi_Type", s.WiFi_Type, WiFiTypeCount, 0);
    v.octets(u"WiFi_IP", s.WiFi_IP);
    v.octets(u"WiFi_SM", s.WiFi_SM);
    v.flag(u"WiFi_EN_Gateway", s.WiFi_EN_Gateway, FlagRule::IntegerOne);
    v.octets(u"WiFi_GAT", s.WiFi_GAT);
    v.octets(u"WiFi_IP2_IP", s.WiFi_IP2_IP);
    v.octets(u"WiFi_IP2_SM", s.WiFi_IP2_SM);
    v.flag(u"WiFi_IP2_EN_Gateway", s.WiFi_IP2_EN_Gateway, FlagRule::IntegerOne);
    v.octets(u"WiFi_IP2_GAT", s.WiFi_IP2_GAT);
    v.text(u"WiFi_SSID", s.WiFi_SSID);
    v.text(u"WiFi_PWD", s.WiFi_PWD);
    v.index(u"WiFi_Secure_Type", s.WiFi_Secure_Type, SecureTypeCount, 0);
    v.flag(u"WiFi_EN_DHCP", s.WiFi_EN_DHCP, FlagRule::IntegerOne);
    v.octets(u"WiFi_DHCP_First_IP", s.WiFi_DHCP_First_IP);
    v.octets(u"WiFi_DHCP_SM", s.WiFi_DHCP_SM);
    v.text(u"WiFi_Lease_Time", s.WiFi_Lease_Time);
    v.index(u"WiFi_Max_Client", s.WiFi_Max_Client, MaxClientCount, 0);
    // A channel that cannot be read is channel 1, not "Auto Search".
    v.index(u"WiFi_Channel", s.WiFi_Channel, ChannelCount, 1);
}

// ---- Writing

void appendEscaped(QString& out, const QString& text)
{
    XmlText::appendEscaped(out, text, XmlText::Place::Content);
}

class Writer
{
public:
    QString out;

    void index(QStringView name, int position, int count, int)
    {
        element(name, position >= 0 && position < count ? QString::number(position) : QStringLiteral("-1"));
    }
    void flag(QStringView name, bool ticked, FlagRule) { element(name, ticked ? u"1" : u"0"); }
    void item(QStringView name, int position, const QStringList& list)
    {
        element(name, list.value(position));
    }
    void text(QStringView name, const QString& text) { element(name, text); }
    void octets(QStringView row, const ParGenOctets& octets)
    {
        for (int i = 0; i < 4; ++i)
            element(octetName(row, i), octets[size_t(i)]);
    }
    // This product always works as a gateway.
    void mode(QStringView name, int) { element(name, ParGenLists::modes().at(ParGenLists::GatewayMode)); }

private:
    void element(QStringView name, QStringView text)
    {
        out += u'<';
        out += name;
        out += u'>';
        appendEscaped(out, text.toString());
        out += u"</";
        out += name;
        out += u'>';
    }
};

// ---- Reading

class NameCollector
{
public:
    QSet<QString> names;

    void index(QStringView name, int, int, int) { names.insert(name.toString()); }
    void flag(QStringView name, bool, FlagRule) { names.insert(name.toString()); }
    void item(QStringView name, int, const QStringList&) { names.insert(name.toString()); }
    void text(QStringView name, const QString&) { names.insert(name.toString()); }
    void octets(QStringView row, const ParGenOctets&)
    {
        for (int i = 0; i < 4; ++i)
            names.insert(octetName(row, i));
    }
    void mode(QStringView name, int) { names.insert(name.toString()); }
};

const QSet<QString>& elementNames()
{
    static const QSet<QString> names = [] {
        NameCollector collector;
        const ParGenValues values;
        forEachElement(collector, values);
        return collector.names;
    }();
    return names;
}

// The content of the first child element of that name under the root;
// nullopt when that content is not a single text.
using Contents = QHash<QString, std::optional<QString>>;

struct Parsed
{
    Contents contents;
    QString error;
};

// The first node of the document is taken as the root, whatever it is: a
// declaration, comment or doctype in front of the root element leaves no
// elements to look up.
Parsed parse(const QByteArray& data)
{
    Parsed parsed;
    parsed.error = XmlLimits::check(data);
    if (!parsed.error.isEmpty())
        return parsed;
    QXmlStreamReader reader(data);
    // Names are compared as written, prefixes included.
    reader.setNamespaceProcessing(false);
    bool firstNodeSeen = false;
    bool rootIsElement = false;
    int depth = 0;
    QString name; // the child of the root being read
    bool wanted = false;
    bool single = true;
    QString text;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartDocument:
            if (!reader.documentVersion().isEmpty())
                firstNodeSeen = true; // the declaration
            break;
        case QXmlStreamReader::StartElement:
            if (depth == 0 && !firstNodeSeen)
                rootIsElement = true;
            firstNodeSeen = true;
            ++depth;
            if (rootIsElement && depth == 2) {
                name = reader.qualifiedName().toString();
                wanted = elementNames().contains(name) && !parsed.contents.contains(name);
                single = true;
                text.clear();
            } else if (depth > 2) {
                single = false;
            }
            break;
        case QXmlStreamReader::EndElement:
            if (rootIsElement && depth == 2 && wanted)
                parsed.contents.insert(name, single ? std::optional<QString>(text) : std::nullopt);
            --depth;
            break;
        case QXmlStreamReader::Characters:
            // Text and CDATA sections together form the element's text.
            if (depth == 2 && wanted)
                text += reader.text();
            break;
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            if (depth == 0)
                firstNodeSeen = true;
            else if (depth >= 2)
                single = false;
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        parsed.error = XmlLimits::errorText(reader);
    }
    return parsed;
}

// A decimal integer: an optional sign and digits, nothing else. Values too
// large for the type read as the largest value, outside every list.
std::optional<qint64> decimalInteger(const QString& text)
{
    qsizetype i = text.startsWith(u'+') || text.startsWith(u'-') ? 1 : 0;
    if (i == text.size())
        return std::nullopt;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok)
        return text.startsWith(u'-') ? std::numeric_limits<qint64>::min()
                                     : std::numeric_limits<qint64>::max();
    return value;
}

// Decodes into values that start as the defaults; an element that is missing
// or cannot be decoded leaves its default.
class Reader
{
public:
    explicit Reader(const Contents& contents) : m_contents(contents) {}

    void index(QStringView name, int& position, int count, int fallback)
    {
        const std::optional<QString> t = lookup(name);
        if (!t)
            return;
        const std::optional<qint64> n = decimalInteger(*t);
        if (!n)
            position = fallback;
        else
            position = *n >= 0 && *n < count ? int(*n) : -1;
    }
    void flag(QStringView name, bool& ticked, FlagRule rule)
    {
        const std::optional<QString> t = lookup(name);
        if (!t)
            return;
        if (rule == FlagRule::ExactOne) {
            ticked = *t == u"1";
        } else if (const std::optional<qint64> n = decimalInteger(*t)) {
            ticked = *n == 1;
        }
    }
    void item(QStringView name, int& position, const QStringList& list)
    {
        // The default is the first item, and no item when the list is empty
        // (a band without data-rate lists).
        if (position >= list.size())
            position = -1;
        if (const std::optional<QString> t = lookup(name))
            position = int(list.indexOf(*t));
    }
    void text(QStringView name, QString& text)
    {
        if (const std::optional<QString> t = lookup(name))
            text = *t;
    }
    void octets(QStringView row, ParGenOctets& octets)
    {
        for (int i = 0; i < 4; ++i)
            text(octetName(row, i), octets[size_t(i)]);
    }
    // Read like an item, but this product is always a gateway.
    void mode(QStringView, int& position) { position = ParGenLists::GatewayMode; }

private:
    std::optional<QString> lookup(QStringView name) const { return m_contents.value(name.toString()); }

    const Contents& m_contents;
};

QString withPath(const QString& path, const QString& error)
{
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") + error;
}

QString tooLargeError()
{
    return QStringLiteral("the file is larger than %1 MiB").arg(MaxFileSize / (1024 * 1024));
}

} // namespace

QByteArray write(const ParGenValues& values)
{
    Writer writer;
    writer.out += u'<';
    writer.out += RootName;
    writer.out += u'>';
    forEachElement(writer, values);
    writer.out += u"</";
    writer.out += RootName;
    writer.out += u"><!--";
    writer.out += VersionComment;
    writer.out += u"-->";
    return writer.out.toUtf8();
}

ReadResult read(const QByteArray& data)
{
    ReadResult result;
    const Parsed parsed = parse(data);
    if (!parsed.error.isEmpty()) {
        result.error = parsed.error;
        return result;
    }
    Reader reader(parsed.contents);
    forEachElement(reader, result.values);
    return result;
}

ReadResult read(QIODevice& device)
{
    QByteArray data;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = device.read(buffer, sizeof buffer);
        if (n < 0)
            return {ParGenValues(), device.errorString()};
        if (n == 0)
            break;
        data.append(buffer, n);
        if (data.size() > MaxFileSize)
            return {ParGenValues(), tooLargeError()};
    }
    return read(data);
}

QString save(const QString& path, const ParGenValues& values)
{
    return safeWrite(path, write(values));
}

ReadResult load(const QString& path)
{
    if (!QFileInfo::exists(path))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {ParGenValues(), withPath(path, file.errorString())};
    // Refuse a large file before reading any of it.
    if (file.size() > MaxFileSize)
        return {ParGenValues(), withPath(path, tooLargeError())};
    ReadResult result = read(file);
    if (!result.error.isEmpty())
        result.error = withPath(path, result.error);
    return result;
}

} // namespace ParGenDocument
