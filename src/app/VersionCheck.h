#pragma once

#include <QString>
#include <QUrl>

// Asks the maker's version service whether a newer program exists.
class VersionCheck
{
public:
    static constexpr int DefaultTimeoutMs = 4000;

    explicit VersionCheck(const QString& webBase, int timeoutMs = DefaultTimeoutMs)
        : m_base(webBase), m_timeoutMs(timeoutMs)
    {
    }

    // One blocking HTTP/1.0 GET; any failure gives an empty reply.
    QString fetchReply() const;
    bool Check_Version() const;
    static bool isNewer(const QString& reply);
    static int Conv_Version(const QString& text);

    QUrl requestUrl() const;
    QUrl downloadPage() const;
    QUrl homePage() const;
    // The site's address as shown to the user ("www.example.com").
    QString displayAddress() const;

private:
    QString m_base;
    int m_timeoutMs;
};
