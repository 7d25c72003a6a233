#include "lorawan/LoRaWANDocument.h"

#include "common/XmlLimits.h"

#include "common/SafeWrite.h"
#include "common/ValueHelpers.h"
#include "common/XmlText.h"
#include "params/ParGenDocument.h"
#include "params/ParGenLists.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QXmlStreamReader>

#include <array>
#include <optional>

namespace LoRaWANDocument {

namespace {

const QString RootName = QStringLiteral("LoRaWAN_Gateway");
const QString DevicesListName = QStringLiteral("LoRaWAN_Devices_List");
const QString DeviceElementName = QStringLiteral("LoRaWAN_Device");
const QString RulesName = QStringLiteral("LoRaWAN_Rules");
const QString UpLinkName = QStringLiteral("LoRaWAN_UpLink_Rules");
const QString DownLinkName = QStringLiteral("LoRaWAN_DownLink_Rules");
const QString RuleName = QStringLiteral("Rule");
const QString VersionComment = QStringLiteral("SW_VERSION = 1.000");

// The attributes in the order they are written; `required` is what the
// editor's reading insists on.
struct Attribute
{
    QStringView name;
    bool required;
};

constexpr std::array<Attribute, 13> DeviceAttributes{{
    {u"Enable", false},
    {u"DeviceEUI", true},
    {u"JoinEUI", true},
    {u"DeviceName", true},
    {u"ActivationMethod", true},
    {u"NetworkSessionKey", true},
    {u"ApplicationSessionKey", true},
    {u"ApplicationKey", true},
    {u"DeviceAddress", true},
    {u"Class", false},
    {u"DiagTimeOut", false},
    {u"RX2_Datarate", false},
    {u"Mnemonic", true},
}};

constexpr std::array<Attribute, 10> UpLinkAttributes{{
    {u"Enable", true},
    {u"Port", true},
    {u"StartTest", false},
    {u"LenTest", false},
    {u"HexTest", false},
    {u"ValueTest", false},
    {u"StartBit", true},
    {u"NumberBits", true},
    {u"PositionBit", true},
    {u"Mnemonic", true},
}};

constexpr std::array<Attribute, 10> DownLinkAttributes{{
    {u"Enable", true},
    {u"Port", true},
    {u"StartBit", true},
    {u"NumberBits", true},
    {u"OnChange", true},
    {u"OnCommand", true},
    {u"OnTimer", true},
    {u"Time", true},
    {u"PositionBit", true},
    {u"Mnemonic", true},
}};

QString flagText(bool set)
{
    return set ? QStringLiteral("Y") : QStringLiteral("N");
}

// The values of a record in the order of its attribute table.
std::array<QString, 13> deviceValues(const TDeviceLoRa& d)
{
    return {flagText(d.Enable), d.DeviceEUI,   d.JoinEUI, d.DeviceName, d.ActMethod,
            d.NetSessKey,       d.AppSessKey,  d.AppKey,  d.DevAdd,     d.ClassLoRa,
            d.DiagTimeOut,      d.RX2Datarate, d.Mnemonic};
}

std::array<QString, 10> upLinkValues(const TRuleLoRa& r)
{
    return {flagText(r.Enable), r.Port,     r.StartTest, r.LenTest, flagText(r.HexTest),
            r.ValueTest,        r.StartBit, r.NumBits,   r.PosBit,  r.Mnemonic};
}

std::array<QString, 10> downLinkValues(const TRuleLoRa& r)
{
    return {flagText(r.Enable),  r.Port, r.StartBit, r.NumBits, flagText(r.OnChange), flagText(r.OnCMD),
            flagText(r.OnTimer), r.Time, r.PosBit,   r.Mnemonic};
}

// ---- Writing

void appendEscaped(QString& out, const QString& text)
{
    XmlText::appendEscaped(out, text, XmlText::Place::Attribute);
}

template <size_t N>
void appendAttributes(QString& out, const std::array<Attribute, N>& names,
                      const std::array<QString, N>& values)
{
    for (size_t i = 0; i < N; ++i) {
        out += u' ';
        out += names[i].name;
        out += u"=\"";
        appendEscaped(out, values[i]);
        out += u'"';
    }
}

// An element without children is written as an empty-element tag.
void appendRules(QString& out, const QString& listName, const QList<TRuleLoRa>& rules, bool upLink)
{
    out += u'<';
    out += listName;
    if (rules.isEmpty()) {
        out += u"/>";
        return;
    }
    out += u'>';
    for (const TRuleLoRa& rule : rules) {
        out += u'<';
        out += RuleName;
        if (upLink)
            appendAttributes(out, UpLinkAttributes, upLinkValues(rule));
        else
            appendAttributes(out, DownLinkAttributes, downLinkValues(rule));
        out += u"/>";
    }
    out += u"</";
    out += listName;
    out += u'>';
}

// ---- Reading

QString position(int device, int rule = 0, bool upLink = true)
{
    QString s = QStringLiteral("device %1").arg(device);
    if (rule > 0)
        s += (upLink ? QStringLiteral(", uplink rule %1") : QStringLiteral(", downlink rule %1")).arg(rule);
    return s;
}

QString attributeValue(const QXmlStreamAttributes& attributes, QStringView name, bool* found = nullptr)
{
    for (const QXmlStreamAttribute& a : attributes) {
        if (a.qualifiedName() == name) {
            if (found)
                *found = true;
            return a.value().toString();
        }
    }
    if (found)
        *found = false;
    return QString();
}

class Reader
{
public:
    Reader(const QByteArray& data, bool gatewayMode) : m_xml(data), m_gatewayMode(gatewayMode)
    {
        // Names are compared as written, prefixes included.
        m_xml.setNamespaceProcessing(false);
    }

