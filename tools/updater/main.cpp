// Ethernet_Update: the updater the update window starts, without parameters.
// Reads Ethernet_Update.xml beside itself, sends every file of the job to the
// gateway's boot loader over UDP, reads it back when asked, starts the
// application at the end, and writes what it did to Ethernet_Update.log.
// Exit status: 0 only when every byte arrived and was verified; 1 the job or a
// file of it cannot be used (nothing was sent); 2 the transfer failed; 3 the
// window was closed before the end.
#include "update/BootProtocol.h"
#include "update/UpdateJobReader.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QLabel>
#include <QMap>
#include <QNetworkDatagram>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QTimer>
#include <QUdpSocket>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>
#include <functional>

using namespace BootProtocol;

namespace {

enum ExitCode { Success = 0, JobError = 1, TransferFailed = 2, Cancelled = 3 };

// A request is sent again after this long without its answer ...
constexpr int RetryIntervalMs = 200;
// ... and given up after this many sendings: 5 s of silence from the device.
constexpr int MaxAttempts = 25;
// Requests in flight at once while writing or reading a region.
constexpr int Window = 32;
constexpr int TickMs = 20;
// However the device answers, the updater ends well within the caller's 150 s wait.
constexpr int OverallLimitMs = 100000;
constexpr int SuccessLingerMs = 600;
constexpr int FailureLingerMs = 1500;

QString hex32(quint32 v)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper();
}

class UpdateLog
{
public:
    explicit UpdateLog(const QString& path) : m_file(path)
    {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
            std::fprintf(stderr, "Ethernet_Update: cannot write %s: %s\n",
                         qPrintable(QDir::toNativeSeparators(path)), qPrintable(m_file.errorString()));
    }

    void line(const QString& text)
    {
        if (!m_file.isOpen())
            return;
        m_file.write(QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() + ' ' + text.toUtf8() +
                     '\n');
        m_file.flush(); // so that the log is complete however the program ends
    }

private:
    QFile m_file;
};

struct Region
{
    QString name; // the file's name, for the window
    QString path;
    quint32 start = 0;
    QByteArray bytes;
    bool readBack = false;
    bool goToApp = false;
};

// Reads every file of the job before anything is sent, so that a job that
// cannot be carried out whole is not started at all.
QString loadRegions(const UpdateJobReader::Job& job, const QString& jobFolder, QList<Region>* regions)
{
    for (qsizetype i = 0; i < job.operations.size(); ++i) {
        const UpdateJobReader::Operation& op = job.operations[i];
        Region r;
        r.path = QDir(jobFolder).absoluteFilePath(QDir::fromNativeSeparators(op.fileName.trimmed()));
        r.name = QFileInfo(r.path).fileName();
        r.start = op.startAddress;
        r.readBack = op.readBack;
        r.goToApp = op.goToAppAfter;
        const QString shown = QDir::toNativeSeparators(r.path);
        const QString where = QStringLiteral("operation %1: ").arg(i + 1);
        const QFileInfo info(r.path);
        if (!info.exists())
            return where + QStringLiteral("%1: no such file").arg(shown);
        if (!info.isFile())
            return where + QStringLiteral("%1 is not a file").arg(shown);
        if (info.size() == 0)
            return where + QStringLiteral("%1 is empty").arg(shown);
        if (info.size() > MaxRegionLength)
            return where + QStringLiteral("%1 has %2 bytes, more than the %3 a region may hold")
                               .arg(shown)
                               .arg(info.size())
                               .arg(MaxRegionLength);
        if (quint64(r.start) + quint64(info.size()) > 0x100000000ull)
            return where + QStringLiteral("%1 does not fit below 4 GiB at %2").arg(shown, hex32(r.start));
        QFile f(r.path);
        if (!f.open(QIODevice::ReadOnly))
            return where + QStringLiteral("%1: %2").arg(shown, f.errorString());
        r.bytes = f.read(MaxRegionLength + 1);
        if (f.error() != QFileDevice::NoError || r.bytes.size() != info.size())
            return where + QStringLiteral("%1 could not be read whole").arg(shown);
        // A later region written over an earlier one would spoil it after it was verified.
        for (const Region& other : std::as_const(*regions))
            if (quint64(r.start) < other.start + quint64(other.bytes.size()) &&
                quint64(other.start) < r.start + quint64(r.bytes.size()))
                return where + QStringLiteral("%1 at %2 (%3 bytes) overlaps %4 at %5 (%6 bytes)")
                                   .arg(r.name, hex32(r.start))
                                   .arg(r.bytes.size())
                                   .arg(other.name, hex32(other.start))
                                   .arg(other.bytes.size());
        regions->append(r);
    }
    return {};
}

