#include "update/EchoClient.h"
#include "update/PingCheck.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#ifdef Q_OS_UNIX
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

// One scripted echo: what the client reports and how long it blocks.
struct Step
{
    EchoClient::Reply reply;
    int delayMs = 0;
};

Step answer()
{
    return {EchoClient::Reply{false, {}, true, 9}, 5};
}
Step silence()
{
    return {EchoClient::Reply{false, {}, true, 0}, 400};
}
Step noEvent(int delayMs)
{
    return {EchoClient::Reply{false, {}, false, 0}, delayMs};
}
Step failure()
{
    return {EchoClient::Reply{true, QStringLiteral("cannot resolve"), false, 0}, 0};
}

// Virtual time: the client's blocking and the check's sleeps advance it.
struct VirtualTime
{
    qint64 now = 0;
    int processEventsCalls = 0;
    PingCheck::Clock clock()
    {
        return {[this] { return now; }, [this](int ms) { now += ms; }, [this] { ++processEventsCalls; }};
    }
};

struct Call
{
    QString host;
    QByteArray data;
    int timeoutMs;
};

class TimedEchoClient : public EchoClient
{
public:
    TimedEchoClient(VirtualTime& time, QList<Step> script) : m_time(time), m_script(std::move(script)) {}
    QList<Call> calls;
    Reply echo(const QString& host, const QByteArray& data, int timeoutMs) override
    {
        calls.append({host, data, timeoutMs});
        // The script's last step repeats for ever.
        const Step step = m_script.size() > 1 ? m_script.takeFirst() : m_script.value(0);
        m_time.now += step.delayMs;
        return step.reply;
    }

private:
    VirtualTime& m_time;
    QList<Step> m_script;
};

QList<Step> repeat(const QList<Step>& head, Step tail)
{
    QList<Step> out = head;
    out.append(tail);
    return out;
}

// Whether this system lets us open an ICMP socket of either kind.
bool icmpPermitted()
{
#ifdef Q_OS_UNIX
    for (int type : {SOCK_DGRAM, SOCK_RAW}) {
        const int fd = ::socket(AF_INET, type, IPPROTO_ICMP);
        if (fd >= 0) {
            ::close(fd);
            return true;
        }
    }
    return false;
#else
    return true;
#endif
}

