#include "app/TFZuvurazarueFirmWare.h"

#include "app/Projects.h"
#include "app/SettingsFile.h"
#include "app/StepButton.h"
#include "app/TFAbout.h"
#include "app/TFNew_Project.h"
#include "app/TFOpenConf.h"
#include "app/TFSoftOptions.h"
#include "app/WindowParts.h"
#include "common/Dialogs.h"
#include "common/ProgramState.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int StepWidth = 170;
constexpr int StepHeight = 36;
constexpr int IconSize = 50;
constexpr int FirstCheckMs = 60000;
constexpr int LaterChecksMs = 7200000;
// Texts of the settings-write failure at close.
constexpr int SettingsNotSaved = 90;
constexpr int CloseAnyway = 91;

struct ButtonText
{
    const char16_t* name;
    int caption;
    int hint;
};

// Steps shown in this product.
constexpr ButtonText VisibleSteps[] = {
    {u"Btn_New", 15, 22},       {u"Btn_Open", 16, 23},
    {u"Btn_Prm_Gen", 20, 24},   {u"Btn_LoRaWAN_Access", 21, 25},
    {u"Btn_CreateBin", 17, 26},
};

// Steps of the other family members: present, dispatched, never shown here.
constexpr ButtonText FamilySteps[] = {
    {u"Btn_Modbus_Set_Access", 27, 28},
    {u"Btn_BACnet_SetAccess", 29, 30},
    {u"Btn_BACnet_EDE_File", 31, 32},
    {u"Btn_CAN_Rec_Frame", 33, 34},
    {u"Btn_CAN_Send_Frame", 35, 36},
    {u"Btn_SDO_Server_CANopen", 41, 42},
    {u"Btn_SDO_Client_CANopen", 43, 44},
    {u"Btn_PDO_CANopen", 45, 46},
    {u"Btn_CANopen_EDS", 47, 48},
    {u"Btn_DNet_Net", 49, 50},
    {u"Btn_DNet_Offset", 51, 52},
    {u"Btn_DMX_Default", 53, 54},
    {u"Btn_IEC61850_Client", 55, 56},
    {u"Btn_IEC61850_Access", 57, 58},
    {u"Btn_TLS_List_Certificates", 59, 60},
    {u"Btn_MQTT_Set_Topic", 61, 62},
    {u"Btn_SNMP_Trap", 63, 64},
    {u"Btn_SNMP_MIB", 65, 66},
    {u"Btn_SNMP_Manager_Access", 67, 68},
    {u"Btn_OPC_UA_Client_Access", 69, 70},
    {u"Btn_OPC_UA_Server_Access", 71, 72},
    {u"Btn_PROFINET_XML", 73, 74},
    {u"Btn_EtherNetIP_Access", 75, 76},
    {u"Btn_S7_Protocol_Access", 77, 78},
    {u"Btn_KNX_Access", 79, 80},
    {u"Btn_PROFIBUS_GSD", 81, 82},
};

constexpr ButtonText IconButtons[] = {
    {u"Btn_Info", -1, 12},
    {u"Btn_Opz", -1, 13},
    {u"Btn_Close", -1, 14},
};

QString nameOf(const ButtonText& b)
{
    return QString::fromUtf16(b.name);
}

QLabel* boldLabel(QWidget* parent, const QString& name, int left, int top)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    QFont f = WindowParts::baseFont();
    f.setBold(true);
    l->setFont(f);
    l->move(left, top);
    return l;
}

} // namespace