    ReadResult run()
    {
        while (m_error.isEmpty() && !m_xml.atEnd()) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::DTD:
                // Qt bounds each expansion, but not how often a large entity
                // is referenced, so a small file could expand to gigabytes.
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
        if (m_error.isEmpty() && m_xml.hasError()) {
            m_error = XmlLimits::errorText(m_xml);
        }
        ReadResult result;
        if (!m_error.isEmpty()) {
            result.error = m_error;
            return result;
        }
        result.devices = std::move(m_devices);
        result.skippedDevices = m_skippedDevices;
        result.skippedRules = m_skippedRules;
        return result;
    }

private:
    enum class Role { Ignored, Root, DevicesList, Device, Rules, UpLinkList, DownLinkList };

    struct Frame
    {
        Role role = Role::Ignored;
        QString name;
        qint64 line = 0;
        int children = 0; // element children so far
        bool hasList = false;
        bool hasRules = false;
        bool hasUpLink = false;
        bool hasDownLink = false;
    };

    void startElement()
    {
        m_error = XmlLimits::depthRefusal(m_xml, int(m_stack.size()) + 1);
        if (m_error.isEmpty())
            m_error = XmlLimits::attributeRefusal(m_xml);
        if (!m_error.isEmpty())
            return;
        const QString name = m_xml.qualifiedName().toString();
        Frame frame;
        frame.name = name;
        frame.line = m_xml.lineNumber();
        if (m_stack.isEmpty()) {
            if (name != RootName) {
                m_error = QStringLiteral("the document element is %1, not %2").arg(name, RootName);
                return;
            }
            frame.role = Role::Root;
        } else {
            Frame& parent = m_stack.last();
            ++parent.children;
            switch (parent.role) {
            case Role::Root:
                if (name == DevicesListName && !parent.hasList) {
                    parent.hasList = true;
                    frame.role = Role::DevicesList;
                }
                break;
            case Role::DevicesList:
                if (parent.children > 1 && !m_gatewayMode)
                    break; // end-node mode reads the first device only
                if (parent.children > LoRaWAN::DeviceRows) {
                    ++m_skippedDevices;
                    break;
                }
                frame.role = Role::Device;
                readDevice(parent.children);
                break;
            case Role::Device:
                if (name == RulesName && !parent.hasRules) {
                    parent.hasRules = true;
                    frame.role = Role::Rules;
                }
                break;
            case Role::Rules:
                if (name == UpLinkName && !parent.hasUpLink) {
                    parent.hasUpLink = true;
                    frame.role = Role::UpLinkList;
                } else if (name == DownLinkName && !parent.hasDownLink) {
                    parent.hasDownLink = true;
                    frame.role = Role::DownLinkList;
                }
                break;
            case Role::UpLinkList:
            case Role::DownLinkList:
                if (parent.children > LoRaWAN::RuleRows)
                    ++m_skippedRules;
                else
                    readRule(parent.role == Role::UpLinkList, parent.children);
                break;
            case Role::Ignored:
                break;
            }
        }
        m_stack.append(frame);
    }

    void endElement()
    {
        if (m_stack.isEmpty())
            return;
        const Frame frame = m_stack.takeLast();
        const auto missing = [&](const QString& where, const QString& child) {
            m_error = QStringLiteral("%1%2 (line %3) has no %4 element")
                          .arg(where, frame.name)
                          .arg(frame.line)
                          .arg(child);
        };
        switch (frame.role) {
        case Role::Root:
            if (!frame.hasList)
                missing(QString(), DevicesListName);
            break;
        case Role::Device:
            if (!frame.hasRules)
                missing(position(int(m_devices.size())) + QStringLiteral(": "), RulesName);
            break;
        case Role::Rules:
            if (!frame.hasUpLink)
                missing(position(int(m_devices.size())) + QStringLiteral(": "), UpLinkName);
            else if (!frame.hasDownLink)
                missing(position(int(m_devices.size())) + QStringLiteral(": "), DownLinkName);
            break;
        default:
            break;
        }
    }