// The updater's side of the boot protocol: requests with retries, a window of
// blocks in flight, every answer matched to its request by sequence number.
class Transfer : public QObject
{
public:
    std::function<void(const QString&)> onStatus;
    std::function<void(qint64 done, qint64 total)> onProgress;
    std::function<void(bool ok, const QString& message)> onFinished;

    Transfer(const QHostAddress& device, quint16 bootPort, quint16 appPort, QList<Region> regions,
             UpdateLog& log)
        : m_device(device), m_bootPort(bootPort), m_appPort(appPort), m_regions(std::move(regions)),
          m_log(log), m_sequence(QRandomGenerator::global()->generate())
    {
        bool inBoot = false;
        for (qsizetype i = 0; i < m_regions.size(); ++i) {
            if (!inBoot)
                m_phases.append({Step::EnterBoot, i});
            inBoot = true;
            m_phases.append({Step::Begin, i});
            m_phases.append({Step::Write, i});
            m_phases.append({Step::End, i});
            m_total += m_regions[i].bytes.size();
            if (m_regions[i].readBack) {
                m_phases.append({Step::Read, i});
                m_total += m_regions[i].bytes.size();
            }
            if (m_regions[i].goToApp) {
                m_phases.append({Step::GoToApp, i});
                inBoot = false;
            }
        }
        connect(&m_socket, &QUdpSocket::readyRead, this, &Transfer::receive);
        connect(&m_socket, &QUdpSocket::errorOccurred, this, [this] {
            // Sending may fail for a while (no route yet); the retries decide.
            const QString e = m_socket.errorString();
            if (!m_socketErrors.contains(e)) {
                m_socketErrors.append(e);
                m_log.line(QStringLiteral("socket: %1").arg(e));
            }
        });
        connect(&m_tick, &QTimer::timeout, this, &Transfer::tick);
    }

    void start()
    {
        m_clock.start();
        const QHostAddress any = m_device.protocol() == QAbstractSocket::IPv6Protocol ? QHostAddress::AnyIPv6
                                                                                      : QHostAddress::AnyIPv4;
        if (!m_socket.bind(any, 0)) {
            finish(false, QStringLiteral("cannot open a UDP socket: %1").arg(m_socket.errorString()));
            return;
        }
        if (m_phases.constLast().step != Step::GoToApp)
            m_log.line(QStringLiteral("the job does not ask to start the application at the end"));
        m_tick.start(TickMs);
        next();
    }

    void abort(const QString& why) { finish(false, why); }
    bool finished() const { return m_finished; }

private:
    enum class Step { EnterBoot, Begin, Write, End, Read, GoToApp };
    struct Phase
    {
        Step step;
        qsizetype region;
    };
    struct Pending
    {
        QByteArray datagram;
        QList<quint16> ports;
        Type type = Type::EnterBoot;
        quint32 address = 0;
        quint32 length = 0;
        QString what;
        qint64 lastSentMs = 0;
        int attempts = 0;
    };

    Region& region() { return m_regions[m_phases[m_phase].region]; }
    Step step() const { return m_phases[m_phase].step; }

    QString operationText() const
    {
        return QStringLiteral("operation %1/%2").arg(m_phases[m_phase].region + 1).arg(m_regions.size());
    }

