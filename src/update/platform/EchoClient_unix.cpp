#include "update/EchoClient.h"

#include <QRandomGenerator>
#include <QStringList>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr quint8 EchoReplyType = 0;
constexpr quint8 EchoRequestType = 8;
constexpr int IcmpHeaderSize = 8;
constexpr int MaxPacket = 65536;

QString systemError(const char* what, int err)
{
    return QString::fromLatin1(what) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(err));
}

int remainingMs(SteadyClock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

std::optional<in_addr> dottedAddress(const QString& host)
{
    const std::optional<quint32> value = EchoHost::dottedAddress(host);
    if (!value)
        return std::nullopt;
    in_addr address{};
    address.s_addr = htonl(*value);
    return address;
}

// getaddrinfo cannot be given a time limit; it runs on a helper thread that
// finishes on its own if we stop waiting for it.
std::optional<in_addr> resolve(const QString& host, SteadyClock::time_point deadline, QString* error)
{
    if (const std::optional<in_addr> address = dottedAddress(host))
        return address;
    if (!EchoHost::plausibleName(host)) {
        *error = QStringLiteral("not an IPv4 address or host name: \"%1\"").arg(host);
        return std::nullopt;
    }
    const QByteArray text = host.toLatin1();

    struct Lookup
    {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        int status = 0;
        in_addr address{};
    };
    auto lookup = std::make_shared<Lookup>();
    try {
        std::thread([lookup, name = std::string(text.constData())] {
            addrinfo hints{};
            hints.ai_family = AF_INET;
            hints.ai_socktype = SOCK_DGRAM;
            addrinfo* list = nullptr;
            const int status = getaddrinfo(name.c_str(), nullptr, &hints, &list);
            std::lock_guard lock(lookup->mutex);
            lookup->status = status;
            if (status == 0 && list)
                lookup->address = reinterpret_cast<const sockaddr_in*>(list->ai_addr)->sin_addr;
            else if (status == 0)
                lookup->status = EAI_NONAME;
            if (list)
                freeaddrinfo(list);
            lookup->finished = true;
            lookup->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        *error = QStringLiteral("\"%1\" could not be resolved: no thread for the lookup").arg(host);
        return std::nullopt;
    }

    std::unique_lock lock(lookup->mutex);
    if (!lookup->done.wait_until(lock, deadline, [&] { return lookup->finished; })) {
        *error = QStringLiteral("\"%1\" could not be resolved in time").arg(host);
        return std::nullopt;
    }
    if (lookup->status != 0) {
        *error = QStringLiteral("\"%1\" could not be resolved: %2")
                     .arg(host, QString::fromLocal8Bit(gai_strerror(lookup->status)));
        return std::nullopt;
    }
    return lookup->address;
}

quint16 checksum(const QByteArray& packet)
{
    quint32 sum = 0;
    const auto* p = reinterpret_cast<const quint8*>(packet.constData());
    qsizetype n = packet.size();
    for (; n > 1; p += 2, n -= 2)
        sum += quint32(p[0]) << 8 | p[1];
    if (n == 1)
        sum += quint32(p[0]) << 8;
    while (sum >> 16)
        sum = (sum & 0xffff) + (sum >> 16);
    return static_cast<quint16>(~sum);
}

quint16 get16(const quint8* p)
{
    return static_cast<quint16>(p[0] << 8 | p[1]);
}

class Socket
{
public:
    explicit Socket(int fd) : fd(fd) {}
    ~Socket()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    const int fd;
};

class UnixEchoClient final : public EchoClient
{
public:
    Reply echo(const QString& host, const QByteArray& data, int timeoutMs) override
    {
        const auto deadline = SteadyClock::now() + std::chrono::milliseconds(qMax(0, timeoutMs));
        Reply reply;
        auto fail = [&reply](const QString& why) {
            reply.failed = true;
            reply.replyEvent = false;
            reply.error = why;
            return reply;
        };

        QString error;
        const std::optional<in_addr> target = resolve(host, deadline, &error);
        if (!target)
            return fail(error);
        if (data.size() > MaxPacket - 1024)
            return fail(QStringLiteral("echo data too long"));

        // Datagram sockets are open to unprivileged users where the system
        // allows it (ping_group_range); the kernel then owns the identifier
        // and hands us only our own replies, without the IP header.
        bool raw = false;
        int fd = -1;
#ifdef __linux__
        fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
#endif
        if (fd < 0) {
            raw = true;
#ifdef __linux__
            fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
#else
            fd = ::socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
#endif
        }
        if (fd < 0)
            return fail(systemError("no ICMP socket is permitted", errno));
        const Socket socket(fd);

        // Raw sockets see every echo reply of the host: a fresh identifier
        // keeps ours apart from those of other programs and clients.
        const quint16 identifier = static_cast<quint16>(QRandomGenerator::global()->generate());
        const quint16 sequence = ++m_sequence;
        QByteArray packet(IcmpHeaderSize, '\0');
        packet[0] = char(EchoRequestType);
        packet[4] = char(identifier >> 8);
        packet[5] = char(identifier & 0xff);
        packet[6] = char(sequence >> 8);
        packet[7] = char(sequence & 0xff);
        packet += data;
        const quint16 sum = checksum(packet);
        packet[2] = char(sum >> 8);
        packet[3] = char(sum & 0xff);

        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr = *target;
        ssize_t sent;
        do {
            sent = ::sendto(fd, packet.constData(), size_t(packet.size()), 0,
                            reinterpret_cast<sockaddr*>(&to), sizeof to);
        } while (sent < 0 && errno == EINTR);
        if (sent != packet.size())
            return fail(systemError("the echo request could not be sent", sent < 0 ? errno : EMSGSIZE));

        QByteArray buffer(MaxPacket, '\0');
        for (;;) {
            const int wait = remainingMs(deadline);
            if (wait <= 0)
                return reply; // no answer in time: an event with no data
            pollfd p{fd, POLLIN, 0};
            const int ready = ::poll(&p, 1, wait);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready < 0)
                return fail(systemError("waiting for the echo reply", errno));
            if (ready == 0)
                continue;
            sockaddr_in from{};
            socklen_t fromSize = sizeof from;
            const ssize_t n = ::recvfrom(fd, buffer.data(), size_t(buffer.size()), 0,
                                         reinterpret_cast<sockaddr*>(&from), &fromSize);
            // A reported ICMP error (unreachable and the like) is no answer;
            // keep waiting so that an attempt lasts its time-out.
            if (n < 0)
                continue;
            const std::optional<int> length =
                replyData(reinterpret_cast<const quint8*>(buffer.constData()), n, raw, identifier, sequence);
            if (length && from.sin_addr.s_addr == to.sin_addr.s_addr) {
                reply.receivedBytes = *length;
                return reply;
            }
        }
    }

private:
    // Data length of our echo reply, nothing for any other packet.
    static std::optional<int> replyData(const quint8* p, ssize_t n, bool raw, quint16 identifier,
                                        quint16 sequence)
    {
        if (raw) {
            if (n < 20 || (p[0] >> 4) != 4)
                return std::nullopt;
            const int headerSize = (p[0] & 0x0f) * 4;
            if (headerSize < 20 || n < headerSize)
                return std::nullopt;
            p += headerSize;
            n -= headerSize;
        }
        if (n < IcmpHeaderSize || p[0] != EchoReplyType || p[1] != 0)
            return std::nullopt;
        if (get16(p + 6) != sequence || (raw && get16(p + 4) != identifier))
            return std::nullopt;
        return static_cast<int>(n - IcmpHeaderSize);
    }

    quint16 m_sequence = 0;
};

} // namespace

std::unique_ptr<EchoClient> createSystemEchoClient()
{
    return std::make_unique<UnixEchoClient>();
}
