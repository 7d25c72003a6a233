#pragma once

#include <QPushButton>

// The flat step button of the main window: icon, left-aligned caption, a
// highlight on hover. Painted by hand, which keeps start-up free of style sheets.
class StepButton : public QPushButton
{
    Q_OBJECT
public:
    explicit StepButton(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_hover = false;
};

// Icons of the shell's buttons, drawn rather than loaded.
namespace ShellIcons {
enum class Kind { Info, Options, Close, New, Open, Settings, Radio, Update };
QIcon icon(Kind kind, int size);
} // namespace ShellIcons
