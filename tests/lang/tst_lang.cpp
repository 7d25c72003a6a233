#include "common/ProgramState.h"
#include "lang/DefaultTexts.h"
#include "lang/LanguageFile.h"
#include "lang/StringTable.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

namespace {
const QString Pilcrow = QString(QChar(0x00B6));

QString resourceLanguage(const QString& file)
{
    return QStringLiteral(ZV_SOURCE_DIR "/resources/LANGUAGE/") + file;
}

} // namespace

class TestLang : public QObject
{
    Q_OBJECT
private slots:
    void lineGrammar_data();
    void lineGrammar();
    void decoding_data();
    void decoding();
    void laterLineWinsAndOthersKeepDefaults();
    void everyLoadStartsFromDefaults();
    void defaults();
    void englishFileMatchesDefaults();
    void italianCoversEveryShownText();
    void formatEntryRoundTrips_data();
    void formatEntryRoundTrips();
    void missingLanguageFallsBackToEnglish();
    void formatFillsNumbersInOrder();
};

void TestLang::lineGrammar_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");

    QTest::newRow("plain") << "STR12 = Information" << 12 << "Information";
    QTest::newRow("no separator takes a digit") << "STR12=Information" << 1 << "Information";
    QTest::newRow("empty index") << "STR1=Text" << -1 << "";
    QTest::newRow("blanks everywhere") << "   STR5   =   Hello   " << 5 << "Hello";
    QTest::newRow("tabs and controls trimmed") << "\tSTR7 = tab\t\x01" << 7 << "tab";
    QTest::newRow("blank inside index") << "STR 5 = x" << 5 << "x";
    QTest::newRow("comment cut") << "STR5 = Hello /#/ translator's note" << 5 << "Hello";
    QTest::newRow("only a comment") << "STR5 = /#/ only a note" << -1 << "";
    QTest::newRow("empty text") << "STR5 = " << -1 << "";
    QTest::newRow("quoted keeps blanks")
        << QStringLiteral("STR5 = %1  Hello %1 rest").arg(Pilcrow) << 5 << "  Hello ";
    QTest::newRow("comment before quote")
        << QStringLiteral("STR5 = %1Hello /#/ x%1").arg(Pilcrow) << 5 << "Hello";
    QTest::newRow("quote inside ends text")
        << QStringLiteral("STR5 = Hello%1World").arg(Pilcrow) << 5 << "Hello";
    QTest::newRow("further equals belong to text") << "STR5 = a = b" << 5 << "a = b";
    QTest::newRow("lower case marker") << "str5 = x" << -1 << "";
    QTest::newRow("negative index") << "STR-1 = x" << -1 << "";
    QTest::newRow("not a number") << "STRx = x" << -1 << "";
    QTest::newRow("hex is not decimal") << "STR$1F = x" << -1 << "";
    QTest::newRow("past the table") << "STR5600 = x" << -1 << "";
    QTest::newRow("last entry") << "STR5599 = x" << 5599 << "x";
    QTest::newRow("no equals") << "STR5 Hello" << -1 << "";
    QTest::newRow("marker not first") << "X STR5 = x" << -1 << "";
    QTest::newRow("blank line") << "   " << -1 << "";
}

void TestLang::lineGrammar()
{
    QFETCH(QString, line);
    QFETCH(int, index);
    QFETCH(QString, text);
    const LanguageFile::Entry e = LanguageFile::parseLine(line);
    QCOMPARE(e.index, index);
    if (index >= 0)
        QCOMPARE(e.text, text);
}

void TestLang::decoding_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("lines");

    const QString agrave = QString(QChar(0xE0));
    QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBFSTR1 = citt\xC3\xA0\r\nSTR2 = b")
                               << QStringList{QStringLiteral("STR1 = citt") + agrave,
                                              QStringLiteral("STR2 = b")};
    QTest::newRow("utf-16le bom") << QByteArray("\xFF\xFES\0=\0\xE0\0\n\0x\0", 12)
                                  << QStringList{QStringLiteral("S=") + agrave, QStringLiteral("x")};
    QTest::newRow("utf-16be bom") << QByteArray("\xFE\xFF\0S\0=\0\xE0\0\r\0x", 12)
                                  << QStringList{QStringLiteral("S=") + agrave, QStringLiteral("x")};
    // Without a mark the bytes are the ANSI page: 0xE0 is a-grave, 0x80 the euro sign.
    QTest::newRow("ansi") << QByteArray("a\xE0\x80\rb")
                          << QStringList{QStringLiteral("a") + agrave + QChar(0x20AC), QStringLiteral("b")};
    QTest::newRow("mixed line ends") << QByteArray("a\r\nb\nc\rd\r\n")
                                     << QStringList{QStringLiteral("a"), QStringLiteral("b"),
                                                    QStringLiteral("c"), QStringLiteral("d")};
    QTest::newRow("empty lines kept")
        << QByteArray("a\n\nb") << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
}

void TestLang::decoding()
{
    QFETCH(QByteArray, data);
    QFETCH(QStringList, lines);
    QCOMPARE(LanguageFile::decodeLines(data), lines);
}

void TestLang::laterLineWinsAndOthersKeepDefaults()
{
    StringTable t;
    t.buildDefaults();
    LanguageFile::apply("STR12 = first\nSTR12 = second\ngarbage\nSTR13 =\n", t);
    QCOMPARE(t.text(12), QStringLiteral("second"));
    QCOMPARE(t.text(13), defaultTexts().at(13));
    QCOMPARE(t.text(18), QStringLiteral("Error! Project not Valid"));
}

