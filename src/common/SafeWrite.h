#pragma once

#include <QByteArray>
#include <QString>

// Writes the whole file through a temporary and a rename, so that a failure
// part-way leaves the old file whole. Returns an error text, empty on success.
QString safeWrite(const QString& path, const QByteArray& data);
