#pragma once

#include <QDialog>
#include <QUrl>

#include <functional>

class QLabel;

// The product's identity; its texts are fixed, not translated.
class TFAbout : public QDialog
{
    Q_OBJECT
public:
    TFAbout(const QString& webAddress, const QUrl& homePage, std::function<void(const QUrl&)> openUrl,
            QWidget* parent = nullptr);
    void Label4Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QUrl m_home;
    std::function<void(const QUrl&)> m_openUrl;
    QLabel* m_code;
    QLabel* m_version;
    QLabel* m_document;
    QLabel* m_description;
};