    // The value of an attribute; a missing required one sets the error.
    template <size_t N>
    std::array<QString, N> readAttributes(const std::array<Attribute, N>& table, const QString& where)
    {
        std::array<QString, N> values;
        const QXmlStreamAttributes attributes = m_xml.attributes();
        for (size_t i = 0; i < N; ++i) {
            bool found = false;
            values[i] = attributeValue(attributes, table[i].name, &found);
            if (!found && table[i].required && m_error.isEmpty()) {
                m_error = QStringLiteral("%1: %2 (line %3) has no %4 attribute")
                              .arg(where, m_xml.qualifiedName().toString())
                              .arg(m_xml.lineNumber())
                              .arg(table[i].name.toString());
            }
        }
        return values;
    }

    void readDevice(int number)
    {
        const auto v = readAttributes(DeviceAttributes, position(number));
        TDeviceLoRa d;
        // The device test is exact, unlike the rule flags.
        d.Enable = v[0] == u"Y";
        d.DeviceEUI = v[1];
        d.JoinEUI = v[2];
        d.DeviceName = v[3];
        d.ActMethod = v[4];
        d.NetSessKey = v[5];
        d.AppSessKey = v[6];
        d.AppKey = v[7];
        d.DevAdd = v[8];
        d.ClassLoRa = v[9];
        d.DiagTimeOut = v[10];
        d.RX2Datarate = v[11];
        d.Mnemonic = v[12];
        m_devices.append(std::move(d));
    }

    void readRule(bool upLink, int number)
    {
        const QString where = position(int(m_devices.size()), number, upLink);
        TRuleLoRa r;
        if (upLink) {
            const auto v = readAttributes(UpLinkAttributes, where);
            r.Enable = ruleFlag(v[0]);
            r.Port = v[1];
            r.StartTest = v[2];
            r.LenTest = v[3];
            r.HexTest = ruleFlag(v[4]);
            r.ValueTest = v[5];
            r.StartBit = v[6];
            r.NumBits = v[7];
            r.PosBit = v[8];
            r.Mnemonic = v[9];
            m_devices.last().UpLinkRules.append(std::move(r));
        } else {
            const auto v = readAttributes(DownLinkAttributes, where);
            r.Enable = ruleFlag(v[0]);
            r.Port = v[1];
            r.StartBit = v[2];
            r.NumBits = v[3];
            r.OnChange = ruleFlag(v[4]);
            r.OnCMD = ruleFlag(v[5]);
            r.OnTimer = ruleFlag(v[6]);
            r.Time = v[7];
            r.PosBit = v[8];
            r.Mnemonic = v[9];
            m_devices.last().DownLinkRules.append(std::move(r));
        }
    }

    QXmlStreamReader m_xml;
    const bool m_gatewayMode;
    QList<Frame> m_stack;
    QList<TDeviceLoRa> m_devices;
    int m_skippedDevices = 0;
    int m_skippedRules = 0;
    QString m_error;
};

QString withPath(const QString& path, const QString& error)
{
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") + error;
}

QString tooLargeError()
{
    return QStringLiteral("the file is larger than %1 MiB").arg(MaxFileSize / (1024 * 1024));
}

// Reads at most limit bytes; nothing when the device fails or holds more.
std::optional<QByteArray> readBounded(QIODevice& device, qint64 limit, QString* error)
{
    QByteArray data;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = device.read(buffer, sizeof buffer);
        if (n < 0) {
            *error = device.errorString();
            return std::nullopt;
        }
        if (n == 0)
            return data;
        data.append(buffer, n);
        if (data.size() > limit) {
            *error = tooLargeError();
            return std::nullopt;
        }
    }
}

// ---- ParGen.xml

// The first child element of that name under the root; text is set only when
// its content is a plain text, as the ParGen.xml reader takes it.
struct ParGenElement
{
    explicit ParGenElement(const QString& elementName) : name(elementName) {}

