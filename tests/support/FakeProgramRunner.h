#pragma once

#include "common/ProgramRunner.h"

#include <QList>

class FakeProgramRunner : public ProgramRunner
{
public:
    struct Call
    {
        QString program;
        QString parameters;
        bool hidden;
    };
    QList<Call> calls;
    void Start_Program(const QString& program, const QString& parameters, bool hidden) override
    {
        calls.append({program, parameters, hidden});
    }
};
