#include "lang/StringTable.h"

#include "lang/DefaultTexts.h"
#include "lang/LanguageFile.h"

#include <QDir>
#include <QFileInfo>

void StringTable::buildDefaults()
{
    m_texts = defaultTexts();
}

StringTable::LoadResult StringTable::load(const QString& languageFolder, const QString& language)
{
    LoadResult result;
    buildDefaults();
    const QDir folder(languageFolder);
    QString path = folder.filePath(language + QStringLiteral(".lng"));
    if (language.isEmpty() || !QFileInfo(path).isFile()) {
        path = folder.filePath(QStringLiteral("English.lng"));
        if (!QFileInfo(path).isFile())
            return result;
    } else {
        result.languageFileFound = true;
    }
    // An unreadable file keeps the defaults rather than stopping the start.
    result.error = LanguageFile::applyFile(path, *this);
    return result;
}

QString StringTable::text(int index) const
{
    if (index < 0 || index >= m_texts.size())
        return QStringLiteral(" ");
    return m_texts.at(index);
}

void StringTable::set(int index, const QString& text)
{
    if (index >= 0 && index < m_texts.size())
        m_texts[index] = text;
}

QString StringTable::format(int index, std::initializer_list<long long> numbers) const
{
    QString s = text(index);
    for (long long n : numbers) {
        const qsizetype at = s.indexOf(QStringLiteral("%d"));
        if (at < 0)
            break;
        s.replace(at, 2, QString::number(n));
    }
    return s;
}
