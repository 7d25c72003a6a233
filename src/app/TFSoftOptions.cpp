#include "app/TFSoftOptions.h"

#include "app/VersionCheck.h"
#include "app/WindowParts.h"
#include "common/Dialogs.h"
#include "common/ProgramState.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>

namespace {
constexpr int W = 509, H = 373;
constexpr int FlagLeft[2] = {24, 254};
constexpr int FlagTop[3] = {40, 94, 148};
} // namespace

TFSoftOptions::TFSoftOptions(ProgramState& state, Dialogs& dialogs, const VersionCheck& versionCheck,
                             std::function<void()> changeLanguage, std::function<void(const QUrl&)> openUrl,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_state(state), m_dialogs(dialogs),
      m_versionCheck(versionCheck), m_changeLanguage(std::move(changeLanguage)), m_openUrl(std::move(openUrl))
{
    setObjectName(QStringLiteral("FSoftOptions"));
    WindowParts::applyLook(this);
    setFixedSize(W, H);
    const WindowParts::Title title = WindowParts::createTitle(this, W);
    title.code->setText(Product::SoftwareCode);
    m_desc = title.desc;

    const int panelTop = H - WindowParts::ButtonPanelHeight;
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PC_Options"));
    m_pages->setGeometry(4, WindowParts::TitleHeight + 4, W - 8, panelTop - WindowParts::TitleHeight - 8);

    m_tabLanguage = new QWidget;
    m_tabLanguage->setObjectName(QStringLiteral("TS_Language"));
    m_tabConnection = new QWidget;
    m_tabConnection->setObjectName(QStringLiteral("TS_Con_Options"));
    m_tabSettings = new QWidget;
    m_tabSettings->setObjectName(QStringLiteral("TS_Soft_Settings"));
    m_pages->addTab(m_tabLanguage, QString());
    m_pages->addTab(m_tabConnection, QString());
    m_pages->addTab(m_tabSettings, QString());

    // Language page: two columns of three flags with their names.
    m_selLang = new QLabel(m_tabLanguage);
    m_selLang->setObjectName(QStringLiteral("L_Sel_Lang"));
    m_selLang->setGeometry(8, 8, 460, 18);
    for (int i = 0; i < SlotsPerPage; ++i) {
        const int left = FlagLeft[i / 3];
        const int top = FlagTop[i % 3];
        m_flags[i] = new ClickLabel(m_tabLanguage);
        m_flags[i]->setObjectName(QStringLiteral("I_L%1").arg(i + 1));
        m_flags[i]->setGeometry(left, top, 48, 48);
        m_flags[i]->setScaledContents(true);
        m_flags[i]->setCursor(Qt::PointingHandCursor);
        m_names[i] = new ClickLabel(m_tabLanguage);
        m_names[i]->setObjectName(QStringLiteral("L_L%1").arg(i + 1));
        m_names[i]->setGeometry(left + 56, top + 16, 160, 18);
        m_names[i]->setCursor(Qt::PointingHandCursor);
        m_names[i]->setFocusPolicy(Qt::StrongFocus);
        connect(m_flags[i], &ClickLabel::clicked, this, [this, i] { LangClick(i + 1); });
        connect(m_names[i], &ClickLabel::clicked, this, [this, i] { LangClick(i + 1); });
    }
    const int pageBottom = m_pages->height() - 60;
    m_prev = new QPushButton(m_tabLanguage);
    m_prev->setObjectName(QStringLiteral("Btn_Prev"));
    m_prev->setGeometry(8, pageBottom, 90, 26);
    m_next = new QPushButton(m_tabLanguage);
    m_next->setObjectName(QStringLiteral("Btn_Next"));
    m_next->setGeometry(m_pages->width() - 106, pageBottom, 90, 26);
    m_pageLabel = new QLabel(m_tabLanguage);
    m_pageLabel->setObjectName(QStringLiteral("L_Page_Lang"));
    m_pageLabel->setAlignment(Qt::AlignCenter);
    m_pageLabel->setGeometry(120, pageBottom + 4, m_pages->width() - 250, 18);
    connect(m_prev, &QPushButton::clicked, this, [this] { Btn_NextClick(false); });
    connect(m_next, &QPushButton::clicked, this, [this] { Btn_NextClick(true); });

    // Connection page.
    m_enCon = new QCheckBox(m_tabConnection);
    m_enCon->setObjectName(QStringLiteral("CB_En_Con"));
    m_enCon->setGeometry(16, 16, 440, 20);
    m_update = new QCheckBox(m_tabConnection);
    m_update->setObjectName(QStringLiteral("CB_Update"));
    m_update->setGeometry(40, 44, 420, 20);
    m_checkUpdate = new QPushButton(m_tabConnection);
    m_checkUpdate->setObjectName(QStringLiteral("Btn_Check_Update"));
    m_checkUpdate->setGeometry(40, 80, 200, 28);
    m_checkResult = new QLabel(m_tabConnection);
    m_checkResult->setObjectName(QStringLiteral("LL_Check_Update"));
    m_checkResult->setGeometry(40, 116, 420, 18);
    m_checkResult->setTextFormat(Qt::RichText);
    m_checkResult->setOpenExternalLinks(false);
    connect(m_checkResult, &QLabel::linkActivated, this,
            [this](const QString& link) { m_openUrl(QUrl(link)); });
    connect(m_enCon, &QCheckBox::toggled, this, &TFSoftOptions::Update_CheckBox);
    connect(m_update, &QCheckBox::toggled, this, &TFSoftOptions::Update_CheckBox);
    connect(m_checkUpdate, &QPushButton::clicked, this, &TFSoftOptions::Btn_Check_UpdateClick);

    // Table conventions page.
    m_jumpTable = new QCheckBox(m_tabSettings);
    m_jumpTable->setObjectName(QStringLiteral("CB_Soft_Set_Jump_Table"));
    m_jumpTable->setGeometry(16, 16, 460, 20);
    m_autoSize = new QCheckBox(m_tabSettings);
    m_autoSize->setObjectName(QStringLiteral("CB_DoubleClick_Auto_Size"));
    m_autoSize->setGeometry(16, 44, 460, 20);

    QFrame* buttons = WindowParts::createButtonPanel(this, W, panelTop);
    m_ok = WindowParts::createPanelButton(buttons, QStringLiteral("Btn_OK"), W - 200);
    m_cancel = WindowParts::createPanelButton(buttons, QStringLiteral("Btn_Cancel"), W - 104);
    connect(m_ok, &QPushButton::clicked, this, &TFSoftOptions::Btn_OKClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    Set_Lang();
}

void TFSoftOptions::Set_Lang()
{
    const StringTable& t = m_state.strings;
    setWindowTitle(t.text(300));
    m_desc->setText(t.text(301));
    m_pages->setTabText(0, t.text(302));
    m_pages->setTabText(1, t.text(303));
    m_pages->setTabText(2, t.text(319));
    m_tabLanguage->setAccessibleName(t.text(302));
    m_tabConnection->setAccessibleName(t.text(303));
    m_tabSettings->setAccessibleName(t.text(319));
    m_selLang->setText(t.text(304) + Language_In_Use);
    WindowParts::setCaption(m_prev, t.text(307));
    WindowParts::setCaption(m_next, t.text(308));
    m_pageLabel->setText(t.text(305) + QStringLiteral("1") + t.text(306) + QStringLiteral("1"));
    WindowParts::setCaption(m_enCon, t.text(309));
    WindowParts::setCaption(m_update, t.text(310));
    WindowParts::setCaption(m_checkUpdate, t.text(311));
    WindowParts::setCaption(m_jumpTable, t.text(320));
    WindowParts::setCaption(m_autoSize, t.text(321));
    WindowParts::setCaption(m_ok, t.text(312));
    WindowParts::setCaption(m_cancel, t.text(313));
}

void TFSoftOptions::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TFSoftOptions::FormShow()
{
    Language_In_Use = m_state.language;
    Create_Lang_List();
    Update_CheckBox();
    m_checkResult->hide();
    m_pages->setCurrentWidget(m_tabLanguage);
    {
        // Set all four before the rules run, as one change.
        const QSignalBlocker b1(m_enCon), b2(m_update);
        m_enCon->setChecked(m_state.enable_internet);
        m_update->setChecked(m_state.enable_update);
    }
    m_jumpTable->setChecked(m_state.enable_jump_field_tables);
    m_autoSize->setChecked(m_state.Double_Click_Auto_Size);
    Update_CheckBox();
}

void TFSoftOptions::Create_Lang_List()
{
    SL_Languages.clear();
    const QFileInfoList entries =
        QDir(m_state.languageFolder)
            .entryInfoList({QStringLiteral("*.lng")}, QDir::Files | QDir::Hidden | QDir::System,
                           QDir::Unsorted);
    for (const QFileInfo& fi : entries) {
        // Read-only files and links are not offered, as on the installers' systems.
        if (!fi.isFile() || fi.isSymLink() || !fi.permission(QFileDevice::WriteOwner))
            continue;
        SL_Languages.append(fi.fileName());
    }
    std::sort(SL_Languages.begin(), SL_Languages.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    Show_Page = 1;
    Update_Lang_Page();
}

void TFSoftOptions::Update_Lang_Page()
{
    const StringTable& t = m_state.strings;
    const int pages = pageCount();
    m_selLang->setText(t.text(304) + Language_In_Use);
    m_pageLabel->setText(t.text(305) + QString::number(Show_Page) + t.text(306) + QString::number(pages));
    m_prev->setVisible(Show_Page != 1);
    m_next->setVisible(Show_Page != pages);
    const QDir folder(m_state.languageFolder);
    for (int k = 0; k < SlotsPerPage; ++k) {
        const int index = (Show_Page - 1) * SlotsPerPage + k;
        if (index >= SL_Languages.size()) {
            m_flags[k]->hide();
            m_names[k]->hide();
            continue;
        }
        const QString language = SL_Languages.at(index).chopped(4);
        m_names[k]->setText(language);
        m_names[k]->setAccessibleName(language);
        m_names[k]->show();
        QString picture = folder.filePath(language + QStringLiteral(".bmp"));
        if (!QFileInfo::exists(picture))
            picture = folder.filePath(QStringLiteral("DefaultFlag.bmp"));
        QPixmap pixmap;
        if (QFileInfo::exists(picture) && pixmap.load(picture)) {
            m_flags[k]->setPixmap(pixmap);
            m_flags[k]->setAccessibleName(language);
            m_flags[k]->show();
        } else {
            m_flags[k]->hide();
        }
    }
}

void TFSoftOptions::Btn_NextClick(bool next)
{
    if (next && pageCount() >= Show_Page + 1)
        ++Show_Page;
    else if (!next && Show_Page - 1 > 0)
        --Show_Page;
    Update_Lang_Page();
}

void TFSoftOptions::LangClick(int slot)
{
    const int index = (Show_Page - 1) * SlotsPerPage + (slot - 1);
    if (slot < 1 || slot > SlotsPerPage || index >= SL_Languages.size())
        return;
    const QString chosen = SL_Languages.at(index).chopped(4);
    const StringTable& t = m_state.strings;
    if (!m_dialogs.yesNo(this, t.text(316) + Language_In_Use + t.text(317) + chosen + t.text(318)))
        return;
    Language_In_Use = chosen;
    // The program-wide language changes only with OK; the texts change now.
    m_state.strings.load(m_state.languageFolder, chosen);
    if (m_changeLanguage)
        m_changeLanguage();
    m_selLang->setText(m_state.text(304) + chosen);
}

void TFSoftOptions::Update_CheckBox()
{
    m_update->setEnabled(m_enCon->isChecked());
    m_checkUpdate->setEnabled(m_enCon->isChecked() && m_update->isChecked());
}

void TFSoftOptions::Btn_Check_UpdateClick()
{
    const StringTable& t = m_state.strings;
    if (m_versionCheck.Check_Version()) {
        m_checkResult->setText(
            QStringLiteral("<a href=\"%1\">%2</a>")
                .arg(m_versionCheck.downloadPage().toString(), t.text(314).toHtmlEscaped()));
        m_checkResult->setAccessibleName(t.text(314));
    } else {
        m_checkResult->setText(t.text(315).toHtmlEscaped());
        m_checkResult->setAccessibleName(t.text(315));
    }
    m_checkResult->show();
}

void TFSoftOptions::Btn_OKClick()
{
    m_state.language = Language_In_Use;
    m_state.enable_internet = m_enCon->isChecked();
    m_state.enable_update = m_update->isChecked();
    m_state.enable_jump_field_tables = m_jumpTable->isChecked();
    m_state.Double_Click_Auto_Size = m_autoSize->isChecked();
    accept();
}