TFZuvurazarueFirmWare::TFZuvurazarueFirmWare(ProgramState& state, Services services, QWidget* parent)
    : QWidget(parent,
              Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_state(state), m_services(std::move(services)), m_versionCheck(state.webBase)
{
    setObjectName(QStringLiteral("FZuvurazarueFirmWare"));
    FormCreate();
}

void TFZuvurazarueFirmWare::FormCreate()
{
    m_state.strings = StringTable();
    layoutForProduct();
    m_state.createFolders();
    m_state.configurationName.clear();
    m_state.lastReadBack = true;
    SettingsFile::read(m_state);
    updateTimerEnabled();
    setWindowTitle(Product::WindowTitle);
    m_code->setText(Product::SoftwareCode);
    m_desc->setText(Product::SoftwareDescription);
    m_state.loadStrings();
    m_state.decideActiveConfiguration();
    Set_Lang();
    m_state.Set_Files();
    m_state.rowCopyBuffer = RowCopyBuffer();
    m_state.snmpTrapList1.clear();
    m_state.snmpTrapList2.clear();
}

QPushButton* TFZuvurazarueFirmWare::stepButton(const QString& name, int left, int top)
{
    auto* b = new StepButton(this);
    b->setObjectName(name);
    b->setGeometry(left, top, StepWidth, StepHeight);
    connect(b, &QPushButton::clicked, this, [this, b] { Btn_Click(b); });
    m_buttons.append(b);
    return b;
}

void TFZuvurazarueFirmWare::layoutForProduct()
{
    WindowParts::applyLook(this);

    m_code = new QLabel(this);
    m_code->setObjectName(QStringLiteral("L_SW_Code"));
    QFont big = WindowParts::baseFont();
    big.setPointSize(20);
    big.setBold(true);
    m_code->setFont(big);
    WindowParts::setTextColor(m_code, Qt::gray);
    m_code->move(16, 8);
    m_desc = boldLabel(this, QStringLiteral("L_SW_Desc"), 16, 42);
    WindowParts::setTextColor(m_desc, Qt::gray);
    m_begin = boldLabel(this, QStringLiteral("L_Begin"), 16, 84);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Shape2"));
    frame->setFrameShape(QFrame::Box);
    frame->setGeometry(80, 70, 348, 36);
    m_nameConf = new QLabel(this);
    m_nameConf->setObjectName(QStringLiteral("L_Name_Conf"));
    m_nameConf->setGeometry(87, 75, 336, 13);
    m_nameConfL2 = new QLabel(this);
    m_nameConfL2->setObjectName(QStringLiteral("L_Name_Conf_L2"));
    m_nameConfL2->setGeometry(87, 88, 336, 14);
    QFont bold = WindowParts::baseFont();
    bold.setBold(true);
    m_nameConfL2->setFont(bold);

    const ShellIcons::Kind icons[] = {ShellIcons::Kind::Info, ShellIcons::Kind::Options,
                                      ShellIcons::Kind::Close};
    int left = 516;
    for (int i = 0; i < 3; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(nameOf(IconButtons[i]));
        b->setGeometry(left, 8, IconSize, IconSize);
        b->setAutoRaise(true);
        b->setIcon(ShellIcons::icon(icons[i], 32));
        b->setIconSize(QSize(32, 32));
        connect(b, &QToolButton::clicked, this, [this, b] { Btn_Click(b); });
        m_buttons.append(b);
        left += 58;
    }

    for (int i = 0; i < 8; ++i) {
        m_steps[i] = boldLabel(this, QStringLiteral("L_Step_%1").arg(i + 1), 16, 128 + 44 * i);
        m_steps[i]->setVisible(i < 4);
    }

    const ShellIcons::Kind stepIcons[] = {ShellIcons::Kind::New, ShellIcons::Kind::Open,
                                          ShellIcons::Kind::Settings, ShellIcons::Kind::Radio,
                                          ShellIcons::Kind::Update};
    const QPoint stepPos[] = {{80, 112}, {258, 112}, {80, 156}, {80, 200}, {80, 244}};
    for (int i = 0; i < 5; ++i) {
        QPushButton* b = stepButton(nameOf(VisibleSteps[i]), stepPos[i].x(), stepPos[i].y());
        b->setIcon(ShellIcons::icon(stepIcons[i], 20));
    }
    for (const ButtonText& f : FamilySteps)
        stepButton(nameOf(f), 80, 156)->hide();

    const int updateTop = 244;
    m_quorvex = new ClickLabel(this);
    m_quorvex->setObjectName(QStringLiteral("L_Quorvex"));
    m_quorvex->setFont(bold);
    WindowParts::setTextColor(m_quorvex, Qt::gray);
    m_quorvex->setCursor(Qt::PointingHandCursor);
    m_quorvex->setText(m_versionCheck.displayAddress());
    m_quorvex->adjustSize();
    // A long site address moves left rather than running out of the window.
    m_quorvex->move(qMin(565, 684 - m_quorvex->width()), m_steps[3]->y());
    m_quorvex->setAccessibleName(m_versionCheck.displayAddress());
    connect(m_quorvex, &ClickLabel::clicked, this, [this] { m_services.openUrl(m_versionCheck.homePage()); });

    m_line = new QFrame(this);
    m_line->setObjectName(QStringLiteral("Shape1"));
    m_line->setFrameShape(QFrame::HLine);
    m_line->setFrameShadow(QFrame::Plain);
    m_line->setGeometry(10, updateTop + 51, 674, 1);

    m_update = new QLabel(this);
    m_update->setObjectName(QStringLiteral("LL_Update"));
    m_update->move(208, 19);
    m_update->setTextFormat(Qt::RichText);
    m_update->setOpenExternalLinks(false);
    m_update->hide();
    connect(m_update, &QLabel::linkActivated, this,
            [this](const QString& link) { m_services.openUrl(QUrl(link)); });

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer_Update"));
    m_timer->setInterval(FirstCheckMs);
    connect(m_timer, &QTimer::timeout, this, &TFZuvurazarueFirmWare::Timer_UpdateTimer);

    setFixedSize(694, updateTop + 152);
}

void TFZuvurazarueFirmWare::setDialogs(TFNew_Project* newProject, TFOpenConf* openConf, TFAbout* about,
                                       TFSoftOptions* options)
{
    m_newProject = newProject;
    m_openConf = openConf;
    m_about = about;
    m_options = options;
}

void TFZuvurazarueFirmWare::setStepAction(const QString& buttonName, std::function<void()> action)
{
    m_stepActions.insert(buttonName, std::move(action));
}

void TFZuvurazarueFirmWare::Set_Lang()
{
    const StringTable& t = m_state.strings;
    m_begin->setText(t.text(0));
    for (int i = 0; i < 8; ++i)
        m_steps[i]->setText(t.text(1 + i));
    for (QLabel* l : m_steps)
        l->adjustSize();
    m_begin->adjustSize();
    m_code->adjustSize();
    m_desc->adjustSize();
    for (QAbstractButton* b : m_buttons) {
        const QString name = b->objectName();
        auto apply = [&](const ButtonText& bt) {
            if (nameOf(bt) != name)
                return false;
            if (bt.caption >= 0) {
                WindowParts::setCaption(b, t.text(bt.caption), t.text(bt.hint));
            } else {
                // Icon buttons are known by their hint.
                b->setToolTip(t.text(bt.hint));
                b->setAccessibleName(t.text(bt.hint));
            }
            return true;
        };
        for (const ButtonText& bt : VisibleSteps)
            if (apply(bt))
                break;
        for (const ButtonText& bt : FamilySteps)
            if (apply(bt))
                break;
        for (const ButtonText& bt : IconButtons)
            if (apply(bt))
                break;
    }
    if (!m_update->isHidden())
        m_update->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                              .arg(m_versionCheck.downloadPage().toString(), t.text(19).toHtmlEscaped()));
    showConfigurationLabels();
}

