#pragma once

#include "compiler/LoRaWANConfig.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

class ParGenKeys;

// Fills the LoRaWAN model from ParGen.xml and LoRaWAN_Gateway.xml as the
// compiler reads them (its own defaults, never the editor's).
namespace LoRaWANLoader {

// Where the device loads the LoRaWAN image; every address inside it is a device address.
inline constexpr quint32 BaseAddress = 0x80000;
inline constexpr int HeaderSize = 36;
inline constexpr int DeviceRecordSize = 96;
inline constexpr int RuleRecordSize = 24;

// The regional data-rate number of a name (trimmed, upper-cased): DR8-DR13
// for band 1 (US915), DR0-DR6 for any other band; any other text gives fallback.
quint8 DataRate_Code(const QString& text, quint8 band, quint8 fallback);

// Hex digit texts into their fields. A shorter text is padded with "0" on the
// left; each digit pair is read as hex, a pair that is not hex gives 0. EUIs
// and addresses are stored least significant byte first, keys in the order
// typed. A text longer than the field is taken only when it fits once blanks
// and control characters at its ends are removed (the editor accepts such
// blanks); otherwise there is no value: which digits were meant cannot be
// known, so the caller refuses it rather than compile a different key.
std::optional<std::array<quint8, 8>> euiFromHex(const QString& text);
std::optional<std::array<quint8, 16>> keyFromHex(const QString& text);
std::optional<std::array<quint8, 4>> addressFromHex(const QString& text);

// An uplink test value given in hex digits: an odd count gets a leading "0",
// then each pair from the left is one byte (a pair that is not hex gives 0).
QByteArray hexTestBytes(const QString& text);

// The LoRaWAN keys of ParGen.xml into parGen and the header fields of infos.
// keys without a file (ParGenKeys::exists() false) give gateway mode with
// every default. Returns an error text, empty on success: only an end node's
// EUI, key or address longer than its field is refused.
QString Read_LoRaWAN_Parameters(const ParGenKeys& keys, TLoRaWAN_ParGen& parGen, TLoRaWAN_Infos& infos);

// The devices and rules of LoRaWAN_Gateway.xml (no file: none), then the
// addresses for an image loaded at baseAddress. Gateway mode compiles the
// devices whose Enable is exactly "Y", end-node mode every device with the
// end node's identity. Structure and required attributes are checked for the
// devices and rules that are compiled. Returns an error text naming the file
// and the place when the document cannot be read; infos then holds no devices.
QString Read_Devices_And_Rules(const QString& documentPath, quint32 baseAddress,
                               const TLoRaWAN_ParGen& parGen, TLoRaWAN_Infos& infos);
// The same from the document's bytes; errors do not name a file.
QString readDevicesAndRules(const QByteArray& document, quint32 baseAddress, const TLoRaWAN_ParGen& parGen,
                            TLoRaWAN_Infos& infos);

} // namespace LoRaWANLoader
