#pragma once

#include "common/Dialogs.h"

#include <QList>
#include <QStringList>

// Records every box the code shows and answers questions from a queue; a
// question without a queued answer is flagged and answered No.
class ScriptedDialogs : public Dialogs
{
public:
    struct Shown
    {
        QString kind; // "error", "warning", "information", "yesNo", "yesNoCancel", "openFile", "saveFile"
        QString text;
    };
    QList<Shown> shown;
    QList<bool> yesNoAnswers;
    QList<Answer> yesNoCancelAnswers;
    QStringList fileAnswers;
    bool unexpected = false;

    QStringList texts(const QString& kind) const
    {
        QStringList out;
        for (const Shown& s : shown)
            if (s.kind == kind)
                out << s.text;
        return out;
    }
    void clear() { shown.clear(); }

    void error(QWidget*, const QString& text) override { shown.append({QStringLiteral("error"), text}); }
    void warning(QWidget*, const QString& text) override { shown.append({QStringLiteral("warning"), text}); }
    void information(QWidget*, const QString& text) override
    {
        shown.append({QStringLiteral("information"), text});
    }
    bool yesNo(QWidget*, const QString& text) override
    {
        shown.append({QStringLiteral("yesNo"), text});
        if (yesNoAnswers.isEmpty()) {
            unexpected = true;
            return false;
        }
        return yesNoAnswers.takeFirst();
    }
    Answer yesNoCancel(QWidget*, const QString& text) override
    {
        shown.append({QStringLiteral("yesNoCancel"), text});
        if (yesNoCancelAnswers.isEmpty()) {
            unexpected = true;
            return Answer::Cancel;
        }
        return yesNoCancelAnswers.takeFirst();
    }
    QString openFile(QWidget*, const QString& caption, const QString&, const QString&) override
    {
        return fileAnswer(QStringLiteral("openFile"), caption);
    }
    QString saveFile(QWidget*, const QString& caption, const QString&, const QString&) override
    {
        return fileAnswer(QStringLiteral("saveFile"), caption);
    }

private:
    QString fileAnswer(const QString& kind, const QString& caption)
    {
        shown.append({kind, caption});
        if (fileAnswers.isEmpty()) {
            unexpected = true;
            return {};
        }
        return fileAnswers.takeFirst();
    }
};
