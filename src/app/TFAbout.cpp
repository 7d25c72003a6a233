#include "app/TFAbout.h"

#include "app/WindowParts.h"
#include "common/ProgramState.h"

#include <QPainter>
#include <QPushButton>

namespace {

// The maker's logo, drawn so that no picture file has to ship.
QPixmap logo()
{
    QPixmap p(81, 81);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setBrush(QColor(28, 64, 120));
    g.setPen(Qt::NoPen);
    g.drawRoundedRect(QRectF(2, 2, 77, 77), 12, 12);
    g.setPen(QPen(QColor(248, 247, 237), 8));
    g.setBrush(Qt::NoBrush);
    g.drawEllipse(QRectF(18, 16, 42, 42));
    g.drawLine(QPointF(48, 48), QPointF(64, 66));
    return p;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text, int left, int top, bool bold = false)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    QFont f = WindowParts::baseFont();
    f.setBold(bold);
    l->setFont(f);
    l->move(left, top);
    l->adjustSize();
    return l;
}

} // namespace

TFAbout::TFAbout(const QString& webAddress, const QUrl& homePage, std::function<void(const QUrl&)> openUrl,
                 QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_home(homePage),
      m_openUrl(std::move(openUrl))
{
    setObjectName(QStringLiteral("FAbout"));
    setWindowTitle(QStringLiteral("About..."));
    WindowParts::applyLook(this);

    auto* image = new ClickLabel(this);
    image->setObjectName(QStringLiteral("Image2"));
    image->setGeometry(32, 24, 81, 81);
    image->setPixmap(logo());
    image->setCursor(Qt::PointingHandCursor);
    image->setAccessibleName(webAddress);
    connect(image, &ClickLabel::clicked, this, &TFAbout::Label4Click);

    label(this, QStringLiteral("Label1"), QStringLiteral("Software Zuvurazaru "), 136, 16, true);
    m_description = label(this, QStringLiteral("Label2"), QString(), 136, 34);
    label(this, QStringLiteral("Label6"), QStringLiteral("Software Code : "), 136, 56);
    m_code = label(this, QStringLiteral("Label9"), QString(), 256, 56, true);
    label(this, QStringLiteral("Label3"), QStringLiteral("Version :"), 136, 72);
    m_version = label(this, QStringLiteral("Label10"), QString(), 256, 72, true);
    label(this, QStringLiteral("Label8"), QStringLiteral("Document Code :"), 136, 88);
    m_document = label(this, QStringLiteral("Label12"), QString(), 256, 88, true);

    auto* link = new ClickLabel(webAddress, this);
    link->setObjectName(QStringLiteral("Label4"));
    WindowParts::setTextColor(link, Qt::blue);
    link->setCursor(Qt::PointingHandCursor);
    QFont underlined = WindowParts::baseFont();
    underlined.setUnderline(true);
    link->setFont(underlined);
    link->adjustSize();
    link->move(425 - 16 - link->width(), 122);
    link->setAccessibleName(webAddress);
    connect(link, &ClickLabel::clicked, this, &TFAbout::Label4Click);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Btn_OK"));
    ok->setAccessibleName(QStringLiteral("OK"));
    ok->setGeometry(32, 114, 81, 26);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(425, 148);
}

void TFAbout::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_description->setText(Product::SoftwareDescription);
    m_description->adjustSize();
    m_code->setText(Product::SoftwareCode);
    m_code->adjustSize();
    m_version->setText(Product::ProgramVersion);
    m_version->adjustSize();
    m_document->setText(Product::DocumentCode);
    m_document->adjustSize();
    setFixedSize(425, 148);
}

void TFAbout::Label4Click()
{
    if (m_openUrl)
        m_openUrl(m_home);
}
