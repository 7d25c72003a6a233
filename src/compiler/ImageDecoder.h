#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// Reads bank1.bin and bank2.bin back into readable values, independently of
// the code that wrote them: every offset is taken from the image layout
// itself, every count and address is checked against the file's size.
namespace ImageDecoder {

struct Result
{
    QJsonObject json;
    QString error; // a truncated or inconsistent image
};

// The parameter image: exactly 2048 bytes.
Result decodeParameterImage(const QByteArray& image);
// The LoRaWAN image, loaded at 0x80000.
Result decodeLoRaWANImage(const QByteArray& image);
// Either, told apart by size and content.
Result decode(const QByteArray& image);

} // namespace ImageDecoder
