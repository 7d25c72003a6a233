#include "common/SerialPorts.h"

#include <windows.h>

namespace SerialPorts {

QList<SerialPort> list()
{
    QList<SerialPort> ports;
    for (int n = 1; n <= 256; ++n) {
        const QString device = QStringLiteral("\\\\.\\COM%1").arg(n);
        const HANDLE h = CreateFileW(reinterpret_cast<LPCWSTR>(device.utf16()), GENERIC_READ | GENERIC_WRITE,
                                     0, nullptr, OPEN_EXISTING, 0, nullptr);
        // A port held by another program refuses access but is present.
        const bool present = h != INVALID_HANDLE_VALUE || GetLastError() == ERROR_ACCESS_DENIED;
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
        if (present)
            ports.append({QString::number(n), device});
    }
    return ports;
}

QStringList labels()
{
    QStringList result;
    for (const SerialPort& port : list())
        result.append(port.label);
    return result;
}

} // namespace SerialPorts
