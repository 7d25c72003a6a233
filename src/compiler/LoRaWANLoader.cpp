#include "compiler/LoRaWANLoader.h"

#include "common/ValueHelpers.h"
#include "common/XmlLimits.h"
#include "compiler/ParGenKeys.h"
#include "lorawan/LoRaWANCheck.h"
#include "lorawan/LoRaWANDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <limits>

namespace LoRaWANLoader {

namespace {

const QString OtaaName = QStringLiteral("OVER-THE-AIR ACTIVATION [OTAA]");

// Two characters as one hex byte; anything else is 0.
quint8 hexPair(QChar high, QChar low)
{
    const int h = ValueHelpers::hexDigit(high);
    const int l = ValueHelpers::hexDigit(low);
    return h < 0 || l < 0 ? 0 : quint8(h * 16 + l);
}

template <size_t N>
std::optional<std::array<quint8, N>> hexField(const QString& text, bool mostSignificantLast)
{
    constexpr qsizetype Digits = qsizetype(2 * N);
    QString t = text;
    if (t.size() > Digits)
        t = ValueHelpers::trimBlanks(t);
    if (t.size() > Digits)
        return std::nullopt;
    t = QString(Digits - t.size(), u'0') + t;
    std::array<quint8, N> bytes{};
    for (size_t i = 0; i < N; ++i) {
        const quint8 b = hexPair(t[qsizetype(2 * i)], t[qsizetype(2 * i + 1)]);
        bytes[mostSignificantLast ? N - 1 - i : i] = b;
    }
    return bytes;
}

QString tooLong(const QString& where, const QString& name, const QString& text, int digits)
{
    return QStringLiteral("%1%2 holds %3 characters, more than the %4 hexadecimal digits of its field")
        .arg(where, name)
        .arg(text.size())
        .arg(digits);
}

bool isOtaa(const QString& text)
{
    return ValueHelpers::trimBlanks(text).toUpper() == OtaaName;
}

// ---- ParGen.xml

// Converts one end-node key; a text that does not fit sets the error.
template <size_t N>
void parGenHex(const ParGenKeys& keys, const QString& name, std::array<quint8, N>& field,
               bool mostSignificantLast, QString& error)
{
    const QString text = keys.text(name);
    if (const auto bytes = hexField<N>(text, mostSignificantLast))
        field = *bytes;
    else if (error.isEmpty())
        error = tooLong(QString(), name, text, int(2 * N));
}

// ---- LoRaWAN_Gateway.xml

const QString RootName = QStringLiteral("LoRaWAN_Gateway");
const QString DevicesListName = QStringLiteral("LoRaWAN_Devices_List");
const QString RulesName = QStringLiteral("LoRaWAN_Rules");
const QString UpLinkName = QStringLiteral("LoRaWAN_UpLink_Rules");
const QString DownLinkName = QStringLiteral("LoRaWAN_DownLink_Rules");

class GatewayReader
{
public:
    GatewayReader(const QByteArray& data, const TLoRaWAN_ParGen& parGen, TLoRaWAN_Infos& infos)
        : m_xml(data), m_parGen(parGen), m_infos(infos)
    {
        m_xml.setNamespaceProcessing(false);
    }

    QString run()
    {
        while (m_error.isEmpty() && !m_xml.atEnd()) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::DTD:
                // Entities could expand a small file without bound.
                m_error = XmlLimits::dtdRefusal(m_xml);
                break;
            case QXmlStreamReader::StartElement:
                startElement();
                break;
            case QXmlStreamReader::EndElement:
                endElement();
                break;
            default:
                break;
            }
        }
        if (m_error.isEmpty() && m_xml.hasError())
            m_error = XmlLimits::errorText(m_xml);
        if (m_error.isEmpty() && !m_sawRoot)
            m_error = QStringLiteral("the document has no %1 element").arg(RootName);
        return m_error;
    }

private:
    enum class Role { Root, DevicesList, Device, Rules, UpLinkList, DownLinkList };

