#include "app/Projects.h"
#include "app/SettingsFile.h"
#include "app/VersionCheck.h"
#include "common/ProgramState.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"
#include <QThread>

#include <atomic>
#include <mutex>

namespace {

// A one-shot HTTP server on 127.0.0.1 in its own thread, since the version
// check blocks the thread that asks.
class HttpServer : public QThread
{
public:
    enum class Mode { Reply, Silent };
    HttpServer(QByteArray response, Mode mode = Mode::Reply) : m_response(std::move(response)), m_mode(mode)
    {
        m_server.moveToThread(this);
    }
    ~HttpServer() override
    {
        m_stop = true;
        wait(10000);
    }
    quint16 listen()
    {
        start();
        while (m_port == 0 && !m_failed)
            QThread::msleep(5);
        return m_port;
    }
    QByteArray request()
    {
        std::lock_guard lock(m_mutex);
        return m_request;
    }

protected:
    void run() override
    {
        if (!m_server.listen(QHostAddress::LocalHost, 0)) {
            m_failed = true;
            return;
        }
        m_port = m_server.serverPort();
        while (!m_stop) {
            if (!m_server.waitForNewConnection(50))
                continue;
            QTcpSocket* s = m_server.nextPendingConnection();
            QByteArray req;
            QElapsedTimer t;
            t.start();
            while (!req.contains("\r\n\r\n") && t.elapsed() < 3000 && s->waitForReadyRead(100))
                req += s->readAll();
            {
                std::lock_guard lock(m_mutex);
                m_request = req;
            }
            if (m_mode == Mode::Silent) {
                while (!m_stop)
                    QThread::msleep(20);
            } else {
                s->write(m_response);
                s->waitForBytesWritten(1000);
            }
            s->disconnectFromHost();
            if (s->state() != QAbstractSocket::UnconnectedState)
                s->waitForDisconnected(1000);
            delete s;
        }
        m_server.close();
    }

private:
    QTcpServer m_server;
    QByteArray m_response;
    Mode m_mode;
    std::atomic<quint16> m_port{0};
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    QByteArray m_request;
};

QByteArray ok(const QByteArray& body)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + body;
}

} // namespace

class TestAppCore : public QObject
{
    Q_OBJECT
private slots:
    void settingsDefaultsWhenMissing();
    void settingsRead_data();
    void settingsRead();
    void settingsWriteOrderAndRoundTrip();
    void createConfiguration_data();
    void createConfiguration();
    void listAndPreselect();
    void convVersion_data();
    void convVersion();
    void isNewer_data();
    void isNewer();
    void checkVersionAgainstServer_data();
    void checkVersionAgainstServer();
    void checkVersionGivesUpOnASilentServer();
    void checkVersionWithoutServer();
};

void TestAppCore::settingsDefaultsWhenMissing()
{
    QTemporaryDir dir;
    ProgramState s(dir.path());
    s.configurationName = QStringLiteral("stale");
    s.enable_update = true;
    SettingsFile::read(s);
    QCOMPARE(s.configurationName, QString());
    QCOMPARE(s.lastDeviceAddress, QStringLiteral("192.168.2.205"));
    QCOMPARE(s.language, QStringLiteral("English"));
    QVERIFY(!s.enable_internet && !s.enable_update && !s.enable_jump_field_tables &&
            !s.Double_Click_Auto_Size);
}

