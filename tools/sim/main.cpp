// qx410-sim: a simulated gateway boot loader on a loopback address, so that
// the whole update runs on one machine. Every region it receives is kept as a
// file named by its start address; the two device images are checked with the
// compiler's decoder.
#include "common/SafeWrite.h"
#include "compiler/ImageDecoder.h"
#include "update/BootProtocol.h"

#include <QBitArray>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QHostAddress>
#include <QJsonObject>
#include <QMap>
#include <QNetworkDatagram>
#include <QQueue>
#include <QRandomGenerator>
#include <QTimer>
#include <QUdpSocket>

#include <csignal>
#include <cstdio>
#include <optional>

using namespace BootProtocol;

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onSignal(int)
{
    stopRequested = 1;
}

void say(const QString& text)
{
    std::fprintf(stdout, "qx410-sim: %s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);
}

QString hex32(quint32 v)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper();
}

struct Options
{
    QHostAddress address;
    quint16 port = 2008;
    quint16 appPort = 10000;
    QString store;
    double drop = 0;
    bool silent = false;
    bool exitAfterApp = false;
    bool corruptReadBack = false;
    std::optional<quint32> seed;
};

// The device side: answers requests as the boot loader does and keeps what it is sent.
class Device : public QObject
{
public:
    explicit Device(const Options& options)
        : m_options(options),
          m_random(options.seed ? QRandomGenerator(*options.seed) : QRandomGenerator::securelySeeded())
    {
    }

    bool listen()
    {
        if (!bindSocket(m_boot, m_options.port, QStringLiteral("boot")) ||
            !bindSocket(m_app, m_options.appPort, QStringLiteral("application")))
            return false;
        say(QStringLiteral("listening on %1, boot port %2, application port %3; storing regions in %4%5")
                .arg(m_options.address.toString())
                .arg(m_boot.localPort())
                .arg(m_app.localPort())
                .arg(QDir::toNativeSeparators(m_options.store))
                .arg(m_options.silent ? QStringLiteral(" (silent: answering nothing)")
                     : m_options.drop > 0
                         ? QStringLiteral(" (dropping %1 % of the packets)").arg(m_options.drop)
                         : QString()));
        return true;
    }

    void summary() const
    {
        say(QStringLiteral("received %1 datagrams: %2 dropped, %3 malformed, %4 ignored while silent")
                .arg(m_received)
                .arg(m_dropped)
                .arg(m_malformed)
                .arg(m_ignored));
    }

private:
    struct Region
    {
        quint32 start = 0;
        QByteArray bytes;
        QBitArray written;
    };

    struct Cached
    {
        Type request;
        QByteArray answer;
    };

    static constexpr int CacheSize = 1024;
    static constexpr int LingerAfterAppMs = 500;

    bool bindSocket(QUdpSocket& socket, quint16 port, const QString& what)
    {
        if (!socket.bind(m_options.address, port)) {
            say(QStringLiteral("cannot listen on %1 port %2 (%3): %4")
                    .arg(m_options.address.toString())
                    .arg(port)
                    .arg(what, socket.errorString()));
            return false;
        }
        connect(&socket, &QUdpSocket::readyRead, this, [this, &socket] { receive(socket); });
        return true;
    }

    void receive(QUdpSocket& socket)
    {
        while (socket.hasPendingDatagrams()) {
            // One byte more than the largest packet, so that an oversized datagram stays oversized.
            const QNetworkDatagram dg = socket.receiveDatagram(MaxPacketSize + 1);
            ++m_received;
            if (m_options.silent) {
                ++m_ignored;
                continue;
            }
            if (m_options.drop > 0 && m_random.bounded(100.0) < m_options.drop) {
                ++m_dropped;
                continue;
            }
            const std::optional<Packet> p = parse(dg.data());
            if (!p) {
                ++m_malformed;
                say(QStringLiteral("ignored a malformed datagram of %1 bytes from %2 port %3")
                        .arg(dg.data().size())
                        .arg(dg.senderAddress().toString())
                        .arg(dg.senderPort()));
                continue;
            }
            if (!isRequest(p->type))
                continue;
            QByteArray answer;
            if (const auto it = m_cache.constFind(p->sequence);
                it != m_cache.constEnd() && it->request == p->type)
                answer = it->answer; // a repeat: the same answer, nothing done twice
            else
                answer = remember(*p, encode(handle(*p, &socket == &m_app)));
            socket.writeDatagram(answer, dg.senderAddress(), quint16(dg.senderPort()));
        }
    }

