#pragma once

#include "compiler/LoRaWANConfig.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// bank2.bin: header, device records, rule records, test bytes, then the
// packet-forwarder text with a line feed after each line and one 0 byte.
namespace LoRaWANImage {

// The device's LoRaWAN bank; a larger image cannot be loaded.
inline constexpr qint64 Capacity = 524288;

// The number of bytes the image of this model and text takes.
qint64 imageSize(const TLoRaWAN_Infos& infos, const QStringList& lines);

} // namespace LoRaWANImage

// The image, exactly its size long. An image larger than the bank is not
// built: the result is empty and error names both sizes.
QByteArray Serialize_LoRaWAN_Image(const TLoRaWAN_Infos& infos, const QStringList& lines, QString* error);
