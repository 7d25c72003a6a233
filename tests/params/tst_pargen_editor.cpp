#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "common/ProgramState.h"
#include "params/CollapsiblePanel.h"
#include "params/ParGenDocument.h"
#include "params/ParGenLists.h"
#include "params/TFParGen.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace {

struct Fixture
{
    QTemporaryDir dir;
    ProgramState state{dir.path()};
    ScriptedDialogs dialogs;
    std::unique_ptr<TFParGen> editor;

    Fixture()
    {
        state.createFolders();
        state.strings.buildDefaults();
        QDir(state.projectsFolder).mkdir(QStringLiteral("Plant"));
        state.configurationName = QStringLiteral("Plant");
        state.decideActiveConfiguration();
        state.Set_Files();
        editor = std::make_unique<TFParGen>(state, dialogs);
    }
    QString docPath() const { return state.documentPath(Document::ParGen); }
    template <typename T> T* c(const char* name) const
    {
        T* w = editor->control<T>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QLineEdit* edit(const char* name) const { return c<QLineEdit>(name); }
    QComboBox* combo(const char* name) const { return c<QComboBox>(name); }
    QCheckBox* check(const char* name) const { return c<QCheckBox>(name); }
    bool shown(const char* name) const { return !c<QWidget>(name)->isHidden(); }
    bool enabled(const char* name) const { return !c<QWidget>(name)->testAttribute(Qt::WA_ForceDisabled); }
    void open()
    {
        editor->show();
        QVERIFY(editor->isVisible());
    }
    void pressOk()
    {
        QTest::mouseClick(editor->findChild<QPushButton*>(QStringLiteral("Btn_OK")), Qt::LeftButton);
    }
    void pressCancel()
    {
        QTest::mouseClick(editor->findChild<QPushButton*>(QStringLiteral("Btn_Cancel")), Qt::LeftButton);
    }
};

using Setup = std::function<void(Fixture&)>;

} // namespace

Q_DECLARE_METATYPE(Setup)

class TestParGenEditor : public QObject
{
    Q_OBJECT
private slots:
    void newConfigurationShowsDefaultsAndOkWrites();
    void documentValuesReachTheControls();
    void deviceTypeLayout();
    void bandLayout();
    void ethernetDhcpDisablesAddress();
    void wifiLayout();
    void rowPacking();
    void dotMovesAlongTheAddress();
    void hexFieldsFilter();
    void cancelQuestion();
    void validationThroughTheWindow_data();
    void validationThroughTheWindow();
    void brokenDocumentIsReportedAndKept();
    void failedSaveKeepsTheWindowOpen();
    void accessibleNames();
};

void TestParGenEditor::newConfigurationShowsDefaultsAndOkWrites()
{
    Fixture f;
    f.open();
    QCOMPARE(f.editor->windowTitle(), QStringLiteral("Set Communication"));
    QCOMPARE(f.editor->width(), 460);
    QCOMPARE(f.editor->collect(), ParGenValues());
    QCOMPARE(f.edit("E_Ethernet_IP4")->text(), QStringLiteral("5"));
    QCOMPARE(f.combo("CB_WiFi2_Channel")->currentText(), QStringLiteral("1"));
    QCOMPARE(f.editor->panel(3)->caption(), QStringLiteral("3. LoRaWAN"));
    QVERIFY(!f.editor->changed());
    f.pressOk();
    QVERIFY(f.dialogs.shown.isEmpty());
    QVERIFY(!f.editor->isVisible());
    QCOMPARE(readFile(f.docPath()), ParGenDocument::write(ParGenValues()));
}

void TestParGenEditor::documentValuesReachTheControls()
{
    Fixture f;
    ParGenValues v;
    v.Select_Device = ParGenLists::EthernetCableAndWiFi;
    v.Eth_Conn_Device_Name = QStringLiteral("gw-north");
    v.LoRaWAN_RF_Band = 1;
    v.LoRaWAN_RX2_Datarate = 3;
    v.LoRaWAN_Frequency_Sub_Band = 2;
    v.Ethernet_IP = parGenOctets(u"10", u"0", u"0", u"010");
    v.WiFi_Type = ParGenLists::Station;
    v.WiFi_SSID = QStringLiteral("plant net");
    v.LoRaWAN_Mode = 1;
    QVERIFY(ParGenDocument::save(f.docPath(), v).isEmpty());
    f.open();
    QCOMPARE(f.edit("E_EthConn_Device_Name")->text(), QStringLiteral("gw-north"));
    QCOMPARE(f.combo("CB_LoRaWAN_RX2_Datarate")->currentText(), QStringLiteral("SF9BW500"));
    QCOMPARE(f.combo("CB_LoRaWAN_FreqSubBand")->currentText(), QStringLiteral("3"));
    QCOMPARE(f.edit("E_Ethernet_IP4")->text(), QStringLiteral("010"));
    QVERIFY(!f.editor->changed());
    // OK writes what was read, except that the mode is always the gateway's.
    f.pressOk();
    v.LoRaWAN_Mode = ParGenLists::GatewayMode;
    QCOMPARE(ParGenDocument::load(f.docPath()).values, v);
}

