#pragma once

#include <QString>

// Escaping for the documents' own small XML writers. Characters that XML
// cannot hold are dropped and unpaired surrogates become U+FFFD: written as
// they are, they would make the whole document unreadable.
namespace XmlText {

enum class Place {
    Content,  // CR as a reference: readers turn a literal CR into LF
    Attribute // also quotes, and TAB/LF/CR as references (readers turn them into blanks)
};

bool isXmlChar(char32_t c);
void appendEscaped(QString& out, const QString& text, Place place);

} // namespace XmlText
