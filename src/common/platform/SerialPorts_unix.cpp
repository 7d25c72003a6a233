#include "common/SerialPorts.h"

#include <QDir>

#include <algorithm>
#include <sys/stat.h>

namespace SerialPorts {

namespace {

// Name prefixes of serial devices, in the order they are listed. Opening a
// port could change its modem lines (resetting some boards), so presence is
// judged from the device node alone.
#if defined(Q_OS_MACOS)
const QStringList kPrefixes = {QStringLiteral("cu.")};
const bool kNumbered = false;
#elif defined(Q_OS_FREEBSD) || defined(Q_OS_NETBSD) || defined(Q_OS_OPENBSD)
const QStringList kPrefixes = {QStringLiteral("cuau"), QStringLiteral("cuaU"), QStringLiteral("cuad"),
                               QStringLiteral("cua")};
const bool kNumbered = true;
#else
const QStringList kPrefixes = {QStringLiteral("ttyS"),   QStringLiteral("ttyUSB"), QStringLiteral("ttyACM"),
                               QStringLiteral("ttyAMA"), QStringLiteral("ttymxc"), QStringLiteral("ttySAC"),
                               QStringLiteral("ttyTHS"), QStringLiteral("ttyO"),   QStringLiteral("rfcomm")};
const bool kNumbered = true;
#endif

struct Entry
{
    qsizetype group;
    qulonglong number;
    SerialPort port;
};

// The group of a serial device name and its number, or -1 for other names.
qsizetype groupOf(const QString& name, qulonglong& number)
{
    for (qsizetype g = 0; g < kPrefixes.size(); ++g) {
        const QString& prefix = kPrefixes[g];
        if (!name.startsWith(prefix) || name.size() == prefix.size())
            continue;
        if (!kNumbered) {
            number = 0;
            return g;
        }
        const QStringView digits = QStringView(name).sliced(prefix.size());
        if (digits.size() > 9 ||
            !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            continue;
        number = digits.toULongLong();
        return g;
    }
    return -1;
}

bool isCharacterDevice(const QString& path)
{
    // stat follows links, so a dangling link or a vanished device is skipped.
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode);
}

} // namespace

QList<SerialPort> devicesIn(const QString& folder)
{
    const QDir dir(folder);
    QList<Entry> found;
    const QStringList names =
        dir.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        qulonglong number = 0;
        const qsizetype group = groupOf(name, number);
        if (group < 0)
            continue;
        const QString path = dir.filePath(name);
        if (isCharacterDevice(path))
            found.append({group, number, {name, path}});
    }
    // Numbers ascending within a group: ttyS2 before ttyS10.
    std::stable_sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) {
        return a.group != b.group ? a.group < b.group : a.number < b.number;
    });
    QList<SerialPort> ports;
    for (const Entry& e : found)
        ports.append(e.port);
    return ports;
}

QList<SerialPort> list()
{
    return devicesIn(QStringLiteral("/dev"));
}

QStringList labels()
{
    QStringList result;
    for (const SerialPort& port : list())
        result.append(port.label);
    return result;
}

} // namespace SerialPorts
