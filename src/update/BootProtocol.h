#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

// The UDP protocol between the updater and the gateway's boot loader.
//
// Every datagram is one packet, all fields little-endian:
//
//   offset  size  field
//   0       2     magic "ZB"
//   2       1     protocol version (1)
//   3       1     packet type
//   4       4     sequence number: chosen by the updater, echoed in the answer
//   8       2     payload length n
//   10      n     payload (layout by type, below)
//   10+n    4     CRC-32 (IEEE) of bytes 0 .. 10+n-1
//
// Payloads (addresses are absolute device addresses):
//   EnterBoot        -
//   BeginRegion      start u32, total length u32   (erases the region)
//   WriteBlock       address u32, 1..1024 data bytes
//   EndRegion        start u32, CRC-32 of the whole region u32
//   ReadRequest      address u32, length u16 (1..1024)
//   ReadResponse     address u32, 1..1024 data bytes
//   GoToApplication  -
//   Ack              answered type u8, status u8 (always Ok)
//   Nak              answered type u8, status u8 (never Ok)
//
// The updater sends requests; the device answers each with Ack, Nak or (to a
// ReadRequest) ReadResponse carrying the request's sequence number. A request
// that is repeated with the same sequence number gets the same answer again,
// so a lost answer never makes the device act twice.
namespace BootProtocol {

inline constexpr char Magic0 = 'Z';
inline constexpr char Magic1 = 'B';
inline constexpr quint8 Version = 1;
inline constexpr int HeaderSize = 10;
inline constexpr int CrcSize = 4;
inline constexpr int MaxBlock = 1024;
inline constexpr int MaxPayload = 4 + MaxBlock;
inline constexpr int MaxPacketSize = HeaderSize + MaxPayload + CrcSize;
// The largest region a device is asked to take in one piece.
inline constexpr quint32 MaxRegionLength = 16 * 1024 * 1024;

enum class Type : quint8 {
    EnterBoot = 0x01,
    BeginRegion = 0x02,
    WriteBlock = 0x03,
    EndRegion = 0x04,
    ReadRequest = 0x05,
    ReadResponse = 0x06,
    GoToApplication = 0x07,
    Ack = 0x10,
    Nak = 0x11,
};

enum class Status : quint8 {
    Ok = 0,
    NotInBoot = 1,        // the boot loader has not been entered
    NoRegion = 2,         // no region has been begun
    OutOfRange = 3,       // the addresses lie outside the region or the memory
    BadLength = 4,        // a region of no bytes or of more than MaxRegionLength
    ChecksumMismatch = 5, // the region's CRC-32 differs from the one received
    Incomplete = 6,       // the region was ended before every byte was written
    Overlap = 7,          // the region overlaps one written since entering the boot loader
    StorageFailed = 8,    // the device could not keep the region
};

struct Packet
{
    Type type = Type::EnterBoot;
    quint32 sequence = 0;
    quint32 address = 0;  // BeginRegion, EndRegion: region start; WriteBlock, ReadRequest, ReadResponse
    quint32 length = 0;   // BeginRegion: total length; ReadRequest: bytes asked for
    quint32 checksum = 0; // EndRegion: CRC-32 of the region
    QByteArray data{};    // WriteBlock, ReadResponse
    Type answered = Type::EnterBoot; // Ack, Nak
    Status status = Status::Ok;      // Ack, Nak

    bool operator==(const Packet&) const = default;
};

Packet enterBoot(quint32 sequence);
Packet beginRegion(quint32 sequence, quint32 start, quint32 length);
Packet writeBlock(quint32 sequence, quint32 address, const QByteArray& data);
Packet endRegion(quint32 sequence, quint32 start, quint32 checksum);
Packet readRequest(quint32 sequence, quint32 address, quint32 length);
Packet readResponse(quint32 sequence, quint32 address, const QByteArray& data);
Packet goToApplication(quint32 sequence);
Packet ack(quint32 sequence, Type answered);
Packet nak(quint32 sequence, Type answered, Status status);

// The datagram, or an empty array for a packet the parser would refuse
// (a data block of no bytes or too many, a length out of range, an Ack with
// a failure status or a Nak without one).
QByteArray encode(const Packet& packet);
// The packet, or nothing for any datagram that is not exactly one well-formed
// packet: every length and field is checked before it is read.
std::optional<Packet> parse(const QByteArray& datagram);

bool isRequest(Type type);
QString typeName(Type type);
QString statusText(Status status);

// CRC-32 (IEEE 802.3, reflected, as zlib computes it); continue with previous.
quint32 crc32(const char* data, qsizetype size, quint32 previous = 0);
quint32 crc32(const QByteArray& data);

} // namespace BootProtocol
