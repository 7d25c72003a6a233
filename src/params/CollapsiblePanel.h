#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

// One numbered category of the settings editor: a bold header with a chevron
// that folds the content away, and a content area whose height the editor sets.
class CollapsiblePanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int HeaderHeight = 26;

    explicit CollapsiblePanel(const QString& objectName, QWidget* parent = nullptr);

    QWidget* content() const { return m_content; }
    void setCaption(const QString& caption);
    QString caption() const;
    bool expanded() const { return m_expanded; }
    void setExpanded(bool on);
    // Height of the content when expanded; the panel is this plus the header.
    void setContentHeight(int h);
    int contentHeight() const { return m_contentHeight; }

signals:
    void expandedChanged(bool expanded);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void relayout();

    QWidget* m_header;
    QLabel* m_caption;
    QToolButton* m_chevron;
    QWidget* m_content;
    bool m_expanded = true;
    int m_contentHeight = 0;
};
