#include "common/FamilyChecks.h"

#include "common/ValueHelpers.h"

#include <QStringList>

#include <algorithm>
#include <optional>

namespace FamilyChecks {

namespace {

struct Named
{
    int code;
    const char16_t* name;
};

constexpr Named kNodeIdTypes[] = {{0, u"Numeric"}, {3, u"String"}, {4, u"Guid"}, {5, u"ByteString"}};

constexpr Named kDataTypes[] = {{0, u"Boolean"},   {1, u"Int8"},  {2, u"UInt8"},      {3, u"Int16"},
                                {4, u"UInt16"},    {5, u"Int32"}, {6, u"UInt32"},     {7, u"Int64"},
                                {8, u"UInt64"},    {9, u"Float"}, {10, u"Double"},    {11, u"String"},
                                {12, u"DateTime"}, {13, u"Guid"}, {14, u"ByteString"}};

// In these tables the last entry stands for every code not listed before it.
constexpr Named kUserTokenTypes[] = {{0, u"Anonymous"}, {1, u"Username and Password"}, {2, u"Certificate"}};

constexpr Named kSecurityModes[] = {{0, u"None"}, {1, u"Sign"}, {2, u"Sign and Encrypt"}};

constexpr Named kSecurityPolicies[] = {{0, u"None"},
                                       {1, u"Basic 128 RSA 15"},
                                       {2, u"Basic 256"},
                                       {3, u"Basic 256 SHA 256"},
                                       {4, u"AES 128 SHA 256 RSA OAEP"},
                                       {5, u"AES 256 SHA 256 RSA PSS"}};

template <std::size_t N> std::optional<QString> nameOf(const Named (&table)[N], int code)
{
    for (const Named& n : table) {
        if (n.code == code)
            return QString::fromUtf16(n.name);
    }
    return std::nullopt;
}

template <std::size_t N>
std::optional<int> codeOf(const Named (&table)[N], const QString& name, Qt::CaseSensitivity cs)
{
    for (const Named& n : table) {
        if (name.compare(QStringView(n.name), cs) == 0)
            return n.code;
    }
    return std::nullopt;
}

template <std::size_t N> QString nameOrLast(const Named (&table)[N], int code)
{
    return nameOf(table, code).value_or(QString::fromUtf16(table[N - 1].name));
}

QString hex(qulonglong value, int digits)
{
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

std::optional<quint32> readTrimmed(QStringView part, quint32 max)
{
    return ValueHelpers::readDecimal(ValueHelpers::trimBlanks(part), max);
}

bool inRange(QStringView part, quint32 min, quint32 max, quint32& value)
{
    const auto v = readTrimmed(part, max);
    if (!v || *v < min)
        return false;
    value = *v;
    return true;
}

bool groupAddressValid(const QString& text)
{
    if (text.contains(u'.'))
        return false;
    const QStringList parts = text.split(u'/');
    quint32 a = 0, b = 0, c = 0;
    switch (parts.size()) {
    case 1:
        return inRange(parts[0], 1, 65535, a);
    case 2:
        return inRange(parts[0], 0, 31, a) && inRange(parts[1], 0, 2047, b) && (a || b);
    case 3:
        return inRange(parts[0], 0, 31, a) && inRange(parts[1], 0, 7, b) && inRange(parts[2], 0, 255, c) &&
               (a || b || c);
    default:
        return false;
    }
}

bool individualAddressValid(const QString& text, bool allowZero)
{
    if (text.contains(u'/'))
        return false;
    const QStringList parts = text.split(u'.');
    quint32 a = 0, l = 0, d = 0;
    switch (parts.size()) {
    case 1:
        return inRange(parts[0], 1, 65535, a);
    case 3:
        return inRange(parts[0], 0, 15, a) && inRange(parts[1], 0, 15, l) && inRange(parts[2], 0, 255, d) &&
               (allowZero || a || l || d);
    default:
        return false;
    }
}

} // namespace

QString nodeIdTypeName(int code)
{
    return nameOf(kNodeIdTypes, code).value_or(QString());
}

int nodeIdTypeCode(const QString& name)
{
    return codeOf(kNodeIdTypes, name, Qt::CaseInsensitive).value_or(0);
}

QString dataTypeName(int code)
{
    return nameOf(kDataTypes, code).value_or(QString());
}

int dataTypeCode(const QString& name)
{
    return codeOf(kDataTypes, name, Qt::CaseSensitive).value_or(-1);
}

QString userTokenTypeName(int code)
{
    return nameOrLast(kUserTokenTypes, code);
}

int userTokenTypeCode(const QString& name)
{
    return codeOf(kUserTokenTypes, name, Qt::CaseSensitive).value_or(2);
}

QString securityModeName(int code)
{
    return nameOrLast(kSecurityModes, code);
}

int securityModeCode(const QString& name)
{
    return codeOf(kSecurityModes, name, Qt::CaseSensitive).value_or(2);
}

QString securityPolicyName(int code)
{
    return nameOrLast(kSecurityPolicies, code);
}

int securityPolicyCode(const QString& name)
{
    return codeOf(kSecurityPolicies, name, Qt::CaseSensitive).value_or(5);
}

QString nodeIdText(const NodeId& id)
{
    switch (id.identifierType) {
    case 0:
        return QString::number(id.numeric);
    case 3:
    case 5:
        return id.text;
    case 4: {
        const Guid& g = id.guid;
        QString tail;
        for (std::size_t i = 2; i < g.data4.size(); ++i)
            tail += hex(g.data4[i], 2);
        return hex(g.data1, 8) + u'-' + hex(g.data2, 4) + u'-' + hex(g.data3, 4) + u'-' + hex(g.data4[0], 2) +
               hex(g.data4[1], 2) + u'-' + tail;
    }
    default:
        return QString();
    }
}

int checkObjectIdentifier(const QString& oid)
{
    if (oid.size() > 128)
        return 1;
    // Nothing to read is reported like a text with no valid characters.
    if (oid.isEmpty())
        return 2;
    if (!std::all_of(oid.begin(), oid.end(), [](QChar c) { return c == u'.' || (c >= u'0' && c <= u'9'); }))
        return 2;
    if (oid.startsWith(u'.'))
        return 3;
    if (oid.endsWith(u'.'))
        return 4;
    if (oid.contains(QStringLiteral("..")))
        return 5;
    for (const QStringView part : QStringView(oid).split(u'.')) {
        if (!ValueHelpers::readDecimal(part, 4294967295u))
            return 6;
    }
    return 0;
}

int checkUserName(const QString& text, bool userName)
{
    if (text.size() > 15)
        return 1;
    if (text.size() < (userName ? 1 : 8))
        return 2;
    const bool plain = std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    });
    return plain ? 0 : 3;
}

int securityLevel(const QString& text)
{
    const QString level = ValueHelpers::trimBlanks(text.toUpper());
    if (level == u"AUTH NOPRIV")
        return 1;
    if (level == u"AUTH PRIV")
        return 3;
    if (level.isEmpty())
        return -1;
    return 0;
}

int checkBusAddress(const QString& text, bool group, bool allowZero)
{
    const bool valid = group ? groupAddressValid(text) : individualAddressValid(text, allowZero);
    return valid ? 0 : 1;
}

bool hasNoDot(const QString& text)
{
    return !text.contains(u'.');
}

} // namespace FamilyChecks
