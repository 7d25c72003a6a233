#pragma once

#include <QByteArray>
#include <QString>

class ProgramState;

// Zuvurazaru.xml: last configuration, device address, language and the four switches.
namespace SettingsFile {
QString path(const ProgramState& state);
// A larger file is not read: the defaults hold.
inline constexpr qint64 MaxFileSize = 1024 * 1024;
// A missing, unreadable or refused (XmlLimits, size) file gives the defaults;
// each element is read on its own.
void read(ProgramState& state);
void parse(const QByteArray& data, ProgramState& state);
QByteArray serialize(const ProgramState& state);
// Save_Setting; returns an error text when the file could not be written.
QString write(const ProgramState& state);
} // namespace SettingsFile