void TestAppCore::settingsRead_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("switches"); // internet, update, jump, auto-size

    const QByteArray full =
        "<Conf_Settings><lastproj><projectname>Plant A</projectname></lastproj>"
        "<lastipadd><ipaddress>10.0.0.7</ipaddress></lastipadd>"
        "<lastlang><language>Italian</language></lastlang>"
        "<lastinternet><enable_internet>1</enable_internet><enable_update>0</enable_update>"
        "<enable_jump_field_tables>1</enable_jump_field_tables>"
        "<Double_Click_Auto_Size>1</Double_Click_Auto_Size></lastinternet></Conf_Settings>";
    QTest::newRow("full") << full << "Plant A"
                          << "10.0.0.7"
                          << "Italian"
                          << "1011";
    QTest::newRow("any root name") << QByteArray(full).replace("Conf_Settings", "Other") << "Plant A"
                                   << "10.0.0.7"
                                   << "Italian"
                                   << "1011";
    QTest::newRow("switch texts other than 1")
        << QByteArray(
               "<C><lastinternet><enable_internet> 1</enable_internet><enable_update>true</enable_update>"
               "<enable_jump_field_tables>01</enable_jump_field_tables>"
               "<Double_Click_Auto_Size/></lastinternet></C>")
        << ""
        << "192.168.2.205"
        << "English"
        << "0000";
    QTest::newRow("name without lastinternet")
        << QByteArray("<C><lastproj><projectname>X</projectname></lastproj></C>") << "X"
        << "192.168.2.205"
        << "English"
        << "0000";
    QTest::newRow("empty elements are kept")
        << QByteArray("<C><lastipadd><ipaddress></ipaddress></lastipadd><lastlang><language/></lastlang></C>")
        << ""
        << ""
        << ""
        << "0000";
    QTest::newRow("first of duplicates")
        << QByteArray("<C><lastproj><projectname>A</projectname><projectname>B</projectname></lastproj>"
                      "<lastproj><projectname>C</projectname></lastproj></C>")
        << "A"
        << "192.168.2.205"
        << "English"
        << "0000";
    QTest::newRow("declaration first gives defaults") << QByteArray("<?xml version=\"1.0\"?>") + full << ""
                                                      << "192.168.2.205"
                                                      << "English"
                                                      << "0000";
    QTest::newRow("comment first gives defaults") << QByteArray("<!-- c -->") + full << ""
                                                  << "192.168.2.205"
                                                  << "English"
                                                  << "0000";
    QTest::newRow("not xml") << QByteArray("\x00\x01garbage<<", 11) << ""
                             << "192.168.2.205"
                             << "English"
                             << "0000";
    QTest::newRow("empty file") << QByteArray() << ""
                                << "192.168.2.205"
                                << "English"
                                << "0000";
}

void TestAppCore::settingsRead()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, name);
    QFETCH(QString, address);
    QFETCH(QString, language);
    QFETCH(QString, switches);
    QTemporaryDir dir;
    ProgramState s(dir.path());
    writeFile(SettingsFile::path(s), xml);
    SettingsFile::read(s);
    QCOMPARE(s.configurationName, name);
    QCOMPARE(s.lastDeviceAddress, address);
    QCOMPARE(s.language, language);
    const QString got = QString::number(s.enable_internet) + QString::number(s.enable_update) +
                        QString::number(s.enable_jump_field_tables) +
                        QString::number(s.Double_Click_Auto_Size);
    QCOMPARE(got, switches);
}

void TestAppCore::settingsWriteOrderAndRoundTrip()
{
    QTemporaryDir dir;
    ProgramState s(dir.path());
    s.configurationName = QStringLiteral("Città & <1>");
    s.lastDeviceAddress = QStringLiteral("10.1.2.3");
    s.language = QStringLiteral("Italian");
    s.enable_update = true;
    s.Double_Click_Auto_Size = true;
    QVERIFY(SettingsFile::write(s).isEmpty());
    const QByteArray data = readFile(SettingsFile::path(s));
    QCOMPARE(
        QString::fromUtf8(data),
        QStringLiteral("<Conf_Settings><lastproj><projectname>Città &amp; &lt;1></projectname></lastproj>"
                       "<lastipadd><ipaddress>10.1.2.3</ipaddress></lastipadd>"
                       "<lastlang><language>Italian</language></lastlang>"
                       "<lastinternet><enable_internet>0</enable_internet><enable_update>1</enable_update>"
                       "<enable_jump_field_tables>0</enable_jump_field_tables>"
                       "<Double_Click_Auto_Size>1</Double_Click_Auto_Size></lastinternet></Conf_Settings>"));
    ProgramState back(dir.path());
    SettingsFile::read(back);
    QCOMPARE(back.configurationName, s.configurationName);
    QCOMPARE(back.lastDeviceAddress, s.lastDeviceAddress);
    QCOMPARE(back.language, s.language);
    QVERIFY(!back.enable_internet && back.enable_update && !back.enable_jump_field_tables &&
            back.Double_Click_Auto_Size);

    // A settings file that cannot be replaced reports it and keeps the old one.
    QVERIFY(QFile::remove(SettingsFile::path(s)));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Zuvurazaru.xml")));
    QVERIFY(!SettingsFile::write(s).isEmpty());
}

