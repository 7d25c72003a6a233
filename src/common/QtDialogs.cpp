#include "common/QtDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {
QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                 const QString& text, QMessageBox::StandardButtons buttons,
                                 QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    box.setAccessibleName(title);
    return QMessageBox::StandardButton(box.exec());
}
} // namespace

void QtDialogs::error(QWidget* parent, const QString& text)
{
    show(parent, QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtDialogs::warning(QWidget* parent, const QString& text)
{
    show(parent, QMessageBox::Warning, QStringLiteral("Warning"), text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtDialogs::information(QWidget* parent, const QString& text)
{
    show(parent, QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::Ok,
         QMessageBox::Ok);
}

bool QtDialogs::yesNo(QWidget* parent, const QString& text)
{
    return show(parent, QMessageBox::Question, QStringLiteral("Confirm"), text,
                QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

Dialogs::Answer QtDialogs::yesNoCancel(QWidget* parent, const QString& text)
{
    switch (show(parent, QMessageBox::Question, QStringLiteral("Confirm"), text,
                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

QString QtDialogs::openFile(QWidget* parent, const QString& caption, const QString& folder,
                            const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString QtDialogs::saveFile(QWidget* parent, const QString& caption, const QString& suggested,
                            const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}
