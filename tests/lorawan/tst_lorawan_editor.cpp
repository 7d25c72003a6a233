#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "common/Grid.h"
#include "common/GridModel.h"
#include "common/ProgramState.h"
#include "lorawan/LoRaWANDocument.h"
#include "lorawan/TFLoRaWAN_Gateway.h"

#include <QAbstractButton>
#include <QDir>
#include <QHeaderView>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

struct Fixture
{
    QTemporaryDir dir;
    ProgramState state{dir.path()};
    ScriptedDialogs dialogs;
    std::unique_ptr<TFLoRaWAN_Gateway> editor;

    Fixture()
    {
        state.createFolders();
        state.strings.buildDefaults();
        QDir(state.projectsFolder).mkdir(QStringLiteral("Plant"));
        state.configurationName = QStringLiteral("Plant");
        state.decideActiveConfiguration();
        state.Set_Files();
        editor = std::make_unique<TFLoRaWAN_Gateway>(state, dialogs);
    }
    QString docPath() const { return state.documentPath(Document::LoRaWAN_Gateway); }
    void parGen(const QByteArray& xml) { writeFile(state.documentPath(Document::ParGen), xml); }
    void open() { editor->show(); }
    GridModel* dev() const { return editor->deviceModel(); }
    GridModel* up() const { return editor->uplinkModel(); }
    GridModel* down() const { return editor->downlinkModel(); }
    // Types a cell as the user does (through the view's edit path).
    void type(GridModel* m, int col, int row, const QString& text)
    {
        QVERIFY(m->setData(m->indexOf(col, row), text, Qt::EditRole));
    }
    void device(int row, const QString& eui, bool otaa, const QString& name)
    {
        type(dev(), 2, row, eui);
        type(dev(), 3, row, QStringLiteral("70B3D57ED0000001"));
        type(dev(), 4, row, name);
        type(dev(), 5, row, otaa ? LoRaWAN::OTAA : LoRaWAN::ABP);
        if (otaa) {
            type(dev(), 8, row, QStringLiteral("00112233445566778899AABBCCDDEEFF"));
        } else {
            type(dev(), 6, row, QStringLiteral("0123456789ABCDEF0123456789ABCDEF"));
            type(dev(), 7, row, QStringLiteral("FEDCBA9876543210FEDCBA9876543210"));
        }
        type(dev(), 9, row, QStringLiteral("26011B%1").arg(row, 2, 10, QLatin1Char('0')));
        type(dev(), 10, row, QStringLiteral("A"));
        type(dev(), 11, row, QStringLiteral("60000"));
    }
    void uplink(int row, const QString& port, const QString& position)
    {
        type(up(), 2, row, port);
        type(up(), 7, row, QStringLiteral("0"));
        type(up(), 8, row, QStringLiteral("4"));
        type(up(), 9, row, position);
    }
    void downlink(int row, const QString& port, const QString& position)
    {
        type(down(), 2, row, port);
        type(down(), 3, row, QStringLiteral("0"));
        type(down(), 4, row, QStringLiteral("2"));
        type(down(), 9, row, position);
    }
    void focus(TFLoRaWAN_Gateway::Table t, int col, int row)
    {
        editor->Grid_Enter(t);
        editor->grid(t)->setCurrentCell(col, row);
    }
    QList<TDeviceLoRa> saved() const { return LoRaWANDocument::load(docPath(), true).devices; }
};

} // namespace

class TestLoRaWANEditor : public QObject
{
    Q_OBJECT
private slots:
    void opensEmpty();
    void threeDevicesRoundTrip();
    void activationRuleLocksKeys();
    void rulesFollowTheirDevice();
    void deleteAsksAndKeepsLastRowEditable();
    void copyPasteBetweenTables();
    void saveBoundaries();
    void validationKeepsWindowAndFile();
    void endNodeMode();
    void endNodeKeepsFirstDeviceOnly();
    void us915PickList();
    void brokenDocument();
    void moreThanTheTablesHold();
    void failedSave();
    void accessibleNames();
};

