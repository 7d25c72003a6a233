#pragma once

#include "lorawan/LoRaWANModel.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

// LoRaWAN_Gateway.xml: the end devices the gateway serves, each with its
// uplink and downlink rules, every value an attribute text.
namespace LoRaWANDocument {

// Larger files are refused rather than loaded (and never written). A full
// bank holds at most a few thousand devices; this leaves room for a file of
// 100 000 to be read and refused by the compiler with a clear message.
inline constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

// What ParGen.xml says about the LoRaWAN side.
struct GatewaySettings
{
    bool master = true; // false in end-node mode
    QString band;       // the text of LoRaWAN_RF_Band, empty when there is none
};

// Gateway mode unless ParGen.xml exists, is well-formed and its LoRaWAN_Mode
// text, upper-cased but not trimmed, is "END NODE". A file that cannot be
// read, or is not well-formed, gives the defaults. Elements are looked up as
// the ParGen.xml reader does: the first node of the document is the root, the
// first child element of that name counts, and only a plain text content is a
// value.
GatewaySettings readGatewaySettings(const QString& parGenPath);

// The RX2 data-rate pick list: the band's names and one empty item; the
// EU868 names for any band other than exactly "US915".
QStringList rx2Items(const GatewaySettings& settings);

// The rule flags of both readers: set when the text, trimmed and upper-cased, is "Y".
bool ruleFlag(const QString& text);

// The whole document: devices up to, not including, the first whose
// DeviceEUI is empty after trimming, each with all its rules, then the
// version comment. UTF-8, no declaration, no indentation.
QByteArray write(const QList<TDeviceLoRa>& devices);

struct ReadResult
{
    QList<TDeviceLoRa> devices; // empty whenever error is set
    QString error;              // empty when the document was read
    // Devices beyond LoRaWAN::DeviceRows (gateway mode) and rules beyond
    // LoRaWAN::RuleRows in one list do not fit the editor; they are not read
    // and counted here so that the caller can warn before they are lost.
    int skippedDevices = 0;
    int skippedRules = 0;
};

// The editor's reading. Gateway mode takes every child of the devices list
// (up to LoRaWAN::DeviceRows), end-node mode only the first one; a device or
// rule is any element child, whatever its name. A missing structural element
// or required attribute, a document that is not well-formed or one whose DTD
// declares entities gives the error and no devices.
ReadResult read(const QByteArray& data, bool gatewayMode);
ReadResult read(QIODevice& device, bool gatewayMode);

// Replaces the file as a whole; returns an error text, empty on success.
// A document larger than MaxFileSize is not written, since it could not be
// opened again; the old file stays.
QString save(const QString& path, const QList<TDeviceLoRa>& devices);
// No file gives no devices and no error.
ReadResult load(const QString& path, bool gatewayMode);

} // namespace LoRaWANDocument
