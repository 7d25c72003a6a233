#pragma once

#include "common/LangWindow.h"

#include <QDialog>

class Dialogs;
class ProgramState;
class QLabel;
class QLineEdit;
class QPushButton;

// Step 1: creates a configuration folder in PROJECTS and makes it active.
class TFNew_Project : public QDialog, public LangWindow
{
    Q_OBJECT
public:
    TFNew_Project(ProgramState& state, Dialogs& dialogs, QWidget* parent = nullptr);
    void Set_Lang() override;
    void Btn_OKClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ProgramState& m_state;
    Dialogs& m_dialogs;
    QLabel* m_desc;
    QLabel* m_label;
    QLineEdit* m_edit;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
