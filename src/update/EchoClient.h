#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// One ICMP echo request at a time, as the update window's reachability check
// needs it; an interface so that tests can use a fake.
class EchoClient
{
public:
    struct Reply
    {
        bool failed = false;    // the address could not be resolved or sent to (the check ends)
        QString error;          // why, when failed
        bool replyEvent = true; // a reply event was raised (with 0 bytes when nothing came in time)
        int receivedBytes = 0;  // bytes of the echo reply's data; 0: no answer within the time-out
    };
    virtual ~EchoClient() = default;
    // Sends one echo request carrying data to host (a dotted IPv4 text or a
    // name) and waits up to timeoutMs for the answer. Never blocks longer.
    virtual Reply echo(const QString& host, const QByteArray& data, int timeoutMs) = 0;
};

// The system's client: an ICMP datagram socket on Linux (raw socket as a
// fallback), IcmpSendEcho on Windows.
std::unique_ptr<EchoClient> createSystemEchoClient();
