#include "common/ProgramRunner.h"

#include "common/platform/ProcessProbe.h"

#include <QElapsedTimer>
#include <QProcess>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

void SystemProgramRunner::Start_Program(const QString& program, const QString& parameters, bool hidden)
{
    m_last = Outcome::NotStarted;
    QProcess process;
    process.setProgram(program);
    process.setArguments(QProcess::splitCommand(parameters));
#ifdef Q_OS_WIN
    if (hidden) {
        process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
            args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
            args->startupInfo->wShowWindow = SW_HIDE;
        });
    }
#else
    Q_UNUSED(hidden);
#endif
    // Detached, so that a program still running at the limit keeps running.
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return;

    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (!ProcessProbe::running(pid)) {
            m_last = Outcome::Ended;
            return;
        }
        if (clock.elapsed() >= m_limitMs) {
            m_last = Outcome::TimedOut;
            return;
        }
        ProcessProbe::sleepMs(PollMs);
    }
}