bool hostsFileMapsLocalhost()
{
#ifdef Q_OS_UNIX
    QFile hosts(QStringLiteral("/etc/hosts"));
    if (!hosts.open(QIODevice::ReadOnly))
        return false;
    while (!hosts.atEnd()) {
        const QList<QByteArray> fields = hosts.readLine().split('#').first().simplified().split(' ');
        if (fields.first() == "127.0.0.1" && fields.contains("localhost"))
            return true;
    }
#endif
    return false;
}

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class TestPing : public QObject
{
    Q_OBJECT

private slots:
    void check_data()
    {
        QTest::addColumn<QList<Step>>("script");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("pingRes");
        QTest::addColumn<int>("attempts");
        QTest::addColumn<int>("processEvents");

        // Time per attempt: the client's delay plus one 10 ms sleep once a reply came.
        QTest::newRow("two answers") << repeat({}, answer()) << true << 1 << 2 << 2;
        QTest::newRow("answers need not follow each other")
            << repeat({answer(), silence()}, answer()) << true << 1 << 3 << 3;
        // 15 ms, then 410 ms per attempt until more than 5000 ms: 15 + 13 * 410.
        QTest::newRow("answer then silence") << repeat({answer()}, silence()) << false << 2 << 14 << 14;
        // 12 * 410 = 4920 ms is not past the bound, 13 * 410 is.
        QTest::newRow("silence") << repeat({}, silence()) << false << 2 << 13 << 13;
        // After exactly 5000 ms one more request goes out.
        QTest::newRow("total bound is exclusive")
            << repeat({}, Step{EchoClient::Reply{false, {}, true, 0}, 490}) << false << 2 << 11 << 11;
        // 12 * 410 ms of silence, then one answer that ends past the bound: the last reply decides.
        QTest::newRow("one late answer")
            << repeat(QList<Step>(12, silence()), Step{answer().reply, 90}) << true << 1 << 13 << 13;
        // No event: the check waits until more than 400 ms have passed since the request went out.
        QTest::newRow("no reply event, client returns at once")
            << repeat({}, noEvent(0)) << false << 0 << 13 << 13 * 41;
        QTest::newRow("no reply event, attempt bound is exclusive")
            << repeat({}, noEvent(390)) << false << 0 << 13 << 13 * 2;
        QTest::newRow("failure at once") << repeat({}, failure()) << false << 0 << 1 << 0;
        QTest::newRow("failure keeps an earlier answer")
            << repeat({answer()}, failure()) << false << 1 << 2 << 1;
        QTest::newRow("failure keeps an earlier silence")
            << repeat({silence()}, failure()) << false << 2 << 2 << 1;
    }
    void check()
    {
        QFETCH(QList<Step>, script);
        QFETCH(bool, result);
        QFETCH(int, pingRes);
        QFETCH(int, attempts);
        QFETCH(int, processEvents);

        VirtualTime time;
        time.now = 123456; // the tick count need not start at 0
        TimedEchoClient client(time, script);
        PingCheck check(client, time.clock());
        const QString host = QStringLiteral(" 10.0.0.1");

        QCOMPARE(check.Send_Ping(host), result);
        QCOMPARE(check.ping_res, pingRes);
        QCOMPARE(check.attempts, attempts);
        QCOMPARE(client.calls.size(), attempts);
        QCOMPARE(time.processEventsCalls, processEvents);
        for (const Call& call : std::as_const(client.calls)) {
            QCOMPARE(call.host, host); // as typed
            QCOMPARE(call.data, host.toUtf8());
            QCOMPARE(call.timeoutMs, 400);
        }
    }

    void eachCheckStartsAfresh()
    {
        VirtualTime time;
        TimedEchoClient client(time, repeat({answer(), answer()}, failure()));
        PingCheck check(client, time.clock());
        QVERIFY(check.Send_Ping(QStringLiteral("10.0.0.1")));
        QCOMPARE(check.ping_res, 1);
        QVERIFY(!check.Send_Ping(QStringLiteral("10.0.0.1")));
        QCOMPARE(check.ping_res, 0);
        QCOMPARE(check.attempts, 1);
    }

    void systemClockTicksAndSleeps()
    {
        const PingCheck::Clock clock = PingCheck::systemClock();
        const qint64 before = clock.nowMs();
        clock.sleepMs(30);
        clock.processEvents();
        QVERIFY2(clock.nowMs() - before >= 29, qPrintable(QString::number(clock.nowMs() - before)));
    }

    void loopbackAnswers_data()
    {
        QTest::addColumn<QString>("host");
        QTest::newRow("address") << QStringLiteral("127.0.0.1");
        QTest::newRow("name") << QStringLiteral("localhost");
        QTest::newRow("leading zeros are decimal") << QStringLiteral("127.000.000.010");
    }
    void loopbackAnswers()
    {
        QFETCH(QString, host);
        if (!icmpPermitted())
            QSKIP("this system permits neither an ICMP datagram socket nor a raw one");
        if (host == u"localhost" && !hostsFileMapsLocalhost())
            QSKIP("the hosts file does not map localhost to 127.0.0.1; no name server is asked here");
        const std::unique_ptr<EchoClient> client = createSystemEchoClient();
        const QByteArray data = QByteArrayLiteral("data of the request");
        QElapsedTimer timer;
        timer.start();
        const EchoClient::Reply reply = client->echo(host, data, 400);
        QVERIFY2(!reply.failed, qPrintable(reply.error));
        QVERIFY(reply.replyEvent);
        QCOMPARE(reply.receivedBytes, data.size());
        QVERIFY(timer.elapsed() < 400);
    }

    void loopbackPassesTheCheck()
    {
        if (!icmpPermitted())
            QSKIP("this system permits neither an ICMP datagram socket nor a raw one");
        const std::unique_ptr<EchoClient> client = createSystemEchoClient();
        PingCheck check(*client, PingCheck::systemClock());
        QElapsedTimer timer;
        timer.start();
        QVERIFY(check.Send_Ping(QStringLiteral("127.0.0.1")));
        QCOMPARE(check.ping_res, 1);
        QCOMPARE(check.attempts, 2);
        QVERIFY(timer.elapsed() < 2000);
    }

    // Texts that are neither an address nor a name fail without any lookup.
    void unusableHostFailsAtOnce_data()
    {
        QTest::addColumn<QString>("host");
        QTest::newRow("blanks") << QStringLiteral("10 . 0 .0. 1");
        QTest::newRow("empty") << QString();
        // The C library's lenient parsing would take these two for 127.0.0.1.
        QTest::newRow("trailing text") << QStringLiteral("127.0.0.1 abc");
        QTest::newRow("short form") << QStringLiteral("127.1");
    }
    void unusableHostFailsAtOnce()
    {
        QFETCH(QString, host);
        const std::unique_ptr<EchoClient> client = createSystemEchoClient();
        QElapsedTimer timer;
        timer.start();
        const EchoClient::Reply reply = client->echo(host, host.toUtf8(), 400);
        QVERIFY(reply.failed);
        QVERIFY(!reply.replyEvent);
        QVERIFY(!reply.error.isEmpty());
        QVERIFY2(timer.elapsed() < 100, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestPing)
#include "tst_ping.moc"
