#include "common/SafeWrite.h"

#include <QDir>
#include <QSaveFile>

QString safeWrite(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    // Unbuffered: a buffered QSaveFile loses a short write (a full disk) at
    // its flush and would put the cut file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return QDir::toNativeSeparators(path) + QStringLiteral(": ") + file.errorString();
    if (file.write(data) != data.size()) {
        const QString reason = file.error() != QFileDevice::NoError ? file.errorString()
                                                                     : QStringLiteral("only part of the file could be written (the disk may be full)");
        file.cancelWriting();
        return QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason;
    }
    if (!file.commit())
        return QDir::toNativeSeparators(path) + QStringLiteral(": ") + file.errorString();
    return {};
}
