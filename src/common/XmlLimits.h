#pragma once

#include <QString>

class QByteArray;
class QXmlStreamReader;

// What every reader of our XML documents refuses, whatever the document:
// none of them declares entities (a few bytes could expand to gigabytes, an
// external one would read another file), nests deeper than a few levels or
// holds a value of megabytes. Each refusal is a text for the user, empty
// when the document passes.
namespace XmlLimits {

inline constexpr int MaxDepth = 256;
// The longest value of ours, a rule's test value in hexadecimal digits, cannot
// usefully exceed twice the 512 KiB LoRaWAN bank.
inline constexpr int MaxAttributeLength = 1024 * 1024;

// At a DTD token: refused when it declares entities (general or parameter).
QString dtdRefusal(const QXmlStreamReader& xml);
// At a start element, with depth counting that element.
QString depthRefusal(const QXmlStreamReader& xml, int depth);
// At a start element: refused when one of its attributes is too long.
QString attributeRefusal(const QXmlStreamReader& xml);

// The reader's own error (not well-formed) with where it stopped.
QString errorText(const QXmlStreamReader& xml);

// For readers that build a whole tree: reads the document once and gives
// the first refusal; a document that is not well-formed is left to the reader.
QString check(const QByteArray& data);

} // namespace XmlLimits
