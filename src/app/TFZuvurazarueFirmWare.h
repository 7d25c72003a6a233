#pragma once

#include "app/Services.h"
#include "app/VersionCheck.h"
#include "common/LangWindow.h"

#include <QHash>
#include <QList>
#include <QWidget>

#include <functional>

class ProgramState;
class QAbstractButton;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class ClickLabel;
class TFNew_Project;
class TFOpenConf;
class TFAbout;
class TFSoftOptions;

// The main window: numbered steps, one dispatch for every button.
class TFZuvurazarueFirmWare : public QWidget, public LangWindow
{
    Q_OBJECT
public:
    TFZuvurazarueFirmWare(ProgramState& state, Services services, QWidget* parent = nullptr);

    // The dialogs of the shell, created after this window.
    void setDialogs(TFNew_Project* newProject, TFOpenConf* openConf, TFAbout* about, TFSoftOptions* options);
    // Windows relabelled by Change_Language, in order (this window comes first by itself).
    void setLanguageWindows(const QList<LangWindow*>& windows) { m_langWindows = windows; }
    // What a step button opens; a button without an action does nothing.
    void setStepAction(const QString& buttonName, std::function<void()> action);

    void Set_Lang() override;
    void Change_Language();
    void Btn_Click(QAbstractButton* button);
    void Timer_UpdateTimer();
    // Returns an error text when Zuvurazaru.xml could not be written.
    QString Save_Setting();
    void updateTimerEnabled();

    QTimer* Timer_Update() const { return m_timer; }
    const VersionCheck& versionCheck() const { return m_versionCheck; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void layoutForProduct();
    QPushButton* stepButton(const QString& name, int left, int top);
    void showConfigurationLabels();
    void Create_New_Project();
    void Open_Project();

    ProgramState& m_state;
    Services m_services;
    VersionCheck m_versionCheck;
    QTimer* m_timer = nullptr;
    QLabel* m_code = nullptr;
    QLabel* m_desc = nullptr;
    QLabel* m_begin = nullptr;
    QLabel* m_nameConf = nullptr;
    QLabel* m_nameConfL2 = nullptr;
    QLabel* m_steps[8] = {};
    ClickLabel* m_quorvex = nullptr;
    QLabel* m_update = nullptr;
    QFrame* m_line = nullptr;
    QList<QAbstractButton*> m_buttons;
    QHash<QString, std::function<void()>> m_stepActions;
    QList<LangWindow*> m_langWindows;
    TFNew_Project* m_newProject = nullptr;
    TFOpenConf* m_openConf = nullptr;
    TFAbout* m_about = nullptr;
    TFSoftOptions* m_options = nullptr;
    bool m_centred = false;
};