void TestLoRaWANEditor::opensEmpty()
{
    Fixture f;
    f.open();
    QCOMPARE(f.editor->windowTitle(), QStringLiteral("LoRaWAN Gateway Access"));
    QVERIFY(f.editor->ModeMaster());
    QCOMPARE(f.dev()->dataRows(), 1000);
    QCOMPARE(f.up()->dataRows(), 1024);
    QVERIFY(f.dev()->checked(1, 1) && f.dev()->checked(1, 1000));
    QCOMPARE(f.up()->text(1, 7), QStringLiteral("Y"));
    QCOMPARE(f.up()->text(5, 7), QStringLiteral("N"));
    QCOMPARE(f.down()->text(7, 1024), QStringLiteral("N"));
    QCOMPARE(f.dev()->headerData(11, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("RX2 Datarate"));
    QCOMPARE(f.editor->findChild<QTabWidget*>(QStringLiteral("PC_LoRaWAN_Device_Rules_List"))->tabText(0),
             QStringLiteral("Uplink Rules"));
    QCOMPARE(f.editor->Last_Grid(), int(TFLoRaWAN_Gateway::Devices));
    // OK on an empty editor writes a document without devices.
    f.editor->Btn_OKClick();
    QVERIFY(f.dialogs.shown.isEmpty());
    QVERIFY(f.saved().isEmpty());
    QVERIFY(readFile(f.docPath()).contains("<LoRaWAN_Devices_List></LoRaWAN_Devices_List>") ||
            readFile(f.docPath()).contains("<LoRaWAN_Devices_List/>"));
}

void TestLoRaWANEditor::threeDevicesRoundTrip()
{
    Fixture f;
    f.open();
    f.device(1, QStringLiteral("0004A30B001C0530"), false, QStringLiteral("meter"));
    f.device(2, QStringLiteral("0004A30B001C0531"), true, QStringLiteral("valve"));
    f.device(3, QStringLiteral("0004A30B001C0532"), false, QStringLiteral("spare"));
    QVERIFY(f.dev()->setData(f.dev()->indexOf(1, 3), Qt::Unchecked, Qt::CheckStateRole));
    f.editor->Save_Device_List();

    f.editor->selectDevice(1);
    f.uplink(1, QStringLiteral("1"), QStringLiteral("0"));
    f.uplink(2, QStringLiteral("2"), QStringLiteral("4"));
    f.downlink(1, QStringLiteral("10"), QStringLiteral("100"));
    f.editor->selectDevice(2);
    QCOMPARE(f.up()->text(2, 1), QString()); // device 2 has no rules yet
    f.uplink(1, QStringLiteral("7"), QStringLiteral("8"));
    f.editor->selectDevice(1);
    QCOMPARE(f.up()->text(2, 2), QStringLiteral("2"));
    f.editor->selectDevice(3);
    f.downlink(1, QStringLiteral("3"), QStringLiteral("20"));
    QVERIFY(f.down()->setData(f.down()->indexOf(7, 1), Qt::Checked, Qt::CheckStateRole));
    f.type(f.down(), 8, 1, QStringLiteral("5000"));

    f.editor->Btn_OKClick();
    QCOMPARE(f.dialogs.texts(QStringLiteral("error")), QStringList());
    QVERIFY(!f.editor->isVisible());
    const QList<TDeviceLoRa> saved = f.saved();
    QCOMPARE(saved.size(), 3);
    QCOMPARE(saved[0].UpLinkRules.size(), 2);
    QCOMPARE(saved[0].DownLinkRules.size(), 1);
    QCOMPARE(saved[1].UpLinkRules.size(), 1);
    QCOMPARE(saved[1].UpLinkRules[0].Port, QStringLiteral("7"));
    QVERIFY(!saved[2].Enable);
    QVERIFY(saved[2].DownLinkRules[0].OnTimer);
    QCOMPARE(saved[1].ActMethod, LoRaWAN::OTAA);

    // Reopened: everything as entered.
    f.open();
    QCOMPARE(f.editor->DeviceList().mid(0, 3), saved);
    QCOMPARE(f.dev()->text(4, 2), QStringLiteral("valve"));
    QVERIFY(!f.dev()->checked(1, 3));
    QCOMPARE(f.up()->text(2, 2), QStringLiteral("2")); // device 1 selected at opening
}

void TestLoRaWANEditor::activationRuleLocksKeys()
{
    Fixture f;
    f.open();
    f.type(f.dev(), 5, 4, LoRaWAN::OTAA);
    QVERIFY(f.dev()->readOnly(6, 4) && f.dev()->readOnly(7, 4) && !f.dev()->readOnly(8, 4));
    f.type(f.dev(), 5, 4, LoRaWAN::ABP);
    QVERIFY(!f.dev()->readOnly(6, 4) && !f.dev()->readOnly(7, 4) && f.dev()->readOnly(8, 4));
    // An empty method counts as ABP.
    QVERIFY(!f.dev()->readOnly(6, 9) && f.dev()->readOnly(8, 9));
}

void TestLoRaWANEditor::rulesFollowTheirDevice()
{
    Fixture f;
    f.open();
    f.device(1, QStringLiteral("1111111111111111"), false, QStringLiteral("one"));
    f.device(2, QStringLiteral("2222222222222222"), false, QStringLiteral("two"));
    f.editor->Save_Device_List();
    f.editor->selectDevice(1);
    f.uplink(1, QStringLiteral("11"), QStringLiteral("0"));
    f.editor->selectDevice(2);
    f.uplink(1, QStringLiteral("22"), QStringLiteral("0"));

    // Insert above device 1: both devices move down with their rules.
    f.focus(TFLoRaWAN_Gateway::Devices, 2, 1);
    f.editor->Btn_InsRowClick();
    QCOMPARE(f.dev()->text(4, 2), QStringLiteral("one"));
    QCOMPARE(f.editor->DeviceList()[1].UpLinkRules.value(0).Port, QStringLiteral("11"));
    QCOMPARE(f.editor->DeviceList()[2].UpLinkRules.value(0).Port, QStringLiteral("22"));
    QVERIFY(f.editor->DeviceList()[0].UpLinkRules.isEmpty());
    QVERIFY(f.dev()->checked(1, 1) && !f.dev()->readOnly(2, 1));

    // Delete device "one": "two" takes its place and keeps its own rules.
    f.editor->selectDevice(2);
    f.focus(TFLoRaWAN_Gateway::Devices, 2, 2);
    f.dialogs.yesNoAnswers = {true};
    f.editor->Btn_DelRowClick();
    QCOMPARE(f.dev()->text(4, 2), QStringLiteral("two"));
    QCOMPARE(f.editor->DeviceList()[1].UpLinkRules.value(0).Port, QStringLiteral("22"));
    QCOMPARE(f.up()->text(2, 1), QStringLiteral("22")); // the rules shown follow too
}

void TestLoRaWANEditor::deleteAsksAndKeepsLastRowEditable()
{
    Fixture f;
    f.open();
    f.device(1, QStringLiteral("1111111111111111"), false, QStringLiteral("one"));
    f.focus(TFLoRaWAN_Gateway::Devices, 2, 1);
    f.dialogs.yesNoAnswers = {false};
    f.editor->Btn_DelRowClick();
    QCOMPARE(f.dialogs.texts(QStringLiteral("yesNo")),
             QStringList{QStringLiteral("Are you sure to delete the Row number 1 in Devices List Grid?")});
    QCOMPARE(f.dev()->text(4, 1), QStringLiteral("one"));
    f.dialogs.yesNoAnswers = {true};
    f.editor->Btn_DelRowClick();
    QCOMPARE(f.dev()->text(4, 1), QString());
    QVERIFY(f.dev()->checked(1, 1000));
    QVERIFY(!f.dev()->readOnly(2, 1000) && !f.dev()->readOnly(1, 1000));

    f.uplink(1, QStringLiteral("1"), QStringLiteral("0"));
    f.focus(TFLoRaWAN_Gateway::Uplink, 2, 1);
    f.dialogs.clear();
    f.dialogs.yesNoAnswers = {true};
    f.editor->Btn_DelRowClick();
    QCOMPARE(f.dialogs.texts(QStringLiteral("yesNo")),
             QStringList{QStringLiteral("Are you sure to delete the Row number 1 in Uplink Grid?")});
    QCOMPARE(f.up()->text(2, 1), QString());
    QVERIFY(!f.dialogs.unexpected);
}

void TestLoRaWANEditor::copyPasteBetweenTables()
{
    Fixture f;
    f.open();
    f.device(1, QStringLiteral("1111111111111111"), false, QStringLiteral("one"));
    f.editor->Save_Device_List();
    f.editor->selectDevice(1);
    f.uplink(1, QStringLiteral("5"), QStringLiteral("0"));
    f.focus(TFLoRaWAN_Gateway::Uplink, 2, 1);
    f.editor->Btn_CopyRowClick();
    // Into the downlink table: refused, the copy came from another table.
    f.focus(TFLoRaWAN_Gateway::Downlink, 2, 1);
    f.editor->Btn_PasteRowClick();
    QCOMPARE(f.dialogs.texts(QStringLiteral("error")),
             QStringList{QStringLiteral("Error!!! Copy a valid row before Paste it")});
    // Into the same table: a new rule.
    f.focus(TFLoRaWAN_Gateway::Uplink, 2, 2);
    f.editor->Btn_PasteRowClick();
    QCOMPARE(f.editor->DeviceList()[0].UpLinkRules.size(), 2);

    // A device row copied and pasted takes its activation lock along.
    f.type(f.dev(), 5, 1, LoRaWAN::OTAA);
    f.focus(TFLoRaWAN_Gateway::Devices, 2, 1);
    f.editor->Btn_CopyRowClick();
    f.focus(TFLoRaWAN_Gateway::Devices, 2, 5);
    f.editor->Btn_PasteRowClick();
    QCOMPARE(f.dev()->text(4, 5), QStringLiteral("one"));
    QVERIFY(f.dev()->readOnly(6, 5) && !f.dev()->readOnly(8, 5));
}

void TestLoRaWANEditor::saveBoundaries()
{
    Fixture f;
    f.open();
    f.device(1, QStringLiteral("1111111111111111"), false, QStringLiteral("one"));
    f.device(3, QStringLiteral("3333333333333333"), false, QStringLiteral("three")); // after an empty EUI
    f.editor->selectDevice(1);
    f.type(f.up(), 3, 1, QStringLiteral("0"));             // Start Test without a Port still makes a rule
    f.uplink(3, QStringLiteral("9"), QStringLiteral("0")); // after a row with both empty
    f.downlink(1, QStringLiteral("4"), QStringLiteral("0"));
    f.type(f.down(), 9, 2, QStringLiteral("7")); // no Port: ends the list
    f.downlink(3, QStringLiteral("5"), QStringLiteral("0"));
    f.editor->Save_Device_List();
    f.editor->Save_UpLink_Rules_List();
    f.editor->Save_DownLink_Rules_List();
    const TDeviceLoRa& d = f.editor->DeviceList()[0];
    QCOMPARE(d.UpLinkRules.size(), 1);
    QCOMPARE(d.UpLinkRules[0].StartTest, QStringLiteral("0"));
    QCOMPARE(d.DownLinkRules.size(), 1);
    QVERIFY(f.editor->DeviceList()[2].DeviceEUI.isEmpty());
}

void TestLoRaWANEditor::validationKeepsWindowAndFile()
{
    Fixture f;
    writeFile(f.docPath(), LoRaWANDocument::write({}));
    const QByteArray before = readFile(f.docPath());
    f.open();
    f.device(1, QStringLiteral("1111111111111111"), false, QStringLiteral("one"));
    f.device(2, QStringLiteral("22222222222222"), false, QStringLiteral("two"));
    f.editor->Btn_OKClick();
    QCOMPARE(f.dialogs.texts(QStringLiteral("error")),
             QStringList{QStringLiteral("Error Device 2!! Device EUI must have 8 bytes (16 characters)")});
    QVERIFY(f.editor->isVisible());
    QCOMPARE(readFile(f.docPath()), before);
    QCOMPARE(f.dev()->text(2, 2), QStringLiteral("22222222222222"));
}

void TestLoRaWANEditor::endNodeMode()
{
    Fixture f;
    f.parGen("<Par_Gen><LoRaWAN_Mode>End Node</LoRaWAN_Mode></Par_Gen>");
    f.open();
    QVERIFY(!f.editor->ModeMaster());
    QVERIFY(f.editor->findChild<QWidget*>(QStringLiteral("PLoRaWAN_Device_List"))->isHidden());
    auto* pages = f.editor->findChild<QTabWidget*>(QStringLiteral("PC_LoRaWAN_Device_Rules_List"));
    QCOMPARE(pages->widget(0)->objectName(), QStringLiteral("TS_LoRaWAN_Downlink_Rules_List"));
    QCOMPARE(pages->tabText(0), QStringLiteral("Uplink Rules"));
    QCOMPARE(pages->tabText(1), QStringLiteral("Downlink Rules"));
    f.uplink(1, QStringLiteral("2"), QStringLiteral("0"));
    f.downlink(1, QStringLiteral("3"), QStringLiteral("10"));
    f.editor->Btn_OKClick();
    QCOMPARE(f.dialogs.texts(QStringLiteral("error")), QStringList());
    const QList<TDeviceLoRa> saved = f.saved();
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved[0].DeviceEUI, QStringLiteral("8758453959545196"));
    QCOMPARE(saved[0].UpLinkRules.value(0).Port, QStringLiteral("2"));
    QCOMPARE(saved[0].DownLinkRules.value(0).Port, QStringLiteral("3"));
}