    QString name;
    bool seen = false;
    std::optional<QString> text;
};

// Looks the elements up as the ParGen.xml reader does; a document that is
// not well-formed gives none of them.
void findParGenElements(const QByteArray& data, std::initializer_list<ParGenElement*> elements)
{
    if (!XmlLimits::check(data).isEmpty())
        return;
    QXmlStreamReader xml(data);
    xml.setNamespaceProcessing(false);
    int depth = 0;
    ParGenElement* target = nullptr; // the wanted child of the root being read
    bool single = true;
    QString text;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartDocument:
            // A declaration is the first node, so the root is no element.
            if (!xml.documentVersion().isEmpty())
                return;
            break;
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            // In front of the root this leaves no elements to look up; it
            // also stops before any entity of a DTD is expanded.
            if (depth == 0)
                return;
            if (depth >= 2)
                single = false;
            break;
        case QXmlStreamReader::StartElement:
            ++depth;
            if (depth == 2) {
                target = nullptr;
                for (ParGenElement* e : elements) {
                    if (!e->seen && xml.qualifiedName() == e->name)
                        target = e;
                }
                single = true;
                text.clear();
            } else if (depth > 2) {
                single = false;
            }
            break;
        case QXmlStreamReader::EndElement:
            if (depth == 2 && target) {
                target->seen = true;
                if (single)
                    target->text = text;
                target = nullptr;
            }
            --depth;
            break;
        case QXmlStreamReader::Characters:
            // Text and CDATA sections together form the element's text.
            if (depth == 2 && target)
                text += xml.text();
            break;
        default:
            break;
        }
    }
    if (xml.hasError()) {
        for (ParGenElement* e : elements)
            e->text.reset();
    }
}

} // namespace

bool ruleFlag(const QString& text)
{
    return ValueHelpers::trimBlanks(text).toUpper() == u"Y";
}

GatewaySettings readGatewaySettings(const QString& parGenPath)
{
    GatewaySettings settings;
    QFile file(parGenPath);
    if (!file.exists() || !file.open(QIODevice::ReadOnly) || file.size() > ParGenDocument::MaxFileSize)
        return settings;
    QString error;
    const std::optional<QByteArray> data = readBounded(file, ParGenDocument::MaxFileSize, &error);
    if (!data)
        return settings;
    ParGenElement mode(QStringLiteral("LoRaWAN_Mode"));
    ParGenElement band(QStringLiteral("LoRaWAN_RF_Band"));
    findParGenElements(*data, {&mode, &band});
    if (mode.text && mode.text->toUpper() == u"END NODE")
        settings.master = false;
    settings.band = band.text.value_or(QString());
    return settings;
}

QStringList rx2Items(const GatewaySettings& settings)
{
    using namespace ParGenLists;
    QStringList items = rx2DataRates(settings.band == US915 ? US915 : EU868);
    items.append(QString());
    return items;
}

QByteArray write(const QList<TDeviceLoRa>& devices)
{
    QString out;
    out += u'<';
    out += RootName;
    out += u"><";
    out += DevicesListName;
    qsizetype count = 0;
    while (count < devices.size() && !ValueHelpers::trimBlanks(devices[count].DeviceEUI).isEmpty())
        ++count;
    if (count == 0) {
        out += u"/>";
    } else {
        out += u'>';
        for (qsizetype i = 0; i < count; ++i) {
            const TDeviceLoRa& d = devices[i];
            out += u'<';
            out += DeviceElementName;
            appendAttributes(out, DeviceAttributes, deviceValues(d));
            out += u"><";
            out += RulesName;
            out += u'>';
            appendRules(out, UpLinkName, d.UpLinkRules, true);
            appendRules(out, DownLinkName, d.DownLinkRules, false);
            out += u"</";
            out += RulesName;
            out += u"></";
            out += DeviceElementName;
            out += u'>';
        }
        out += u"</";
        out += DevicesListName;
        out += u'>';
    }
    out += u"</";
    out += RootName;
    out += u"><!--";
    out += VersionComment;
    out += u"-->";
    return out.toUtf8();
}

ReadResult read(const QByteArray& data, bool gatewayMode)
{
    return Reader(data, gatewayMode).run();
}

ReadResult read(QIODevice& device, bool gatewayMode)
{
    ReadResult result;
    const std::optional<QByteArray> data = readBounded(device, MaxFileSize, &result.error);
    if (!data)
        return result;
    return read(*data, gatewayMode);
}

QString save(const QString& path, const QList<TDeviceLoRa>& devices)
{
    const QByteArray document = write(devices);
    if (document.size() > MaxFileSize)
        return withPath(path, QStringLiteral("the document would have %1 bytes, more than the %2 that can be opened again")
                                  .arg(document.size())
                                  .arg(MaxFileSize));
    return safeWrite(path, document);
}

ReadResult load(const QString& path, bool gatewayMode)
{
    if (!QFileInfo::exists(path))
        return {};
    QFile file(path);
    ReadResult result;
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = withPath(path, file.errorString());
        return result;
    }
    // Refuse a large file before reading any of it.
    if (file.size() > MaxFileSize) {
        result.error = withPath(path, tooLargeError());
        return result;
    }
    result = read(file, gatewayMode);
    if (!result.error.isEmpty())
        result.error = withPath(path, result.error);
    return result;
}

} // namespace LoRaWANDocument
