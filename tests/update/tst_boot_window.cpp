#include "FakeEchoClient.h"
#include "FakeProgramRunner.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "common/ProgramState.h"
#include "update/TFBoot.h"
#include "update/UpdateJob.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct Fixture
{
    QTemporaryDir dir;
    ProgramState state{dir.path()};
    ScriptedDialogs dialogs;
    FakeProgramRunner runner;
    FakeEchoClient echo;
    std::unique_ptr<TFBoot> boot;
    Fixture()
    {
        state.createFolders();
        state.strings.buildDefaults();
        QDir(state.projectsFolder).mkdir(QStringLiteral("Plant"));
        state.configurationName = QStringLiteral("Plant");
        state.decideActiveConfiguration();
        state.Set_Files();
        boot = std::make_unique<TFBoot>(state, dialogs, runner, echo);
    }
    QLineEdit* ip(int n) { return boot->findChild<QLineEdit*>(QStringLiteral("E_IP%1").arg(n)); }
    QComboBox* options() { return boot->findChild<QComboBox*>(QStringLiteral("CB_Update_Options")); }
    QCheckBox* readBack()
    {
        return boot->findChild<QCheckBox*>(QStringLiteral("CB_Update_Option_Read_Back"));
    }
    void open()
    {
        boot->Form_Type = TFBoot::Ethernet;
        boot->show();
    }
    void setAddress(const QStringList& parts)
    {
        for (int i = 0; i < 4; ++i)
            ip(i + 1)->setText(parts.value(i));
    }
};
} // namespace

class TestBootWindow : public QObject
{
    Q_OBJECT
private slots:
    void ethernetLayoutAndPrefill();
    void rememberedAddressRejectedKeepsBoxes();
    void dotMovesToTheNextPart();
    void successfulCheckWritesTheJobAndStartsTheUpdater();
    void noAnswerAndBadAddress_data();
    void noAnswerAndBadAddress();
};

void TestBootWindow::ethernetLayoutAndPrefill()
{
    Fixture f;
    f.open();
    QCOMPARE(f.boot->windowTitle(), QStringLiteral("Update Device by Ethernet (UDP)"));
    QCOMPARE(f.boot->width(), 449);
    const int sum = f.boot->findChild<QWidget*>(QStringLiteral("P_Title"))->height() +
                    f.boot->findChild<QWidget*>(QStringLiteral("P_IP_Address"))->height() +
                    f.boot->findChild<QWidget*>(QStringLiteral("P_Options"))->height() +
                    f.boot->findChild<QWidget*>(QStringLiteral("P_Button"))->height();
    QCOMPARE(f.boot->height(), sum);
    QVERIFY(f.boot->findChild<QWidget*>(QStringLiteral("P_Serial"))->isHidden());
    QCOMPARE(f.boot->address(), QStringLiteral("192.168.2.205"));
    QCOMPARE(f.options()->count(), 3);
    QCOMPARE(f.options()->currentText(), QStringLiteral("Firmware + Configuration"));
    QVERIFY(f.readBack()->isChecked());
    QCOMPARE(f.ip(3)->accessibleName(), QStringLiteral("Insert third byte of IP Address"));
}

void TestBootWindow::rememberedAddressRejectedKeepsBoxes()
{
    Fixture f;
    f.state.lastDeviceAddress = QStringLiteral("300.1.1.1");
    f.open();
    QCOMPARE(f.boot->address(), QStringLiteral("0.0.0.0"));
}

void TestBootWindow::dotMovesToTheNextPart()
{
    Fixture f;
    f.open();
    QApplication::setActiveWindow(f.boot.get());
    f.ip(2)->setFocus();
    QTest::keyClick(f.ip(2), Qt::Key_Period);
    QCOMPARE(f.ip(2)->text(), QStringLiteral("168"));
    QTRY_VERIFY(f.ip(3)->hasFocus());
    f.ip(4)->setFocus();
    QTest::keyClick(f.ip(4), Qt::Key_Period);
    QCOMPARE(f.ip(4)->text(), QStringLiteral("205"));
    QVERIFY(f.ip(4)->hasFocus());
}

void TestBootWindow::successfulCheckWritesTheJobAndStartsTheUpdater()
{
    Fixture f;
    f.open();
    f.setAddress({QStringLiteral("127"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1")});
    f.options()->setCurrentIndex(UpdateJob::Configuration);
    f.readBack()->setChecked(false);
    QTest::mouseClick(f.boot->findChild<QPushButton*>(QStringLiteral("Btn_Update")), Qt::LeftButton);
    QVERIFY(f.dialogs.shown.isEmpty());
    QCOMPARE(f.echo.hosts.size(), 2); // stops after two answers
    QCOMPARE(f.echo.hosts.at(0), QStringLiteral("127.0.0.1"));
    QCOMPARE(f.runner.calls.size(), 1);
    QCOMPARE(f.runner.calls[0].program, UpdateJob::updaterPath(f.state.programFolder));
    QVERIFY(f.runner.calls[0].parameters.isEmpty() && !f.runner.calls[0].hidden);
    const QByteArray job = readFile(UpdateJob::jobPath(f.state.programFolder));
    QVERIFY(job.contains("<IP_Address_Dev>127.0.0.1</IP_Address_Dev>"));
    QCOMPARE(job.count("<Operation>"), 2);
    QVERIFY(!job.contains("<Ope_Read_Back>1</Ope_Read_Back>"));
    // Remembered for the next showing and the settings file.
    QCOMPARE(f.state.lastDeviceAddress, QStringLiteral("127.0.0.1"));
    f.boot->hide();
    f.open();
    QCOMPARE(f.options()->currentIndex(), int(UpdateJob::Configuration));
    QVERIFY(!f.readBack()->isChecked());
    QVERIFY(f.boot->isVisible()); // the window stays for another run or Cancel
}

void TestBootWindow::noAnswerAndBadAddress_data()
{
    QTest::addColumn<bool>("failed");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("no answer") << false << "warning"
                               << "Device Not Found!";
    QTest::newRow("unusable address") << true << "error"
                                      << "Error!!! Check the Ip Address";
}

void TestBootWindow::noAnswerAndBadAddress()
{
    QFETCH(bool, failed);
    QFETCH(QString, kind);
    QFETCH(QString, message);
    Fixture f;
    f.echo.script = {
        EchoClient::Reply{failed, failed ? QStringLiteral("cannot resolve") : QString(), !failed, 0}};
    f.open();
    f.setAddress({QStringLiteral(" 10"), QStringLiteral("abc"), QStringLiteral("0"), QStringLiteral("1")});
    f.boot->Btn_UpdateClick();
    QCOMPARE(f.echo.hosts.value(0), QStringLiteral(" 10.abc.0.1")); // passed as typed
    QCOMPARE(f.dialogs.texts(kind), QStringList{message});
    QVERIFY(f.runner.calls.isEmpty());
    QVERIFY(!QFileInfo::exists(UpdateJob::jobPath(f.state.programFolder)));
    QCOMPARE(f.state.lastDeviceAddress, QStringLiteral("192.168.2.205"));
}

QTEST_MAIN(TestBootWindow)
#include "tst_boot_window.moc"
