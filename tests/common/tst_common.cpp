#include "common/ProgramRunner.h"
#include "common/ProgramState.h"
#include "common/SafeWrite.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

class TestCommon : public QObject
{
    Q_OBJECT
private slots:
    void startProgramWaitsForTheEnd();
    void startProgramLeavesALongProgramRunning();
    void startProgramThatCannotStart();
    void foldersAndDocumentPaths();
    void safeWriteKeepsOldFileOnFailure();
};

void TestCommon::startProgramWaitsForTheEnd()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    SystemProgramRunner runner;
    runner.Start_Program(QStringLiteral(ZV_SLEEPER), QStringLiteral("200 \"%1\" extra").arg(out), false);
    QCOMPARE(runner.lastOutcome(), SystemProgramRunner::Outcome::Ended);
    // It returned after the program had written its file: it waited for the end.
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("200\n") + QDir::toNativeSeparators(out).toUtf8() + "\nextra\n");
}

void TestCommon::startProgramLeavesALongProgramRunning()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("late.txt"));
    SystemProgramRunner runner(300);
    runner.Start_Program(QStringLiteral(ZV_SLEEPER), QStringLiteral("1500 \"%1\"").arg(out), true);
    QCOMPARE(runner.lastOutcome(), SystemProgramRunner::Outcome::TimedOut);
    QVERIFY(!QFileInfo::exists(out));
    // Not killed at the limit: it still finishes its work.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(out), 10000);
}

void TestCommon::startProgramThatCannotStart()
{
    QTemporaryDir dir;
    SystemProgramRunner runner;
    runner.Start_Program(dir.filePath(QStringLiteral("no-such-program")), QString(), false);
    QCOMPARE(runner.lastOutcome(), SystemProgramRunner::Outcome::NotStarted);
}

void TestCommon::foldersAndDocumentPaths()
{
    QTemporaryDir dir;
    ProgramState s(dir.path() + QStringLiteral("/"));
    QCOMPARE(s.programFolder, QDir::toNativeSeparators(dir.path()));
    s.createFolders();
    for (const QString& name :
         {QStringLiteral("MASTER"), QStringLiteral("PROJECTS"), QStringLiteral("LANGUAGE")})
        QVERIFY(QFileInfo(dir.filePath(name)).isDir());

    s.Set_Files();
    QCOMPARE(s.documentPaths.size(), int(Document::Count));
    QCOMPARE(s.documentPath(Document::ParGen), QDir::separator() + QStringLiteral("ParGen.xml"));

    s.configurationName = QStringLiteral("Plant");
    s.decideActiveConfiguration();
    QVERIFY(!s.configurationActive()); // its folder does not exist
    QDir(s.projectsFolder).mkdir(QStringLiteral("Plant"));
    s.decideActiveConfiguration();
    QVERIFY(s.configurationActive());
    QCOMPARE(s.activeFolderName(), QStringLiteral("Plant"));
    s.Set_Files();
    QCOMPARE(s.documentPath(Document::LoRaWAN_Gateway), s.projectsFolder + QDir::separator() +
                                                            QStringLiteral("Plant") + QDir::separator() +
                                                            QStringLiteral("LoRaWAN_Gateway.xml"));
    QCOMPARE(s.documentPath(Document::KNX_SetAccess).section(QDir::separator(), -1),
             QStringLiteral("KNX_SetAccess.xml"));
}

void TestCommon::safeWriteKeepsOldFileOnFailure()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.xml"));
    QVERIFY(safeWrite(path, "old").isEmpty());
    QCOMPARE(QFileInfo(path).size(), 3);
    // A target that is a folder cannot be replaced.
    QDir(dir.path()).mkdir(QStringLiteral("folder.xml"));
    QVERIFY(!safeWrite(dir.filePath(QStringLiteral("folder.xml")), "x").isEmpty());
    QVERIFY(!safeWrite(dir.filePath(QStringLiteral("missing/doc.xml")), "x").isEmpty());
    QVERIFY(safeWrite(path, "new!").isEmpty());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("new!"));
}

QTEST_GUILESS_MAIN(TestCommon)
#include "tst_common.moc"