void TestLoRaWANEditor::endNodeKeepsFirstDeviceOnly()
{
    Fixture f;
    QList<TDeviceLoRa> three(3);
    for (int i = 0; i < 3; ++i) {
        three[i].DeviceEUI = QStringLiteral("000000000000000%1").arg(i);
        three[i].UpLinkRules.append(TRuleLoRa());
        three[i].UpLinkRules[0].Port = QString::number(i + 1);
        three[i].UpLinkRules[0].StartBit = QStringLiteral("0");
        three[i].UpLinkRules[0].NumBits = QStringLiteral("1");
        three[i].UpLinkRules[0].PosBit = QStringLiteral("0");
    }
    QVERIFY(LoRaWANDocument::save(f.docPath(), three).isEmpty());
    f.parGen("<Par_Gen><LoRaWAN_Mode>end node</LoRaWAN_Mode></Par_Gen>");
    f.open();
    QCOMPARE(f.up()->text(2, 1), QStringLiteral("1"));
    f.type(f.up(), 2, 1, QStringLiteral("40"));
    f.editor->Btn_OKClick();
    const QList<TDeviceLoRa> saved = f.saved();
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved[0].DeviceEUI, QStringLiteral("0000000000000000"));
    QCOMPARE(saved[0].UpLinkRules.value(0).Port, QStringLiteral("40"));
}