void TestParGenEditor::deviceTypeLayout()
{
    Fixture f;
    f.open();
    CollapsiblePanel* wifi = f.editor->panel(5);
    QVERIFY(!wifi->isEnabled() && !wifi->expanded());
    QVERIFY(!f.enabled("CB_EthConn_En_DHCP_WiFi"));
    f.combo("CB_Select_Device_Device")->setCurrentIndex(1);
    QVERIFY(wifi->isEnabled() && wifi->expanded());
    QVERIFY(f.enabled("CB_EthConn_En_DHCP_WiFi"));
    QVERIFY(f.editor->changed());
    f.combo("CB_Select_Device_Device")->setCurrentIndex(0);
    QVERIFY(!wifi->isEnabled() && !wifi->expanded());
}

void TestParGenEditor::bandLayout()
{
    Fixture f;
    f.open();
    for (const char* hidden : {"CB_LoRaWAN_Mode", "E_LoRaWAN_Server_Address", "E_LoRaWAN_Server_Port_Up",
                               "E_LoRaWAN_KeepAlive_Interval", "CB_LoRaWAN_DataRate", "E_LoRaWAN_Join_EUI",
                               "E_LoRaWAN_Application_Key", "CB_LoRaWAN_Class", "CB_LoRaWAN_FreqSubBand"})
        QVERIFY2(!f.shown(hidden), hidden);
    for (const char* visible :
         {"CB_LoRaWAN_RF_Band", "CB_LoRaWAN_Network_Type", "E_LoRaWAN_Diag_Pos", "CB_LoRaWAN_RX2_Datarate"})
        QVERIFY2(f.shown(visible), visible);
    f.combo("CB_LoRaWAN_RX2_Datarate")->setCurrentIndex(4);
    f.combo("CB_LoRaWAN_RF_Band")->setCurrentText(QStringLiteral("US915"));
    QVERIFY(f.shown("CB_LoRaWAN_FreqSubBand") && f.shown("L_LoRaWAN_FreqSubBand"));
    QCOMPARE(f.combo("CB_LoRaWAN_RX2_Datarate")->currentText(), QStringLiteral("SF12BW500"));
    QCOMPARE(f.combo("CB_LoRaWAN_DataRate")->count(), 11);
    QCOMPARE(f.combo("CB_LoRaWAN_DataRate")->currentIndex(), 0);
    f.combo("CB_LoRaWAN_RF_Band")->setCurrentText(QStringLiteral("EU868"));
    QVERIFY(!f.shown("CB_LoRaWAN_FreqSubBand"));
    QCOMPARE(f.combo("CB_LoRaWAN_RX2_Datarate")->currentText(), QStringLiteral("SF12BW125"));
    QCOMPARE(f.combo("CB_LoRaWAN_DataRate")->count(), 8);
}

void TestParGenEditor::ethernetDhcpDisablesAddress()
{
    Fixture f;
    f.open();
    f.edit("E_Ethernet_IP1")->setText(QStringLiteral("300"));
    f.check("CB_EthConn_En_DHCP_Cable")->setChecked(true);
    for (const char* name : {"E_Ethernet_IP1", "E_Ethernet_SM4", "E_Ethernet_GAT2", "CB_Ethernet_En_GAT"})
        QVERIFY2(!f.enabled(name), name);
    QVERIFY(f.enabled("E_Ethernet_TCP_Port"));
    // Still validated although disabled, and the value stays.
    f.pressOk();
    QCOMPARE(f.dialogs.texts(QStringLiteral("error")),
             QStringList{QStringLiteral("Error Ethernet!! IP Address 1 must be between 0 and 255")});
    QCOMPARE(f.edit("E_Ethernet_IP1")->text(), QStringLiteral("300"));
    f.check("CB_EthConn_En_DHCP_Cable")->setChecked(false);
    QVERIFY(f.enabled("E_Ethernet_IP1") && f.enabled("CB_Ethernet_En_GAT"));
}

