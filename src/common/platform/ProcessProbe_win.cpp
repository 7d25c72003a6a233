#include "common/platform/ProcessProbe.h"

#include <windows.h>

namespace ProcessProbe {

bool running(qint64 pid)
{
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!h)
        return false;
    DWORD code = 0;
    const bool alive = GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
    CloseHandle(h);
    return alive;
}

void sleepMs(int ms)
{
    Sleep(DWORD(ms));
}

} // namespace ProcessProbe
