#pragma once

#include <QtGlobal>

namespace ProcessProbe {
// True while the process with this id has not ended.
bool running(qint64 pid);
// Sleeps the calling thread without processing events.
void sleepMs(int ms);
} // namespace ProcessProbe
