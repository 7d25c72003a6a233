#pragma once

#include <QStringList>

// The English default of every index, in index order (exactly StringTable::Size
// entries; an index without a text holds a single blank).
const QStringList& defaultTexts();

// Parses the compiled-in table format: "<index>\t<text>" per line, "#" comments,
// "\n" and "\\" escapes. Exposed for the tests and the English.lng generator.
QStringList parseDefaultTexts(const QByteArray& data, QString* error = nullptr);
