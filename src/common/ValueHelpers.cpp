#include "common/ValueHelpers.h"

#include <cmath>

namespace ValueHelpers {

namespace {

bool isBlank(QChar c)
{
    return c.isSpace() || c.category() == QChar::Other_Control;
}

// Text before the first "." and the text after it; nothing when there is no ".".
std::optional<std::pair<QStringView, QStringView>> cutAtDot(QStringView text)
{
    const qsizetype dot = text.indexOf(u'.');
    if (dot < 0)
        return std::nullopt;
    return std::pair{text.first(dot), text.sliced(dot + 1)};
}

} // namespace

QString trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin).toString();
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

std::optional<quint32> readDecimal(QStringView text, quint32 max)
{
    if (text.isEmpty())
        return std::nullopt;
    quint64 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        // Stop before the value can overflow, however many digits follow.
        if (value > max)
            return std::nullopt;
    }
    return quint32(value);
}

DottedAddress splitDottedAddress(const QString& text)
{
    DottedAddress result;
    QString rest = trimBlanks(text);
    for (int i = 0; i < 3; ++i) {
        const auto cut = cutAtDot(rest);
        if (!cut)
            return result;
        result.parts[i] = trimBlanks(cut->first);
        rest = trimBlanks(cut->second);
    }
    result.parts[3] = rest;
    result.valid = true;
    for (const QString& part : result.parts)
        result.valid = result.valid && readDecimal(part, 255).has_value();
    return result;
}

AddressOctets addressToOctets(const QString& text)
{
    AddressOctets result;
    if (text.isEmpty()) {
        result.error = true;
        return result;
    }
    QStringView rest = text;
    for (int i = 0; i < 4; ++i) {
        QStringView part = rest;
        rest = {};
        if (i < 3) {
            if (const auto cut = cutAtDot(part)) {
                part = cut->first;
                rest = cut->second;
            } else {
                // Too few dots: this part takes the rest, the later ones are empty.
                result.error = true;
            }
        }
        const auto value = readDecimal(part, 255);
        result.octets[i] = value ? quint8(*value) : 0;
        result.error = result.error || !value;
    }
    return result;
}

AddressAndPort parseAddressAndPort(const QString& text)
{
    std::array<quint8, 4> octets{};
    QStringView rest = text;
    for (int i = 0; i < 4; ++i) {
        const qsizetype sep = rest.indexOf(i < 3 ? u'.' : u':');
        if (sep < 0)
            return {};
        const auto value = readDecimal(trimBlanks(rest.first(sep)), 255);
        if (!value)
            return {};
        octets[i] = quint8(*value);
        rest = rest.sliced(sep + 1);
    }
    const auto port = readDecimal(trimBlanks(rest), 65535);
    if (!port)
        return {};
    return {true, octets, quint16(*port)};
}

NetworkInterfaces networkInterfaces()
{
    return {1, QStringLiteral("Ethernet"), QString()};
}

QChar decimalSeparator()
{
    return decimalSeparator(QLocale::system());
}

QChar decimalSeparator(const QLocale& locale)
{
    const QString point = locale.decimalPoint();
    if (!point.isEmpty() && (point[0] == u',' || point[0] == u'.'))
        return point[0];
    return u',';
}

DecimalNumber decimalTextToNumber(const QString& text, QChar separator)
{
    return decimalTextToNumber(text, separator, QLocale::system());
}

DecimalNumber decimalTextToNumber(const QString& text, QChar separator, const QLocale& locale)
{
    QString normal = text;
    if (separator == u'.')
        normal.replace(u',', u'.');
    else
        normal.replace(u'.', u',');
    bool ok = false;
    const float value = locale.toFloat(normal, &ok);
    if (!ok || !std::isfinite(value))
        return {};
    return {true, value};
}

} // namespace ValueHelpers
