#include "update/EchoClient.h"

#include <QStringList>

namespace EchoHost {

std::optional<quint32> dottedAddress(const QString& host)
{
    const QStringList parts = host.split(u'.');
    if (parts.size() != 4)
        return std::nullopt;
    quint32 value = 0;
    for (const QString& part : parts) {
        if (part.isEmpty() || part.size() > 3)
            return std::nullopt;
        uint n = 0;
        for (QChar c : part) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
            n = n * 10 + (c.unicode() - u'0');
        }
        if (n > 255)
            return std::nullopt;
        value = value << 8 | n;
    }
    return value;
}

bool plausibleName(const QString& host)
{
    if (host.isEmpty() || host.size() > 253)
        return false;
    const QStringList labels = host.split(u'.');
    for (const QString& label : labels) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith(u'-') || label.endsWith(u'-'))
            return false;
        for (QChar c : label) {
            if (c.unicode() > 0x7f || !(c.isLetterOrNumber() || c == u'-'))
                return false;
        }
    }
    bool numeric = true;
    for (QChar c : labels.last())
        numeric = numeric && c.isDigit();
    return !numeric;
}

} // namespace EchoHost