    struct Frame
    {
        Role role;
        qint64 line = 0;
        int children = 0;
        bool hasList = false;
        bool hasRules = false;
        bool hasUpLink = false;
        bool hasDownLink = false;
    };

    QString devicePlace() const { return QStringLiteral("device %1").arg(m_deviceNumber); }
    QString rulePlace(bool upLink, int number) const
    {
        return devicePlace() +
               (upLink ? QStringLiteral(", uplink rule %1") : QStringLiteral(", downlink rule %1"))
                   .arg(number);
    }
    QString here(const QString& place) const
    {
        return QStringLiteral("%1 (line %2): ").arg(place).arg(m_xml.lineNumber());
    }

    void startElement()
    {
        m_error = XmlLimits::depthRefusal(m_xml, int(m_stack.size()) + m_ignoredDepth + 1);
        if (m_error.isEmpty())
            m_error = XmlLimits::attributeRefusal(m_xml);
        if (!m_error.isEmpty())
            return;
        // Elements the compiler does not read are only counted.
        if (m_ignoredDepth > 0) {
            ++m_ignoredDepth;
            return;
        }
        const QStringView name = m_xml.qualifiedName();
        Frame frame{Role::Root, m_xml.lineNumber()};
        bool taken = false;
        if (m_stack.isEmpty()) {
            m_sawRoot = true;
            if (name != RootName) {
                m_error = QStringLiteral("the document element is %1, not %2").arg(name.toString(), RootName);
                return;
            }
            taken = true;
        } else {
            Frame& parent = m_stack.last();
            ++parent.children;
            switch (parent.role) {
            case Role::Root:
                if (name == DevicesListName && !parent.hasList) {
                    parent.hasList = taken = true;
                    frame.role = Role::DevicesList;
                }
                break;
            case Role::DevicesList:
                m_deviceNumber = parent.children;
                if (!m_parGen.ModeMaster || attribute(u"Enable") == u"Y") {
                    taken = true;
                    frame.role = Role::Device;
                    startDevice();
                }
                break;
            case Role::Device:
                if (name == RulesName && !parent.hasRules) {
                    parent.hasRules = taken = true;
                    frame.role = Role::Rules;
                }
                break;
            case Role::Rules:
                if (name == UpLinkName && !parent.hasUpLink) {
                    parent.hasUpLink = taken = true;
                    frame.role = Role::UpLinkList;
                } else if (name == DownLinkName && !parent.hasDownLink) {
                    parent.hasDownLink = taken = true;
                    frame.role = Role::DownLinkList;
                }
                break;
            case Role::UpLinkList:
            case Role::DownLinkList:
                // Rules count by position, whatever the element's name.
                readRule(parent.role == Role::UpLinkList, parent.children);
                break;
            }
        }
        if (taken)
            m_stack.append(frame);
        else
            m_ignoredDepth = 1;
    }

    void endElement()
    {
        if (m_ignoredDepth > 0) {
            --m_ignoredDepth;
            return;
        }
        if (m_stack.isEmpty())
            return;
        const Frame frame = m_stack.takeLast();
        const auto missing = [&](const QString& place, const QString& element, const QString& child) {
            m_error = QStringLiteral("%1%2 (line %3) has no %4 element")
                          .arg(place, element)
                          .arg(frame.line)
                          .arg(child);
        };
        const QString place = devicePlace() + QStringLiteral(": ");
        switch (frame.role) {
        case Role::Root:
            if (!frame.hasList)
                missing(QString(), RootName, DevicesListName);
            break;
        case Role::Device:
            if (!frame.hasRules)
                missing(place, QStringLiteral("LoRaWAN_Device"), RulesName);
            else
                endDevice();
            break;
        case Role::Rules:
            if (!frame.hasUpLink)
                missing(place, RulesName, UpLinkName);
            else if (!frame.hasDownLink)
                missing(place, RulesName, DownLinkName);
            break;
        default:
            break;
        }
    }

