#pragma once

#include "common/LangWindow.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class ClickLabel;
class Dialogs;
class ProgramState;
class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;
class VersionCheck;

// Language, internet version check and table conventions.
class TFSoftOptions : public QDialog, public LangWindow
{
    Q_OBJECT
public:
    static constexpr int SlotsPerPage = 6;

    TFSoftOptions(ProgramState& state, Dialogs& dialogs, const VersionCheck& versionCheck,
                  std::function<void()> changeLanguage, std::function<void(const QUrl&)> openUrl,
                  QWidget* parent = nullptr);

    void Set_Lang() override;
    void FormShow();
    void Create_Lang_List();
    void Update_Lang_Page();
    void Btn_NextClick(bool next);
    void LangClick(int slot); // slot 1..6
    void Update_CheckBox();
    void Btn_Check_UpdateClick();
    void Btn_OKClick();

    QStringList SL_Languages;
    int Show_Page = 1;
    QString Language_In_Use;

    int pageCount() const { return int((SL_Languages.size() + 5) / 6); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    ProgramState& m_state;
    Dialogs& m_dialogs;
    const VersionCheck& m_versionCheck;
    std::function<void()> m_changeLanguage;
    std::function<void(const QUrl&)> m_openUrl;

    QLabel* m_desc;
    QTabWidget* m_pages;
    QWidget* m_tabLanguage;
    QWidget* m_tabConnection;
    QWidget* m_tabSettings;
    QLabel* m_selLang;
    ClickLabel* m_flags[SlotsPerPage];
    ClickLabel* m_names[SlotsPerPage];
    QPushButton* m_prev;
    QPushButton* m_next;
    QLabel* m_pageLabel;
    QCheckBox* m_enCon;
    QCheckBox* m_update;
    QPushButton* m_checkUpdate;
    QLabel* m_checkResult;
    QCheckBox* m_jumpTable;
    QCheckBox* m_autoSize;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