void TestParGenEditor::wifiLayout()
{
    Fixture f;
    f.open();
    f.combo("CB_Select_Device_Device")->setCurrentIndex(1);
    // Access point, unsecured: no password; DHCP rows follow their box.
    QVERIFY(f.shown("CB_WiFi2_Secure_Type") && !f.shown("E_WiFi2_Password"));
    QVERIFY(f.shown("CB_WiFi2_En_DHCP") && !f.shown("E_WiFi2_DHCP_First_IP1") &&
            !f.shown("E_WiFi2_Lease_Time"));
    QVERIFY(f.shown("CB_WiFi2_Max_Client") && f.shown("CB_WiFi2_Channel"));
    QVERIFY(!f.shown("E_WiFi2_IP2_IP1") && !f.shown("L_WiFi2_IP1") && !f.shown("L_WiFi2_IP2"));
    for (int secure : {1, 2, 3}) {
        f.combo("CB_WiFi2_Secure_Type")->setCurrentIndex(secure);
        QVERIFY(f.shown("E_WiFi2_Password"));
    }
    f.combo("CB_WiFi2_Secure_Type")->setCurrentIndex(0);
    QVERIFY(!f.shown("E_WiFi2_Password"));
    f.check("CB_WiFi2_En_DHCP")->setChecked(true);
    QVERIFY(f.shown("E_WiFi2_DHCP_First_IP1") && f.shown("E_WiFi2_DHCP_SM4") &&
            f.shown("E_WiFi2_Lease_Time"));

    // Station: password always, no secure type / DHCP / clients / channel.
    f.combo("CB_WiFi2_Type")->setCurrentIndex(1);
    QVERIFY(f.shown("E_WiFi2_Password") && f.shown("E_WiFi2_SSID"));
    for (const char* hidden : {"CB_WiFi2_Secure_Type", "CB_WiFi2_En_DHCP", "E_WiFi2_DHCP_First_IP1",
                               "E_WiFi2_Lease_Time", "CB_WiFi2_Max_Client", "CB_WiFi2_Channel"})
        QVERIFY2(!f.shown(hidden), hidden);
    QVERIFY(f.enabled("E_WiFi2_IP1_IP1"));
    f.check("CB_EthConn_En_DHCP_WiFi")->setChecked(true);
    QVERIFY(!f.enabled("E_WiFi2_IP1_IP1") && !f.enabled("E_WiFi2_IP1_GAT4") &&
            !f.enabled("CB_WiFi2_IP1_En_GAT"));
    // Back to access point: its addresses are checked, so they are editable again.
    f.combo("CB_WiFi2_Type")->setCurrentIndex(0);
    QVERIFY(f.enabled("E_WiFi2_IP1_IP1") && f.enabled("CB_WiFi2_IP1_En_GAT"));
}

void TestParGenEditor::rowPacking()
{
    Fixture f;
    f.open();
    // First row: label at 12, its input 3 pixels higher; rows 28 apart, no gaps for hidden rows.
    QCOMPARE(f.c<QWidget>("L_LoRaWAN_RF_Band")->pos(), QPoint(14, 12));
    QCOMPARE(f.c<QWidget>("CB_LoRaWAN_RF_Band")->geometry(), QRect(191, 9, 238, 22));
    QCOMPARE(f.c<QWidget>("L_LoRaWAN_Network_Type")->y(), 40);
    QCOMPARE(f.c<QWidget>("L_LoRaWAN_RX2_Datarate")->y(), 96);
    QCOMPARE(f.c<QWidget>("E_Ethernet_IP3")->geometry(), QRect(313, 9, 55, 22));
    // Gateway row: octet boxes 2 pixels above the check box.
    QCOMPARE(f.c<QWidget>("CB_Ethernet_En_GAT")->y(), 68);
    QCOMPARE(f.c<QWidget>("E_Ethernet_GAT1")->y(), 66);
    const int lora = f.editor->panel(3)->contentHeight();
    f.combo("CB_LoRaWAN_RF_Band")->setCurrentIndex(1);
    QCOMPARE(f.editor->panel(3)->contentHeight(), lora + 28);
    QCOMPARE(f.c<QWidget>("L_LoRaWAN_FreqSubBand")->y(), 124);
}

