#pragma once

#include <QString>
#include <QStringList>

// The program-wide indexed table of every text the user sees.
class StringTable
{
public:
    static constexpr int Size = 5600;

    struct LoadResult
    {
        bool languageFileFound = false; // LANGUAGE/<language>.lng existed
        QString error;                  // a file that exists but could not be read
    };

    // Created empty; start-up fills it.
    StringTable() = default;

    void buildDefaults();
    // Defaults, then the language file; falls back to English.lng when the
    // language has no file (the caller decides what happens to the setting).
    LoadResult load(const QString& languageFolder, const QString& language);

    QString text(int index) const;
    void set(int index, const QString& text);
    int count() const { return m_texts.size(); }

    // Text with "%d" places filled in order, as the messages need.
    QString format(int index, std::initializer_list<long long> numbers) const;

private:
    QStringList m_texts;
};
