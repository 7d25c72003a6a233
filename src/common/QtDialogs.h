#pragma once

#include "common/Dialogs.h"

// Message boxes and file dialogs of the running program.
class QtDialogs : public Dialogs
{
public:
    void error(QWidget* parent, const QString& text) override;
    void warning(QWidget* parent, const QString& text) override;
    void information(QWidget* parent, const QString& text) override;
    bool yesNo(QWidget* parent, const QString& text) override;
    Answer yesNoCancel(QWidget* parent, const QString& text) override;
    QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& filter) override;
    QString saveFile(QWidget* parent, const QString& caption, const QString& suggested,
                     const QString& filter) override;
};
