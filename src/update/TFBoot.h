#pragma once

#include "common/LangWindow.h"

#include <QDialog>

#include <array>

class Dialogs;
class EchoClient;
class ProgramRunner;
class ProgramState;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// "Update Device": checks with ICMP echo that the device answers, writes the
// update job and starts the external updater.
class TFBoot : public QDialog, public LangWindow
{
    Q_OBJECT
public:
    enum { Serial = 0, Ethernet = 1, USB = 2 };

    TFBoot(ProgramState& state, Dialogs& dialogs, ProgramRunner& runner, EchoClient& echo,
           QWidget* parent = nullptr);

    int Form_Type = Ethernet;
    int ping_res = 0;

    void Set_Lang() override;
    void FormShow();
    bool Send_Ping();
    void Btn_UpdateClick();
    void update_ComPort();
    // The four address boxes joined with "." exactly as typed.
    QString address() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ProgramState& m_state;
    Dialogs& m_dialogs;
    ProgramRunner& m_runner;
    EchoClient& m_echo;

    QFrame* m_title = nullptr;
    QLabel* m_desc = nullptr;
    QFrame* m_ipPanel = nullptr;
    QFrame* m_optionsPanel = nullptr;
    QFrame* m_serialPanel = nullptr;
    QFrame* m_buttonPanel = nullptr;
    QLabel* m_ipLabel = nullptr;
    std::array<QLineEdit*, 4> m_ip{};
    QLabel* m_optionLabel = nullptr;
    QComboBox* m_options = nullptr;
    QCheckBox* m_readBack = nullptr;
    QLabel* m_comLabel = nullptr;
    QComboBox* m_comPorts = nullptr;
    QPushButton* m_comList = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_update = nullptr;
};
