#include "app/StepButton.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>

StepButton::StepButton(QWidget* parent) : QPushButton(parent)
{
    setFlat(true);
    setAutoDefault(false);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

void StepButton::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    update();
    QPushButton::enterEvent(event);
}

void StepButton::leaveEvent(QEvent* event)
{
    m_hover = false;
    update();
    QPushButton::leaveEvent(event);
}

void StepButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    const QColor fill = isDown()  ? QColor(0xe8, 0xd2, 0x86)
                        : m_hover ? QColor(0xf3, 0xe3, 0xa8)
                                  : QColor(0xff, 0xfd, 0xf4);
    p.fillRect(r, fill);
    p.setPen(hasFocus() ? QColor(0x6a, 0x7f, 0xa8) : QColor(0xc8, 0xc4, 0xb0));
    p.drawRect(r);
    int x = 8;
    if (!icon().isNull()) {
        const QSize s(20, 20);
        icon().paint(&p, QRect(QPoint(x, (height() - s.height()) / 2), s));
        x += s.width() + 6;
    }
    p.setPen(isEnabled() ? palette().color(QPalette::ButtonText)
                         : palette().color(QPalette::Disabled, QPalette::ButtonText));
    p.drawText(QRect(x, 0, width() - x - 4, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
}

namespace ShellIcons {

QIcon icon(Kind kind, int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    const QColor blue(0x2b, 0x57, 0x9a), green(0x2e, 0x8b, 0x57), red(0xb0, 0x30, 0x30),
        ink(0x44, 0x44, 0x44);
    QPen pen(ink, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (kind) {
    case Kind::Info:
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        p.drawEllipse(QRectF(2, 2, 28, 28));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(14, 7, 4, 4));
        p.drawRoundedRect(QRectF(14, 13, 4, 12), 1.5, 1.5);
        break;
    case Kind::Options:
        p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(5, 8 + 8 * i), QPointF(27, 8 + 8 * i));
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        p.drawEllipse(QRectF(17, 5, 7, 7));
        p.drawEllipse(QRectF(7, 13, 7, 7));
        p.drawEllipse(QRectF(19, 21, 7, 7));
        break;
    case Kind::Close:
        p.setPen(QPen(red, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(24, 24));
        p.drawLine(QPointF(24, 8), QPointF(8, 24));
        break;
    case Kind::New: {
        p.setPen(pen);
        p.setBrush(Qt::white);
        QPainterPath page;
        page.moveTo(7, 3);
        page.lineTo(20, 3);
        page.lineTo(26, 9);
        page.lineTo(26, 29);
        page.lineTo(7, 29);
        page.closeSubpath();
        p.drawPath(page);
        p.setPen(QPen(green, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16.5, 12), QPointF(16.5, 23));
        p.drawLine(QPointF(11, 17.5), QPointF(22, 17.5));
        break;
    }
    case Kind::Open:
        p.setPen(pen);
        p.setBrush(QColor(0xf0, 0xc8, 0x50));
        p.drawRect(QRectF(3, 9, 26, 18));
        p.drawRect(QRectF(3, 6, 10, 3));
        break;
    case Kind::Settings:
        p.setPen(pen);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(3, 5, 26, 17), 2, 2);
        p.drawLine(QPointF(11, 27), QPointF(21, 27));
        p.drawLine(QPointF(16, 22), QPointF(16, 27));
        p.setPen(QPen(blue, 2));
        p.drawLine(QPointF(7, 10), QPointF(25, 10));
        p.drawLine(QPointF(7, 15), QPointF(19, 15));
        break;
    case Kind::Radio:
        p.setPen(QPen(blue, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(6, 4, 20, 20), 30 * 16, 120 * 16);
        p.drawArc(QRectF(10, 8, 12, 12), 30 * 16, 120 * 16);
        p.setPen(pen);
        p.drawLine(QPointF(16, 14), QPointF(16, 29));
        p.drawLine(QPointF(10, 29), QPointF(22, 29));
        break;
    case Kind::Update:
        p.setPen(Qt::NoPen);
        p.setBrush(green);
        p.drawEllipse(QRectF(2, 2, 28, 28));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(16, 7), QPointF(24, 16), QPointF(19, 16), QPointF(19, 25),
                                 QPointF(13, 25), QPointF(13, 16), QPointF(8, 16)}));
        break;
    }
    p.end();
    return QIcon(pm);
}

} // namespace ShellIcons