    std::optional<QString> optionalAttribute(QStringView name) const
    {
        for (const QXmlStreamAttribute& a : m_xml.attributes()) {
            if (a.qualifiedName() == name)
                return a.value().toString();
        }
        return std::nullopt;
    }

    QString attribute(QStringView name) const { return optionalAttribute(name).value_or(QString()); }

    // A required attribute; a missing one sets the error.
    QString required(QStringView name, const QString& place)
    {
        if (const auto v = optionalAttribute(name))
            return *v;
        if (m_error.isEmpty())
            m_error = here(place) + QStringLiteral("%1 has no %2 attribute")
                                        .arg(m_xml.qualifiedName().toString(), name.toString());
        return QString();
    }

    // A required integer that must fit its 16-bit field: a value that would
    // be cut to its low bits would compile a different rule.
    quint16 requiredU16(QStringView name, const QString& place)
    {
        const QString text = required(name, place);
        if (!m_error.isEmpty())
            return 0;
        const auto v = LoRaWANCheck::parseInt32(text);
        if (!v) {
            m_error = here(place) +
                      QStringLiteral("%1 \"%2\" is not an integer").arg(name.toString(), text.left(40));
            return 0;
        }
        if (*v < 0 || *v > 65535) {
            m_error =
                here(place) + QStringLiteral("%1 %2 is outside 0 to 65535").arg(name.toString()).arg(*v);
            return 0;
        }
        return quint16(*v);
    }

    // A number that is missing or does not fit its field gives the fallback.
    static quint16 u16Or(const std::optional<QString>& text, quint16 fallback)
    {
        const auto v = text ? LoRaWANCheck::parseInt32(*text) : std::nullopt;
        return v && *v >= 0 && *v <= 65535 ? quint16(*v) : fallback;
    }
    static quint32 u32Or(const std::optional<QString>& text, quint32 fallback)
    {
        const auto v = text ? LoRaWANCheck::parseInt64(*text) : std::nullopt;
        return v && *v >= 0 && *v <= qint64(std::numeric_limits<quint32>::max()) ? quint32(*v) : fallback;
    }

    template <size_t N>
    void deviceHex(QStringView name, std::array<quint8, N>& field, bool mostSignificantLast,
                   const QString& place)
    {
        const QString text = required(name, place);
        if (!m_error.isEmpty())
            return;
        if (const auto bytes = hexField<N>(text, mostSignificantLast))
            field = *bytes;
        else
            m_error = tooLong(here(place), name.toString(), text, int(2 * N));
    }

    void startDevice()
    {
        m_device = TLoRaWAN_Device{};
        m_upLink.clear();
        m_downLink.clear();
        TLoRaWAN_Device& d = m_device;
        if (m_parGen.ModeMaster) {
            const QString place = devicePlace();
            if (attribute(u"Class") == u"C")
                d.options = 2;
            deviceHex(u"DeviceEUI", d.DevEUI, true, place);
            deviceHex(u"JoinEUI", d.JoinEUI, true, place);
            const QString name = required(u"DeviceName", place);
            for (qsizetype i = 0; i < qMin<qsizetype>(name.size(), 16); ++i)
                d.DevNAME[size_t(i)] = quint8(name[i].unicode() & 0xFF);
            if (isOtaa(required(u"ActivationMethod", place)))
                d.options |= 0x100;
            deviceHex(u"NetworkSessionKey", d.NwkSKey, false, place);
            deviceHex(u"ApplicationSessionKey", d.AppSKey, false, place);
            deviceHex(u"ApplicationKey", d.AppKey, false, place);
            deviceHex(u"DeviceAddress", d.DevADDR, true, place);
            d.timeout = u32Or(optionalAttribute(u"DiagTimeOut"), 0);
            d.DL_settings = DataRate_Code(attribute(u"RX2_Datarate"), m_infos.RF_Band, m_infos.DataRate);
        } else {
            // An end node is the device itself: its identity comes from ParGen.xml.
            d.options = m_parGen.LoRaWAN_Class;
            if (m_parGen.Activation_method == 1)
                d.options |= 0x100;
            d.JoinEUI = m_parGen.JoinEUI;
            d.NwkSKey = m_parGen.NwkSKey;
            d.AppSKey = m_parGen.AppSKey;
            d.AppKey = m_parGen.AppKey;
            d.DevADDR = m_parGen.Dev_Address;
        }
        d.options |= 0x20;
    }

