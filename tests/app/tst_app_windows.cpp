#include "FakeEchoClient.h"
#include "FakeProgramRunner.h"
#include "ScriptedDialogs.h"
#include "app/Program.h"
#include "app/Projects.h"
#include "app/SettingsFile.h"
#include "app/TFAbout.h"
#include "app/TFNew_Project.h"
#include "app/TFOpenConf.h"
#include "app/TFSoftOptions.h"
#include "app/TFZuvurazarueFirmWare.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// A program folder with the shipped language files and flags.
struct Fixture
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    FakeProgramRunner runner;
    FakeEchoClient echo;
    QList<QUrl> opened;
    std::unique_ptr<Program> program;

    explicit Fixture(const QByteArray& settings = {}, bool withLanguages = true)
    {
        if (withLanguages) {
            QDir().mkpath(dir.filePath(QStringLiteral("LANGUAGE")));
            const QDir src(QStringLiteral(ZV_SOURCE_DIR "/resources/LANGUAGE"));
            for (const QString& f : src.entryList(QDir::Files))
                QFile::copy(src.filePath(f), dir.filePath(QStringLiteral("LANGUAGE/") + f));
        }
        if (!settings.isEmpty())
            writeFile(dir.filePath(QStringLiteral("Zuvurazaru.xml")), settings);
        start();
    }
    void start()
    {
        program = std::make_unique<Program>(
            dir.path(), Services{dialogs, runner, [this](const QUrl& u) { opened.append(u); }, &echo});
    }
    TFZuvurazarueFirmWare& main() { return *program->mainWindow; }
    template <typename T> T* find(QObject* parent, const QString& name)
    {
        T* w = parent->findChild<T*>(name);
        if (!w)
            qWarning("no control %s", qPrintable(name));
        return w;
    }
    QAbstractButton* button(const QString& name) { return find<QAbstractButton>(&main(), name); }
    QString label(const QString& name) { return find<QLabel>(&main(), name)->text(); }
    void click(const QString& name) { main().Btn_Click(button(name)); }
    QString settingsFile() const { return dir.filePath(QStringLiteral("Zuvurazaru.xml")); }
};

// Runs fn on the modal dialog that the next exec() opens.
void onModal(std::function<void(QWidget*)> fn)
{
    QTimer::singleShot(0, [fn] {
        QWidget* w = QApplication::activeModalWidget();
        QVERIFY(w);
        fn(w);
    });
}

void pressOk(QWidget* dialog)
{
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Btn_OK")), Qt::LeftButton);
}

void pressCancel(QWidget* dialog)
{
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Btn_Cancel")), Qt::LeftButton);
}

QByteArray settingsXml(const QByteArray& project, const QByteArray& internet, const QByteArray& update)
{
    return "<Conf_Settings><lastproj><projectname>" + project +
           "</projectname></lastproj><lastinternet><enable_internet>" + internet +
           "</enable_internet><enable_update>" + update + "</enable_update></lastinternet></Conf_Settings>";
}

} // namespace

class TestAppWindows : public QObject
{
    Q_OBJECT
private slots:
    void firstStart();
    void layoutPositions();
    void dispatchRefusesWithoutConfiguration_data();
    void dispatchRefusesWithoutConfiguration();
    void rememberedConfigurationMissing();
    void timerFollowsBothSwitches_data();
    void timerFollowsBothSwitches();
    void newConfigurationDialog();
    void newConfigurationRefusals_data();
    void newConfigurationRefusals();
    void openConfigurationDialog();
    void languagePagesWithSevenFiles();
    void languageChangeAndOk();
    void optionsCancelForgetsTicks();
    void optionsEnablingRules();
    void versionCheckTimerShowsLink();
    void closeWithUnwritableSettings();
    void everyControlHasAnAccessibleName();
    void setCommunicationOpensTheEditor();
    void loRaWANAccessOpensTheEditor();
    void updateDeviceWritesTheImages();
};

