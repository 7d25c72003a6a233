#include "compiler/ParGenKeys.h"

#include "common/XmlLimits.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace {
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;
}

ParGenKeys ParGenKeys::load(const QString& path, QString* error)
{
    if (!QFileInfo(path).exists())
        return {};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = path + QStringLiteral(": ") + f.errorString();
        return {};
    }
    if (f.size() > MaxFileSize) {
        if (error)
            *error = path + QStringLiteral(": the file is larger than 16 MiB");
        return {};
    }
    ParGenKeys keys = parse(f.readAll(), error);
    if (error && !error->isEmpty())
        *error = path + QStringLiteral(": ") + *error;
    return keys;
}

ParGenKeys ParGenKeys::parse(const QByteArray& data, QString* error)
{
    ParGenKeys keys;
    keys.m_exists = true;
    if (const QString refusal = XmlLimits::check(data); !refusal.isEmpty()) {
        if (error)
            *error = refusal;
        return {};
    }
    QXmlStreamReader xml(data);
    int depth = 0;
    QString current;
    QString text;
    bool plain = true;
    while (!xml.atEnd()) {
        xml.readNext();
        switch (xml.tokenType()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (depth == 2) {
                current = xml.name().toString();
                text.clear();
                plain = true;
            } else if (depth > 2) {
                plain = false;
            }
            break;
        case QXmlStreamReader::Characters:
            if (depth == 2)
                text += xml.text();
            break;
        case QXmlStreamReader::EndElement:
            if (depth == 2 && plain && !keys.m_values.contains(current))
                keys.m_values.insert(current, text);
            --depth;
            break;
        default:
            break;
        }
    }
    if (xml.hasError()) {
        if (error)
            *error = XmlLimits::errorText(xml);
        return {};
    }
    return keys;
}

qint64 ParGenKeys::number(const QString& key, qint64 fallback) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.constEnd())
        return fallback;
    const QString t = it->trimmed();
    if (t.isEmpty() || t.size() > 18)
        return fallback;
    qint64 v = 0;
    for (QChar c : t) {
        if (c < u'0' || c > u'9')
            return fallback;
        v = v * 10 + (c.unicode() - u'0');
    }
    return v;
}