void TestAppCore::createConfiguration_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("refusal");

    QTest::newRow("plain") << "Plant A" << 0;
    QTest::newRow("kept as typed") << " spaced" << 0;
    QTest::newRow("empty") << "" << 107;
    QTest::newRow("exists") << "Existing" << 106;
    QTest::newRow("slash") << "a/b" << 105;
    QTest::newRow("backslash") << "a\\b" << 105;
    QTest::newRow("parent") << ".." << 105;
    QTest::newRow("dot") << "." << 105;
    QTest::newRow("climbing") << "../outside" << 105;
    QTest::newRow("absolute") << "/tmp/x" << 105;
    QTest::newRow("drive") << "C:x" << 105;
    QTest::newRow("colon") << "a:b" << 105;
    QTest::newRow("question mark") << "what?" << 105;
    QTest::newRow("trailing dot") << "name." << 105;
    QTest::newRow("device name") << "con" << 105;
    QTest::newRow("control character") << "a\tb" << 105;
}

void TestAppCore::createConfiguration()
{
    QFETCH(QString, name);
    QFETCH(int, refusal);
    QTemporaryDir dir;
    ProgramState s(dir.path());
    s.createFolders();
    QDir(s.projectsFolder).mkdir(QStringLiteral("Existing"));
    const QStringList rootBefore = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QCOMPARE(Projects::createConfiguration(s, name), refusal);
    if (refusal == 0) {
        QCOMPARE(s.configurationName, name);
        QVERIFY(s.configurationActive());
        QCOMPARE(QDir(s.configurationFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("bin")});
        QVERIFY(QDir(s.configurationFolder + QStringLiteral("/bin")).isEmpty());
        QCOMPARE(s.documentPath(Document::ParGen),
                 s.configurationFolder + QDir::separator() + QStringLiteral("ParGen.xml"));
    } else {
        QVERIFY(!s.configurationActive());
        QCOMPARE(QDir(s.projectsFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("Existing")});
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), rootBefore);
        QVERIFY(!QFileInfo::exists(QStringLiteral("/tmp/x")) || name != QStringLiteral("/tmp/x"));
    }
}

void TestAppCore::listAndPreselect()
{
    QTemporaryDir dir;
    ProgramState s(dir.path());
    s.createFolders();
    QCOMPARE(Projects::listConfigurations(s.projectsFolder), QStringList());
    QCOMPARE(Projects::preselection({}, QStringLiteral("x")), -1);
    QDir projects(s.projectsFolder);
    projects.mkdir(QStringLiteral("Alpha"));
    projects.mkdir(QStringLiteral("Beta"));
    writeFile(projects.filePath(QStringLiteral("file.txt")), "x");
    QStringList names = Projects::listConfigurations(s.projectsFolder);
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta")}));
    QCOMPARE(Projects::preselection(names, QStringLiteral("BETA")), 1);
    QCOMPARE(Projects::preselection(names, QStringLiteral("Gamma")), 0);
    QCOMPARE(Projects::preselection(names, QString()), 0);

    Projects::openConfiguration(s, QStringLiteral("Beta"));
    QCOMPARE(s.configurationFolder, s.projectsFolder + QDir::separator() + QStringLiteral("Beta"));
    QCOMPARE(s.activeFolderName(), QStringLiteral("Beta"));
    Projects::openConfiguration(s, QString());
    QVERIFY(!s.configurationActive());
    QCOMPARE(s.documentPath(Document::ParGen), QDir::separator() + QStringLiteral("ParGen.xml"));
}