void TestAppWindows::firstStart()
{
    Fixture f(QByteArray(), false);
    for (const char* name : {"MASTER", "PROJECTS", "LANGUAGE"})
        QVERIFY(QFileInfo(f.dir.filePath(QString::fromLatin1(name))).isDir());
    QCOMPARE(f.main().windowTitle(),
             QStringLiteral("Quorvex - Configurator SWQX410 Ethernet / LoRaWAN Gateway "));
    QCOMPARE(f.label(QStringLiteral("L_SW_Code")), QStringLiteral("SWQX410"));
    QCOMPARE(f.label(QStringLiteral("L_Name_Conf")), QStringLiteral("None Configuration Opened "));
    QCOMPARE(f.label(QStringLiteral("L_Name_Conf_L2")),
             QStringLiteral("Use Step1 to open or create new configuration"));
    QVERIFY(!f.main().Timer_Update()->isActive());
    f.main().show();
    QVERIFY(f.main().close());
    QCOMPARE(
        QString::fromUtf8(readFile(f.settingsFile())),
        QStringLiteral("<Conf_Settings><lastproj><projectname></projectname></lastproj>"
                       "<lastipadd><ipaddress>192.168.2.205</ipaddress></lastipadd>"
                       "<lastlang><language>English</language></lastlang>"
                       "<lastinternet><enable_internet>0</enable_internet><enable_update>0</enable_update>"
                       "<enable_jump_field_tables>0</enable_jump_field_tables>"
                       "<Double_Click_Auto_Size>0</Double_Click_Auto_Size></lastinternet></Conf_Settings>"));
    QVERIFY(f.dialogs.shown.isEmpty());
}

void TestAppWindows::layoutPositions()
{
    Fixture f;
    QCOMPARE(f.main().size(), QSize(694, 396));
    const struct
    {
        const char* name;
        QRect rect;
    } steps[] = {{"Btn_New", {80, 112, 170, 36}},       {"Btn_Open", {258, 112, 170, 36}},
                 {"Btn_Prm_Gen", {80, 156, 170, 36}},   {"Btn_LoRaWAN_Access", {80, 200, 170, 36}},
                 {"Btn_CreateBin", {80, 244, 170, 36}}, {"Btn_Info", {516, 8, 50, 50}},
                 {"Btn_Opz", {574, 8, 50, 50}},         {"Btn_Close", {632, 8, 50, 50}}};
    for (const auto& s : steps)
        QCOMPARE(f.button(QString::fromLatin1(s.name))->geometry(), s.rect);
    QCOMPARE(f.find<QWidget>(&f.main(), QStringLiteral("Shape1"))->geometry(), QRect(10, 295, 674, 1));
    QCOMPARE(f.find<QWidget>(&f.main(), QStringLiteral("Shape2"))->geometry(), QRect(80, 70, 348, 36));
    QCOMPARE(f.find<QWidget>(&f.main(), QStringLiteral("L_Step_4"))->pos(), QPoint(16, 260));
    QCOMPARE(f.find<QWidget>(&f.main(), QStringLiteral("L_Quorvex"))->y(), 260);
    QVERIFY(f.find<QWidget>(&f.main(), QStringLiteral("L_Step_5"))->isHidden());
    QVERIFY(f.button(QStringLiteral("Btn_KNX_Access"))->isHidden());
    QVERIFY(!f.button(QStringLiteral("Btn_CreateBin"))->isHidden());
    QCOMPARE(f.button(QStringLiteral("Btn_KNX_Access"))->text(), QStringLiteral("KNX Access"));
    QCOMPARE(f.button(QStringLiteral("Btn_Opz"))->accessibleName(), QStringLiteral("Options"));
    QCOMPARE(f.button(QStringLiteral("Btn_CreateBin"))->toolTip(),
             QStringLiteral("Update the actual Firmware and/or Configuration in the device"));

    QTest::mouseClick(f.find<QWidget>(&f.main(), QStringLiteral("L_Quorvex")), Qt::LeftButton);
    QCOMPARE(f.opened.value(0).path(), QStringLiteral("/HOME/default.asp"));
    QCOMPARE(f.opened.value(0).query(), QStringLiteral("frompg=SWQX410"));
}