void TestLang::everyLoadStartsFromDefaults()
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("A.lng")), "STR0 = Inizio\nSTR1 = Passo 1\n");
    writeFile(dir.filePath(QStringLiteral("B.lng")), "STR0 = Anfang\n");
    StringTable t;
    QVERIFY(t.load(dir.path(), QStringLiteral("A")).languageFileFound);
    QCOMPARE(t.text(1), QStringLiteral("Passo 1"));
    QVERIFY(t.load(dir.path(), QStringLiteral("B")).languageFileFound);
    QCOMPARE(t.text(0), QStringLiteral("Anfang"));
    QCOMPARE(t.text(1), QStringLiteral("Step 1"));
}

void TestLang::defaults()
{
    const QStringList& d = defaultTexts();
    QCOMPARE(d.size(), StringTable::Size);
    for (int i = 0; i < d.size(); ++i)
        QVERIFY2(!d.at(i).isEmpty(), qPrintable(QString::number(i)));
    QCOMPARE(d.at(0), QStringLiteral("Begin"));
    QCOMPARE(d.at(9), QStringLiteral("None Configuration Opened "));
    QCOMPARE(d.at(18), QStringLiteral("Error! Project not Valid"));
    QCOMPARE(d.at(304), QStringLiteral("Selected Language : "));
    QCOMPARE(d.at(5599), QStringLiteral(" "));
    QCOMPARE(d.at(37), QStringLiteral(" "));

    QString error;
    parseDefaultTexts("12\tok\nnot an entry\n", &error);
    QVERIFY(!error.isEmpty());
    const QStringList parsed = parseDefaultTexts("3\ta\\nb \\\\ c\n");
    QCOMPARE(parsed.at(3), QStringLiteral("a\nb \\ c"));
}

void TestLang::englishFileMatchesDefaults()
{
    StringTable t;
    t.buildDefaults();
    for (int i = 0; i < StringTable::Size; ++i)
        t.set(i, QStringLiteral("\x01"));
    QVERIFY(LanguageFile::applyFile(resourceLanguage(QStringLiteral("English.lng")), t).isEmpty());
    for (int i = 0; i < StringTable::Size; ++i) {
        const QString def = defaultTexts().at(i);
        if (def == QStringLiteral(" ") && t.text(i) == QStringLiteral("\x01"))
            continue;
        QVERIFY2(t.text(i) == def, qPrintable(QStringLiteral("%1: '%2' vs '%3'").arg(i).arg(t.text(i), def)));
    }
}

void TestLang::italianCoversEveryShownText()
{
    StringTable it;
    it.buildDefaults();
    for (int i = 0; i < StringTable::Size; ++i)
        it.set(i, QString());
    QVERIFY(LanguageFile::applyFile(resourceLanguage(QStringLiteral("Italian.lng")), it).isEmpty());
    auto shownHere = [](int i) { return i < 1700 || (i >= 3346 && i <= 3348) || i >= 5400; };
    const QRegularExpression number(QStringLiteral("%d"));
    for (int i = 0; i < StringTable::Size; ++i) {
        const QString en = defaultTexts().at(i);
        if (!shownHere(i) || en == QStringLiteral(" "))
            continue;
        const QString tr = it.text(i);
        QVERIFY2(!tr.isEmpty(), qPrintable(QStringLiteral("no Italian text for %1").arg(i)));
        // Texts are joined with names and numbers: keep their blanks and places.
        QVERIFY2(en.startsWith(u' ') == tr.startsWith(u' ') && en.endsWith(u' ') == tr.endsWith(u' '),
                 qPrintable(QString::number(i)));
        QCOMPARE(tr.count(number), en.count(number));
    }
}

void TestLang::formatEntryRoundTrips_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "Begin";
    QTest::newRow("trailing blank") << "None Configuration Opened ";
    QTest::newRow("leading blank") << " / ";
    QTest::newRow("single blank") << " ";
    QTest::newRow("equals") << "a = b";
}

void TestLang::formatEntryRoundTrips()
{
    QFETCH(QString, text);
    const LanguageFile::Entry e = LanguageFile::parseLine(LanguageFile::formatEntry(42, text));
    QCOMPARE(e.index, 42);
    QCOMPARE(e.text, text);
}

void TestLang::missingLanguageFallsBackToEnglish()
{
    QTemporaryDir dir;
    ProgramState state(dir.path());
    state.createFolders();
    writeFile(QDir(state.languageFolder).filePath(QStringLiteral("English.lng")), "STR0 = Start here\n");
    state.language = QStringLiteral("Klingon");
    QVERIFY(state.loadStrings().isEmpty());
    QCOMPARE(state.language, QStringLiteral("English"));
    QCOMPARE(state.text(0), QStringLiteral("Start here"));

    // Without English.lng the defaults stay; an empty language is missing too.
    QFile::remove(QDir(state.languageFolder).filePath(QStringLiteral("English.lng")));
    state.language = QString();
    state.loadStrings();
    QCOMPARE(state.language, QStringLiteral("English"));
    QCOMPARE(state.text(0), QStringLiteral("Begin"));
}

void TestLang::formatFillsNumbersInOrder()
{
    StringTable t;
    t.buildDefaults();
    t.set(100, QStringLiteral("row %d rule %d of %d"));
    QCOMPARE(t.format(100, {3, 7}), QStringLiteral("row 3 rule 7 of %d"));
}

QTEST_GUILESS_MAIN(TestLang)
#include "tst_lang.moc"
