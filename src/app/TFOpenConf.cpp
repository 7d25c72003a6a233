#include "app/TFOpenConf.h"

#include "app/Projects.h"
#include "app/WindowParts.h"
#include "common/ProgramState.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TFOpenConf::TFOpenConf(ProgramState& state, QWidget* parent) : QDialog(parent), m_state(state)
{
    setObjectName(QStringLiteral("FOpenConf"));
    WindowParts::applyLook(this);
    constexpr int W = 377, H = 351;
    resize(W, H);
    setMinimumSize(260, 220);

    // The title panel is laid out by the dialog's layout, so the list grows with the window.
    const WindowParts::Title title = WindowParts::createTitle(this, W);
    title.code->setText(Product::SoftwareCode);
    title.panel->setMinimumHeight(WindowParts::TitleHeight);
    m_desc = title.desc;

    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_label->setBuddy(m_list);

    auto* buttons = new QFrame(this);
    buttons->setObjectName(QStringLiteral("P_Button"));
    m_ok = new QPushButton(buttons);
    m_ok->setObjectName(QStringLiteral("Btn_OK"));
    m_cancel = new QPushButton(buttons);
    m_cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    auto* row = new QHBoxLayout(buttons);
    row->addStretch();
    row->addWidget(m_ok);
    row->addWidget(m_cancel);

    auto* inner = new QVBoxLayout;
    inner->setContentsMargins(16, 8, 16, 0);
    inner->addWidget(m_label);
    inner->addWidget(m_list, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(title.panel);
    layout->addLayout(inner, 1);
    layout->addWidget(buttons);

    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < SL.size())
            Name_Conf = SL.at(row);
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    Set_Lang();
}

void TFOpenConf::Set_Lang()
{
    const StringTable& t = m_state.strings;
    setWindowTitle(t.text(200));
    m_desc->setText(t.text(201));
    m_label->setText(t.text(202));
    m_list->setAccessibleName(t.text(202));
    WindowParts::setHint(m_list, t.text(205));
    WindowParts::setCaption(m_ok, t.text(203), t.text(206));
    WindowParts::setCaption(m_cancel, t.text(204), t.text(207));
}

void TFOpenConf::Load_Existing_Configuration()
{
    SL = Projects::listConfigurations(m_state.projectsFolder);
}

void TFOpenConf::Search_Open_Conf()
{
    const int row = Projects::preselection(SL, m_state.activeFolderName());
    Name_Conf = row >= 0 ? SL.at(row) : QString();
    m_list->setCurrentRow(row);
}

void TFOpenConf::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Load_Existing_Configuration();
    m_list->clear();
    m_list->addItems(SL);
    Search_Open_Conf();
    m_list->setFocus();
}
