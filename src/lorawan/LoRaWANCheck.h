#pragma once

#include "lorawan/LoRaWANModel.h"

#include <QList>
#include <QString>

#include <optional>

class StringTable;

// The checks the LoRaWAN access editor makes before it saves, and the number
// readers shared with the compiler so that both read a text the same way.
namespace LoRaWANCheck {

// The data memory the uplink rules write to and the downlink rules read from.
inline constexpr int DataMemorySize = 1536;

// Number texts: blanks and control characters around the text are ignored,
// then an optional "+" or "-", then decimal digits, or hexadecimal digits
// after a "0x", "0X" or "$" prefix. Anything else, and any value outside the
// type's range, is not a number.
std::optional<qint32> parseInt32(const QString& text);
std::optional<qint64> parseInt64(const QString& text);
// The same with a fallback for texts that are not numbers.
qint32 toInt32(const QString& text, qint32 fallback = -1);
qint64 toInt64(const QString& text, qint64 fallback = -1);

// 0 when the trimmed text has exactly length characters, all hexadecimal
// digits in either case; 1 when its length differs; 2 when the length is
// right but a character is not a hexadecimal digit.
int CheckStringHex(const QString& text, int length);

// The message of the first failing check, or nothing when every entry may be
// saved. Entries with an empty DeviceEUI are skipped; in end-node mode
// (gatewayMode false) the device fields of entry 0 are not checked, its
// rules are. Disabled rules are skipped but keep their number.
std::optional<QString> Check_Data(const QList<TDeviceLoRa>& devices, bool gatewayMode,
                                  const StringTable& texts);

} // namespace LoRaWANCheck