    void readRule(bool upLink, int number)
    {
        const QString place = rulePlace(upLink, number);
        if (!LoRaWANDocument::ruleFlag(required(u"Enable", place)) || !m_error.isEmpty())
            return;
        TLoRaWAN_Rule r;
        if (upLink) {
            r.port = u16Or(required(u"Port", place), 65535);
            r.start_test = u16Or(optionalAttribute(u"StartTest"), 65535);
            r.len_test = u16Or(optionalAttribute(u"LenTest"), 65535);
            const QString value = attribute(u"ValueTest");
            if (LoRaWANDocument::ruleFlag(attribute(u"HexTest"))) {
                r.data_test = hexTestBytes(value);
            } else {
                r.data_test.resize(value.size());
                for (qsizetype i = 0; i < value.size(); ++i)
                    r.data_test[i] = char(value[i].unicode() & 0xFF);
            }
            r.byte_offset_frame = requiredU16(u"StartBit", place);
            r.num_bytes = requiredU16(u"NumberBits", place);
            r.byte_offset_memory = requiredU16(u"PositionBit", place);
            m_upLink.append(std::move(r));
        } else {
            r.options = 0x08;
            r.port = requiredU16(u"Port", place);
            r.byte_offset_frame = requiredU16(u"StartBit", place);
            r.num_bytes = requiredU16(u"NumberBits", place);
            if (LoRaWANDocument::ruleFlag(required(u"OnChange", place)))
                r.options |= 0x01;
            if (LoRaWANDocument::ruleFlag(required(u"OnCommand", place)))
                r.options |= 0x02;
            if (LoRaWANDocument::ruleFlag(required(u"OnTimer", place)))
                r.options |= 0x04;
            r.time_poll = u32Or(required(u"Time", place), 0);
            r.byte_offset_memory = requiredU16(u"PositionBit", place);
            m_downLink.append(std::move(r));
        }
    }

    // A device's uplink rules come before its downlink rules, whatever the
    // order of the two lists in the document.
    void endDevice()
    {
        const quint16 position = quint16(m_infos.Num_Devices);
        for (QList<TLoRaWAN_Rule>* list : {&m_upLink, &m_downLink}) {
            for (TLoRaWAN_Rule& r : *list) {
                r.num_device = position;
                m_infos.Rules_List.append(std::move(r));
                ++m_infos.Num_Rules;
            }
            list->clear();
        }
        m_infos.Devices_List.append(m_device);
        ++m_infos.Num_Devices;
    }

    QXmlStreamReader m_xml;
    const TLoRaWAN_ParGen& m_parGen;
    TLoRaWAN_Infos& m_infos;
    QList<Frame> m_stack;
    int m_ignoredDepth = 0;
    bool m_sawRoot = false;
    int m_deviceNumber = 0; // 1-based position among all children of the list
    TLoRaWAN_Device m_device;
    QList<TLoRaWAN_Rule> m_upLink;
    QList<TLoRaWAN_Rule> m_downLink;
    QString m_error;
};

void clearLists(TLoRaWAN_Infos& infos)
{
    infos.Num_Devices = 0;
    infos.Num_Rules = 0;
    infos.Devices_List.clear();
    infos.Rules_List.clear();
}