void TestAppWindows::dispatchRefusesWithoutConfiguration_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("communication") << "Btn_Prm_Gen";
    QTest::newRow("lorawan") << "Btn_LoRaWAN_Access";
    QTest::newRow("update") << "Btn_CreateBin";
    QTest::newRow("hidden family step") << "Btn_Modbus_Set_Access";
}

void TestAppWindows::dispatchRefusesWithoutConfiguration()
{
    QFETCH(QString, button);
    Fixture f;
    int opened = 0;
    f.main().setStepAction(button, [&] { ++opened; });
    f.click(button);
    QCOMPARE(f.dialogs.texts(QStringLiteral("error")),
             QStringList{QStringLiteral("Error! Project not Valid")});
    QCOMPARE(opened, 0);

    // With a configuration the same button reaches its window.
    QVERIFY(QDir(f.program->state.projectsFolder).mkdir(QStringLiteral("P")));
    f.program->state.configurationName = QStringLiteral("P");
    f.program->state.decideActiveConfiguration();
    f.dialogs.clear();
    f.click(button);
    QCOMPARE(opened, 1);
    QVERIFY(f.dialogs.shown.isEmpty());
    // A step whose window does not exist yet does nothing.
    f.click(QStringLiteral("Btn_KNX_Access"));
    QVERIFY(f.dialogs.shown.isEmpty());
}

void TestAppWindows::rememberedConfigurationMissing()
{
    Fixture f(settingsXml("Gone", "0", "0"));
    QVERIFY(!f.program->state.configurationActive());
    QCOMPARE(f.label(QStringLiteral("L_Name_Conf")), QStringLiteral("None Configuration Opened "));
    f.click(QStringLiteral("Btn_Prm_Gen"));
    QCOMPARE(f.dialogs.texts(QStringLiteral("error")).size(), 1);
    QVERIFY(f.main().close());
    QVERIFY(readFile(f.settingsFile()).contains("<projectname>Gone</projectname>"));
}

void TestAppWindows::timerFollowsBothSwitches_data()
{
    QTest::addColumn<QByteArray>("internet");
    QTest::addColumn<QByteArray>("update");
    QTest::addColumn<bool>("active");
    QTest::newRow("both") << QByteArray("1") << QByteArray("1") << true;
    QTest::newRow("internet only") << QByteArray("1") << QByteArray("0") << false;
    QTest::newRow("update only") << QByteArray("0") << QByteArray("1") << false;
}

void TestAppWindows::timerFollowsBothSwitches()
{
    QFETCH(QByteArray, internet);
    QFETCH(QByteArray, update);
    QFETCH(bool, active);
    Fixture f(settingsXml("", internet, update));
    QCOMPARE(f.main().Timer_Update()->isActive(), active);
    QCOMPARE(f.main().Timer_Update()->interval(), 60000);
}

