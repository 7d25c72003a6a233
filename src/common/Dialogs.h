#pragma once

#include <QString>

class QWidget;

// The one seam for modal message boxes and file dialogs; tests install a
// scripted double that records every box and answers from a queue.
class Dialogs
{
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Dialogs() = default;
    virtual void error(QWidget* parent, const QString& text) = 0;
    virtual void warning(QWidget* parent, const QString& text) = 0;
    virtual void information(QWidget* parent, const QString& text) = 0;
    virtual bool yesNo(QWidget* parent, const QString& text) = 0;
    virtual Answer yesNoCancel(QWidget* parent, const QString& text) = 0;
    // Empty result: the user cancelled.
    virtual QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                             const QString& filter) = 0;
    virtual QString saveFile(QWidget* parent, const QString& caption, const QString& suggested,
                             const QString& filter) = 0;
};
