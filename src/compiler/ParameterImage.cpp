#include "compiler/ParameterImage.h"

#include "compiler/ParGenKeys.h"

#include <array>

namespace {

// Field offsets of the record; every byte not named here stays 0.
constexpr qsizetype BaudA = 0x000;
constexpr qsizetype BaudB = 0x004;
constexpr qsizetype SerialSpeed = 0x00C;
constexpr qsizetype EthernetIp = 0x028;
constexpr qsizetype EthernetMask = 0x02C;
constexpr qsizetype EthernetGateway = 0x030;
constexpr qsizetype FixedPort = 0x034;
constexpr qsizetype EthernetTcpPort = 0x036;
constexpr qsizetype EthernetUdpPort = 0x038;
constexpr qsizetype FixedEights = 0x1B4;
constexpr qsizetype WiFiSsid = 0x47C;
constexpr qsizetype WiFiPassword = 0x49C;
constexpr qsizetype DhcpFlags = 0x4E8;
constexpr qsizetype WiFiDhcpEnable = 0x4EA;
constexpr qsizetype WiFiSecureType = 0x4EB;
constexpr qsizetype WiFiDhcpFirst = 0x4EC;
constexpr qsizetype WiFiDhcpMask = 0x4F0;
constexpr qsizetype WiFiLeaseTime = 0x4F4;
constexpr qsizetype WiFiMaxClients = 0x4F8;
constexpr qsizetype WiFiType = 0x4F9;
constexpr qsizetype WiFiChannel = 0x4FA;
constexpr qsizetype WiFiAutoChannel = 0x4FB;
constexpr qsizetype WiFiIp = 0x4FC;
constexpr qsizetype WiFiMask = 0x500;
constexpr qsizetype WiFiGateway = 0x504;
constexpr qsizetype WiFiSecondBlock = 0x508;
constexpr qsizetype DeviceName = 0x514;
constexpr qsizetype SecondaryDns = 0x53C;
constexpr qsizetype PrimaryDns = 0x58C;
constexpr qsizetype VersionText = 0x66C;
constexpr qsizetype LoRaWANAddress = 0x674;
constexpr qsizetype Checksum = 0x7FC;

constexpr qsizetype SsidSize = 32;
constexpr qsizetype PasswordSize = 64;
// One byte short of the 32-byte field, so the name always ends with a 0.
constexpr qsizetype DeviceNameChars = 31;
constexpr qsizetype SecondBlockSize = 12;

using Octets = std::array<quint32, 4>;

constexpr Octets AllOnes{255, 255, 255, 255};

// Four single-byte keys PREFIX1..PREFIX4, each with its own default.
void putAddress(ImageBuffer& image, qsizetype at, const ParGenKeys& keys, const QString& prefix,
                const Octets& defaults)
{
    for (int i = 0; i < 4; ++i)
        image.putU8(at + i, quint32(keys.number(prefix + QString::number(i + 1), defaults[i])));
}

void putOctets(ImageBuffer& image, qsizetype at, const Octets& octets)
{
    for (int i = 0; i < 4; ++i)
        image.putU8(at + i, octets[i]);
}

} // namespace

ParameterImage::ParameterImage() : m_image(Size)
{
    Reset_Parameter_Image();
}

void ParameterImage::Reset_Parameter_Image()
{
    m_image = ImageBuffer(Size);
    m_image.putU32(BaudA, 250000);
    m_image.putU32(BaudB, 250000);
    m_image.putU32(SerialSpeed, 9600);
    putOctets(m_image, EthernetIp, {192, 168, 2, 205});
    putOctets(m_image, EthernetMask, {255, 255, 255, 0});
    putOctets(m_image, EthernetGateway, AllOnes);
    m_image.putU16(FixedPort, 10000);
    m_image.putU16(EthernetTcpPort, 10001);
    m_image.putU16(EthernetUdpPort, 10001);
    m_image.putBytes(FixedEights, QByteArray(8, '\x08'));
}

