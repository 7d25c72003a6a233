#pragma once

#include "params/ParGenValues.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// ParGen.xml: the communication settings as a flat list of 90 text elements
// under the root Par_Gen.
namespace ParGenDocument {

// Larger files are refused rather than loaded.
inline constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

struct ReadResult
{
    ParGenValues values; // the defaults wherever nothing could be taken from the document
    QString error;       // empty when the document was read (or there was none)
};

// The whole document: the elements in their fixed order, then the version comment.
QByteArray write(const ParGenValues& values);
// Every element on its own: missing or undecodable ones take their default.
// A document that is not well-formed, or that XmlLimits refuses, gives the
// error and only defaults.
ReadResult read(const QByteArray& data);
ReadResult read(QIODevice& device);

// Replaces the file as a whole; returns an error text, empty on success.
QString save(const QString& path, const ParGenValues& values);
// No file gives the defaults without an error.
ReadResult load(const QString& path);

} // namespace ParGenDocument