    QByteArray remember(const Packet& request, const QByteArray& answer)
    {
        if (m_cache.size() >= CacheSize)
            m_cache.remove(m_cacheOrder.dequeue());
        if (!m_cache.contains(request.sequence))
            m_cacheOrder.enqueue(request.sequence);
        m_cache.insert(request.sequence, {request.type, answer});
        return answer;
    }

    Packet handle(const Packet& p, bool onApplicationPort)
    {
        if (p.type == Type::EnterBoot) {
            m_inBoot = true;
            m_open.reset();
            m_committed.clear();
            m_cache.clear();
            m_cacheOrder.clear();
            say(QStringLiteral("entered the boot loader (asked on the %1 port)")
                    .arg(onApplicationPort ? QStringLiteral("application") : QStringLiteral("boot")));
            return ack(p.sequence, p.type);
        }
        if (!m_inBoot || onApplicationPort)
            return nak(p.sequence, p.type, Status::NotInBoot);
        switch (p.type) {
        case Type::BeginRegion:
            return begin(p);
        case Type::WriteBlock:
            return write(p);
        case Type::EndRegion:
            return end(p);
        case Type::ReadRequest:
            return read(p);
        case Type::GoToApplication:
            if (m_open) {
                say(QStringLiteral("region %1 was never ended; discarded").arg(hex32(m_open->start)));
                m_open.reset();
            }
            m_inBoot = false;
            say(QStringLiteral("starting the application"));
            if (m_options.exitAfterApp)
                // Stay a little to answer a repeat whose answer was lost.
                QTimer::singleShot(LingerAfterAppMs, this, [this] {
                    summary();
                    QCoreApplication::exit(0);
                });
            return ack(p.sequence, p.type);
        default:
            return nak(p.sequence, p.type, Status::NotInBoot);
        }
    }

    Packet begin(const Packet& p)
    {
        if (p.length == 0 || p.length > MaxRegionLength)
            return nak(p.sequence, p.type, Status::BadLength);
        const quint64 end = quint64(p.address) + p.length;
        if (end > 0x100000000ull)
            return nak(p.sequence, p.type, Status::OutOfRange);
        for (auto it = m_committed.cbegin(); it != m_committed.cend(); ++it)
            if (p.address < it.key() + quint64(it->size()) && it.key() < end) {
                say(QStringLiteral("refused region %1 (%2 bytes): it overlaps region %3")
                        .arg(hex32(p.address))
                        .arg(p.length)
                        .arg(hex32(it.key())));
                return nak(p.sequence, p.type, Status::Overlap);
            }
        Region r;
        r.start = p.address;
        r.bytes = QByteArray(qsizetype(p.length), char(0xFF)); // erased memory
        r.written = QBitArray(qsizetype(p.length));
        m_open = std::move(r);
        say(QStringLiteral("begin region %1, %2 bytes").arg(hex32(p.address)).arg(p.length));
        return ack(p.sequence, p.type);
    }

    Packet write(const Packet& p)
    {
        if (!m_open)
            return nak(p.sequence, p.type, Status::NoRegion);
        const quint64 from = p.address, to = from + quint64(p.data.size());
        if (from < m_open->start || to > m_open->start + quint64(m_open->bytes.size()))
            return nak(p.sequence, p.type, Status::OutOfRange);
        const qsizetype at = qsizetype(from - m_open->start);
        std::copy(p.data.cbegin(), p.data.cend(), m_open->bytes.begin() + at);
        m_open->written.fill(true, at, at + p.data.size());
        return ack(p.sequence, p.type);
    }

