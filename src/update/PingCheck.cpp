#include "update/PingCheck.h"

#include "update/EchoClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <memory>

PingCheck::PingCheck(EchoClient& client, Clock clock) : m_client(client), m_clock(std::move(clock)) {}

bool PingCheck::Send_Ping(const QString& host)
{
    ping_res = 0;
    attempts = 0;
    const qint64 start = m_clock.nowMs();
    const QByteArray data = host.toUtf8();
    int successes = 0;
    for (;;) {
        const qint64 attemptStart = m_clock.nowMs();
        ++attempts;
        const EchoClient::Reply reply = m_client.echo(host, data, ReceiveTimeoutMs);
        if (reply.failed)
            return false; // ping_res keeps what the earlier replies left
        if (reply.replyEvent)
            PingReply(reply.receivedBytes);
        // Once a reply has come this runs once: ping_res is not reset between attempts.
        do {
            m_clock.sleepMs(SleepMs);
            m_clock.processEvents();
        } while (ping_res == 0 && m_clock.nowMs() - attemptStart <= ReceiveTimeoutMs);
        if (ping_res == 1)
            ++successes;
        if (successes >= 2 || m_clock.nowMs() - start > TotalMs)
            break;
    }
    return ping_res == 1;
}

void PingCheck::PingReply(int receivedBytes)
{
    ping_res = receivedBytes > 0 ? 1 : 2;
}

PingCheck::Clock PingCheck::systemClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return Clock{
        [timer] { return timer->elapsed(); },
        [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); },
        [] { QCoreApplication::processEvents(); },
    };
}
