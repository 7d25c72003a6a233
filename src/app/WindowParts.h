#pragma once

#include <QLabel>

class QAbstractButton;
class QFrame;
class QPushButton;
class QWidget;

// Pieces every window of the shell shares: the title panel with the software
// code, the button panel, the look of the step buttons.
namespace WindowParts {

inline constexpr int TitleHeight = 64;
inline constexpr int ButtonPanelHeight = 44;

const QColor& background();
QFont baseFont();
// Font and cream background of every window of the shell.
void applyLook(QWidget* window);

struct Title
{
    QFrame* panel;
    QLabel* code;
    QLabel* desc;
};
// P_Title across the top of the parent, with L_SW_Code and L_SW_Desc.
Title createTitle(QWidget* parent, int width);
QFrame* createButtonPanel(QWidget* parent, int width, int top);
QPushButton* createPanelButton(QWidget* panel, const QString& name, int left);

// Sets the text and the tooltip hint; the accessible name follows the caption.
void setCaption(QAbstractButton* button, const QString& caption, const QString& hint = {});
void setHint(QWidget* w, const QString& hint);
void setTextColor(QWidget* w, const QColor& color);

} // namespace WindowParts

// A label that reports clicks, for flags, language names and web links.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};
