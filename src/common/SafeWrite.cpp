#include "common/SafeWrite.h"

#include <QDir>
#include <QSaveFile>

QString safeWrite(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QDir::toNativeSeparators(path) + QStringLiteral(": ") + file.errorString();
    if (file.write(data) != data.size() || !file.commit())
        return QDir::toNativeSeparators(path) + QStringLiteral(": ") + file.errorString();
    return {};
}