    void next()
    {
        if (m_finished)
            return;
        if (++m_phase == m_phases.size()) {
            finish(true,
                   QStringLiteral("%1 operations, %2 bytes written%3 in %4 s, %5 retries")
                       .arg(m_regions.size())
                       .arg(m_written)
                       .arg(m_verified > 0 ? QStringLiteral(", %1 read back and verified").arg(m_verified)
                                           : QString())
                       .arg(m_clock.elapsed() / 1000.0, 0, 'f', 3)
                       .arg(m_retries));
            return;
        }
        Region& r = region();
        m_offset = 0;
        switch (step()) {
        case Step::EnterBoot:
            status(QStringLiteral("Entering the boot loader of %1").arg(m_device.toString()));
            send(enterBoot(0), QStringLiteral("enter boot"), {m_bootPort, m_appPort});
            break;
        case Step::Begin:
            status(QStringLiteral("Writing %1 at %2").arg(r.name, startText(r)));
            m_log.line(QStringLiteral("%1: %2, %3 bytes to %4%5%6")
                           .arg(operationText(), QDir::toNativeSeparators(r.path))
                           .arg(r.bytes.size())
                           .arg(hex32(r.start))
                           .arg(r.readBack ? QStringLiteral(", read back") : QString())
                           .arg(r.goToApp ? QStringLiteral(", then start the application") : QString()));
            send(beginRegion(0, r.start, quint32(r.bytes.size())),
                 QStringLiteral("begin region %1").arg(hex32(r.start)));
            break;
        case Step::Write:
        case Step::Read:
            if (step() == Step::Read)
                status(QStringLiteral("Reading back %1 at %2").arg(r.name, startText(r)));
            fillWindow();
            break;
        case Step::End:
            send(endRegion(0, r.start, crc32(r.bytes)), QStringLiteral("end region %1").arg(hex32(r.start)));
            break;
        case Step::GoToApp:
            status(QStringLiteral("Starting the application"));
            send(goToApplication(0), QStringLiteral("go to application"));
            break;
        }
    }

    // The start address as the job wrote it, e.g. 0x80000.
    static QString startText(const Region& r)
    {
        return QStringLiteral("0x") + QString::number(r.start, 16).toUpper();
    }

    void fillWindow()
    {
        Region& r = region();
        const qsizetype size = r.bytes.size();
        while (!m_finished && m_pending.size() < Window && m_offset < size) {
            const qsizetype n = qMin<qsizetype>(MaxBlock, size - m_offset);
            const quint32 address = r.start + quint32(m_offset);
            if (step() == Step::Write)
                send(writeBlock(0, address, r.bytes.mid(m_offset, n)),
                     QStringLiteral("write %1 (%2 bytes)").arg(hex32(address)).arg(n));
            else
                send(readRequest(0, address, quint32(n)),
                     QStringLiteral("read %1 (%2 bytes)").arg(hex32(address)).arg(n));
            m_offset += n;
        }
        if (!m_finished && m_pending.isEmpty() && m_offset == size) {
            if (step() == Step::Write)
                m_log.line(QStringLiteral("%1: %2 bytes written").arg(operationText()).arg(size));
            else
                m_log.line(QStringLiteral("%1: %2 bytes read back, all equal to %3")
                               .arg(operationText())
                               .arg(size)
                               .arg(r.name));
            next();
        }
    }

    void send(Packet p, const QString& what, QList<quint16> ports = {})
    {
        if (ports.isEmpty())
            ports = {m_bootPort};
        if (ports.size() == 2 && ports[0] == ports[1])
            ports.removeLast();
        p.sequence = m_sequence++;
        Pending pending;
        pending.datagram = encode(p);
        pending.ports = ports;
        pending.type = p.type;
        pending.address = p.address;
        pending.length = p.type == Type::ReadRequest ? p.length : quint32(p.data.size());
        pending.what = what;
        m_pending.insert(p.sequence, pending);
        transmit(m_pending[p.sequence]);
    }

    void transmit(Pending& pending)
    {
        ++pending.attempts;
        pending.lastSentMs = m_clock.elapsed();
        for (const quint16 port : std::as_const(pending.ports))
            m_socket.writeDatagram(pending.datagram, m_device, port);
    }

    void tick()
    {
        const qint64 now = m_clock.elapsed();
        for (auto it = m_pending.begin(); it != m_pending.end() && !m_finished; ++it) {
            Pending& p = it.value();
            if (now - p.lastSentMs < RetryIntervalMs)
                continue;
            if (p.attempts >= MaxAttempts) {
                QStringList ports;
                for (const quint16 port : std::as_const(p.ports))
                    ports.append(QString::number(port));
                finish(false,
                       QStringLiteral("the device %1 does not answer: no answer on port %2 to %3 after "
                                      "%4 attempts in %5 s")
                           .arg(m_device.toString(), ports.join(QStringLiteral(" and ")), p.what)
                           .arg(p.attempts)
                           .arg(p.attempts * RetryIntervalMs / 1000.0, 0, 'f', 1));
                return;
            }
            ++m_retries;
            m_log.line(QStringLiteral("retry %1 of %2").arg(p.attempts).arg(p.what));
            transmit(p);
        }
    }