void ParameterImage::readParameters(const ParGenKeys& keys)
{
    // Without ParGen.xml the reset values stand, and no version text is written.
    if (!keys.exists())
        return;

    m_image.putBytes(VersionText, QByteArrayLiteral("1.000\0\0\0"));

    m_image.putText(DeviceName, keys.text(QStringLiteral("Eth_Conn_Device_Name")), DeviceNameChars);

    quint32 dhcp = 0;
    if (keys.flag(QStringLiteral("Eth_Conn_DHCP_Cable")))
        dhcp |= 0x1;
    if (keys.flag(QStringLiteral("Eth_Conn_DHCP_WiFi")))
        dhcp |= 0x2;
    m_image.putU16(DhcpFlags, dhcp);

    if (keys.flag(QStringLiteral("Eth_Conn_Enable_DNS"))) {
        putAddress(m_image, PrimaryDns, keys, QStringLiteral("Eth_Conn_Primary_DNS"), {8, 8, 8, 8});
        putAddress(m_image, SecondaryDns, keys, QStringLiteral("Eth_Conn_Secondary_DNS"), {8, 8, 4, 4});
    }

    putAddress(m_image, EthernetIp, keys, QStringLiteral("Ethernet_IP"), {192, 168, 0, 10});
    putAddress(m_image, EthernetMask, keys, QStringLiteral("Ethernet_SM"), {255, 255, 255, 0});
    putAddress(m_image, EthernetGateway, keys, QStringLiteral("Ethernet_GAT"), {192, 168, 0, 1});
    if (!keys.flag(QStringLiteral("Ethernet_EN_GAT")))
        putOctets(m_image, EthernetGateway, AllOnes);
    m_image.putU16(EthernetTcpPort, quint32(keys.number(QStringLiteral("Ethernet_TCP_Port"), 10001)));
    m_image.putU16(EthernetUdpPort, quint32(keys.number(QStringLiteral("Ethernet_UDP_Port"), 10001)));

    m_image.putU8(WiFiType, quint32(keys.number(QStringLiteral("WiFi_Type"), 0)));
    putAddress(m_image, WiFiIp, keys, QStringLiteral("WiFi_IP"), {192, 168, 0, 100});
    putAddress(m_image, WiFiMask, keys, QStringLiteral("WiFi_SM"), {255, 255, 255, 0});
    putAddress(m_image, WiFiGateway, keys, QStringLiteral("WiFi_GAT"), {192, 168, 0, 1});
    if (!keys.flag(QStringLiteral("WiFi_EN_Gateway")))
        putOctets(m_image, WiFiGateway, AllOnes);

    m_image.putBytes(WiFiSecondBlock, QByteArray(SecondBlockSize, '\0'));

    m_image.putText(WiFiSsid, keys.text(QStringLiteral("WiFi_SSID")), SsidSize);
    m_image.putText(WiFiPassword, keys.text(QStringLiteral("WiFi_PWD")), PasswordSize);

    // The access-point rows follow the stored type byte, not the key's text.
    if (m_image.u8(WiFiType) != 0)
        return;
    m_image.putU8(WiFiSecureType, quint32(keys.number(QStringLiteral("WiFi_Secure_Type"), 0)));
    m_image.putU8(WiFiDhcpEnable, quint32(keys.number(QStringLiteral("WiFi_EN_DHCP"), 0)));
    putAddress(m_image, WiFiDhcpFirst, keys, QStringLiteral("WiFi_DHCP_First_IP"), {192, 168, 0, 200});
    putAddress(m_image, WiFiDhcpMask, keys, QStringLiteral("WiFi_DHCP_SM"), {255, 255, 255, 0});
    m_image.putU32(WiFiLeaseTime, quint32(keys.number(QStringLiteral("WiFi_Lease_Time"), 86400)));
    // A missing or unreadable count stands for 9 clients, stored as 10.
    m_image.putU8(WiFiMaxClients, quint32(keys.number(QStringLiteral("WiFi_Max_Client"), 9) + 1));
    m_image.putU8(WiFiChannel, quint32(keys.number(QStringLiteral("WiFi_Channel"), 1)));
    m_image.putU8(WiFiAutoChannel, m_image.u8(WiFiChannel) == 0 ? 1 : 0);
}

void ParameterImage::setLoRaWANAddress(quint32 address)
{
    m_image.putU32(LoRaWANAddress, address);
}

QByteArray ParameterImage::Serialize_Parameter_Image()
{
    quint32 sum = 0;
    for (qsizetype i = 0; i < Checksum; ++i)
        sum += m_image.u8(i);
    m_image.putU32(Checksum, sum);
    return m_image.bytes();
}
