#include "update/UpdateJob.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include "TestFiles.h"

namespace {

using Element = std::pair<QString, QString>; // slash-joined path, text
using Elements = QList<Element>;

// Every element of the document in document order with its own text;
// attributes and anything unexpected show up as extra entries.
Elements parse(const QByteArray& xml)
{
    Elements out;
    QStringList path;
    QList<qsizetype> open;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            path.append(reader.name().toString());
            open.append(out.size());
            out.append({path.join(u'/'), QString()});
            for (const QXmlStreamAttribute& a : reader.attributes())
                out.append(
                    {path.join(u'/') + QStringLiteral("/@") + a.name().toString(), a.value().toString()});
            break;
        case QXmlStreamReader::Characters:
            if (!open.isEmpty())
                out[open.last()].second += reader.text();
            break;
        case QXmlStreamReader::EndElement:
            path.removeLast();
            open.removeLast();
            break;
        case QXmlStreamReader::StartDocument:
        case QXmlStreamReader::EndDocument:
            break;
        default:
            out.append({QStringLiteral("unexpected token"), reader.tokenString()});
        }
    }
    if (reader.hasError())
        out.append({QStringLiteral("parse error"), reader.errorString()});
    return out;
}

enum Kind { Firmware, Parameters, LoRaWAN };

Elements expectedOperation(Kind kind, const QString& fileName, bool readBack, bool last)
{
    const QString base = QStringLiteral("Ethernet_Update/Operations/Operation");
    auto pick = [kind](const char* firmware, const char* parameters, const char* lorawan) {
        return QString::fromLatin1(kind == Firmware ? firmware : kind == Parameters ? parameters : lorawan);
    };
    const QList<std::pair<const char*, QString>> fields = {
        {"Ope_Protection_Enabled", QString()},
        {"Ope_GoToBoot_Before", QStringLiteral("0")},
        {"Ope_GoToApp_Before", QStringLiteral("0")},
        {"Ope_IP_Address", QString()},
        {"Ope_Port", QStringLiteral("2008")},
        {"Ope_Port_Sec", QStringLiteral("2007")},
        {"Ope_Erase_Memory", QStringLiteral("0")},
        {"Ope_FileName", fileName},
        {"Ope_Start_Address", pick("0x8000", "0x07000", "0x80000")},
        {"Ope_Memory_Type", QStringLiteral("0")},
        {"Ope_Bank_Type", pick("1", "2", "2")},
        {"Ope_Read_Back", readBack ? QStringLiteral("1") : QStringLiteral("0")},
        {"Ope_Write_CSS", pick("1", "0", "0")},
        {"Ope_Address_CSS", QStringLiteral("0x07A00")},
        {"Ope_Command_CSS", QStringLiteral("0x02")},
        {"Ope_Write_Internal_Data", QStringLiteral("0")},
        {"Ope_WID_Address", QStringLiteral("0x07810")},
        {"Ope_WID_Command", QStringLiteral("0x02")},
        {"Ope_WID_Data", QStringLiteral("0x00, 0x00, 0x00, 0x01")},
        {"Ope_GoToApp_After", last ? QStringLiteral("1") : QStringLiteral("0")},
    };
    Elements out{{base, QString()}};
    for (const auto& [name, text] : fields)
        out.append({base + u'/' + QString::fromLatin1(name), text});
    return out;
}

const QString Master = QDir::toNativeSeparators(QStringLiteral("/opt/zv/MASTER"));
const QString ConfigFolder = QDir::toNativeSeparators(QStringLiteral("/opt/zv/PROJECTS/Plant 1"));

Elements expectedJob(const QString& address, const QList<Kind>& kinds, bool readBack)
{
    const QString sep = QDir::separator();
    Elements out = {
        {QStringLiteral("Ethernet_Update"), QString()},
        {QStringLiteral("Ethernet_Update/Version"), QStringLiteral("1000")},
        {QStringLiteral("Ethernet_Update/Title"), QStringLiteral("Quorvex - SWQX410 Ethernet Update")},
        {QStringLiteral("Ethernet_Update/IP_Address_Dev"), address},
        {QStringLiteral("Ethernet_Update/Application_Port"), QStringLiteral("10000")},
        {QStringLiteral("Ethernet_Update/Boot_Port"), QStringLiteral("2008")},
        {QStringLiteral("Ethernet_Update/Boot_Port_Sec"), QStringLiteral("2007")},
        {QStringLiteral("Ethernet_Update/Address_Protection"), QStringLiteral("0x07800")},
        {QStringLiteral("Ethernet_Update/Protections"), QString()},
        {QStringLiteral("Ethernet_Update/Protections/Protection"), QStringLiteral("0x457")},
        {QStringLiteral("Ethernet_Update/Operations"), QString()},
    };
    for (qsizetype i = 0; i < kinds.size(); ++i) {
        const QString file =
            kinds[i] == Firmware ? Master + sep + QStringLiteral("SimQX410.sim")
            : kinds[i] == Parameters
                ? ConfigFolder + sep + QStringLiteral("bin") + sep + QStringLiteral("bank1.bin")
                : ConfigFolder + sep + QStringLiteral("bin") + sep + QStringLiteral("bank2.bin");
        out += expectedOperation(kinds[i], file, readBack, i == kinds.size() - 1);
    }
    return out;
}