    void receive()
    {
        while (!m_finished && m_socket.hasPendingDatagrams()) {
            const QNetworkDatagram dg = m_socket.receiveDatagram(MaxPacketSize + 1);
            if (!dg.senderAddress().isEqual(m_device, QHostAddress::ConvertV4MappedToIPv4) ||
                (dg.senderPort() != m_bootPort && dg.senderPort() != m_appPort))
                continue; // not from the device
            const std::optional<Packet> answer = parse(dg.data());
            if (!answer) {
                m_log.line(QStringLiteral("ignored a malformed answer of %1 bytes").arg(dg.data().size()));
                continue;
            }
            const auto it = m_pending.find(answer->sequence);
            if (it == m_pending.end())
                continue; // the answer to a repeat already answered
            const Pending p = it.value();
            if (answer->type == Type::Nak && answer->answered == p.type) {
                finish(false,
                       QStringLiteral("the device refused %1: %2").arg(p.what, statusText(answer->status)));
                return;
            }
            const bool expected = p.type == Type::ReadRequest
                                      ? answer->type == Type::ReadResponse && answer->address == p.address &&
                                            answer->data.size() == qsizetype(p.length)
                                      : answer->type == Type::Ack && answer->answered == p.type;
            if (!expected) {
                finish(false, QStringLiteral("the device answered %1 with an unexpected %2")
                                  .arg(p.what, typeName(answer->type)));
                return;
            }
            m_pending.erase(it);
            accept(p, *answer);
        }
    }

    void accept(const Pending& p, const Packet& answer)
    {
        Region& r = region();
        switch (p.type) {
        case Type::WriteBlock:
            m_written += p.length;
            progress(p.length);
            fillWindow();
            break;
        case Type::ReadRequest: {
            const qsizetype at = qsizetype(p.address - r.start);
            const QByteArray expected = r.bytes.mid(at, p.length);
            if (answer.data != expected) {
                qsizetype i = 0;
                while (answer.data[i] == expected[i])
                    ++i;
                finish(false, QStringLiteral("read-back of %1 differs at %2: written 0x%3, read 0x%4")
                                  .arg(r.name, hex32(p.address + quint32(i)))
                                  .arg(quint8(expected[i]), 2, 16, QLatin1Char('0'))
                                  .arg(quint8(answer.data[i]), 2, 16, QLatin1Char('0')));
                return;
            }
            m_verified += p.length;
            progress(p.length);
            fillWindow();
            break;
        }
        case Type::EndRegion:
            m_log.line(QStringLiteral("%1: the device confirmed CRC-32 %2 of %3")
                           .arg(operationText(), hex32(crc32(r.bytes)), r.name));
            next();
            break;
        default:
            m_log.line(QStringLiteral("%1: acknowledged").arg(p.what));
            next();
            break;
        }
    }

    void status(const QString& text)
    {
        if (onStatus)
            onStatus(text);
    }

    void progress(qint64 bytes)
    {
        m_done += bytes;
        if (onProgress)
            onProgress(m_done, m_total);
    }

    void finish(bool ok, const QString& message)
    {
        if (m_finished)
            return;
        m_finished = true;
        m_tick.stop();
        m_pending.clear();
        m_socket.close();
        if (onFinished)
            onFinished(ok, message);
    }

    QHostAddress m_device;
    quint16 m_bootPort;
    quint16 m_appPort;
    QList<Region> m_regions;
    UpdateLog& m_log;
    QList<Phase> m_phases;
    qsizetype m_phase = -1;
    qsizetype m_offset = 0; // next byte of the region to send or ask for
    QMap<quint32, Pending> m_pending;
    quint32 m_sequence;
    QUdpSocket m_socket;
    QTimer m_tick;
    QElapsedTimer m_clock;
    QStringList m_socketErrors;
    qint64 m_total = 0, m_done = 0, m_written = 0, m_verified = 0;
    int m_retries = 0;
    bool m_finished = false;
};