void TestAppWindows::newConfigurationDialog()
{
    Fixture f;
    bool opened = false;
    f.main().setStepAction(QStringLiteral("Btn_Prm_Gen"), [&] { opened = true; });

    // Enter in the empty box refuses and keeps the dialog open; then a name is created.
    onModal([](QWidget* d) {
        auto* edit = d->findChild<QLineEdit*>(QStringLiteral("E_New_Proj"));
        QVERIFY(edit->hasFocus() || edit->text().isEmpty());
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(d->isVisible());
        QTest::keyClicks(edit, QStringLiteral("Plant 1"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    f.click(QStringLiteral("Btn_New"));
    QCOMPARE(f.dialogs.texts(QStringLiteral("error")),
             QStringList{QStringLiteral("Error! Name Project is not valid")});
    QCOMPARE(f.label(QStringLiteral("L_Name_Conf")),
             QStringLiteral("Opened Configuration of the Converter : "));
    QCOMPARE(f.label(QStringLiteral("L_Name_Conf_L2")), QStringLiteral("Plant 1"));
    QVERIFY(QFileInfo(f.dir.filePath(QStringLiteral("PROJECTS/Plant 1/bin"))).isDir());
    f.click(QStringLiteral("Btn_Prm_Gen"));
    QVERIFY(opened);

    // Cancel leaves the active configuration as it was, and the box is empty on the next showing.
    onModal([](QWidget* d) {
        QCOMPARE(d->findChild<QLineEdit*>(QStringLiteral("E_New_Proj"))->text(), QString());
        pressCancel(d);
    });
    f.click(QStringLiteral("Btn_New"));
    QCOMPARE(f.program->state.configurationName, QStringLiteral("Plant 1"));

    // The name outlives the run.
    QVERIFY(f.main().close());
    QVERIFY(readFile(f.settingsFile()).contains("<projectname>Plant 1</projectname>"));
}

void TestAppWindows::newConfigurationRefusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("exists") << "Existing"
                            << "Error! Name project is not valid because directory already exists";
    QTest::newRow("climbing out") << "../Evil"
                                  << "Error! Name project is not valid";
    QTest::newRow("nested") << "Existing/inner"
                            << "Error! Name project is not valid";
    QTest::newRow("absolute") << QDir::tempPath() + QStringLiteral("/zv-evil")
                              << "Error! Name project is not valid";
    QTest::newRow("colon") << "a:b"
                           << "Error! Name project is not valid";
}

void TestAppWindows::newConfigurationRefusals()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    Fixture f;
    QDir(f.program->state.projectsFolder).mkdir(QStringLiteral("Existing"));
    const QStringList before = QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    onModal([name](QWidget* d) {
        d->findChild<QLineEdit*>(QStringLiteral("E_New_Proj"))->setText(name);
        pressOk(d);
        QVERIFY(d->isVisible());
        QCOMPARE(d->findChild<QLineEdit*>(QStringLiteral("E_New_Proj"))->text(), name);
        pressCancel(d);
    });
    f.click(QStringLiteral("Btn_New"));
    QCOMPARE(f.dialogs.texts(QStringLiteral("error")), QStringList{message});
    QVERIFY(!f.program->state.configurationActive());
    QCOMPARE(QDir(f.program->state.projectsFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Existing")});
    QVERIFY(QDir(f.program->state.projectsFolder + QStringLiteral("/Existing")).isEmpty());
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(!QFileInfo::exists(QDir::tempPath() + QStringLiteral("/zv-evil")));
}

void TestAppWindows::openConfigurationDialog()
{
    Fixture f(settingsXml("alpha", "0", "0"));
    QDir projects(f.program->state.projectsFolder);
    projects.mkdir(QStringLiteral("Alpha"));
    projects.mkdir(QStringLiteral("Beta"));
    writeFile(projects.filePath(QStringLiteral("notes.txt")), "x");
    f.program->state.configurationName = QStringLiteral("alpha");
    f.program->state.configurationFolder = projects.filePath(QStringLiteral("alpha"));

    // Folders only; the active one preselected although its case differs.
    onModal([](QWidget* d) {
        auto* list = d->findChild<QListWidget*>(QStringLiteral("ListBox1"));
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->currentItem()->text(), QStringLiteral("Alpha"));
        pressCancel(d);
    });
    f.click(QStringLiteral("Btn_Open"));
    QCOMPARE(f.program->state.configurationName, QStringLiteral("alpha"));

    // A folder made meanwhile by another program shows up; choosing it makes it active.
    projects.mkdir(QStringLiteral("Gamma"));
    onModal([](QWidget* d) {
        auto* list = d->findChild<QListWidget*>(QStringLiteral("ListBox1"));
        QCOMPARE(list->count(), 3);
        list->setCurrentItem(list->findItems(QStringLiteral("Gamma"), Qt::MatchExactly).value(0));
        pressOk(d);
    });
    f.click(QStringLiteral("Btn_Open"));
    QCOMPARE(f.program->state.configurationName, QStringLiteral("Gamma"));
    QCOMPARE(f.label(QStringLiteral("L_Name_Conf_L2")), QStringLiteral("Gamma"));
    QVERIFY(f.program->state.documentPath(Document::ParGen)
                .endsWith(QStringLiteral("Gamma") + QDir::separator() + QStringLiteral("ParGen.xml")));

    // An empty list and OK: none is active.
    for (const QString& name : {QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma")})
        projects.rmdir(name);
    onModal([](QWidget* d) { pressOk(d); });
    f.click(QStringLiteral("Btn_Open"));
    QVERIFY(!f.program->state.configurationActive());
    QCOMPARE(f.label(QStringLiteral("L_Name_Conf")), QStringLiteral("None Configuration Opened "));
}

void TestAppWindows::languagePagesWithSevenFiles()
{
    Fixture f;
    const QString lang = f.program->state.languageFolder;
    for (const char* name : {"German", "french", "Spanish", "Dutch", "Polish"})
        writeFile(QDir(lang).filePath(QString::fromLatin1(name) + QStringLiteral(".lng")), "STR0 = x\n");
    QDir(lang).mkdir(QStringLiteral("Folder.lng"));
    TFSoftOptions& o = *f.program->options;
    o.FormShow();
    QCOMPARE(o.SL_Languages, (QStringList{QStringLiteral("Dutch.lng"), QStringLiteral("English.lng"),
                                          QStringLiteral("french.lng"), QStringLiteral("German.lng"),
                                          QStringLiteral("Italian.lng"), QStringLiteral("Polish.lng"),
                                          QStringLiteral("Spanish.lng")}));
    auto visible = [&](const QString& name) { return !f.find<QWidget>(&o, name)->isHidden(); };
    auto text = [&](const QString& name) { return f.find<QLabel>(&o, name)->text(); };
    QCOMPARE(text(QStringLiteral("L_Page_Lang")), QStringLiteral("Page 1 / 2"));
    QCOMPARE(text(QStringLiteral("L_Sel_Lang")), QStringLiteral("Selected Language : English"));
    QVERIFY(!visible(QStringLiteral("Btn_Prev")) && visible(QStringLiteral("Btn_Next")));
    for (int k = 1; k <= 6; ++k)
        QVERIFY(visible(QStringLiteral("L_L%1").arg(k)));
    QCOMPARE(text(QStringLiteral("L_L1")), QStringLiteral("Dutch"));
    // Its own flag where there is one, else the default flag.
    QVERIFY(visible(QStringLiteral("I_L1")));

    QTest::mouseClick(f.find<QWidget>(&o, QStringLiteral("Btn_Next")), Qt::LeftButton);
    QCOMPARE(text(QStringLiteral("L_Page_Lang")), QStringLiteral("Page 2 / 2"));
    QVERIFY(visible(QStringLiteral("Btn_Prev")) && !visible(QStringLiteral("Btn_Next")));
    QCOMPARE(text(QStringLiteral("L_L1")), QStringLiteral("Spanish"));
    QVERIFY(visible(QStringLiteral("L_L1")) && !visible(QStringLiteral("L_L2")) &&
            !visible(QStringLiteral("I_L6")));

    // Without any language file no slot shows and the page reads 1 / 0.
    for (const QString& file : QDir(lang).entryList({QStringLiteral("*.lng")}, QDir::Files))
        QFile::remove(QDir(lang).filePath(file));
    o.FormShow();
    QCOMPARE(text(QStringLiteral("L_Page_Lang")), QStringLiteral("Page 1 / 0"));
    for (int k = 1; k <= 6; ++k)
        QVERIFY(!visible(QStringLiteral("L_L%1").arg(k)) && !visible(QStringLiteral("I_L%1").arg(k)));
}

void TestAppWindows::languageChangeAndOk()
{
    Fixture f;
    QDir(f.program->state.projectsFolder).mkdir(QStringLiteral("Plant"));
    Projects::openConfiguration(f.program->state, QStringLiteral("Plant"));
    f.main().Set_Lang();
    f.dialogs.yesNoAnswers = {false, true};
    onModal([&](QWidget* d) {
        auto* o = static_cast<TFSoftOptions*>(d);
        QCOMPARE(o->SL_Languages,
                 (QStringList{QStringLiteral("English.lng"), QStringLiteral("Italian.lng")}));
        // No: nothing changes.
        QTest::mouseClick(o->findChild<QWidget*>(QStringLiteral("L_L2")), Qt::LeftButton);
        QCOMPARE(f.label(QStringLiteral("L_Begin")), QStringLiteral("Begin"));
        // Yes: every window speaks Italian at once; the setting waits for OK.
        QTest::mouseClick(o->findChild<QWidget*>(QStringLiteral("I_L2")), Qt::LeftButton);
        QCOMPARE(f.program->state.language, QStringLiteral("English"));
        QCOMPARE(o->findChild<QLabel*>(QStringLiteral("L_Sel_Lang"))->text(),
                 QStringLiteral("Lingua selezionata : Italian"));
        QCOMPARE(o->windowTitle(), f.program->state.text(300));
        pressOk(o);
    });
    f.click(QStringLiteral("Btn_Opz"));
    QCOMPARE(f.dialogs.texts(QStringLiteral("yesNo")),
             (QStringList{QStringLiteral("Do you want to change the Language from English to Italian?"),
                          QStringLiteral("Do you want to change the Language from English to Italian?")}));
    QCOMPARE(f.program->state.language, QStringLiteral("Italian"));
    QCOMPARE(f.label(QStringLiteral("L_Begin")), QStringLiteral("Inizio"));
    QCOMPARE(f.label(QStringLiteral("L_Name_Conf")),
             QStringLiteral("Configurazione aperta del convertitore : "));
    QCOMPARE(f.label(QStringLiteral("L_Name_Conf_L2")), QStringLiteral("Plant"));
    QCOMPARE(f.program->newProject->windowTitle(), f.program->state.text(100));
    QVERIFY(f.program->state.text(100) != QStringLiteral("Create New Configuration"));
    // OK writes the settings at once.
    QVERIFY(readFile(f.settingsFile()).contains("<language>Italian</language>"));

    // Back to English, and the next start speaks the stored language.
    f.dialogs.yesNoAnswers = {true};
    onModal([&](QWidget* d) {
        QCOMPARE(d->findChild<QLabel*>(QStringLiteral("L_Sel_Lang"))->text(),
                 QStringLiteral("Lingua selezionata : Italian"));
        QTest::mouseClick(d->findChild<QWidget*>(QStringLiteral("L_L1")), Qt::LeftButton);
        pressOk(d);
    });
    f.click(QStringLiteral("Btn_Opz"));
    QCOMPARE(f.label(QStringLiteral("L_Begin")), QStringLiteral("Begin"));
    QVERIFY(f.main().close());
    QVERIFY(readFile(f.settingsFile()).contains("<language>English</language>"));
    QVERIFY(!f.dialogs.unexpected);
}

void TestAppWindows::optionsCancelForgetsTicks()
{
    Fixture f;
    onModal([](QWidget* d) {
        d->findChild<QCheckBox*>(QStringLiteral("CB_En_Con"))->setChecked(true);
        d->findChild<QCheckBox*>(QStringLiteral("CB_Update"))->setChecked(true);
        d->findChild<QCheckBox*>(QStringLiteral("CB_Soft_Set_Jump_Table"))->setChecked(true);
        pressCancel(d);
    });
    f.click(QStringLiteral("Btn_Opz"));
    QVERIFY(!f.program->state.enable_internet && !f.program->state.enable_update &&
            !f.program->state.enable_jump_field_tables);
    QVERIFY(!f.main().Timer_Update()->isActive());
    QVERIFY(!QFileInfo::exists(f.settingsFile()));
    onModal([](QWidget* d) {
        QVERIFY(!d->findChild<QCheckBox*>(QStringLiteral("CB_En_Con"))->isChecked());
        pressCancel(d);
    });
    f.click(QStringLiteral("Btn_Opz"));
}

void TestAppWindows::optionsEnablingRules()
{
    Fixture f;
    onModal([](QWidget* d) {
        auto* con = d->findChild<QCheckBox*>(QStringLiteral("CB_En_Con"));
        auto* upd = d->findChild<QCheckBox*>(QStringLiteral("CB_Update"));
        auto* check = d->findChild<QPushButton*>(QStringLiteral("Btn_Check_Update"));
        QVERIFY(!upd->isEnabled() && !check->isEnabled());
        con->setChecked(true);
        QVERIFY(upd->isEnabled() && !check->isEnabled());
        upd->setChecked(true);
        QVERIFY(check->isEnabled());
        // Clearing the first keeps the second ticked but disabled.
        con->setChecked(false);
        QVERIFY(!upd->isEnabled() && upd->isChecked() && !check->isEnabled());
        d->findChild<QCheckBox*>(QStringLiteral("CB_DoubleClick_Auto_Size"))->setChecked(true);
        pressOk(d);
    });
    f.click(QStringLiteral("Btn_Opz"));
    QVERIFY(!f.program->state.enable_internet && f.program->state.enable_update);
    QVERIFY(f.program->state.Double_Click_Auto_Size);
    QVERIFY(!f.main().Timer_Update()->isActive());
    const QByteArray xml = readFile(f.settingsFile());
    QVERIFY(xml.contains("<enable_internet>0</enable_internet><enable_update>1</enable_update>"));
    QVERIFY(xml.contains("<Double_Click_Auto_Size>1</Double_Click_Auto_Size>"));

    // Both on: the timer starts with the first period.
    onModal([](QWidget* d) {
        d->findChild<QCheckBox*>(QStringLiteral("CB_En_Con"))->setChecked(true);
        pressOk(d);
    });
    f.click(QStringLiteral("Btn_Opz"));
    QVERIFY(f.main().Timer_Update()->isActive());
    QCOMPARE(f.main().Timer_Update()->interval(), 60000);
}

void TestAppWindows::versionCheckTimerShowsLink()
{
    // Nobody answers at this site: the check finds nothing, the link stays hidden,
    // and the next check is two hours later.
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    Fixture f(settingsXml("", "1", "1"));
    f.program->state.webBase = QStringLiteral("http://127.0.0.1:%1").arg(port);
    f.start();
    f.main().Timer_UpdateTimer();
    QVERIFY(f.find<QLabel>(&f.main(), QStringLiteral("LL_Update"))->isHidden());
    QVERIFY(f.main().Timer_Update()->isActive());
    QCOMPARE(f.main().Timer_Update()->interval(), 7200000);
    QVERIFY(f.dialogs.shown.isEmpty());
}

void TestAppWindows::closeWithUnwritableSettings()
{
    Fixture f;
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("Zuvurazaru.xml")));
    f.main().show();
    f.dialogs.yesNoAnswers = {false};
    QVERIFY(!f.main().close());
    QVERIFY(f.main().isVisible());
    QCOMPARE(f.dialogs.texts(QStringLiteral("yesNo")).size(), 1);
    QVERIFY(f.dialogs.texts(QStringLiteral("yesNo"))
                .at(0)
                .startsWith(QStringLiteral("Error! The program settings could not be saved: ")));
    f.dialogs.yesNoAnswers = {true};
    QVERIFY(f.main().close());
}

void TestAppWindows::everyControlHasAnAccessibleName()
{
    Fixture f;
    QList<QWidget*> windows = {&f.main(), f.program->newProject, f.program->openConf, f.program->options,
                               f.program->about};
    f.program->options->FormShow();
    for (QWidget* w : windows) {
        for (QWidget* c : w->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c) ||
                                 qobject_cast<QListWidget*>(c);
            if (!control || c->isHidden() || c->window() != w ||
                c->objectName().startsWith(QStringLiteral("qt_")))
                continue;
            if (c->parentWidget() && c->parentWidget()->inherits("QTabBar"))
                continue;
            QVERIFY2(!c->accessibleName().trimmed().isEmpty(),
                     qPrintable(w->objectName() + QStringLiteral("/") + c->objectName()));
        }
    }
}

void TestAppWindows::setCommunicationOpensTheEditor()
{
    Fixture f;
    onModal([](QWidget* d) {
        d->findChild<QLineEdit*>(QStringLiteral("E_New_Proj"))->setText(QStringLiteral("Site"));
        pressOk(d);
    });
    f.click(QStringLiteral("Btn_New"));
    onModal([](QWidget* d) {
        QCOMPARE(d->objectName(), QStringLiteral("FParGen"));
        pressOk(d);
    });
    f.click(QStringLiteral("Btn_Prm_Gen"));
    QVERIFY(readFile(f.dir.filePath(QStringLiteral("PROJECTS/Site/ParGen.xml"))).startsWith("<Par_Gen>"));
}

void TestAppWindows::loRaWANAccessOpensTheEditor()
{
    Fixture f;
    QVERIFY(QDir(f.program->state.projectsFolder).mkdir(QStringLiteral("Site")));
    Projects::openConfiguration(f.program->state, QStringLiteral("Site"));
    onModal([](QWidget* d) {
        QCOMPARE(d->objectName(), QStringLiteral("FLoRaWAN_Gateway"));
        pressOk(d);
    });
    f.click(QStringLiteral("Btn_LoRaWAN_Access"));
    QVERIFY(readFile(f.dir.filePath(QStringLiteral("PROJECTS/Site/LoRaWAN_Gateway.xml")))
                .startsWith("<LoRaWAN_Gateway>"));
}

void TestAppWindows::updateDeviceWritesTheImages()
{
    Fixture f;
    QVERIFY(QDir(f.program->state.projectsFolder).mkdir(QStringLiteral("Site")));
    Projects::openConfiguration(f.program->state, QStringLiteral("Site"));
    // The update window follows the compilation.
    onModal([](QWidget* d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Update Device by Ethernet (UDP)"));
        pressCancel(d);
    });
    f.click(QStringLiteral("Btn_CreateBin"));
    QVERIFY(f.dialogs.shown.isEmpty());
    QCOMPARE(readFile(f.dir.filePath(QStringLiteral("PROJECTS/Site/bin/bank1.bin"))).size(), 2048);
    QVERIFY(readFile(f.dir.filePath(QStringLiteral("PROJECTS/Site/bin/bank2.bin")))
                .endsWith(QByteArray("}\n", 2) + '\0'));

    // A document that cannot be read: its error, and no image is written.
    QFile::remove(f.dir.filePath(QStringLiteral("PROJECTS/Site/bin/bank1.bin")));
    writeFile(f.dir.filePath(QStringLiteral("PROJECTS/Site/LoRaWAN_Gateway.xml")), "<LoRaWAN_Gateway>");
    f.click(QStringLiteral("Btn_CreateBin"));
    QCOMPARE(f.dialogs.texts(QStringLiteral("error")).size(), 1);
    QVERIFY(!QFileInfo::exists(f.dir.filePath(QStringLiteral("PROJECTS/Site/bin/bank1.bin"))));
}

QTEST_MAIN(TestAppWindows)
#include "tst_app_windows.moc"
