#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class StringTable;

// Reader of the ".lng" language files: one "STR<index> = <text>" entry per line.
namespace LanguageFile {

// A byte-order mark selects UTF-8 or UTF-16; without one the ANSI code page is
// used (the system's on Windows, Windows-1252 elsewhere). Lines end at CR LF, LF or CR.
QStringList decodeLines(const QByteArray& data);

struct Entry
{
    int index = -1;
    QString text;
};
// The entry a line sets, or index -1 when the line is ignored.
Entry parseLine(const QString& line);

void apply(const QByteArray& data, StringTable& table);
// A full table takes well under a megabyte; larger files are not read.
inline constexpr qint64 MaxFileSize = 16 * 1024 * 1024;
// Returns an error text when the file cannot be read; the table is then left alone.
QString applyFile(const QString& path, StringTable& table);

// One entry written so that parseLine gives back exactly the text.
QString formatEntry(int index, const QString& text);

} // namespace LanguageFile