void TestParGenEditor::dotMovesAlongTheAddress()
{
    Fixture f;
    f.open();
    QApplication::setActiveWindow(f.editor.get());
    QLineEdit* third = f.edit("E_Ethernet_IP3");
    third->clear();
    third->setFocus();
    QTest::keyClicks(third, QStringLiteral("1."));
    QCOMPARE(third->text(), QStringLiteral("1"));
    QTRY_VERIFY(f.edit("E_Ethernet_IP4")->hasFocus());
    QLineEdit* last = f.edit("E_Ethernet_GAT4");
    last->setFocus();
    QTest::keyClick(last, Qt::Key_Period);
    QCOMPARE(last->text(), QStringLiteral("1"));
    QVERIFY(last->hasFocus());
    // Primary DNS continues into the secondary DNS.
    f.edit("E_EthConn_Pri_DNS_IP4")->setFocus();
    QTest::keyClick(f.edit("E_EthConn_Pri_DNS_IP4"), Qt::Key_Period);
    QTRY_VERIFY(f.edit("E_EthConn_Sec_DNS_IP1")->hasFocus());
}

void TestParGenEditor::hexFieldsFilter()
{
    Fixture f;
    f.open();
    QLineEdit* eui = f.edit("E_LoRaWAN_Join_EUI");
    eui->setFocus();
    QTest::keyClicks(eui, QStringLiteral("ab-Zf 09xyzC"));
    QCOMPARE(eui->text(), QStringLiteral("ABF 09C"));
    QCOMPARE(eui->maxLength(), 16);
    QCOMPARE(f.edit("E_LoRaWAN_Device_Address")->maxLength(), 8);
    QCOMPARE(f.edit("E_EthConn_Device_Name")->maxLength(), 31);
}

void TestParGenEditor::cancelQuestion()
{
    Fixture f;
    f.open();
    f.pressCancel();
    QVERIFY(!f.editor->isVisible());
    QVERIFY(f.dialogs.shown.isEmpty());

    f.open();
    f.edit("E_Ethernet_TCP_Port")->setText(QStringLiteral("502"));
    f.dialogs.yesNoAnswers = {false};
    f.pressCancel();
    QCOMPARE(f.dialogs.texts(QStringLiteral("yesNo")),
             QStringList{QStringLiteral("Do you want to exit without saving changes?")});
    QVERIFY(f.editor->isVisible());
    QCOMPARE(f.edit("E_Ethernet_TCP_Port")->text(), QStringLiteral("502"));
    f.dialogs.yesNoAnswers = {true};
    f.pressCancel();
    QVERIFY(!f.editor->isVisible());
    QVERIFY(!QFileInfo::exists(f.docPath()));
    // The next opening starts from the document again.
    f.open();
    QCOMPARE(f.edit("E_Ethernet_TCP_Port")->text(), QStringLiteral("10001"));
}

void TestParGenEditor::validationThroughTheWindow_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("index");
    auto text = [](const char* name, const char* value) {
        return Setup([=](Fixture& f) { f.edit(name)->setText(QString::fromLatin1(value)); });
    };
    auto then = [](Setup a, Setup b) {
        return Setup([=](Fixture& f) {
            a(f);
            b(f);
        });
    };
    auto tick = [](const char* name) { return Setup([=](Fixture& f) { f.check(name)->setChecked(true); }); };
    auto pick = [](const char* name, int i) {
        return Setup([=](Fixture& f) { f.combo(name)->setCurrentIndex(i); });
    };

    QTest::newRow("primary DNS box 2")
        << then(tick("CB_EthConn_Enable_DNS"), text("E_EthConn_Pri_DNS_IP2", "300")) << 1052;
    QTest::newRow("secondary DNS box 4")
        << then(tick("CB_EthConn_Enable_DNS"), text("E_EthConn_Sec_DNS_IP4", "")) << 1058;
    QTest::newRow("no band") << pick("CB_LoRaWAN_RF_Band", -1) << 1396;
    QTest::newRow("no network type") << pick("CB_LoRaWAN_Network_Type", -1) << 1397;
    QTest::newRow("diagnostic position") << text("E_LoRaWAN_Diag_Pos", "1537") << 1408;
    QTest::newRow("ethernet address box 3") << text("E_Ethernet_IP3", "") << 1144;
    QTest::newRow("ethernet mask box 1") << text("E_Ethernet_SM1", "256") << 1146;
    QTest::newRow("ethernet gateway box 4")
        << then(tick("CB_Ethernet_En_GAT"), text("E_Ethernet_GAT4", "x")) << 1153;
    QTest::newRow("tcp port") << text("E_Ethernet_TCP_Port", "10000") << 1154;
    QTest::newRow("udp port") << text("E_Ethernet_UDP_Port", "65536") << 1155;
    QTest::newRow("access point address") << text("E_WiFi2_IP1_IP2", "-1") << 1185;
    QTest::newRow("access point mask") << text("E_WiFi2_IP1_SM4", "999") << 1191;
    QTest::newRow("access point gateway")
        << then(tick("CB_WiFi2_IP1_En_GAT"), text("E_WiFi2_IP1_GAT1", "")) << 1192;
    QTest::newRow("dhcp first address")
        << then(tick("CB_WiFi2_En_DHCP"), text("E_WiFi2_DHCP_First_IP3", "a")) << 1198;
    QTest::newRow("dhcp mask") << then(tick("CB_WiFi2_En_DHCP"), text("E_WiFi2_DHCP_SM2", "256")) << 1201;
    QTest::newRow("lease time") << then(tick("CB_WiFi2_En_DHCP"), text("E_WiFi2_Lease_Time", "0")) << 1204;
    QTest::newRow("station address") << then(pick("CB_WiFi2_Type", 1), text("E_WiFi2_IP1_IP4", "")) << 1208;
    QTest::newRow("station mask") << then(pick("CB_WiFi2_Type", 1), text("E_WiFi2_IP1_SM1", "300")) << 1209;
    QTest::newRow("station gateway") << then(then(pick("CB_WiFi2_Type", 1), tick("CB_WiFi2_IP1_En_GAT")),
                                             text("E_WiFi2_IP1_GAT3", ""))
                                     << 1215;
    QTest::newRow("first failure only")
        << then(then(tick("CB_EthConn_Enable_DNS"), text("E_EthConn_Pri_DNS_IP1", "")),
                text("E_Ethernet_TCP_Port", ""))
        << 1051;
}

