#include "app/TFNew_Project.h"

#include "app/Projects.h"
#include "app/WindowParts.h"
#include "common/Dialogs.h"
#include "common/ProgramState.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFNew_Project::TFNew_Project(ProgramState& state, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_state(state), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("FNew_Project"));
    WindowParts::applyLook(this);
    constexpr int W = 331, H = 162;
    setFixedSize(W, H);
    const WindowParts::Title title = WindowParts::createTitle(this, W);
    title.code->setText(Product::SoftwareCode);
    m_desc = title.desc;

    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setGeometry(16, 72, W - 32, 16);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("E_New_Proj"));
    m_edit->setGeometry(16, 90, W - 32, 22);
    m_label->setBuddy(m_edit);

    QFrame* buttons = WindowParts::createButtonPanel(this, W, H - WindowParts::ButtonPanelHeight);
    m_ok = WindowParts::createPanelButton(buttons, QStringLiteral("Btn_OK"), W - 200);
    m_cancel = WindowParts::createPanelButton(buttons, QStringLiteral("Btn_Cancel"), W - 104);

    // Enter in the name box acts as OK; OK itself decides whether the dialog closes.
    connect(m_edit, &QLineEdit::returnPressed, this, &TFNew_Project::Btn_OKClick);
    connect(m_ok, &QPushButton::clicked, this, &TFNew_Project::Btn_OKClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    Set_Lang();
}

void TFNew_Project::Set_Lang()
{
    const StringTable& t = m_state.strings;
    setWindowTitle(t.text(100));
    m_desc->setText(t.text(101));
    m_label->setText(t.text(102));
    m_edit->setAccessibleName(t.text(102));
    WindowParts::setHint(m_edit, t.text(108));
    WindowParts::setCaption(m_ok, t.text(103), t.text(109));
    WindowParts::setCaption(m_cancel, t.text(104), t.text(110));
}

void TFNew_Project::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_edit->clear();
    m_edit->setFocus();
}

void TFNew_Project::Btn_OKClick()
{
    const int refusal = Projects::createConfiguration(m_state, m_edit->text());
    if (refusal != 0) {
        m_dialogs.error(this, m_state.text(refusal));
        return;
    }
    accept();
}
