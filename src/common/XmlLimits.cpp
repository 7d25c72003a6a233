#include "common/XmlLimits.h"

#include <QByteArray>
#include <QXmlStreamReader>

namespace XmlLimits {

QString dtdRefusal(const QXmlStreamReader& xml)
{
    if (xml.entityDeclarations().isEmpty())
        return QString();
    return QStringLiteral("the document declares entities, which are not accepted (line %1)").arg(xml.lineNumber());
}

QString depthRefusal(const QXmlStreamReader& xml, int depth)
{
    if (depth <= MaxDepth)
        return QString();
    return QStringLiteral("the document nests elements more than %1 deep (line %2)")
        .arg(MaxDepth)
        .arg(xml.lineNumber());
}

QString attributeRefusal(const QXmlStreamReader& xml)
{
    for (const QXmlStreamAttribute& a : xml.attributes()) {
        if (a.value().size() > MaxAttributeLength)
            return QStringLiteral("the attribute %1 of %2 holds more than %3 characters (line %4)")
                .arg(a.qualifiedName().toString(), xml.qualifiedName().toString())
                .arg(MaxAttributeLength)
                .arg(xml.lineNumber());
    }
    return QString();
}

QString errorText(const QXmlStreamReader& xml)
{
    return QStringLiteral("%1 (line %2, column %3)")
        .arg(xml.errorString())
        .arg(xml.lineNumber())
        .arg(xml.columnNumber());
}

QString check(const QByteArray& data)
{
    QXmlStreamReader xml(data);
    int depth = 0;
    while (!xml.atEnd()) {
        QString refusal;
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            refusal = dtdRefusal(xml);
            break;
        case QXmlStreamReader::StartElement:
            refusal = depthRefusal(xml, ++depth);
            if (refusal.isEmpty())
                refusal = attributeRefusal(xml);
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
        if (!refusal.isEmpty())
            return refusal;
    }
    return QString();
}

} // namespace XmlLimits
