#include "lang/DefaultTexts.h"

#include "lang/StringTable.h"

#include <QFile>

static void initLangResources()
{
    Q_INIT_RESOURCE(lang);
}

static QString unescape(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'\\' && i + 1 < s.size()) {
            const QChar next = s[i + 1];
            if (next == u'n') {
                out += u'\n';
                ++i;
                continue;
            }
            if (next == u'\\') {
                out += u'\\';
                ++i;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

QStringList parseDefaultTexts(const QByteArray& data, QString* error)
{
    QStringList texts(StringTable::Size, QStringLiteral(" "));
    const QString all = QString::fromUtf8(data);
    int lineNo = 0;
    for (QStringView line : QStringView(all).split(u'\n')) {
        ++lineNo;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        bool ok = false;
        const int index = tab > 0 ? line.left(tab).toInt(&ok) : -1;
        if (!ok || index < 0 || index >= StringTable::Size) {
            if (error && error->isEmpty())
                *error = QStringLiteral("line %1: bad entry").arg(lineNo);
            continue;
        }
        texts[index] = unescape(line.mid(tab + 1));
    }
    return texts;
}

const QStringList& defaultTexts()
{
    static const QStringList texts = [] {
        initLangResources();
        QFile f(QStringLiteral(":/lang/DefaultTexts.tsv"));
        f.open(QIODevice::ReadOnly);
        return parseDefaultTexts(f.readAll());
    }();
    return texts;
}
