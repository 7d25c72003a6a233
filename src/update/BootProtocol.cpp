#include "update/BootProtocol.h"

#include <array>

namespace BootProtocol {

namespace {

constexpr std::array<quint32, 256> makeCrcTable()
{
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
        table[i] = c;
    }
    return table;
}

constexpr std::array<quint32, 256> CrcTable = makeCrcTable();

void putU8(QByteArray& b, quint32 v)
{
    b.append(char(v & 0xFF));
}
void putU16(QByteArray& b, quint32 v)
{
    putU8(b, v);
    putU8(b, v >> 8);
}
void putU32(QByteArray& b, quint32 v)
{
    putU16(b, v);
    putU16(b, v >> 16);
}

// Reads within [0, size) only; the callers check the size first.
quint32 u8(const QByteArray& b, qsizetype at)
{
    return quint8(b.at(at));
}
quint32 u16(const QByteArray& b, qsizetype at)
{
    return u8(b, at) | (u8(b, at + 1) << 8);
}
quint32 u32(const QByteArray& b, qsizetype at)
{
    return u16(b, at) | (u16(b, at + 2) << 16);
}

bool knownType(quint32 t)
{
    switch (Type(t)) {
    case Type::EnterBoot:
    case Type::BeginRegion:
    case Type::WriteBlock:
    case Type::EndRegion:
    case Type::ReadRequest:
    case Type::ReadResponse:
    case Type::GoToApplication:
    case Type::Ack:
    case Type::Nak:
        return true;
    }
    return false;
}

bool knownStatus(quint32 s)
{
    return s <= quint32(Status::StorageFailed);
}

bool validBlock(qsizetype n)
{
    return n >= 1 && n <= MaxBlock;
}

// The payload of a packet, or nothing when its values cannot be sent.
std::optional<QByteArray> payload(const Packet& p)
{
    QByteArray b;
    switch (p.type) {
    case Type::EnterBoot:
    case Type::GoToApplication:
        break;
    case Type::BeginRegion:
        putU32(b, p.address);
        putU32(b, p.length);
        break;
    case Type::EndRegion:
        putU32(b, p.address);
        putU32(b, p.checksum);
        break;
    case Type::WriteBlock:
    case Type::ReadResponse:
        if (!validBlock(p.data.size()))
            return std::nullopt;
        putU32(b, p.address);
        b.append(p.data);
        break;
    case Type::ReadRequest:
        if (!validBlock(p.length))
            return std::nullopt;
        putU32(b, p.address);
        putU16(b, p.length);
        break;
    case Type::Ack:
    case Type::Nak:
        if (!isRequest(p.answered) || !knownStatus(quint32(p.status)) ||
            (p.type == Type::Ack) != (p.status == Status::Ok))
            return std::nullopt;
        putU8(b, quint8(p.answered));
        putU8(b, quint8(p.status));
        break;
    default:
        return std::nullopt;
    }
    return b;
}

} // namespace

quint32 crc32(const char* data, qsizetype size, quint32 previous)
{
    quint32 c = ~previous;
    for (qsizetype i = 0; i < size; ++i)
        c = CrcTable[(c ^ quint8(data[i])) & 0xFF] ^ (c >> 8);
    return ~c;
}

quint32 crc32(const QByteArray& data)
{
    return crc32(data.constData(), data.size());
}

bool isRequest(Type type)
{
    switch (type) {
    case Type::EnterBoot:
    case Type::BeginRegion:
    case Type::WriteBlock:
    case Type::EndRegion:
    case Type::ReadRequest:
    case Type::GoToApplication:
        return true;
    case Type::ReadResponse:
    case Type::Ack:
    case Type::Nak:
        return false;
    }
    return false;
}

Packet enterBoot(quint32 sequence)
{
    return {.type = Type::EnterBoot, .sequence = sequence};
}

Packet beginRegion(quint32 sequence, quint32 start, quint32 length)
{
    return {.type = Type::BeginRegion, .sequence = sequence, .address = start, .length = length};
}

Packet writeBlock(quint32 sequence, quint32 address, const QByteArray& data)
{
    return {.type = Type::WriteBlock, .sequence = sequence, .address = address, .data = data};
}

Packet endRegion(quint32 sequence, quint32 start, quint32 checksum)
{
    return {.type = Type::EndRegion, .sequence = sequence, .address = start, .checksum = checksum};
}

Packet readRequest(quint32 sequence, quint32 address, quint32 length)
{
    return {.type = Type::ReadRequest, .sequence = sequence, .address = address, .length = length};
}

Packet readResponse(quint32 sequence, quint32 address, const QByteArray& data)
{
    return {.type = Type::ReadResponse, .sequence = sequence, .address = address, .data = data};
}

