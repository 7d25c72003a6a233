#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#include "update/EchoClient.h"

#include <QStringList>

// Order matters: winsock2 before anything that pulls in windows.h, icmpapi last.
#include <winsock2.h>

#include <ws2tcpip.h>

#include <iphlpapi.h>

#include <icmpapi.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

int remainingMs(SteadyClock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

std::optional<IPAddr> dottedAddress(const QString& host)
{
    const std::optional<quint32> value = EchoHost::dottedAddress(host);
    if (!value)
        return std::nullopt;
    return static_cast<IPAddr>(htonl(*value));
}

// Name lookups cannot be given a time limit; one runs on a helper thread
// that finishes on its own if we stop waiting for it.
std::optional<IPAddr> resolve(const QString& host, SteadyClock::time_point deadline, QString* error)
{
    if (const std::optional<IPAddr> address = dottedAddress(host))
        return address;
    if (!EchoHost::plausibleName(host)) {
        *error = QStringLiteral("not an IPv4 address or host name: \"%1\"").arg(host);
        return std::nullopt;
    }

    struct Lookup
    {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        int status = 0;
        IPAddr address = 0;
    };
    auto lookup = std::make_shared<Lookup>();
    try {
        std::thread([lookup, name = host.toStdWString()] {
            ADDRINFOW hints{};
            hints.ai_family = AF_INET;
            hints.ai_socktype = SOCK_DGRAM;
            ADDRINFOW* list = nullptr;
            const int status = GetAddrInfoW(name.c_str(), nullptr, &hints, &list);
            std::lock_guard lock(lookup->mutex);
            lookup->status = status != 0 ? status : list ? 0 : WSAHOST_NOT_FOUND;
            if (status == 0 && list)
                lookup->address = reinterpret_cast<const sockaddr_in*>(list->ai_addr)->sin_addr.S_un.S_addr;
            if (list)
                FreeAddrInfoW(list);
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
        *error = QStringLiteral("\"%1\" could not be resolved (error %2)").arg(host).arg(lookup->status);
        return std::nullopt;
    }
    return lookup->address;
}

// Outcomes that mean "the device did not answer", as opposed to a request
// that could not be made.
bool isNoAnswer(DWORD status)
{
    switch (status) {
    case IP_REQ_TIMED_OUT:
    case IP_DEST_HOST_UNREACHABLE:
    case IP_DEST_PROT_UNREACHABLE:
    case IP_DEST_PORT_UNREACHABLE:
    case IP_TTL_EXPIRED_TRANSIT:
    case IP_TTL_EXPIRED_REASSEM:
    case IP_PARAM_PROBLEM:
    case IP_SOURCE_QUENCH:
        return true;
    default:
        return false;
    }
}

class WinEchoClient final : public EchoClient
{
public:
    WinEchoClient()
    {
        WSADATA data;
        m_winsock = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        m_icmp = IcmpCreateFile();
    }
    ~WinEchoClient() override
    {
        if (m_icmp != INVALID_HANDLE_VALUE)
            IcmpCloseHandle(m_icmp);
        if (m_winsock)
            WSACleanup();
    }
    WinEchoClient(const WinEchoClient&) = delete;
    WinEchoClient& operator=(const WinEchoClient&) = delete;

    Reply echo(const QString& host, const QByteArray& data, int timeoutMs) override
    {
        const auto deadline = SteadyClock::now() + std::chrono::milliseconds(std::max(0, timeoutMs));
        Reply reply;
        auto fail = [&reply](const QString& why) {
            reply.failed = true;
            reply.replyEvent = false;
            reply.error = why;
            return reply;
        };
        if (!m_winsock || m_icmp == INVALID_HANDLE_VALUE)
            return fail(QStringLiteral("the system's ICMP service is not available"));
        if (data.size() > 65500)
            return fail(QStringLiteral("echo data too long"));

        QString error;
        const std::optional<IPAddr> target = resolve(host, deadline, &error);
        if (!target)
            return fail(error);
        const int wait = remainingMs(deadline);
        if (wait <= 0)
            return reply; // no time left to wait for an answer

        // Room for one reply with our data and an ICMP error message; quint64
        // keeps the reply structure aligned.
        const size_t replyBytes = sizeof(ICMP_ECHO_REPLY) + size_t(data.size()) + 8 + 64;
        std::vector<quint64> buffer((replyBytes + 7) / 8);
        const DWORD count = IcmpSendEcho(m_icmp, *target, const_cast<char*>(data.constData()),
                                         static_cast<WORD>(data.size()), nullptr, buffer.data(),
                                         static_cast<DWORD>(buffer.size() * 8), static_cast<DWORD>(wait));
        const auto* answer = reinterpret_cast<const ICMP_ECHO_REPLY*>(buffer.data());
        const DWORD status = count > 0 ? answer->Status : GetLastError();
        if (count > 0 && status == IP_SUCCESS) {
            reply.receivedBytes = answer->DataSize;
            return reply;
        }
        if (!isNoAnswer(status))
            return fail(QStringLiteral("the echo request could not be sent (status %1)").arg(status));
        // An early "unreachable" still lasts the time-out, as a silent device does,
        // so that the check does not flood the network with requests.
        if (const int left = remainingMs(deadline); left > 0)
            Sleep(static_cast<DWORD>(left));
        return reply;
    }

private:
    bool m_winsock = false;
    HANDLE m_icmp = INVALID_HANDLE_VALUE;
};

} // namespace

std::unique_ptr<EchoClient> createSystemEchoClient()
{
    return std::make_unique<WinEchoClient>();
}