void TestLoRaWANEditor::us915PickList()
{
    Fixture f;
    f.parGen("<Par_Gen><LoRaWAN_RF_Band>US915</LoRaWAN_RF_Band></Par_Gen>");
    f.open();
    const QStringList expected = {"SF12BW500", "SF11BW500", "SF10BW500", "SF9BW500",
                                  "SF8BW500",  "SF7BW500",  ""};
    QCOMPARE(f.editor->RX2_SL(), expected);
    QCOMPARE(f.dev()->column(12).items, expected);
    QCOMPARE(f.dev()->column(12).kind, GridModel::Kind::PickList);
}

void TestLoRaWANEditor::brokenDocument()
{
    Fixture f;
    const QByteArray broken =
        "<LoRaWAN_Gateway><LoRaWAN_Devices_List><LoRaWAN_Device Enable=\"Y\" DeviceEUI=\"1111111111111111\"/>"
        "</LoRaWAN_Devices_List></LoRaWAN_Gateway>";
    writeFile(f.docPath(), broken);
    f.open();
    QCOMPARE(f.dialogs.texts(QStringLiteral("error")).size(), 1);
    QCOMPARE(f.dev()->text(2, 1), QString());
    f.editor->reject();
    QCOMPARE(readFile(f.docPath()), broken);
}

