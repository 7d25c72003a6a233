#include "common/UiFont.h"

#include <QApplication>
#include <QFontDatabase>

namespace {
const QString& family()
{
    static const QString f = QFontDatabase::hasFamily(QStringLiteral("Verdana"))
                                 ? QStringLiteral("Verdana")
                                 : QApplication::font().family();
    return f;
}
} // namespace

QFont uiFont(int pointSize, bool bold)
{
    QFont f(family());
    f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

QFont uiFontPixels(int pixelSize, bool bold)
{
    QFont f(family());
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}
