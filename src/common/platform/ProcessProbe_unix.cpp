#include "common/platform/ProcessProbe.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/types.h>
#include <sys/wait.h>

namespace ProcessProbe {

bool running(qint64 pid)
{
    if (pid <= 0)
        return false;
    // A detached program is not our child; its ending shows as the id vanishing.
    int status = 0;
    if (::waitpid(pid_t(pid), &status, WNOHANG) == pid_t(pid))
        return false;
    if (::kill(pid_t(pid), 0) != 0 && errno != EPERM)
        return false;
#ifdef __linux__
    // Where nobody reaps orphans (a container's first process), an ended
    // program stays a zombie: that counts as ended.
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%lld/stat", static_cast<long long>(pid));
    if (FILE* f = std::fopen(path, "r")) {
        char buf[512] = {};
        const size_t n = std::fread(buf, 1, sizeof buf - 1, f);
        std::fclose(f);
        buf[n] = 0;
        if (const char* paren = std::strrchr(buf, ')'); paren && paren[1] == ' ' && paren[2] == 'Z')
            return false;
    }
#endif
    return true;
}

void sleepMs(int ms)
{
    timespec ts{ms / 1000, long(ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) == -1 && errno == EINTR) {
    }
}

} // namespace ProcessProbe