void TFZuvurazarueFirmWare::showConfigurationLabels()
{
    if (m_state.configurationActive()) {
        m_nameConf->setText(m_state.text(11));
        m_nameConfL2->setText(m_state.configurationName);
    } else {
        m_nameConf->setText(m_state.text(9));
        m_nameConfL2->setText(m_state.text(10));
    }
    m_nameConf->setAccessibleName(m_nameConf->text());
    m_nameConfL2->setAccessibleName(m_nameConfL2->text());
}

void TFZuvurazarueFirmWare::Change_Language()
{
    Set_Lang();
    for (LangWindow* w : m_langWindows)
        w->Set_Lang();
}

void TFZuvurazarueFirmWare::Btn_Click(QAbstractButton* button)
{
    const QString name = button ? button->objectName() : QString();
    if (name == QStringLiteral("Btn_New")) {
        Create_New_Project();
    } else if (name == QStringLiteral("Btn_Open")) {
        Open_Project();
    } else if (name == QStringLiteral("Btn_Close")) {
        close();
    } else if (name == QStringLiteral("Btn_Info")) {
        if (m_about)
            m_about->exec();
    } else if (name == QStringLiteral("Btn_Opz")) {
        if (m_options && m_options->exec() == QDialog::Accepted) {
            if (const QString error = Save_Setting(); !error.isEmpty())
                m_services.dialogs.error(this, m_state.text(SettingsNotSaved) + error);
            updateTimerEnabled();
        }
    } else if (!m_state.configurationActive()) {
        m_services.dialogs.error(this, m_state.text(18));
    } else if (const auto it = m_stepActions.constFind(name); it != m_stepActions.constEnd() && *it) {
        (*it)();
    }
}

void TFZuvurazarueFirmWare::Create_New_Project()
{
    if (m_newProject && m_newProject->exec() == QDialog::Accepted)
        showConfigurationLabels();
}

void TFZuvurazarueFirmWare::Open_Project()
{
    if (m_openConf && m_openConf->exec() == QDialog::Accepted) {
        Projects::openConfiguration(m_state, m_openConf->Name_Conf);
        showConfigurationLabels();
    }
}

void TFZuvurazarueFirmWare::updateTimerEnabled()
{
    // Stopping keeps the period, so a re-enabled timer waits the current one.
    if (m_state.enable_internet && m_state.enable_update) {
        if (!m_timer->isActive())
            m_timer->start();
    } else {
        m_timer->stop();
    }
}

void TFZuvurazarueFirmWare::Timer_UpdateTimer()
{
    m_timer->stop();
    if (m_versionCheck.Check_Version()) {
        m_update->setText(
            QStringLiteral("<a href=\"%1\">%2</a>")
                .arg(m_versionCheck.downloadPage().toString(), m_state.text(19).toHtmlEscaped()));
        m_update->setAccessibleName(m_state.text(19));
        m_update->adjustSize();
        m_update->show();
    } else {
        m_update->hide();
    }
    m_timer->setInterval(LaterChecksMs);
    m_timer->start();
}

QString TFZuvurazarueFirmWare::Save_Setting()
{
    return SettingsFile::write(m_state);
}

void TFZuvurazarueFirmWare::closeEvent(QCloseEvent* event)
{
    const QString error = Save_Setting();
    if (!error.isEmpty() &&
        !m_services.dialogs.yesNo(this, m_state.text(SettingsNotSaved) + error + QStringLiteral("\n\n") +
                                            m_state.text(CloseAnyway))) {
        event->ignore();
        return;
    }
    event->accept();
}

void TFZuvurazarueFirmWare::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect r = frameGeometry();
            r.moveCenter(screen->availableGeometry().center());
            move(r.topLeft());
        }
    }
}
