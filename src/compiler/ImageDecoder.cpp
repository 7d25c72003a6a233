#include "compiler/ImageDecoder.h"

#include <QJsonArray>

namespace ImageDecoder {

namespace {

constexpr int ParameterSize = 2048;
constexpr quint32 Base = 0x80000;
constexpr qsizetype HeaderSize = 36;
constexpr qsizetype DeviceSize = 96;
constexpr qsizetype RuleSize = 24;
constexpr qsizetype BankSize = 524288;

quint32 u8(const QByteArray& b, qsizetype at)
{
    return quint8(b[at]);
}
quint32 u16(const QByteArray& b, qsizetype at)
{
    return u8(b, at) | (u8(b, at + 1) << 8);
}
quint32 u32(const QByteArray& b, qsizetype at)
{
    return u16(b, at) | (u16(b, at + 2) << 16);
}

QString hex32(quint32 v)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper();
}

QString ipv4(const QByteArray& b, qsizetype at)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(u8(b, at))
        .arg(u8(b, at + 1))
        .arg(u8(b, at + 2))
        .arg(u8(b, at + 3));
}

// Hex digits in the order stored.
QString bytesHex(const QByteArray& b, qsizetype at, qsizetype n)
{
    return QString::fromLatin1(b.mid(at, n).toHex().toUpper());
}

// Identifiers are stored least significant byte first; shown most significant first.
QString reversedHex(const QByteArray& b, qsizetype at, qsizetype n)
{
    QByteArray r = b.mid(at, n);
    std::reverse(r.begin(), r.end());
    return QString::fromLatin1(r.toHex().toUpper());
}

// A zero-terminated (or field-filling) text of one byte per character.
QString fieldText(const QByteArray& b, qsizetype at, qsizetype n)
{
    QString s;
    for (qsizetype i = 0; i < n && b[at + i] != '\0'; ++i)
        s += QChar(u8(b, at + i));
    return s;
}

} // namespace

Result decodeParameterImage(const QByteArray& b)
{
    Result r;
    if (b.size() != ParameterSize) {
        r.error = QStringLiteral("a parameter image has 2048 bytes, this file has %1").arg(b.size());
        return r;
    }
    quint32 sum = 0;
    for (qsizetype i = 0; i < 0x7FC; ++i)
        sum += u8(b, i);
    const quint32 stored = u32(b, 0x7FC);
    QJsonObject o;
    o[QStringLiteral("type")] = QStringLiteral("bank1");
    o[QStringLiteral("fixed_0x000")] = qint64(u32(b, 0x000));
    o[QStringLiteral("fixed_0x004")] = qint64(u32(b, 0x004));
    o[QStringLiteral("fixed_0x00C")] = qint64(u32(b, 0x00C));
    o[QStringLiteral("fixed_0x034")] = qint64(u16(b, 0x034));
    o[QStringLiteral("fixed_0x1B4")] = bytesHex(b, 0x1B4, 8);
    o[QStringLiteral("ethernet")] = QJsonObject{
        {QStringLiteral("ip"), ipv4(b, 0x028)},
        {QStringLiteral("mask"), ipv4(b, 0x02C)},
        {QStringLiteral("gateway"), ipv4(b, 0x030)},
        {QStringLiteral("tcpPort"), qint64(u16(b, 0x036))},
        {QStringLiteral("udpPort"), qint64(u16(b, 0x038))},
    };
    const quint32 dhcp = u16(b, 0x4E8);
    o[QStringLiteral("dhcp")] = QJsonObject{
        {QStringLiteral("flags"), qint64(dhcp)},
        {QStringLiteral("cable"), bool(dhcp & 1)},
        {QStringLiteral("wifi"), bool(dhcp & 2)},
    };
    o[QStringLiteral("dns")] = QJsonObject{
        {QStringLiteral("primary"), ipv4(b, 0x58C)},
        {QStringLiteral("secondary"), ipv4(b, 0x53C)},
    };
    o[QStringLiteral("wifi")] = QJsonObject{
        {QStringLiteral("type"), qint64(u8(b, 0x4F9))},
        {QStringLiteral("ssid"), fieldText(b, 0x47C, 32)},
        {QStringLiteral("password"), fieldText(b, 0x49C, 64)},
        {QStringLiteral("ip"), ipv4(b, 0x4FC)},
        {QStringLiteral("mask"), ipv4(b, 0x500)},
        {QStringLiteral("gateway"), ipv4(b, 0x504)},
        {QStringLiteral("secondBlock"), bytesHex(b, 0x508, 12)},
        {QStringLiteral("dhcpServer"), qint64(u8(b, 0x4EA))},
        {QStringLiteral("securityType"), qint64(u8(b, 0x4EB))},
        {QStringLiteral("dhcpFirstIp"), ipv4(b, 0x4EC)},
        {QStringLiteral("dhcpMask"), ipv4(b, 0x4F0)},
        {QStringLiteral("leaseTime"), qint64(u32(b, 0x4F4))},
        {QStringLiteral("maxClientsPlusOne"), qint64(u8(b, 0x4F8))},
        {QStringLiteral("channel"), qint64(u8(b, 0x4FA))},
        {QStringLiteral("autoChannel"), qint64(u8(b, 0x4FB))},
    };
    o[QStringLiteral("deviceName")] = fieldText(b, 0x514, 32);
    o[QStringLiteral("version")] = fieldText(b, 0x66C, 8);
    o[QStringLiteral("loRaWANImageAddress")] = hex32(u32(b, 0x674));
    o[QStringLiteral("checksum")] = QJsonObject{
        {QStringLiteral("stored"), hex32(stored)},
        {QStringLiteral("computed"), hex32(sum)},
        {QStringLiteral("valid"), stored == sum},
    };
    r.json = o;
    if (stored != sum)
        r.error = QStringLiteral("checksum mismatch: stored %1, computed %2").arg(hex32(stored), hex32(sum));
    return r;
}

