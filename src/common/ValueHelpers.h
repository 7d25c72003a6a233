#pragma once

#include <QChar>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// Small value helpers shared by the editors: address texts, decimal texts,
// the device's network interfaces.
namespace ValueHelpers {

// Removes blanks and control characters at both ends.
QString trimBlanks(QStringView text);

// Reads a text of ASCII decimal digits only (no sign, no blanks) with a value
// of at most max; anything else gives nothing.
std::optional<quint32> readDecimal(QStringView text, quint32 max);

// The value of an ASCII hexadecimal digit in either case, -1 for any other character.
int hexDigit(QChar c);

struct DottedAddress
{
    bool valid = false;
    // The trimmed parts; when a "." is missing, the parts after it stay empty.
    std::array<QString, 4> parts;
};

// Splits "a.b.c.d" into four trimmed parts; valid when each is 0 to 255.
DottedAddress splitDottedAddress(const QString& text);

struct AddressOctets
{
    bool error = false;
    // A part that is not 0 to 255 gives 0 here.
    std::array<quint8, 4> octets{};
};

// Reads "a.b.c.d" part by part (parts not trimmed); every bad part gives a 0
// octet and marks the error. An empty text is an error with all octets 0.
AddressOctets addressToOctets(const QString& text);

struct AddressAndPort
{
    bool valid = false;
    // All zero unless valid.
    std::array<quint8, 4> octets{};
    quint16 port = 0;
};

// Reads "a.b.c.d:port" with trimmed parts, octets 0 to 255 and port 0 to 65535.
AddressAndPort parseAddressAndPort(const QString& text);

struct NetworkInterfaces
{
    int count = 0;
    QString first;
    QString second;
};

// The device's network interfaces (callers show a second one only for count 2).
NetworkInterfaces networkInterfaces();

// The regional decimal separator, "," or "."; "," when the locale uses another.
QChar decimalSeparator();
QChar decimalSeparator(const QLocale& locale);

struct DecimalNumber
{
    bool ok = false;
    // 1.0 when the text could not be read.
    float value = 1.0f;
};

// Reads a decimal text typed with either "," or "." as separator: with the
// separator "." every "," becomes ".", with any other every "." becomes ",";
// then the text is read in the locale's format (the system's by default).
// Values that do not fit a float, infinity and NaN are failures.
DecimalNumber decimalTextToNumber(const QString& text, QChar separator);
DecimalNumber decimalTextToNumber(const QString& text, QChar separator, const QLocale& locale);

} // namespace ValueHelpers
