#pragma once

#include <QString>

// Runs an external program and waits for it to end, without processing
// user-interface events; an interface so that tests can fake it.
class ProgramRunner
{
public:
    virtual ~ProgramRunner() = default;
    // Returns when the program has ended, could not start, or ran past the limit
    // (it is then left running). The outcome is not reported.
    virtual void Start_Program(const QString& program, const QString& parameters, bool hidden) = 0;
};

class SystemProgramRunner : public ProgramRunner
{
public:
    static constexpr int DefaultLimitMs = 150000;
    static constexpr int PollMs = 10;

    explicit SystemProgramRunner(int limitMs = DefaultLimitMs) : m_limitMs(limitMs) {}
    void Start_Program(const QString& program, const QString& parameters, bool hidden) override;

    // How the last call ended, for diagnostics and tests.
    enum class Outcome { NotStarted, Ended, TimedOut };
    Outcome lastOutcome() const { return m_last; }

private:
    int m_limitMs;
    Outcome m_last = Outcome::NotStarted;
};