Packet goToApplication(quint32 sequence)
{
    return {.type = Type::GoToApplication, .sequence = sequence};
}

Packet ack(quint32 sequence, Type answered)
{
    return {.type = Type::Ack, .sequence = sequence, .answered = answered};
}

Packet nak(quint32 sequence, Type answered, Status status)
{
    return {.type = Type::Nak, .sequence = sequence, .answered = answered, .status = status};
}

QByteArray encode(const Packet& p)
{
    const std::optional<QByteArray> body = payload(p);
    if (!body)
        return {};
    QByteArray b;
    b.reserve(HeaderSize + body->size() + CrcSize);
    b.append(Magic0);
    b.append(Magic1);
    putU8(b, Version);
    putU8(b, quint8(p.type));
    putU32(b, p.sequence);
    putU16(b, quint32(body->size()));
    b.append(*body);
    putU32(b, crc32(b));
    return b;
}

std::optional<Packet> parse(const QByteArray& d)
{
    const qsizetype size = d.size();
    if (size < HeaderSize + CrcSize || size > MaxPacketSize)
        return std::nullopt;
    if (d.at(0) != Magic0 || d.at(1) != Magic1 || u8(d, 2) != Version || !knownType(u8(d, 3)))
        return std::nullopt;
    const qsizetype n = u16(d, 8);
    if (HeaderSize + n + CrcSize != size)
        return std::nullopt;
    if (u32(d, size - CrcSize) != crc32(d.constData(), size - CrcSize))
        return std::nullopt;

    Packet p;
    p.type = Type(u8(d, 3));
    p.sequence = u32(d, 4);
    const qsizetype at = HeaderSize;
    switch (p.type) {
    case Type::EnterBoot:
    case Type::GoToApplication:
        if (n != 0)
            return std::nullopt;
        break;
    case Type::BeginRegion:
        if (n != 8)
            return std::nullopt;
        p.address = u32(d, at);
        p.length = u32(d, at + 4);
        break;
    case Type::EndRegion:
        if (n != 8)
            return std::nullopt;
        p.address = u32(d, at);
        p.checksum = u32(d, at + 4);
        break;
    case Type::WriteBlock:
    case Type::ReadResponse:
        if (n < 4 || !validBlock(n - 4))
            return std::nullopt;
        p.address = u32(d, at);
        p.data = d.mid(at + 4, n - 4);
        break;
    case Type::ReadRequest:
        if (n != 6)
            return std::nullopt;
        p.address = u32(d, at);
        p.length = u16(d, at + 4);
        if (!validBlock(p.length))
            return std::nullopt;
        break;
    case Type::Ack:
    case Type::Nak: {
        if (n != 2)
            return std::nullopt;
        const quint32 answered = u8(d, at), status = u8(d, at + 1);
        if (!knownType(answered) || !isRequest(Type(answered)) || !knownStatus(status))
            return std::nullopt;
        p.answered = Type(answered);
        p.status = Status(status);
        if ((p.type == Type::Ack) != (p.status == Status::Ok))
            return std::nullopt;
        break;
    }
    }
    return p;
}

QString typeName(Type type)
{
    switch (type) {
    case Type::EnterBoot:
        return QStringLiteral("enter boot");
    case Type::BeginRegion:
        return QStringLiteral("begin region");
    case Type::WriteBlock:
        return QStringLiteral("write block");
    case Type::EndRegion:
        return QStringLiteral("end region");
    case Type::ReadRequest:
        return QStringLiteral("read request");
    case Type::ReadResponse:
        return QStringLiteral("read response");
    case Type::GoToApplication:
        return QStringLiteral("go to application");
    case Type::Ack:
        return QStringLiteral("acknowledge");
    case Type::Nak:
        return QStringLiteral("negative acknowledge");
    }
    return QStringLiteral("type 0x%1").arg(quint8(type), 2, 16, QLatin1Char('0'));
}

QString statusText(Status status)
{
    switch (status) {
    case Status::Ok:
        return QStringLiteral("ok");
    case Status::NotInBoot:
        return QStringLiteral("the boot loader has not been entered");
    case Status::NoRegion:
        return QStringLiteral("no region has been begun");
    case Status::OutOfRange:
        return QStringLiteral("the addresses lie outside the region");
    case Status::BadLength:
        return QStringLiteral("the region's length is not accepted");
    case Status::ChecksumMismatch:
        return QStringLiteral("the region's checksum differs");
    case Status::Incomplete:
        return QStringLiteral("not every byte of the region was written");
    case Status::Overlap:
        return QStringLiteral("the region overlaps one already written");
    case Status::StorageFailed:
        return QStringLiteral("the device could not store the region");
    }
    return QStringLiteral("status %1").arg(quint8(status));
}

} // namespace BootProtocol