class UpdateWindow : public QWidget
{
public:
    std::function<void()> onClose;

    UpdateWindow()
    {
        setObjectName(QStringLiteral("FEthernetUpdate"));
        setWindowTitle(QStringLiteral("Ethernet Update"));
        m_operation.setObjectName(QStringLiteral("L_Operation"));
        m_operation.setAccessibleName(QStringLiteral("Current operation"));
        m_operation.setWordWrap(true);
        m_operation.setMinimumWidth(420);
        m_progress.setObjectName(QStringLiteral("PB_Progress"));
        m_progress.setAccessibleName(QStringLiteral("Update progress"));
        m_progress.setRange(0, 1000);
        m_progress.setValue(0);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(&m_operation);
        layout->addWidget(&m_progress);
    }

    void setOperation(const QString& text) { m_operation.setText(text); }
    void setProgress(qint64 done, qint64 total)
    {
        m_progress.setValue(total > 0 ? int(done * 1000 / total) : 0);
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore(); // the program decides when it ends
        if (onClose)
            onClose();
    }

private:
    QLabel m_operation;
    QProgressBar m_progress;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Closing the window must not look like a finished update.
    QApplication::setQuitOnLastWindowClosed(false);
    const QString folder = QCoreApplication::applicationDirPath();
    UpdateLog log(QDir(folder).filePath(QStringLiteral("Ethernet_Update.log")));
    log.line(QStringLiteral("Ethernet_Update started in %1").arg(QDir::toNativeSeparators(folder)));

    UpdateWindow window;
    window.show();

    int exitCode = -1;
    auto end = [&](int code, const QString& message) {
        if (exitCode >= 0)
            return;
        exitCode = code;
        if (code == Success) {
            log.line(QStringLiteral("result: success: %1").arg(message));
            window.setOperation(QStringLiteral("Update completed"));
        } else {
            log.line(QStringLiteral("result: failed: %1").arg(message));
            std::fprintf(stderr, "Ethernet_Update: %s\n", message.toLocal8Bit().constData());
            window.setOperation(QStringLiteral("Update failed: %1").arg(message));
        }
        QTimer::singleShot(code == Success ? SuccessLingerMs : FailureLingerMs, &app,
                           [code] { QCoreApplication::exit(code); });
    };

    const QString jobPath = QDir(folder).filePath(QStringLiteral("Ethernet_Update.xml"));
    const UpdateJobReader::Result job = UpdateJobReader::load(jobPath);
    QList<Region> regions;
    QString error = job.error;
    if (error.isEmpty()) {
        if (!job.job.title.isEmpty())
            window.setWindowTitle(job.job.title);
        log.line(QStringLiteral("job %1: device %2, boot port %3, application port %4, %5 operations")
                     .arg(QDir::toNativeSeparators(jobPath), job.job.deviceAddress)
                     .arg(job.job.bootPort)
                     .arg(job.job.applicationPort)
                     .arg(job.job.operations.size()));
        error = loadRegions(job.job, folder, &regions);
    }
    if (!error.isEmpty()) {
        window.onClose = [&] { QCoreApplication::exit(exitCode); };
        end(JobError, error);
        return app.exec();
    }

    Transfer transfer(QHostAddress(job.job.deviceAddress), job.job.bootPort, job.job.applicationPort, regions,
                      log);
    transfer.onStatus = [&](const QString& text) { window.setOperation(text); };
    transfer.onProgress = [&](qint64 done, qint64 total) { window.setProgress(done, total); };
    transfer.onFinished = [&](bool ok, const QString& message) {
        end(ok ? Success : TransferFailed, message);
    };
    window.onClose = [&] {
        if (exitCode >= 0)
            QCoreApplication::exit(exitCode);
        else
            end(Cancelled, QStringLiteral("the window was closed before the update ended"));
        if (!transfer.finished())
            transfer.abort(QStringLiteral("stopped"));
    };
    QTimer::singleShot(OverallLimitMs, &transfer, [&] {
        transfer.abort(QStringLiteral("the update did not end within %1 s").arg(OverallLimitMs / 1000));
    });
    QTimer::singleShot(0, &transfer, [&] { transfer.start(); });
    return app.exec();
}
