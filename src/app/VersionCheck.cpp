#include "app/VersionCheck.h"

#include "common/ProgramState.h"

#include <QDeadlineTimer>
#include <QNetworkProxy>
#include <QTcpSocket>

QUrl VersionCheck::requestUrl() const
{
    return QUrl(m_base + QStringLiteral("/home/download/GetversionSW.asp?nomesw=") + Product::SoftwareCode);
}

QUrl VersionCheck::downloadPage() const
{
    return QUrl(m_base + QStringLiteral("/Home/download/download.asp#") + Product::HardwareCode);
}

QUrl VersionCheck::homePage() const
{
    return QUrl(m_base + QStringLiteral("/HOME/default.asp?frompg=") + Product::SoftwareCode);
}

QString VersionCheck::displayAddress() const
{
    const QUrl u(m_base);
    return u.host().isEmpty() ? m_base : u.host();
}

QString VersionCheck::fetchReply() const
{
    const QUrl url = requestUrl();
    if (!url.isValid() || url.scheme() != QStringLiteral("http") || url.host().isEmpty())
        return {};
    const QDeadlineTimer deadline(m_timeoutMs);
    QTcpSocket socket;
    socket.setProxy(QNetworkProxy::NoProxy);
    socket.connectToHost(url.host(), quint16(url.port(80)));
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return {};
    const QByteArray request =
        "GET " + url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment) +
        " HTTP/1.0\r\nHost: " + url.host().toUtf8() +
        "\r\nAccept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8"
        "\r\nUser-Agent: Zuvurazaru/" +
        Product::ProgramVersion.toUtf8() + "\r\n\r\n";
    socket.write(request);
    // HTTP/1.0: the server ends the reply by closing the connection.
    QByteArray reply;
    constexpr qsizetype MaxReply = 64 * 1024;
    while (socket.state() == QAbstractSocket::ConnectedState || socket.bytesAvailable() > 0) {
        if (socket.bytesAvailable() == 0) {
            if (deadline.hasExpired())
                return {};
            socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
            if (socket.bytesAvailable() == 0 && socket.state() != QAbstractSocket::ConnectedState)
                break;
            continue;
        }
        reply += socket.readAll();
        if (reply.size() > MaxReply)
            return {};
    }
    const qsizetype headerEnd = reply.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return {};
    const QList<QByteArray> status = reply.left(reply.indexOf("\r\n")).split(' ');
    if (status.size() < 2 || !status.at(0).startsWith("HTTP/") || status.at(1) != "200")
        return {};
    return QString::fromLatin1(reply.mid(headerEnd + 4));
}

bool VersionCheck::isNewer(const QString& rawReply)
{
    const QString reply = rawReply.toUpper().trimmed();
    if (reply.isEmpty() || reply == QStringLiteral("VER. 0.000"))
        return false;
    const int own = Conv_Version(Product::ProgramVersion);
    const int theirs = Conv_Version(reply);
    return own != -1 && theirs != -1 && theirs > own;
}

bool VersionCheck::Check_Version() const
{
    return isNewer(fetchReply());
}

int VersionCheck::Conv_Version(const QString& text)
{
    const qsizetype blank = text.indexOf(u' ');
    const QString v = (blank < 0 ? text : text.mid(blank + 1)).trimmed();
    if (v.size() < 5)
        return -1;
    const QString digits = QString(v[0]) + v[2] + v[3] + v[4];
    bool ok = false;
    const int n = digits.toInt(&ok, 10);
    return ok ? n : -1;
}
