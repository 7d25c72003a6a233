#include "params/CollapsiblePanel.h"
#include "common/UiFont.h"

#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

namespace {
// The header: a click anywhere on it folds or unfolds the panel.
class PanelHeader : public QWidget
{
public:
    explicit PanelHeader(std::function<void()> toggle, QWidget* parent)
        : QWidget(parent), m_toggle(std::move(toggle))
    {
        setCursor(Qt::PointingHandCursor);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(0xea, 0xe7, 0xd8));
        setPalette(pal);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && isEnabled())
            m_toggle();
    }

private:
    std::function<void()> m_toggle;
};
} // namespace

CollapsiblePanel::CollapsiblePanel(const QString& objectName, QWidget* parent) : QWidget(parent)
{
    setObjectName(objectName);
    m_header = new PanelHeader([this] { setExpanded(!m_expanded); }, this);
    m_caption = new QLabel(m_header);
    QFont f = uiFontPixels(15, true);
    m_caption->setFont(f);
    QPalette pal = m_caption->palette();
    pal.setColor(QPalette::WindowText, Qt::gray);
    m_caption->setPalette(pal);
    m_caption->move(8, 4);
    m_chevron = new QToolButton(m_header);
    m_chevron->setAutoRaise(true);
    m_chevron->setArrowType(Qt::UpArrow);
    m_chevron->setFocusPolicy(Qt::TabFocus);
    connect(m_chevron, &QToolButton::clicked, this, [this] { setExpanded(!m_expanded); });
    m_content = new QWidget(this);
    relayout();
}

void CollapsiblePanel::setCaption(const QString& caption)
{
    m_caption->setText(caption);
    m_caption->adjustSize();
    m_chevron->setAccessibleName(caption);
    setAccessibleName(caption);
}

QString CollapsiblePanel::caption() const
{
    return m_caption->text();
}

void CollapsiblePanel::setExpanded(bool on)
{
    if (m_expanded == on)
        return;
    m_expanded = on;
    relayout();
    emit expandedChanged(on);
}

void CollapsiblePanel::setContentHeight(int h)
{
    if (m_contentHeight == h)
        return;
    m_contentHeight = h;
    relayout();
}

void CollapsiblePanel::relayout()
{
    const int w = width() > 0 ? width() : 440;
    m_header->setGeometry(0, 0, w, HeaderHeight);
    m_chevron->setGeometry(w - HeaderHeight, 2, HeaderHeight - 4, HeaderHeight - 4);
    m_chevron->setArrowType(m_expanded ? Qt::UpArrow : Qt::DownArrow);
    m_content->setGeometry(0, HeaderHeight, w, m_contentHeight);
    m_content->setVisible(m_expanded);
    setFixedHeight(HeaderHeight + (m_expanded ? m_contentHeight : 0));
}

void CollapsiblePanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}
