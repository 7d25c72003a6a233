#include "update/TFBoot.h"

#include "common/Dialogs.h"
#include "common/ProgramRunner.h"
#include "common/ProgramState.h"
#include "common/SerialPorts.h"
#include "common/UiFont.h"
#include "common/ValueHelpers.h"
#include "update/EchoClient.h"
#include "update/PingCheck.h"
#include "update/UpdateJob.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace {
constexpr int ClientWidth = 449;
constexpr int TitleHeight = 64;
constexpr int IpHeight = 64;
constexpr int OptionsHeight = 72;
constexpr int SerialHeight = 64;
constexpr int ButtonHeight = 44;

QFrame* panel(QWidget* parent, const QString& name, int height)
{
    auto* p = new QFrame(parent);
    p->setObjectName(name);
    p->setGeometry(0, 0, ClientWidth, height);
    return p;
}
} // namespace

TFBoot::TFBoot(ProgramState& state, Dialogs& dialogs, ProgramRunner& runner, EchoClient& echo,
               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_state(state), m_dialogs(dialogs),
      m_runner(runner), m_echo(echo)
{
    setObjectName(QStringLiteral("FBoot"));
    setFont(uiFont());

    m_title = panel(this, QStringLiteral("P_Title"), TitleHeight);
    m_title->setAutoFillBackground(true);
    QPalette white = m_title->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_title->setPalette(white);
    auto* code = new QLabel(m_title);
    code->setObjectName(QStringLiteral("L_SW_Code"));
    code->setFont(uiFont(18, true));
    code->setGeometry(16, 4, 300, 32);
    m_desc = new QLabel(m_title);
    m_desc->setObjectName(QStringLiteral("L_SW_Desc"));
    m_desc->setFont(uiFont(8, true));
    m_desc->setGeometry(16, 40, ClientWidth - 24, 18);
    for (QLabel* l : {code, m_desc}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, Qt::gray);
        l->setPalette(p);
    }

    m_ipPanel = panel(this, QStringLiteral("P_IP_Address"), IpHeight);
    m_ipLabel = new QLabel(m_ipPanel);
    m_ipLabel->setObjectName(QStringLiteral("L_IP_Address"));
    m_ipLabel->setGeometry(16, 8, 400, 16);
    for (int i = 0; i < 4; ++i) {
        auto* e = new QLineEdit(QStringLiteral("0"), m_ipPanel);
        e->setObjectName(QStringLiteral("E_IP%1").arg(i + 1));
        e->setGeometry(16 + i * 70, 30, 56, 22);
        e->installEventFilter(this);
        m_ip[size_t(i)] = e;
        if (i < 3) {
            auto* dot = new QLabel(QStringLiteral("."), m_ipPanel);
            dot->setGeometry(16 + i * 70 + 60, 34, 6, 14);
        }
    }
    m_ipLabel->setBuddy(m_ip[0]);

    m_serialPanel = panel(this, QStringLiteral("P_Serial"), SerialHeight);
    m_comLabel = new QLabel(QStringLiteral("Select the COM port for the Update"), m_serialPanel);
    m_comLabel->setObjectName(QStringLiteral("L_COM_Port"));
    m_comLabel->setGeometry(16, 8, 400, 16);
    m_comPorts = new QComboBox(m_serialPanel);
    m_comPorts->setObjectName(QStringLiteral("CB_COM_Port"));
    m_comPorts->setGeometry(16, 30, 200, 22);
    m_comPorts->setAccessibleName(m_comLabel->text());
    m_comLabel->setBuddy(m_comPorts);
    m_comList = new QPushButton(m_serialPanel);
    m_comList->setObjectName(QStringLiteral("Btn_COM_List"));
    m_comList->setGeometry(224, 29, 28, 24);
    m_comList->setText(QStringLiteral("..."));
    m_comList->setToolTip(QStringLiteral("Update COM Ports List"));
    m_comList->setAccessibleName(QStringLiteral("Update COM Ports List"));
    connect(m_comList, &QPushButton::clicked, this, &TFBoot::update_ComPort);

    m_optionsPanel = panel(this, QStringLiteral("P_Options"), OptionsHeight);
    m_optionLabel = new QLabel(m_optionsPanel);
    m_optionLabel->setObjectName(QStringLiteral("L_Update_Option"));
    m_optionLabel->setGeometry(16, 8, 400, 16);
    m_options = new QComboBox(m_optionsPanel);
    m_options->setObjectName(QStringLiteral("CB_Update_Options"));
    m_options->setGeometry(16, 28, 250, 22);
    m_optionLabel->setBuddy(m_options);
    m_readBack = new QCheckBox(m_optionsPanel);
    m_readBack->setObjectName(QStringLiteral("CB_Update_Option_Read_Back"));
    m_readBack->setGeometry(280, 30, 160, 20);

    m_buttonPanel = panel(this, QStringLiteral("P_Button"), ButtonHeight);
    m_update = new QPushButton(m_buttonPanel);
    m_update->setObjectName(QStringLiteral("Btn_Update"));
    m_update->setGeometry(ClientWidth - 2 * 170 - 16, 8, 170, 28);
    m_update->setAutoDefault(false);
    m_cancel = new QPushButton(m_buttonPanel);
    m_cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    m_cancel->setGeometry(ClientWidth - 170 - 8, 8, 170, 28);
    m_cancel->setAutoDefault(false);
    connect(m_update, &QPushButton::clicked, this, &TFBoot::Btn_UpdateClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    code->setText(Product::SoftwareCode);
    Set_Lang();
    m_ipPanel->hide();
    m_optionsPanel->hide();
    m_serialPanel->hide();
}

void TFBoot::Set_Lang()
{
    const StringTable& t = m_state.strings;
    const int pairs[3][2] = {{1600, 1601}, {1602, 1603}, {1604, 1605}};
    if (Form_Type >= 0 && Form_Type <= 2) {
        setWindowTitle(t.text(pairs[Form_Type][0]));
        m_desc->setText(t.text(pairs[Form_Type][1]));
    }
    m_ipLabel->setText(t.text(1606));
    for (int i = 0; i < 4; ++i) {
        // An address box is known by its hint.
        m_ip[size_t(i)]->setToolTip(t.text(1621 + i));
        m_ip[size_t(i)]->setAccessibleName(t.text(1621 + i));
    }
    m_optionLabel->setText(t.text(1614));
    m_options->clear();
    m_options->addItems({t.text(1615), t.text(1616), t.text(1617)});
    m_options->setCurrentIndex(0);
    m_options->setToolTip(t.text(1632));
    m_options->setAccessibleName(t.text(1614));
    m_readBack->setText(t.text(1618));
    m_readBack->setAccessibleName(t.text(1618));
    m_readBack->setToolTip(t.text(1633));
    m_cancel->setText(t.text(1619));
    m_cancel->setAccessibleName(t.text(1619));
    m_cancel->setToolTip(t.text(1634));
    m_update->setText(t.text(1620));
    m_update->setAccessibleName(t.text(1620));
    m_update->setToolTip(t.text(1635));
}

void TFBoot::FormShow()
{
    Set_Lang();
    m_ipPanel->hide();
    m_optionsPanel->hide();
    m_serialPanel->hide();
    QList<QFrame*> docked;
    if (Form_Type == Ethernet)
        docked = {m_ipPanel, m_optionsPanel};
    else if (Form_Type == Serial)
        docked = {m_serialPanel, m_optionsPanel};
    // The panels stack under the title; the window is as high as what it shows.
    int y = TitleHeight;
    QWidget* previous = m_title;
    for (QFrame* p : docked) {
        p->move(0, y);
        p->show();
        y += p->height();
        setTabOrder(previous, p);
        previous = p;
    }
    m_buttonPanel->move(0, y);
    setFixedSize(ClientWidth, y + ButtonHeight);

    if (Form_Type == Ethernet || Form_Type == Serial) {
        m_options->setCurrentIndex(qBound(0, m_state.lastUpdateOption, 2));
        m_readBack->setChecked(m_state.lastReadBack);
    }
    if (Form_Type == Ethernet) {
        if (!m_state.lastDeviceAddress.isEmpty()) {
            const ValueHelpers::DottedAddress a = ValueHelpers::splitDottedAddress(m_state.lastDeviceAddress);
            if (a.valid)
                for (int i = 0; i < 4; ++i)
                    m_ip[size_t(i)]->setText(a.parts[size_t(i)]);
        }
        m_ip[0]->setFocus();
    } else if (Form_Type == Serial) {
        update_ComPort();
        m_comPorts->setFocus();
    }
}

void TFBoot::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

bool TFBoot::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->text() == QStringLiteral(".")) {
        // "." moves to the next part of the address and is never typed.
        for (int i = 0; i < 3; ++i) {
            if (watched == m_ip[size_t(i)] && m_ip[size_t(i + 1)]->isVisible() &&
                m_ip[size_t(i + 1)]->isEnabled())
                m_ip[size_t(i + 1)]->setFocus(Qt::TabFocusReason);
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QString TFBoot::address() const
{
    return m_ip[0]->text() + u'.' + m_ip[1]->text() + u'.' + m_ip[2]->text() + u'.' + m_ip[3]->text();
}

bool TFBoot::Send_Ping()
{
    PingCheck check(m_echo, PingCheck::systemClock());
    const bool answered = check.Send_Ping(address());
    ping_res = check.ping_res;
    return answered;
}

void TFBoot::Btn_UpdateClick()
{
    if (Form_Type != Ethernet) {
        m_state.lastUpdateOption = m_options->currentIndex();
        m_state.lastReadBack = m_readBack->isChecked();
        return;
    }
    // The check lets the window work; a second click must not start a second one.
    m_update->setEnabled(false);
    const bool answered = Send_Ping();
    m_update->setEnabled(true);
    if (!answered) {
        if (ping_res == 2)
            m_dialogs.warning(this, m_state.text(1636));
        else
            m_dialogs.error(this, m_state.text(1637));
        return;
    }
    m_state.lastDeviceAddress = address();
    m_state.lastUpdateOption = m_options->currentIndex();
    m_state.lastReadBack = m_readBack->isChecked();
    UpdateJob::Input job;
    job.deviceAddress = address();
    job.option = m_options->currentIndex();
    job.readBack = m_readBack->isChecked();
    job.masterFolder = m_state.masterFolder;
    job.configurationFolder = m_state.configurationFolder;
    if (const QString error = UpdateJob::write(m_state.programFolder, job); !error.isEmpty()) {
        m_dialogs.error(this, error);
        return;
    }
    m_runner.Start_Program(UpdateJob::updaterPath(m_state.programFolder), QString(), false);
}

void TFBoot::update_ComPort()
{
    m_comPorts->clear();
    for (const QString& label : SerialPorts::labels()) {
#ifdef Q_OS_WIN
        m_comPorts->addItem(QStringLiteral("COM") + label);
#else
        m_comPorts->addItem(label);
#endif
    }
    m_comPorts->setCurrentIndex(0);
}
