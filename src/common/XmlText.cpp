#include "common/XmlText.h"

#include <QList>

namespace XmlText {

bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

void appendEscaped(QString& out, const QString& text, Place place)
{
    const bool attribute = place == Place::Attribute;
    for (const char32_t c : text.toUcs4()) {
        switch (c) {
        case U'&':
            out += u"&amp;";
            break;
        case U'<':
            out += u"&lt;";
            break;
        case U'>':
            out += u"&gt;";
            break;
        case U'\r':
            out += u"&#13;";
            break;
        case U'"':
            out += attribute ? QStringView(u"&quot;") : QStringView(u"\"");
            break;
        case U'\t':
            out += attribute ? QStringView(u"&#9;") : QStringView(u"\t");
            break;
        case U'\n':
            out += attribute ? QStringView(u"&#10;") : QStringView(u"\n");
            break;
        default:
            if (isXmlChar(c))
                out += QStringView(QChar::fromUcs4(c));
        }
    }
}

} // namespace XmlText
