#pragma once

#include <QString>

#include <functional>

class EchoClient;

// The update window's echo check (Send_Ping): requests until two answers or
// 5000 ms, each followed by short sleeps that let the user interface work.
class PingCheck
{
public:
    static constexpr int ReceiveTimeoutMs = 400;
    static constexpr int TotalMs = 5000;
    static constexpr int SleepMs = 10;

    struct Clock
    {
        std::function<qint64()> nowMs;       // millisecond tick count
        std::function<void(int)> sleepMs;    // plain sleep
        std::function<void()> processEvents; // pending user-interface messages
    };

    PingCheck(EchoClient& client, Clock clock);

    // True exactly when the last reply carried data.
    bool Send_Ping(const QString& host);
    // 0 no reply event yet, 1 the last reply carried data, 2 it carried none.
    int ping_res = 0;
    int attempts = 0;

    static Clock systemClock();

private:
    void PingReply(int receivedBytes);

    EchoClient& m_client;
    Clock m_clock;
};