void TestAppCore::convVersion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("reply") << "VER. 1.002" << 1002;
    QTest::newRow("own") << "1.000" << 1000;
    QTest::newRow("blanks after prefix") << "VER.   2.345  " << 2345;
    QTest::newRow("short") << "VER. 1.0" << -1;
    QTest::newRow("letters") << "VER. a.bcd" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("second char skipped") << "9x123" << 9123;
}

void TestAppCore::convVersion()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(VersionCheck::Conv_Version(text), value);
}

void TestAppCore::isNewer_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("newer");
    QTest::newRow("1.002") << "VER. 1.002" << true;
    QTest::newRow("same") << "VER. 1.000" << false;
    QTest::newRow("older") << "VER. 0.999" << false;
    QTest::newRow("unknown software, lower case") << "ver. 0.000" << false;
    QTest::newRow("too short") << "VER. 1.0" << false;
    QTest::newRow("two-digit major") << "VER. 10.000" << false;
    QTest::newRow("no prefix") << "2.500" << true;
    QTest::newRow("padded") << "  ver. 1.500\r\n" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("html page") << "<html>error</html>" << false;
}

void TestAppCore::isNewer()
{
    QFETCH(QString, reply);
    QFETCH(bool, newer);
    QCOMPARE(VersionCheck::isNewer(reply), newer);
}

void TestAppCore::checkVersionAgainstServer_data()
{
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<bool>("newer");
    QTest::newRow("newer") << ok("VER. 1.002") << true;
    QTest::newRow("same") << ok("VER. 1.000") << false;
    QTest::newRow("unknown") << ok("VER. 0.000") << false;
    QTest::newRow("http error") << QByteArray("HTTP/1.0 404 Not Found\r\n\r\nVER. 9.999") << false;
    QTest::newRow("no header end") << QByteArray("VER. 9.999") << false;
}

void TestAppCore::checkVersionAgainstServer()
{
    QFETCH(QByteArray, response);
    QFETCH(bool, newer);
    HttpServer server(response);
    const quint16 port = server.listen();
    QVERIFY(port != 0);
    const VersionCheck check(QStringLiteral("http://127.0.0.1:%1").arg(port), 3000);
    QCOMPARE(check.Check_Version(), newer);
    const QByteArray request = server.request();
    QVERIFY2(request.startsWith("GET /home/download/GetversionSW.asp?nomesw=SWQX410 HTTP/1.0\r\n"),
             request.constData());
    QVERIFY(
        request.contains("\r\nAccept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"));
    QVERIFY(!request.toLower().contains("cookie"));
}

void TestAppCore::checkVersionGivesUpOnASilentServer()
{
    HttpServer server(QByteArray(), HttpServer::Mode::Silent);
    const quint16 port = server.listen();
    QVERIFY(port != 0);
    const VersionCheck check(QStringLiteral("http://127.0.0.1:%1").arg(port), 500);
    QElapsedTimer t;
    t.start();
    QCOMPARE(check.fetchReply(), QString());
    QVERIFY(t.elapsed() < 5000);
}

void TestAppCore::checkVersionWithoutServer()
{
    // A free port: nobody listens there.
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    const VersionCheck check(QStringLiteral("http://127.0.0.1:%1").arg(port), 1000);
    QVERIFY(!check.Check_Version());
    QCOMPARE(check.requestUrl().toString(),
             QStringLiteral("http://127.0.0.1:%1/home/download/GetversionSW.asp?nomesw=SWQX410").arg(port));
    QCOMPARE(check.downloadPage().toString(),
             QStringLiteral("http://127.0.0.1:%1/Home/download/download.asp#HDQX410").arg(port));
    QCOMPARE(check.homePage().toString(),
             QStringLiteral("http://127.0.0.1:%1/HOME/default.asp?frompg=SWQX410").arg(port));
}

QTEST_GUILESS_MAIN(TestAppCore)
#include "tst_app_core.moc"
