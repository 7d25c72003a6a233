#include "lang/LanguageFile.h"

#include "lang/StringTable.h"

#include <QFile>
#include <QStringDecoder>

namespace LanguageFile {

namespace {

constexpr char16_t Pilcrow = u'\u00B6';

// 0x80..0x9F of Windows-1252; the rest of the page matches Latin-1.
constexpr char16_t Cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                     0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeAnsi(const QByteArray& data)
{
#ifdef Q_OS_WIN
    QStringDecoder decoder(QStringDecoder::System);
    return decoder.decode(data);
#else
    QString out(data.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (char c : data) {
        const auto b = static_cast<unsigned char>(c);
        *dst++ = QChar(b >= 0x80 && b < 0xA0 ? Cp1252High[b - 0x80] : char16_t(b));
    }
    return out;
#endif
}

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 32;
}

QString trimControl(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlankOrControl(s[b]))
        ++b;
    while (e > b && isBlankOrControl(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

// Only an optional sign and decimal digits count as an index.
bool parseDecimal(const QString& s, int& value)
{
    if (s.isEmpty())
        return false;
    qsizetype i = (s[0] == u'-' || s[0] == u'+') ? 1 : 0;
    if (i == s.size())
        return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < u'0' || s[i] > u'9')
            return false;
        v = v * 10 + (s[i].unicode() - u'0');
        if (v > 1'000'000'000)
            return false;
    }
    value = int(s[0] == u'-' ? -v : v);
    return true;
}

} // namespace

QStringList decodeLines(const QByteArray& data)
{
    QString text;
    if (data.startsWith("\xEF\xBB\xBF"))
        text = QString::fromUtf8(data.mid(3));
    else if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF"))
        text = QStringDecoder(data.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE)
                   .decode(data.mid(2));
    else
        text = decodeAnsi(data);

    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            lines.append(text.mid(start, i - start));
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

Entry parseLine(const QString& rawLine)
{
    const QString line = trimControl(rawLine);
    if (!line.startsWith(QStringLiteral("STR")))
        return {};
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return {};
    // The character just before "=" is the separator, never part of the index.
    const qsizetype indexLength = eq - 1 - 3;
    const QString indexText = indexLength > 0 ? line.mid(3, indexLength).trimmed() : QString();
    int index = -1;
    if (!parseDecimal(indexText, index) || index < 0 || index >= StringTable::Size)
        return {};

    QString text = trimControl(line.mid(eq + 1));
    if (text.isEmpty())
        return {};
    const qsizetype comment = text.indexOf(QStringLiteral("/#/"));
    if (comment >= 0) {
        text = trimControl(text.left(comment));
        if (text.isEmpty())
            return {};
    }
    if (text.startsWith(Pilcrow))
        text.remove(0, 1);
    const qsizetype quote = text.indexOf(Pilcrow);
    if (quote >= 0)
        text.truncate(quote);
    return {index, text};
}

void apply(const QByteArray& data, StringTable& table)
{
    for (const QString& line : decodeLines(data)) {
        const Entry e = parseLine(line);
        if (e.index >= 0)
            table.set(e.index, e.text);
    }
}

QString applyFile(const QString& path, StringTable& table)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return f.errorString();
    const QByteArray data = f.read(MaxFileSize + 1);
    if (f.error() != QFileDevice::NoError)
        return f.errorString();
    if (data.size() > MaxFileSize)
        return QStringLiteral("the file is larger than %1 MiB").arg(MaxFileSize / (1024 * 1024));
    apply(data, table);
    return {};
}

QString formatEntry(int index, const QString& text)
{
    const bool needsQuote = text.isEmpty() || isBlankOrControl(text.front()) ||
                            isBlankOrControl(text.back()) || text.startsWith(Pilcrow);
    QString body = needsQuote ? QString(Pilcrow) + text + QChar(Pilcrow) : text;
    return QStringLiteral("STR%1 = %2").arg(index).arg(body);
}

} // namespace LanguageFile