void assignAddresses(TLoRaWAN_Infos& infos, quint32 baseAddress)
{
    const qint64 devices = qint64(baseAddress) + HeaderSize;
    const qint64 rules = devices + qint64(DeviceRecordSize) * infos.Num_Devices;
    qint64 running = rules + qint64(RuleRecordSize) * infos.Num_Rules;
    infos.Address_DevList = quint32(devices);
    infos.Address_RuleList = quint32(rules);
    for (TLoRaWAN_Rule& r : infos.Rules_List) {
        r.data_test_add = quint32(running);
        running += r.data_test.size();
    }
    infos.Address_ConfFile = quint32(running);
}

} // namespace

quint8 DataRate_Code(const QString& text, quint8 band, quint8 fallback)
{
    const QString t = ValueHelpers::trimBlanks(text).toUpper();
    if (band == 1) {
        static const std::array<QStringView, 6> Names{u"SF12BW500", u"SF11BW500", u"SF10BW500",
                                                      u"SF9BW500",  u"SF8BW500",  u"SF7BW500"};
        for (size_t i = 0; i < Names.size(); ++i) {
            if (t == Names[i])
                return quint8(8 + i);
        }
        return fallback;
    }
    static const std::array<QStringView, 7> Names{u"SF12BW125", u"SF11BW125", u"SF10BW125", u"SF9BW125",
                                                  u"SF8BW125",  u"SF7BW125",  u"SF7BW250"};
    for (size_t i = 0; i < Names.size(); ++i) {
        if (t == Names[i])
            return quint8(i);
    }
    return fallback;
}

std::optional<std::array<quint8, 8>> euiFromHex(const QString& text)
{
    return hexField<8>(text, true);
}

std::optional<std::array<quint8, 16>> keyFromHex(const QString& text)
{
    return hexField<16>(text, false);
}

std::optional<std::array<quint8, 4>> addressFromHex(const QString& text)
{
    return hexField<4>(text, true);
}