    Packet end(const Packet& p)
    {
        if (!m_open || m_open->start != p.address)
            return nak(p.sequence, p.type, Status::NoRegion);
        if (m_open->written.count(true) != m_open->written.size())
            return nak(p.sequence, p.type, Status::Incomplete);
        const quint32 crc = crc32(m_open->bytes);
        if (crc != p.checksum) {
            say(QStringLiteral("region %1: CRC-32 %2 received, %3 computed; discarded")
                    .arg(hex32(p.address), hex32(p.checksum), hex32(crc)));
            m_open.reset();
            return nak(p.sequence, p.type, Status::ChecksumMismatch);
        }
        const QString path = QDir(m_options.store).filePath(hex32(p.address) + QStringLiteral(".bin"));
        if (const QString error = safeWrite(path, m_open->bytes); !error.isEmpty()) {
            say(QStringLiteral("cannot store region %1: %2").arg(hex32(p.address), error));
            return nak(p.sequence, p.type, Status::StorageFailed);
        }
        say(QStringLiteral("stored region %1: %2 bytes, CRC-32 %3, in %4")
                .arg(hex32(p.address))
                .arg(m_open->bytes.size())
                .arg(hex32(crc), QDir::toNativeSeparators(path)));
        check(p.address, m_open->bytes);
        m_committed.insert(p.address, m_open->bytes);
        m_open.reset();
        return ack(p.sequence, p.type);
    }

    // The two images this gateway understands, checked as the device would use them.
    static void check(quint32 start, const QByteArray& bytes)
    {
        if (start == 0x07000) {
            const ImageDecoder::Result r = ImageDecoder::decodeParameterImage(bytes);
            if (r.error.isEmpty())
                say(QStringLiteral("parameter image at %1: valid, checksum %2")
                        .arg(hex32(start), r.json.value(QStringLiteral("checksum"))
                                               .toObject()
                                               .value(QStringLiteral("stored"))
                                               .toString()));
            else
                say(QStringLiteral("parameter image at %1: INVALID: %2").arg(hex32(start), r.error));
        } else if (start == 0x80000) {
            const ImageDecoder::Result r = ImageDecoder::decodeLoRaWANImage(bytes);
            const QJsonObject header = r.json.value(QStringLiteral("header")).toObject();
            if (r.error.isEmpty())
                say(QStringLiteral("LoRaWAN image at %1: valid, %2 devices, %3 rules")
                        .arg(hex32(start))
                        .arg(header.value(QStringLiteral("Num_Devices")).toInteger())
                        .arg(header.value(QStringLiteral("Num_Rules")).toInteger()));
            else
                say(QStringLiteral("LoRaWAN image at %1: INVALID: %2").arg(hex32(start), r.error));
        }
    }

    Packet read(const Packet& p)
    {
        const quint64 from = p.address, to = from + p.length;
        for (auto it = m_committed.cbegin(); it != m_committed.cend(); ++it) {
            if (from >= it.key() && to <= it.key() + quint64(it->size())) {
                QByteArray data = it->mid(qsizetype(from - it.key()), qsizetype(p.length));
                if (m_options.corruptReadBack && from == it.key())
                    data[0] = char(data[0] ^ 0x01);
                return readResponse(p.sequence, p.address, data);
            }
        }
        return nak(p.sequence, p.type, Status::OutOfRange);
    }

    Options m_options;
    QRandomGenerator m_random;
    QUdpSocket m_boot;
    QUdpSocket m_app;
    bool m_inBoot = false;
    std::optional<Region> m_open;
    QMap<quint32, QByteArray> m_committed; // regions stored since entering the boot loader
    QHash<quint32, Cached> m_cache;        // answers by sequence number
    QQueue<quint32> m_cacheOrder;
    qint64 m_received = 0, m_dropped = 0, m_malformed = 0, m_ignored = 0;
};

