#pragma once

#include "update/EchoClient.h"

#include <QList>
#include <QStringList>

// Answers echo requests from a script; when the script is used up, repeats its last entry.
class FakeEchoClient : public EchoClient
{
public:
    QList<Reply> script{Reply{false, {}, true, 32}};
    QStringList hosts;
    Reply echo(const QString& host, const QByteArray&, int) override
    {
        hosts.append(host);
        if (script.size() > 1)
            return script.takeFirst();
        return script.value(0);
    }
};
