#pragma once

#include <QString>
#include <QStringView>

#include <array>

// Default network-server host of LoRaWAN_Server_Address; the compiler uses the same.
inline const QString DefaultServerAddress = QStringLiteral("eu1.cloud.thethings.network");

// The four octets of an address, first (most significant) octet first.
using ParGenOctets = std::array<QString, 4>;

inline ParGenOctets parGenOctets(QStringView a, QStringView b, QStringView c, QStringView d)
{
    return {a.toString(), b.toString(), c.toString(), d.toString()};
}

// The communication settings of one configuration, one member per element of
// ParGen.xml (an octet row holds its four elements), initialised to the
// editor's defaults. Lists are positions, -1 for no selection: indexes count
// in the lists of ParGenLists, items in the named ParGenLists list, and
// LoRaWAN_DataRate and LoRaWAN_RX2_Datarate in the lists of the band that
// LoRaWAN_RF_Band selects.
struct ParGenValues
{
    int Select_Device = 0; // ParGenLists::DeviceTypeTexts
    QString Eth_Conn_Device_Name;
    bool Eth_Conn_DHCP_Cable = false;
    bool Eth_Conn_DHCP_WiFi = false;
    bool Eth_Conn_Enable_DNS = false;
    ParGenOctets Eth_Conn_Primary_DNS = parGenOctets(u"8", u"8", u"8", u"8");
    ParGenOctets Eth_Conn_Secondary_DNS = parGenOctets(u"8", u"8", u"8", u"8");

    int LoRaWAN_Mode = 0;    // modes(); reading always gives Gateway, writing always stores it
    int LoRaWAN_RF_Band = 0; // bands()
    QString LoRaWAN_Server_Address = DefaultServerAddress;
    QString LoRaWAN_Server_Port_Up = QStringLiteral("1780");
    QString LoRaWAN_Server_Port_Down = QStringLiteral("1780");
    QString LoRaWAN_KeepAlive_Interval = QStringLiteral("10");
    int LoRaWAN_Network_Type = 0; // networkTypes()
    bool LoRaWAN_Adaptive_DataRate = false;
    int LoRaWAN_DataRate = 0;          // dataRates(band)
    int LoRaWAN_Transmission_Type = 0; // transmissionTypes()
    QString LoRaWAN_Join_EUI;
    int LoRaWAN_Activation_Method = 0; // activationMethods()
    QString LoRaWAN_Device_Address;
    QString LoRaWAN_Network_Session_Key;
    QString LoRaWAN_Application_Session_Key;
    QString LoRaWAN_Application_Key;
    int LoRaWAN_Class = 0; // classes()
    QString LoRaWAN_Diagostic_Position = QStringLiteral("0");
    int LoRaWAN_RX2_Datarate = 0;       // rx2DataRates(band)
    int LoRaWAN_Frequency_Sub_Band = 0; // frequencySubBands()

    ParGenOctets Ethernet_IP = parGenOctets(u"192", u"168", u"0", u"5");
    ParGenOctets Ethernet_SM = parGenOctets(u"255", u"255", u"255", u"0");
    ParGenOctets Ethernet_GAT = parGenOctets(u"192", u"168", u"0", u"1");
    bool Ethernet_EN_GAT = false;
    QString Ethernet_TCP_Port = QStringLiteral("10001");
    QString Ethernet_UDP_Port = QStringLiteral("10001");

    int WiFi_Type = 0; // ParGenLists::WiFiTypeTexts
    ParGenOctets WiFi_IP = parGenOctets(u"192", u"168", u"0", u"100");
    ParGenOctets WiFi_SM = parGenOctets(u"255", u"255", u"255", u"0");
    bool WiFi_EN_Gateway = false;
    ParGenOctets WiFi_GAT = parGenOctets(u"192", u"168", u"0", u"1");
    ParGenOctets WiFi_IP2_IP = parGenOctets(u"192", u"168", u"0", u"110");
    ParGenOctets WiFi_IP2_SM = parGenOctets(u"255", u"255", u"255", u"0");
    bool WiFi_IP2_EN_Gateway = false;
    ParGenOctets WiFi_IP2_GAT = parGenOctets(u"192", u"168", u"0", u"1");
    QString WiFi_SSID;
    QString WiFi_PWD;
    int WiFi_Secure_Type = 0; // ParGenLists::SecureTypeTexts
    bool WiFi_EN_DHCP = false;
    ParGenOctets WiFi_DHCP_First_IP = parGenOctets(u"192", u"168", u"0", u"200");
    ParGenOctets WiFi_DHCP_SM = parGenOctets(u"255", u"255", u"255", u"0");
    QString WiFi_Lease_Time = QStringLiteral("86400");
    int WiFi_Max_Client = 0; // maxClients(): position 0 is one client
    int WiFi_Channel = 1;    // ParGenLists::ChannelTexts: position 0 is "Auto Search"

    bool operator==(const ParGenValues&) const = default;
};