std::optional<quint16> portOption(const QCommandLineParser& parser, const QString& name, QString* error)
{
    bool ok = false;
    const uint v = parser.value(name).toUInt(&ok);
    if (!ok || v > 65535) {
        *error = QStringLiteral("--%1 %2 is not a port number from 0 (any free port) to 65535")
                     .arg(name, parser.value(name));
        return std::nullopt;
    }
    return quint16(v);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qx410-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A simulated QX410 boot loader on a loopback address. Each region received is stored in the store\n"
        "folder as one file named by its start address (0x00080000.bin). Runs until stopped (SIGINT, "
        "SIGTERM)\n"
        "or, with --exit-after-app, exits 0 shortly after the request to start the application."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("address"), QStringLiteral("Loopback address to listen on (default 127.0.0.1)."),
         QStringLiteral("ADDRESS"), QStringLiteral("127.0.0.1")},
        {QStringLiteral("port"), QStringLiteral("Boot port (default 2008; 0 picks a free one)."),
         QStringLiteral("PORT"), QStringLiteral("2008")},
        {QStringLiteral("app-port"), QStringLiteral("Application port (default 10000; 0 picks a free one)."),
         QStringLiteral("PORT"), QStringLiteral("10000")},
        {QStringLiteral("store"), QStringLiteral("Folder for the received regions (created when missing)."),
         QStringLiteral("DIR")},
        {QStringLiteral("drop"), QStringLiteral("Drop this share of the incoming packets, at random."),
         QStringLiteral("PERCENT"), QStringLiteral("0")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the random drops, for a repeatable run."),
         QStringLiteral("N")},
        {QStringLiteral("silent"), QStringLiteral("Receive but answer nothing.")},
        {QStringLiteral("exit-after-app"),
         QStringLiteral("Exit 0 shortly after the request to start the application.")},
        {QStringLiteral("corrupt-readback"),
         QStringLiteral("Flip a bit in the first block read back of every region.")},
    });
    parser.process(app);

    auto usageError = [](const QString& text) {
        std::fprintf(stderr, "qx410-sim: %s\n", text.toLocal8Bit().constData());
        return 2;
    };
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first()));

    Options o;
    const QString addressText = parser.value(QStringLiteral("address"));
    if (!o.address.setAddress(addressText))
        return usageError(QStringLiteral("%1 is not an IP address").arg(addressText));
    if (!o.address.isLoopback())
        return usageError(QStringLiteral("%1 is not a loopback address; the simulator listens only on "
                                         "127.0.0.0/8 or ::1")
                              .arg(addressText));
    QString error;
    const std::optional<quint16> port = portOption(parser, QStringLiteral("port"), &error);
    if (!port)
        return usageError(error);
    const std::optional<quint16> appPort = portOption(parser, QStringLiteral("app-port"), &error);
    if (!appPort)
        return usageError(error);
    o.port = *port;
    o.appPort = *appPort;
    if (o.port != 0 && o.port == o.appPort)
        return usageError(QStringLiteral("the boot port and the application port must differ"));
    o.store = parser.value(QStringLiteral("store"));
    if (o.store.isEmpty())
        return usageError(QStringLiteral("--store DIR is required"));
    if (!QDir().mkpath(o.store))
        return usageError(QStringLiteral("cannot create %1").arg(QDir::toNativeSeparators(o.store)));
    bool ok = false;
    o.drop = parser.value(QStringLiteral("drop")).toDouble(&ok);
    if (!ok || !(o.drop >= 0 && o.drop <= 100))
        return usageError(QStringLiteral("--drop %1 is not a share from 0 to 100")
                              .arg(parser.value(QStringLiteral("drop"))));
    if (parser.isSet(QStringLiteral("seed"))) {
        const uint seed = parser.value(QStringLiteral("seed")).toUInt(&ok);
        if (!ok)
            return usageError(
                QStringLiteral("--seed %1 is not a number").arg(parser.value(QStringLiteral("seed"))));
        o.seed = seed;
    }
    o.silent = parser.isSet(QStringLiteral("silent"));
    o.exitAfterApp = parser.isSet(QStringLiteral("exit-after-app"));
    o.corruptReadBack = parser.isSet(QStringLiteral("corrupt-readback"));

    Device device(o);
    if (!device.listen())
        return 1;

    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    QTimer stopPoll;
    QObject::connect(&stopPoll, &QTimer::timeout, &app, [&device] {
        if (stopRequested) {
            say(QStringLiteral("stopped"));
            device.summary();
            QCoreApplication::exit(0);
        }
    });
    stopPoll.start(50);
    return app.exec();
}
