// Hostile files given to every reader of outside input: each one answers in
// bounded time and memory with a clear error (or its defaults, where the
// reader has no error to give), and never reads another file.
#include "TestFiles.h"

#include "app/SettingsFile.h"
#include "common/ProgramState.h"
#include "common/XmlLimits.h"
#include "compiler/Compiler.h"
#include "compiler/LoRaWANImage.h"
#include "lang/LanguageFile.h"
#include "lang/StringTable.h"
#include "lorawan/LoRaWANDocument.h"
#include "params/ParGenDocument.h"
#include "update/UpdateJob.h"
#include "update/UpdateJobReader.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace Qt::StringLiterals;

namespace {

enum class Reader { Settings, ParGenEditor, ParGenCompiler, LoRaWANEditor, LoRaWANCompiler, Job };

// A text that lives only in a file the documents point at: it must never show up.
const QByteArray Secret = "SECRET_5f3c";

QString rootOf(Reader reader)
{
    switch (reader) {
    case Reader::Settings:
        return u"Conf_Settings"_s;
    case Reader::ParGenEditor:
    case Reader::ParGenCompiler:
        return u"Par_Gen"_s;
    case Reader::LoRaWANEditor:
    case Reader::LoRaWANCompiler:
        return u"LoRaWAN_Gateway"_s;
    case Reader::Job:
        return u"Ethernet_Update"_s;
    }
    return {};
}

QByteArray entityBomb(const QByteArray& root)
{
    QByteArray dtd = "<!ENTITY e0 \"" + QByteArray(10, 'x') + "\">";
    for (int i = 1; i < 10; ++i) {
        QByteArray refs;
        for (int j = 0; j < 10; ++j)
            refs += "&e" + QByteArray::number(i - 1) + ";";
        dtd += "<!ENTITY e" + QByteArray::number(i) + " \"" + refs + "\">";
    }
    return "<!DOCTYPE " + root + " [" + dtd + "]><" + root + "><a>&e9;</a></" + root + ">";
}

// One entity just under Qt's own expansion limit, referenced a million times.
QByteArray quadraticBlowup(const QByteArray& root)
{
    QByteArray refs;
    for (int i = 0; i < 1000000; ++i)
        refs += "&b;";
    return "<!DOCTYPE " + root + " [<!ENTITY b \"" + QByteArray(4000, 'y') + "\">]><" + root + "><a>" + refs +
           "</a></" + root + ">";
}

QByteArray deepNesting(const QByteArray& root, int depth)
{
    return "<" + root + ">" + QByteArray("<n>").repeated(depth) + QByteArray("</n>").repeated(depth) + "</" +
           root + ">";
}

QByteArray garbage()
{
    QRandomGenerator random(4242);
    QByteArray bytes(64 * 1024, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

#ifdef Q_OS_UNIX
// While it lives, no file of this process may grow past the given size:
// writes beyond it fail as they do on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};
#endif

} // namespace

class TestHostileInput : public QObject
{
    Q_OBJECT

    struct Outcome
    {
        QString error;   // what the user is told; empty when nothing
        QString visible; // every text the reader gave back
        bool defaults = false;
    };

    QTemporaryDir m_dir;

    QString folder(const QString& name)
    {
        const QString path = m_dir.filePath(name);
        QDir(path).removeRecursively();
        QDir().mkpath(path);
        return path;
    }

    // Places the document where the reader looks for it and reads it.
    Outcome run(Reader reader, const QByteArray& document, bool asFolder = false)
    {
        const QString dir = folder(u"case"_s);
        const auto place = [&](const QString& name) {
            const QString path = QDir(dir).filePath(name);
            if (asFolder)
                QDir().mkpath(path); // exists, but cannot be read as a file
            else
                writeFile(path, document);
            return path;
        };
        Outcome out;
        switch (reader) {
        case Reader::Settings: {
            ProgramState state(dir);
            state.language = u"Italian"_s;
            place(u"Zuvurazaru.xml"_s);
            SettingsFile::read(state);
            out.visible = state.configurationName + state.lastDeviceAddress + state.language;
            out.defaults = state.language == Product::DefaultLanguage && state.configurationName.isEmpty() &&
                           state.lastDeviceAddress == Product::DefaultDeviceAddress;
            break;
        }
        case Reader::ParGenEditor: {
            const ParGenDocument::ReadResult r = ParGenDocument::load(place(u"ParGen.xml"_s));
            out.error = r.error;
            out.defaults = r.values == ParGenValues();
            break;
        }
        case Reader::ParGenCompiler: {
            place(u"ParGen.xml"_s);
            out.error = Compile_Configuration(dir).error;
            break;
        }
        case Reader::LoRaWANEditor: {
            const LoRaWANDocument::ReadResult r = LoRaWANDocument::load(place(u"LoRaWAN_Gateway.xml"_s), true);
            out.error = r.error;
            for (const TDeviceLoRa& d : r.devices)
                out.visible += d.DeviceName + d.Mnemonic;
            out.defaults = r.devices.isEmpty();
            break;
        }
        case Reader::LoRaWANCompiler: {
            writeFile(QDir(dir).filePath(u"ParGen.xml"_s), ParGenDocument::write(ParGenValues()));
            place(u"LoRaWAN_Gateway.xml"_s);
            out.error = Compile_Configuration(dir).error;
            break;
        }
        case Reader::Job: {
            const UpdateJobReader::Result r = UpdateJobReader::load(place(u"Ethernet_Update.xml"_s));
            out.error = r.error;
            out.visible = r.job.title + r.job.version;
            break;
        }
        }
        out.visible += out.error;
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        writeFile(m_dir.filePath(u"secret.txt"_s), Secret);
        writeFile(m_dir.filePath(u"secret.dtd"_s), "<!ENTITY s \"" + Secret + "\">");
    }

    // Every reader refuses what no document of ours holds; a reader without
    // an error to give (the settings) falls back to its defaults.
    void xmlDocuments_data()
    {
        QTest::addColumn<int>("reader");
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<QString>("expected"); // part of the error; empty: any error

        const QList<std::pair<Reader, const char*>> readers = {
            {Reader::Settings, "settings"},          {Reader::ParGenEditor, "ParGen editor"},
            {Reader::ParGenCompiler, "ParGen compiler"}, {Reader::LoRaWANEditor, "LoRaWAN editor"},
            {Reader::LoRaWANCompiler, "LoRaWAN compiler"}, {Reader::Job, "job"},
        };
        const QList<std::pair<const char*, QString>> kinds = {
            {"entity bomb", u"declares entities"_s},
            {"quadratic blowup", u"declares entities"_s},
            {"external entity", u"declares entities"_s},
            {"deep nesting", u"nests elements more than 256 deep"_s},
            {"huge attribute", u"holds more than %1 characters"_s.arg(XmlLimits::MaxAttributeLength)},
            {"binary garbage", QString()},
            {"empty file", QString()},
            {"folder in its place", QString()},
        };
        for (const auto& [reader, readerName] : readers) {
            for (const auto& [kind, expected] : kinds)
                QTest::newRow(qPrintable(u"%1, %2"_s.arg(QLatin1String(readerName), QLatin1String(kind))))
                    << int(reader) << QByteArray(kind) << expected;
        }
    }

    void xmlDocuments()
    {
        QFETCH(int, reader);
        QFETCH(QByteArray, kind);
        QFETCH(QString, expected);
        const Reader r = Reader(reader);
        const QByteArray root = rootOf(r).toLatin1();
        const QString secretPath = QUrl::fromLocalFile(m_dir.filePath(u"secret.txt"_s)).toString();

        QByteArray document;
        bool asFolder = false;
        if (kind == "entity bomb")
            document = entityBomb(root);
        else if (kind == "quadratic blowup")
            document = quadraticBlowup(root);
        else if (kind == "external entity")
            document = "<!DOCTYPE " + root + " [<!ENTITY s SYSTEM \"" + secretPath.toUtf8() + "\">]><" + root +
                       "><a>&s;</a></" + root + ">";
        else if (kind == "deep nesting")
            document = deepNesting(root, 100000);
        else if (kind == "huge attribute")
            document = "<" + root + "><a v=\"" + QByteArray(8 * 1024 * 1024, 'v') + "\"/></" + root + ">";
        else if (kind == "binary garbage")
            document = garbage();
        else if (kind == "folder in its place")
            asFolder = true;

        // A job is small: a larger one is refused for its size before it is parsed.
        if (r == Reader::Job && document.size() > UpdateJobReader::MaxFileSize)
            expected = u"accepted"_s;
        const Outcome out = run(r, document, asFolder);
        QVERIFY2(!out.visible.contains(QString::fromLatin1(Secret)), qPrintable(out.visible.left(200)));
        if (r == Reader::Settings) {
            QVERIFY(out.defaults);
            return;
        }
        // The compiler reads the LoRaWAN document only when it exists as a file.
        if (r == Reader::LoRaWANCompiler && asFolder) {
            QVERIFY(!out.error.isEmpty());
            return;
        }
        QVERIFY2(!out.error.isEmpty(), kind.constData());
        if (!expected.isEmpty())
            QVERIFY2(out.error.contains(expected), qPrintable(out.error.left(300)));
        if (r == Reader::ParGenEditor || r == Reader::LoRaWANEditor)
            QVERIFY(out.defaults);
    }

    // A DTD naming an outside file is never read: the document reads as if it were not there.
    void externalDtdNeverRead_data()
    {
        QTest::addColumn<int>("reader");
        QTest::newRow("settings") << int(Reader::Settings);
        QTest::newRow("ParGen editor") << int(Reader::ParGenEditor);
        QTest::newRow("ParGen compiler") << int(Reader::ParGenCompiler);
        QTest::newRow("LoRaWAN editor") << int(Reader::LoRaWANEditor);
        QTest::newRow("LoRaWAN compiler") << int(Reader::LoRaWANCompiler);
        QTest::newRow("job") << int(Reader::Job);
    }

    void externalDtdNeverRead()
    {
        QFETCH(int, reader);
        const QByteArray root = rootOf(Reader(reader)).toLatin1();
        const QByteArray dtd = QUrl::fromLocalFile(m_dir.filePath(u"secret.dtd"_s)).toString().toUtf8();
        const QByteArray document =
            "<!DOCTYPE " + root + " SYSTEM \"" + dtd + "\"><" + root + "><a m=\"&s;\">&s;</a></" + root + ">";
        const Outcome out = run(Reader(reader), document);
        QVERIFY2(!out.visible.contains(QString::fromLatin1(Secret)), qPrintable(out.visible.left(200)));
    }

    // Nesting up to the limit is still a document; one level more is refused.
    void nestingLimit()
    {
        const QByteArray at = deepNesting("LoRaWAN_Gateway", XmlLimits::MaxDepth - 1);
        QCOMPARE(XmlLimits::check(at), QString());
        QVERIFY(!XmlLimits::check(deepNesting("LoRaWAN_Gateway", XmlLimits::MaxDepth)).isEmpty());
        const LoRaWANDocument::ReadResult r = LoRaWANDocument::read(at, true);
        QVERIFY2(r.error.contains(u"has no LoRaWAN_Devices_List"_s), qPrintable(r.error));
    }

    // 100 000 devices: the editor takes the 1000 its table holds and counts
    // the rest; the compiler refuses an image larger than the bank.
    void hundredThousandDevices()
    {
        const QByteArray device =
            "<D Enable=\"Y\" DeviceEUI=\"0004A30B001C0530\" JoinEUI=\"\" DeviceName=\"n\" ActivationMethod=\"\""
            " NetworkSessionKey=\"\" ApplicationSessionKey=\"\" ApplicationKey=\"\" DeviceAddress=\"\""
            " Mnemonic=\"\"><LoRaWAN_Rules><LoRaWAN_UpLink_Rules/><LoRaWAN_DownLink_Rules/></LoRaWAN_Rules></D>";
        const QByteArray document =
            "<LoRaWAN_Gateway><LoRaWAN_Devices_List>" + device.repeated(100000) + "</LoRaWAN_Devices_List></LoRaWAN_Gateway>";
        QVERIFY(document.size() < LoRaWANDocument::MaxFileSize);

        const LoRaWANDocument::ReadResult r = LoRaWANDocument::read(document, true);
        QCOMPARE(r.error, QString());
        QCOMPARE(r.devices.size(), 1000);
        QCOMPARE(r.skippedDevices, 99000);

        const QString dir = folder(u"many"_s);
        writeFile(QDir(dir).filePath(u"ParGen.xml"_s), ParGenDocument::write(ParGenValues()));
        writeFile(QDir(dir).filePath(u"LoRaWAN_Gateway.xml"_s), document);
        const CompileResult c = Compile_Configuration(dir);
        QVERIFY2(c.error.contains(u"more than the %1 bytes"_s.arg(LoRaWANImage::Capacity)), qPrintable(c.error));
        QVERIFY(c.image1.isEmpty() && c.image2.isEmpty());
    }

    // A document that could not be opened again is not written; the old one stays.
    void oversizedDocumentNotWritten()
    {
        const QString dir = folder(u"oversized"_s);
        const QString path = QDir(dir).filePath(u"LoRaWAN_Gateway.xml"_s);
        writeFile(path, "old");
        TDeviceLoRa d;
        d.DeviceEUI = u"0004A30B001C0530"_s;
        d.DeviceName = QString(LoRaWANDocument::MaxFileSize / 8, u'n');
        const QString error = LoRaWANDocument::save(path, QList<TDeviceLoRa>(9, d));
        QVERIFY2(error.contains(u"more than the"_s), qPrintable(error));
        QCOMPARE(readFile(path), QByteArray("old"));
    }

    // Language files: garbage sets nothing it should not, oversized and unreadable files are refused.
    void languageFiles_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::newRow("binary garbage") << QByteArray("binary garbage");
        QTest::newRow("empty file") << QByteArray("empty file");
        QTest::newRow("oversized") << QByteArray("oversized");
        QTest::newRow("folder in its place") << QByteArray("folder in its place");
        QTest::newRow("one endless line") << QByteArray("one endless line");
    }

    void languageFiles()
    {
        QFETCH(QByteArray, kind);
        const QString path = QDir(folder(u"lang"_s)).filePath(u"Hostile.lng"_s);
        if (kind == "binary garbage")
            writeFile(path, garbage());
        else if (kind == "empty file")
            writeFile(path, QByteArray());
        else if (kind == "oversized")
            writeFile(path, "STR1 = x\n" + QByteArray(LanguageFile::MaxFileSize, '\n'));
        else if (kind == "folder in its place")
            QDir().mkpath(path);
        else
            writeFile(path, "STR1 = " + QByteArray(8 * 1024 * 1024, 'w'));

        StringTable table;
        table.buildDefaults();
        const QString before = table.text(1);
        const QString error = LanguageFile::applyFile(path, table);
        QCOMPARE(table.count(), StringTable::Size);
        if (kind == "oversized" || kind == "folder in its place") {
            QVERIFY(!error.isEmpty());
            QCOMPARE(table.text(1), before);
        } else if (kind == "one endless line") {
            QCOMPARE(error, QString());
            QCOMPARE(table.text(1).size(), 8 * 1024 * 1024);
        } else {
            QCOMPARE(error, QString());
        }
    }

    // The disk fills up part-way through a save: the old file stays whole,
    // no temporary is left behind, and the caller gets the reason to show.
    void fullDiskKeepsOldFile_data()
    {
        QTest::addColumn<QString>("writer");
        for (const char* w : {"settings", "ParGen", "LoRaWAN", "job", "images"})
            QTest::newRow(w) << QString::fromLatin1(w);
    }

    void fullDiskKeepsOldFile()
    {
#ifndef Q_OS_UNIX
        QSKIP("needs a file size limit");
#else
        QFETCH(QString, writer);
        const QString dir = folder(u"full"_s);
        QString target;
        QString error;
        if (writer == u"settings") {
            ProgramState state(dir);
            target = SettingsFile::path(state);
            writeFile(target, "old settings");
            state.configurationName = QString(200, u'c');
            const FileSizeLimit limit(64);
            error = SettingsFile::write(state);
        } else if (writer == u"ParGen") {
            target = QDir(dir).filePath(u"ParGen.xml"_s);
            writeFile(target, "old settings");
            const FileSizeLimit limit(512);
            error = ParGenDocument::save(target, ParGenValues());
        } else if (writer == u"LoRaWAN") {
            target = QDir(dir).filePath(u"LoRaWAN_Gateway.xml"_s);
            writeFile(target, "old devices");
            TDeviceLoRa d;
            d.DeviceEUI = u"0004A30B001C0530"_s;
            const FileSizeLimit limit(512);
            error = LoRaWANDocument::save(target, QList<TDeviceLoRa>(20, d));
        } else if (writer == u"job") {
            target = UpdateJob::jobPath(dir);
            writeFile(target, "old job");
            UpdateJob::Input input;
            input.deviceAddress = u"192.168.2.205"_s;
            input.masterFolder = dir;
            input.configurationFolder = dir;
            const FileSizeLimit limit(256);
            error = UpdateJob::write(dir, input);
        } else {
            // bank1.bin fits, bank2.bin does not: bank1.bin must go back as it was.
            QDir().mkpath(QDir(dir).filePath(u"bin"_s));
            target = QDir(dir).filePath(u"bin/bank2.bin"_s);
            writeFile(QDir(dir).filePath(u"bin/bank1.bin"_s), "old bank1");
            writeFile(target, "old bank2");
            CompileResult result;
            result.image1 = QByteArray(2048, 'a');
            result.image2 = QByteArray(8192, 'b');
            const FileSizeLimit limit(4096);
            error = Write_Images(dir, result);
            QCOMPARE(readFile(QDir(dir).filePath(u"bin/bank1.bin"_s)), QByteArray("old bank1"));
        }
        QVERIFY2(!error.isEmpty(), qPrintable(writer));
        QVERIFY2(error.contains(QFileInfo(target).fileName()), qPrintable(error));
        const QByteArray old = writer == u"settings" || writer == u"ParGen" ? "old settings"
                               : writer == u"LoRaWAN"                       ? "old devices"
                               : writer == u"job"                           ? "old job"
                                                                            : "old bank2";
        QCOMPARE(readFile(target), old);
        const QStringList left = QDir(QFileInfo(target).path()).entryList(QDir::Files);
        for (const QString& name : left)
            QVERIFY2(!name.contains(u".tmp"_s) && !name.contains(u"XXXXXX"_s), qPrintable(left.join(u' ')));
        QCOMPARE(left.size(), writer == u"images" ? 2 : 1);
#endif
    }
};

QTEST_GUILESS_MAIN(TestHostileInput)
#include "tst_hostile_input.moc"
