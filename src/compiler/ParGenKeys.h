#pragma once

#include <QHash>
#include <QString>

// ParGen.xml as the compiler reads it: each key is the first element of that
// name among the children of the document element, its text the value. The
// compiler applies its own defaults; it never depends on the editor's reader.
class ParGenKeys
{
public:
    // No file: exists() is false and every key is missing. A file that cannot
    // be read, is not well-formed or that XmlLimits refuses gives an error text.
    static ParGenKeys load(const QString& path, QString* error);
    static ParGenKeys parse(const QByteArray& data, QString* error);

    bool exists() const { return m_exists; }
    bool has(const QString& key) const { return m_values.contains(key); }
    // The element's text; empty when missing.
    QString text(const QString& key) const { return m_values.value(key); }
    // Number keys: decimal digits only (after trimming blanks); anything else, or a missing key, gives
    // fallback.
    qint64 number(const QString& key, qint64 fallback) const;
    // Flag keys: set only when the text is exactly "1".
    bool flag(const QString& key) const { return text(key) == QStringLiteral("1"); }

    void set(const QString& key, const QString& value)
    {
        m_exists = true;
        m_values.insert(key, value);
    }

private:
    bool m_exists = false;
    QHash<QString, QString> m_values;
};
