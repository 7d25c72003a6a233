#include "app/WindowParts.h"
#include "common/UiFont.h"

#include <QAbstractButton>
#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>

namespace WindowParts {

const QColor& background()
{
    static const QColor c(248, 247, 237);
    return c;
}

QFont baseFont()
{
    return uiFont();
}

void applyLook(QWidget* window)
{
    window->setFont(baseFont());
    window->setAutoFillBackground(true);
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, background());
    window->setPalette(pal);
}

Title createTitle(QWidget* parent, int width)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("P_Title"));
    panel->setGeometry(0, 0, width, TitleHeight);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, Qt::white);
    panel->setPalette(pal);

    auto* code = new QLabel(panel);
    code->setObjectName(QStringLiteral("L_SW_Code"));
    QFont big = baseFont();
    big.setPointSize(18);
    big.setBold(true);
    code->setFont(big);
    WindowParts::setTextColor(code, Qt::gray);
    code->setGeometry(16, 4, width - 24, 32);

    auto* desc = new QLabel(panel);
    desc->setObjectName(QStringLiteral("L_SW_Desc"));
    QFont bold = baseFont();
    bold.setBold(true);
    desc->setFont(bold);
    WindowParts::setTextColor(desc, Qt::gray);
    desc->setGeometry(16, 38, width - 24, 18);
    return {panel, code, desc};
}

QFrame* createButtonPanel(QWidget* parent, int width, int top)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("P_Button"));
    panel->setGeometry(0, top, width, ButtonPanelHeight);
    panel->setFrameShape(QFrame::NoFrame);
    return panel;
}

QPushButton* createPanelButton(QWidget* panel, const QString& name, int left)
{
    auto* b = new QPushButton(panel);
    b->setObjectName(name);
    b->setGeometry(left, 8, 90, 28);
    b->setAutoDefault(false);
    return b;
}

void setCaption(QAbstractButton* button, const QString& caption, const QString& hint)
{
    button->setText(caption);
    button->setAccessibleName(caption);
    if (!hint.isEmpty()) {
        button->setToolTip(hint);
        button->setAccessibleDescription(hint);
    }
}

void setTextColor(QWidget* w, const QColor& color)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, color);
    w->setPalette(pal);
}

void setHint(QWidget* w, const QString& hint)
{
    w->setToolTip(hint);
    w->setAccessibleDescription(hint);
}

} // namespace WindowParts

void ClickLabel::mouseReleaseEvent(QMouseEvent* e)
{
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
}