void TestParGenEditor::validationThroughTheWindow()
{
    QFETCH(Setup, setup);
    QFETCH(int, index);
    Fixture f;
    QVERIFY(ParGenDocument::save(f.docPath(), ParGenValues()).isEmpty());
    const QByteArray before = readFile(f.docPath());
    f.open();
    setup(f);
    f.pressOk();
    QCOMPARE(f.dialogs.texts(QStringLiteral("error")), QStringList{f.state.strings.format(index, {1536})});
    QVERIFY(f.editor->isVisible());
    QCOMPARE(readFile(f.docPath()), before);
}

void TestParGenEditor::brokenDocumentIsReportedAndKept()
{
    Fixture f;
    const QByteArray broken = "<Par_Gen><Ethernet_IP1>10</Ethernet_IP1><Ethern";
    writeFile(f.docPath(), broken);
    f.open();
    QCOMPARE(f.dialogs.texts(QStringLiteral("error")).size(), 1);
    QCOMPARE(f.editor->collect(), ParGenValues());
    f.dialogs.yesNoAnswers = {true};
    f.edit("E_Ethernet_IP1")->setText(QStringLiteral("11"));
    f.pressCancel();
    QCOMPARE(readFile(f.docPath()), broken);
    f.open();
    f.pressOk();
    QCOMPARE(ParGenDocument::load(f.docPath()).values, ParGenValues());
}

void TestParGenEditor::failedSaveKeepsTheWindowOpen()
{
    Fixture f;
    QVERIFY(QDir().mkpath(f.docPath())); // a folder where the document belongs
    f.open();
    f.dialogs.clear();
    f.edit("E_EthConn_Device_Name")->setText(QStringLiteral("keep me"));
    f.pressOk();
    QCOMPARE(f.dialogs.texts(QStringLiteral("error")).size(), 1);
    QVERIFY(f.editor->isVisible());
    QCOMPARE(f.edit("E_EthConn_Device_Name")->text(), QStringLiteral("keep me"));
}

void TestParGenEditor::accessibleNames()
{
    Fixture f;
    f.open();
    for (QWidget* w : f.editor->findChildren<QWidget*>()) {
        const bool input =
            qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractButton*>(w);
        if (!input || w->objectName().isEmpty() || w->objectName().startsWith(QStringLiteral("qt_")))
            continue;
        QVERIFY2(!w->accessibleName().trimmed().isEmpty(), qPrintable(w->objectName()));
    }
    QCOMPARE(f.edit("E_Ethernet_IP3")->accessibleName(), QStringLiteral("Insert Third byte of IP Address"));
    QCOMPARE(f.edit("E_Ethernet_TCP_Port")->accessibleName(), QStringLiteral("TCP Port"));
}

QTEST_MAIN(TestParGenEditor)
#include "tst_pargen_editor.moc"