UpdateJob::Input input(const QString& address, int option, bool readBack)
{
    return UpdateJob::Input{address, option, readBack, Master, ConfigFolder};
}

} // namespace

Q_DECLARE_METATYPE(QList<Kind>)

class TestUpdateJob : public QObject
{
    Q_OBJECT

private slots:
    void document_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("option");
        QTest::addColumn<bool>("readBack");
        QTest::addColumn<QList<Kind>>("kinds");

        const QString a = QStringLiteral("192.168.2.205");
        QTest::newRow("firmware + configuration") << a << int(UpdateJob::FirmwareAndConfiguration) << true
                                                  << QList<Kind>{Firmware, Parameters, LoRaWAN};
        QTest::newRow("firmware only") << a << int(UpdateJob::Firmware) << true << QList<Kind>{Firmware};
        QTest::newRow("configuration only")
            << a << int(UpdateJob::Configuration) << true << QList<Kind>{Parameters, LoRaWAN};
        QTest::newRow("no read-back, all") << a << int(UpdateJob::FirmwareAndConfiguration) << false
                                           << QList<Kind>{Firmware, Parameters, LoRaWAN};
        QTest::newRow("no read-back, firmware")
            << a << int(UpdateJob::Firmware) << false << QList<Kind>{Firmware};
        // The address is carried exactly as typed, and markup in it stays text.
        QTest::newRow("address as typed") << QStringLiteral(" 10.0.0.<1>&") << int(UpdateJob::Configuration)
                                          << true << QList<Kind>{Parameters, LoRaWAN};
    }
    void document()
    {
        QFETCH(QString, address);
        QFETCH(int, option);
        QFETCH(bool, readBack);
        QFETCH(QList<Kind>, kinds);

        const QByteArray xml = UpdateJob::build(input(address, option, readBack));
        // Like the program's other documents: the root element first, no declaration.
        QVERIFY2(xml.startsWith("<Ethernet_Update>"), xml.left(40).constData());
        QCOMPARE(parse(xml), expectedJob(address, kinds, readBack));
    }

    void writeReplacesEarlierJob()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString job = dir.filePath(QStringLiteral("Ethernet_Update.xml"));
        QCOMPARE(QFileInfo(UpdateJob::jobPath(dir.path())).absoluteFilePath(),
                 QFileInfo(job).absoluteFilePath());
        writeFile(job, QByteArray(5000, 'x'));

        const UpdateJob::Input in = input(QStringLiteral("10.0.0.1"), UpdateJob::Firmware, false);
        QCOMPARE(UpdateJob::write(dir.path(), in), QString());
        QCOMPARE(readFile(job), UpdateJob::build(in));
        QCOMPARE(parse(readFile(job)), expectedJob(QStringLiteral("10.0.0.1"), {Firmware}, false));
    }

    void writeIntoMissingFolderFails()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString missing = dir.filePath(QStringLiteral("gone"));
        const QString error = UpdateJob::write(
            missing, input(QStringLiteral("10.0.0.1"), UpdateJob::FirmwareAndConfiguration, true));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFileInfo::exists(missing));
    }

    void updaterBesideProgram()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
#ifdef Q_OS_WIN
        const QString name = QStringLiteral("Ethernet_Update.exe");
#else
        const QString name = QStringLiteral("Ethernet_Update");
#endif
        const QFileInfo updater(UpdateJob::updaterPath(dir.path()));
        QCOMPARE(updater.fileName(), name);
        QCOMPARE(updater.absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
    }
};

QTEST_GUILESS_MAIN(TestUpdateJob)
#include "tst_update_job.moc"