QByteArray hexTestBytes(const QString& text)
{
    const QString t = text.size() % 2 ? QStringLiteral("0") + text : text;
    QByteArray bytes(t.size() / 2, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(hexPair(t[2 * i], t[2 * i + 1]));
    return bytes;
}

QString Read_LoRaWAN_Parameters(const ParGenKeys& keys, TLoRaWAN_ParGen& parGen, TLoRaWAN_Infos& infos)
{
    const auto text = [&](const char16_t* key) { return keys.text(QString::fromUtf16(key)); };
    const auto number = [&](const char16_t* key, qint64 fallback) {
        return keys.number(QString::fromUtf16(key), fallback);
    };
    const auto textOr = [&](const char16_t* key, const QString& fallback) {
        const QString k = QString::fromUtf16(key);
        return keys.has(k) ? keys.text(k) : fallback;
    };

    parGen = TLoRaWAN_ParGen{};
    QString error;
    parGen.ModeMaster = text(u"LoRaWAN_Mode").toUpper() != u"END NODE";
    parGen.RF_Band = text(u"LoRaWAN_RF_Band") == u"US915" ? 1 : 0;
    infos.RF_Band = parGen.RF_Band;
    infos.position_diagnostic = quint32(number(u"LoRaWAN_Diagostic_Position", 0));
    parGen.NetworkType = ValueHelpers::trimBlanks(text(u"LoRaWAN_Network_Type")).toUpper() == u"PUBLIC"
                             ? QStringLiteral("true")
                             : QStringLiteral("false");
    if (parGen.ModeMaster) {
        infos.opzioni_funzionamento = 0x1111;
        infos.Adaptive_DataRate = 0;
        infos.Transmission_Type = 0;
        // Taken as they stand; Check_Forwarder_Values refuses what the device could not read.
        parGen.Server_Add = textOr(u"LoRaWAN_Server_Address", DefaultServerAddress);
        parGen.Server_Port_Up = textOr(u"LoRaWAN_Server_Port_Up", QStringLiteral("1780"));
        parGen.Server_Port_Down = textOr(u"LoRaWAN_Server_Port_Down", QStringLiteral("1780"));
        parGen.KA_Interval = textOr(u"LoRaWAN_KeepAlive_Interval", QStringLiteral("10"));
    } else {
        // The end node talks to its own network server; the forwarder settings keep their defaults.
        infos.opzioni_funzionamento = 0x2100;
        infos.Adaptive_DataRate = quint8(number(u"LoRaWAN_Adaptive_DataRate", 0) & 0xFF);
        infos.Transmission_Type = text(u"LoRaWAN_Transmission_Type") == u"Confirmed" ? 1 : 0;
        parGenHex(keys, QStringLiteral("LoRaWAN_Join_EUI"), parGen.JoinEUI, true, error);
        parGen.Activation_method = isOtaa(text(u"LoRaWAN_Activation_Method")) ? 1 : 0;
        if (parGen.Activation_method == 1) {
            parGenHex(keys, QStringLiteral("LoRaWAN_Application_Key"), parGen.AppKey, false, error);
        } else {
            parGenHex(keys, QStringLiteral("LoRaWAN_Device_Address"), parGen.Dev_Address, true, error);
            parGenHex(keys, QStringLiteral("LoRaWAN_Network_Session_Key"), parGen.NwkSKey, false, error);
            parGenHex(keys, QStringLiteral("LoRaWAN_Application_Session_Key"), parGen.AppSKey, false, error);
        }
        const QString cls = ValueHelpers::trimBlanks(text(u"LoRaWAN_Class")).toUpper();
        parGen.LoRaWAN_Class = cls == u"B" ? 1 : cls == u"C" ? 2 : 0;
    }
    // LoRaWAN_DataRate is not read: the RX2 code below would replace it anyway.
    infos.DataRate = DataRate_Code(text(u"LoRaWAN_RX2_Datarate"), infos.RF_Band, 0);
    infos.Freq_SubBand = quint8(number(u"LoRaWAN_Frequency_Sub_Band", 1) & 0xFF);
    return error;
}

QString readDevicesAndRules(const QByteArray& document, quint32 baseAddress, const TLoRaWAN_ParGen& parGen,
                            TLoRaWAN_Infos& infos)
{
    clearLists(infos);
    const QString error = GatewayReader(document, parGen, infos).run();
    if (!error.isEmpty())
        clearLists(infos);
    assignAddresses(infos, baseAddress);
    return error;
}

QString Read_Devices_And_Rules(const QString& documentPath, quint32 baseAddress,
                               const TLoRaWAN_ParGen& parGen, TLoRaWAN_Infos& infos)
{
    clearLists(infos);
    if (!QFileInfo::exists(documentPath)) {
        assignAddresses(infos, baseAddress);
        return {};
    }
    const QString shown = QDir::toNativeSeparators(documentPath) + QStringLiteral(": ");
    QFile file(documentPath);
    if (!file.open(QIODevice::ReadOnly))
        return shown + file.errorString();
    // Refused before any of it is read; read with a bound in case the file grows meanwhile.
    constexpr qint64 Limit = LoRaWANDocument::MaxFileSize;
    if (file.size() > Limit)
        return shown + QStringLiteral("the file is larger than %1 MiB").arg(Limit / (1024 * 1024));
    const QByteArray data = file.read(Limit + 1);
    if (data.size() > Limit)
        return shown + QStringLiteral("the file is larger than %1 MiB").arg(Limit / (1024 * 1024));
    if (file.error() != QFile::NoError)
        return shown + file.errorString();
    const QString error = readDevicesAndRules(data, baseAddress, parGen, infos);
    return error.isEmpty() ? QString() : shown + error;
}

} // namespace LoRaWANLoader
