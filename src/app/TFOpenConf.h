#pragma once

#include "common/LangWindow.h"

#include <QDialog>
#include <QStringList>

class ProgramState;
class QLabel;
class QListWidget;
class QPushButton;

// Step 1: lists the configurations of PROJECTS and hands the chosen name back.
class TFOpenConf : public QDialog, public LangWindow
{
    Q_OBJECT
public:
    explicit TFOpenConf(ProgramState& state, QWidget* parent = nullptr);
    void Set_Lang() override;

    QStringList SL;    // names found at the last showing
    QString Name_Conf; // the selected name, empty when the list is empty

    void Load_Existing_Configuration();
    void Search_Open_Conf();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ProgramState& m_state;
    QLabel* m_desc;
    QLabel* m_label;
    QListWidget* m_list;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
