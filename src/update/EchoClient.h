#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

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

// The host texts both system clients accept before anything reaches the system.
namespace EchoHost {
// Four decimal parts of 0 to 255, as a host-order value. Leading zeros are
// read as decimal, as the user means them, never as the octal of the C
// library's lenient parsers.
std::optional<quint32> dottedAddress(const QString& host);
// Only host-name characters and dots, and no numeric last label: anything
// else (blanks above all) is a malformed address that would reach the
// resolver's lenient parsing or a name server for nothing.
bool plausibleName(const QString& host);
} // namespace EchoHost