// A document with more than the tables hold: the first 1000 devices are
// shown and the user is warned that the rest will not be saved.
void TestLoRaWANEditor::moreThanTheTablesHold()
{
    Fixture f;
    TDeviceLoRa d;
    d.DeviceEUI = QStringLiteral("0004A30B001C0530");
    QList<TDeviceLoRa> devices(LoRaWAN::DeviceRows + 5, d);
    devices[LoRaWAN::DeviceRows - 1].DeviceName = QStringLiteral("last shown");
    devices[0].UpLinkRules = QList<TRuleLoRa>(LoRaWAN::RuleRows + 2, TRuleLoRa());
    writeFile(f.docPath(), LoRaWANDocument::write(devices));
    f.open();
    QCOMPARE(f.dialogs.texts(QStringLiteral("warning")),
             QStringList{f.state.strings.format(5516, {5, 2})});
    QVERIFY(f.dialogs.texts(QStringLiteral("warning")).first().contains(QStringLiteral(" 5 devices and 2 rules")));
    QCOMPARE(f.dev()->text(4, LoRaWAN::DeviceRows), QStringLiteral("last shown"));
}

void TestLoRaWANEditor::failedSave()
{
    Fixture f;
    QVERIFY(QDir().mkpath(f.docPath()));
    f.open();
    f.dialogs.clear();
    f.device(1, QStringLiteral("1111111111111111"), false, QStringLiteral("keep"));
    f.editor->Btn_OKClick();
    QCOMPARE(f.dialogs.texts(QStringLiteral("error")).size(), 1);
    QVERIFY(f.editor->isVisible());
    QCOMPARE(f.dev()->text(4, 1), QStringLiteral("keep"));
}

void TestLoRaWANEditor::accessibleNames()
{
    Fixture f;
    f.open();
    for (QWidget* w : f.editor->findChildren<QWidget*>()) {
        // Header views speak through their section texts.
        const bool control = qobject_cast<QAbstractButton*>(w) ||
                             (qobject_cast<QAbstractItemView*>(w) && !qobject_cast<QHeaderView*>(w));
        if (!control || w->isHidden() || w->objectName().startsWith(QStringLiteral("qt_")))
            continue;
        QVERIFY2(!w->accessibleName().trimmed().isEmpty(),
                 qPrintable(w->objectName() + QLatin1Char(' ') +
                            QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') +
                            w->parentWidget()->objectName()));
    }
    QCOMPARE(f.editor->grid(TFLoRaWAN_Gateway::Devices)->accessibleName(),
             QStringLiteral("LoRaWAN Gateway Devices List"));
    QCOMPARE(f.editor->grid(TFLoRaWAN_Gateway::Uplink)->accessibleName(), QStringLiteral("Uplink Rules"));
}

QTEST_MAIN(TestLoRaWANEditor)
#include "tst_lorawan_editor.moc"
