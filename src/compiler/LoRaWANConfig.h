#pragma once

#include "params/ParGenValues.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

// The LoRaWAN model of one compilation. Byte arrays hold the image form of
// their field: EUIs and addresses least significant byte first, keys in the
// order typed.

// One compiled end device; 96 bytes in the image.
struct TLoRaWAN_Device
{
    std::array<quint8, 8> DevEUI{};
    std::array<quint8, 8> JoinEUI{};
    std::array<quint8, 16> DevNAME{};
    std::array<quint8, 16> NwkSKey{};
    std::array<quint8, 16> AppSKey{};
    std::array<quint8, 16> AppKey{};
    std::array<quint8, 4> DevADDR{};
    // Bits 0-1 class (0 A, 1 B, 2 C), bit 5 always, bit 8 OTAA.
    quint32 options = 0;
    quint32 timeout = 0; // diagnostic time-out, milliseconds
    quint8 DL_settings = 0;
    std::array<quint8, 3> spare{};
};

// One compiled rule; 24 bytes in the image, its test bytes stored apart.
struct TLoRaWAN_Rule
{
    quint16 num_device = 0; // 0-based position of its device in Devices_List
    quint16 port = 0;
    quint16 start_test = 0; // uplink: 65535 for no test; downlink: 0
    quint16 len_test = 0;   // uplink: 65535 when not given; downlink: 0
    quint32 data_test_add = 0;
    QByteArray data_test;  // uplink test value; empty for downlink
    quint32 time_poll = 0; // downlink period, milliseconds
    quint16 byte_offset_frame = 0;
    quint16 byte_offset_memory = 0;
    quint16 num_bytes = 0;
    // Uplink 0; downlink bit 3, plus bit 0 on change, bit 1 on command, bit 2 on timer.
    quint16 options = 0;
};

// The header of the LoRaWAN image and both lists.
struct TLoRaWAN_Infos
{
    quint32 Num_Devices = 0;
    quint32 Num_Rules = 0;
    quint32 Address_DevList = 0;
    quint32 Address_RuleList = 0;
    quint32 Address_ConfFile = 0;
    quint32 opzioni_funzionamento = 0; // 0x1111 gateway mode, 0x2100 end-node mode
    quint8 RF_Band = 0;                // 0 EU868, 1 US915
    quint8 DataRate = 0;
    quint8 Adaptive_DataRate = 0;
    quint8 Transmission_Type = 0;
    quint32 position_diagnostic = 0;
    quint8 Freq_SubBand = 0;
    std::array<quint8, 3> spare{};
    QList<TLoRaWAN_Device> Devices_List;
    QList<TLoRaWAN_Rule> Rules_List;
};

// The LoRaWAN settings of ParGen.xml for one compilation.
struct TLoRaWAN_ParGen
{
    bool ModeMaster = true; // gateway mode
    quint8 RF_Band = 0;
    // Texts of the packet-forwarder configuration.
    QString Server_Add = DefaultServerAddress;
    QString Server_Port_Up = QStringLiteral("1780");
    QString Server_Port_Down = QStringLiteral("1780");
    QString KA_Interval = QStringLiteral("10");
    QString NetworkType = QStringLiteral("false"); // "true" or "false"
    // The end node's own identity (end-node mode).
    std::array<quint8, 8> JoinEUI{};
    quint8 Activation_method = 0; // 1 OTAA, 0 ABP
    std::array<quint8, 16> DevNAME{};
    std::array<quint8, 4> Dev_Address{};
    std::array<quint8, 16> NwkSKey{};
    std::array<quint8, 16> AppSKey{};
    std::array<quint8, 16> AppKey{};
    quint8 LoRaWAN_Class = 0; // 0 A, 1 B, 2 C
};
