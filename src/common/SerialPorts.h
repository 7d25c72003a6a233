#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The serial ports of this computer, for the user to pick one.
namespace SerialPorts {

struct SerialPort
{
    // What the user sees: the port number on Windows ("3" for COM3), the
    // device name elsewhere ("ttyUSB0").
    QString label;
    // What to open: "\\.\COM3", "/dev/ttyUSB0".
    QString device;
};

// The ports present now, in ascending order. Never blocks on a device.
QList<SerialPort> list();

// The labels of list(), in the same order.
QStringList labels();

#ifndef Q_OS_WIN
// The serial devices in folder (list() uses /dev): names such as ttyS0 or
// ttyUSB0 that lead to an existing character device. Devices are not opened.
QList<SerialPort> devicesIn(const QString& folder);
#endif

} // namespace SerialPorts