Result decodeLoRaWANImage(const QByteArray& b)
{
    Result r;
    auto fail = [&](const QString& why) {
        r.error = why;
        return r;
    };
    if (b.size() < HeaderSize + 1)
        return fail(QStringLiteral("a LoRaWAN image has at least 37 bytes, this file has %1").arg(b.size()));
    if (b.size() > BankSize)
        return fail(
            QStringLiteral("the image has %1 bytes, more than the bank's %2").arg(b.size()).arg(BankSize));
    const quint32 numDevices = u32(b, 0), numRules = u32(b, 4);
    const quint32 devList = u32(b, 8), ruleList = u32(b, 12), confFile = u32(b, 16);
    const qint64 devicesEnd = HeaderSize + qint64(numDevices) * DeviceSize;
    const qint64 rulesEnd = devicesEnd + qint64(numRules) * RuleSize;
    if (rulesEnd > b.size())
        return fail(
            QStringLiteral("the header announces %1 devices and %2 rules (%3 bytes), the file has %4 bytes")
                .arg(numDevices)
                .arg(numRules)
                .arg(rulesEnd)
                .arg(b.size()));
    if (devList != Base + HeaderSize)
        return fail(QStringLiteral("the device list address is %1, expected %2")
                        .arg(hex32(devList), hex32(Base + HeaderSize)));
    if (ruleList != Base + devicesEnd)
        return fail(QStringLiteral("the rule list address is %1, expected %2")
                        .arg(hex32(ruleList), hex32(Base + quint32(devicesEnd))));
    if (confFile < Base + rulesEnd || confFile >= Base + quint64(b.size()))
        return fail(
            QStringLiteral("the forwarder text address %1 lies outside the image").arg(hex32(confFile)));
    const qsizetype textAt = qsizetype(confFile - Base);
    if (b.back() != '\0' || b.indexOf('\0', textAt) != b.size() - 1)
        return fail(
            QStringLiteral("the forwarder text does not end in exactly one 0 byte at the end of the file"));

    QJsonObject o;
    o[QStringLiteral("type")] = QStringLiteral("bank2");
    o[QStringLiteral("size")] = qint64(b.size());
    o[QStringLiteral("header")] = QJsonObject{
        {QStringLiteral("Num_Devices"), qint64(numDevices)},
        {QStringLiteral("Num_Rules"), qint64(numRules)},
        {QStringLiteral("Address_DevList"), hex32(devList)},
        {QStringLiteral("Address_RuleList"), hex32(ruleList)},
        {QStringLiteral("Address_ConfFile"), hex32(confFile)},
        {QStringLiteral("opzioni_funzionamento"), hex32(u32(b, 20))},
        {QStringLiteral("mode"),
         u32(b, 20) == 0x2100 ? QStringLiteral("end node") : QStringLiteral("gateway")},
        {QStringLiteral("RF_Band"), qint64(u8(b, 24))},
        {QStringLiteral("band"), u8(b, 24) == 1 ? QStringLiteral("US915") : QStringLiteral("EU868")},
        {QStringLiteral("DataRate"), qint64(u8(b, 25))},
        {QStringLiteral("Adaptive_DataRate"), qint64(u8(b, 26))},
        {QStringLiteral("Transmission_Type"), qint64(u8(b, 27))},
        {QStringLiteral("position_diagnostic"), qint64(u32(b, 28))},
        {QStringLiteral("Freq_SubBand"), qint64(u8(b, 32))},
    };

    QJsonArray devices;
    for (quint32 i = 0; i < numDevices; ++i) {
        const qsizetype at = HeaderSize + qsizetype(i) * DeviceSize;
        const quint32 options = u32(b, at + 84);
        const quint32 cls = options & 3;
        devices.append(QJsonObject{
            {QStringLiteral("DevEUI"), reversedHex(b, at, 8)},
            {QStringLiteral("JoinEUI"), reversedHex(b, at + 8, 8)},
            {QStringLiteral("DevNAME"), fieldText(b, at + 16, 16)},
            {QStringLiteral("NwkSKey"), bytesHex(b, at + 32, 16)},
            {QStringLiteral("AppSKey"), bytesHex(b, at + 48, 16)},
            {QStringLiteral("AppKey"), bytesHex(b, at + 64, 16)},
            {QStringLiteral("DevADDR"), reversedHex(b, at + 80, 4)},
            {QStringLiteral("options"), hex32(options)},
            {QStringLiteral("class"), cls == 2   ? QStringLiteral("C")
                                      : cls == 1 ? QStringLiteral("B")
                                                 : QStringLiteral("A")},
            {QStringLiteral("activation"), options & 0x100 ? QStringLiteral("OTAA") : QStringLiteral("ABP")},
            {QStringLiteral("timeout"), qint64(u32(b, at + 88))},
            {QStringLiteral("DL_settings"), qint64(u8(b, at + 92))},
        });
    }
    o[QStringLiteral("devices")] = devices;

    QJsonArray rules;
    quint32 expectedTest = Base + quint32(rulesEnd);
    for (quint32 i = 0; i < numRules; ++i) {
        const qsizetype at = qsizetype(devicesEnd) + qsizetype(i) * RuleSize;
        const quint32 testAt = u32(b, at + 8);
        const quint32 nextTest = i + 1 < numRules ? u32(b, at + RuleSize + 8) : confFile;
        if (testAt != expectedTest || nextTest < testAt || nextTest > confFile)
            return fail(QStringLiteral("rule %1: its test bytes at %2 do not follow the previous ones")
                            .arg(i + 1)
                            .arg(hex32(testAt)));
        expectedTest = nextTest;
        const quint32 options = u16(b, at + 22);
        const quint32 device = u16(b, at);
        if (device >= numDevices)
            return fail(
                QStringLiteral("rule %1 names device %2 of %3").arg(i + 1).arg(device).arg(numDevices));
        const bool downlink = options & 0x8;
        QJsonObject rule{
            {QStringLiteral("num_device"), qint64(device)},
            {QStringLiteral("direction"), downlink ? QStringLiteral("downlink") : QStringLiteral("uplink")},
            {QStringLiteral("port"), qint64(u16(b, at + 2))},
            {QStringLiteral("start_test"), qint64(u16(b, at + 4))},
            {QStringLiteral("len_test"), qint64(u16(b, at + 6))},
            {QStringLiteral("data_test_add"), hex32(testAt)},
            {QStringLiteral("data_test"),
             bytesHex(b, qsizetype(testAt - Base), qsizetype(nextTest - testAt))},
            {QStringLiteral("time_poll"), qint64(u32(b, at + 12))},
            {QStringLiteral("byte_offset_frame"), qint64(u16(b, at + 16))},
            {QStringLiteral("byte_offset_memory"), qint64(u16(b, at + 18))},
            {QStringLiteral("num_bytes"), qint64(u16(b, at + 20))},
            {QStringLiteral("options"), qint64(options)},
        };
        if (downlink) {
            rule[QStringLiteral("on_change")] = bool(options & 1);
            rule[QStringLiteral("on_command")] = bool(options & 2);
            rule[QStringLiteral("on_timer")] = bool(options & 4);
        }
        rules.append(rule);
    }
    if (expectedTest != confFile)
        return fail(QStringLiteral("the test bytes end at %1, the forwarder text starts at %2")
                        .arg(hex32(expectedTest), hex32(confFile)));
    o[QStringLiteral("rules")] = rules;
    o[QStringLiteral("forwarderText")] = QString::fromLatin1(b.mid(textAt, b.size() - 1 - textAt));
    r.json = o;
    return r;
}

Result decode(const QByteArray& image)
{
    if (image.size() == ParameterSize) {
        Result p = decodeParameterImage(image);
        if (p.error.isEmpty())
            return p;
        Result l = decodeLoRaWANImage(image);
        return l.error.isEmpty() ? l : p;
    }
    return decodeLoRaWANImage(image);
}

} // namespace ImageDecoder
