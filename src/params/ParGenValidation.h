#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

class StringTable;

// What the communication settings checks look at, copied from the editor's
// controls just before OK writes the document. Member names are the control
// names, so that the editor's filling code reads as a list of assignments:
//   E_...                       the text of an edit box, unchanged;
//   E_..._IP / _SM / _GAT ...   an address of four octet boxes, box 1 (the
//                               control ending in "1") at [0], box 4 at [3];
//   CB_..._text                 the current text of a drop-down list, empty
//                               when nothing is selected;
//   CB_..._ticked               whether a check box is ticked;
//   CB_WiFi2_Type_index         the selected position, -1 for none;
//   shown_X / enabled_X         the control's own visibility / enabled state,
//                               as the layout left it (not its panel's).
// A default-constructed input has every text empty, every box unticked, no
// Wi-Fi type selected and every control hidden and disabled.
struct ParGenCheckInput
{
    // Ethernet connection
    bool CB_EthConn_Enable_DNS_ticked = false;
    std::array<QString, 4> E_EthConn_Pri_DNS_IP; // E_EthConn_Pri_DNS_IP1..4
    std::array<QString, 4> E_EthConn_Sec_DNS_IP; // E_EthConn_Sec_DNS_IP1..4

    // LoRaWAN
    QString CB_LoRaWAN_RF_Band_text;
    QString E_LoRaWAN_Server_Port_Up;
    bool shown_E_LoRaWAN_Server_Port_Up = false;
    QString E_LoRaWAN_Server_Port_Down;
    bool shown_E_LoRaWAN_Server_Port_Down = false;
    QString E_LoRaWAN_KeepAlive_Interval;
    bool shown_E_LoRaWAN_KeepAlive_Interval = false;
    QString CB_LoRaWAN_Network_Type_text;
    bool shown_CB_LoRaWAN_Network_Type = false;
    QString E_LoRaWAN_Diag_Pos;
    bool shown_E_LoRaWAN_Diag_Pos = false;
    QString CB_LoRaWAN_DataRate_text;
    bool shown_CB_LoRaWAN_DataRate = false;
    QString CB_LoRaWAN_Transmission_Type_text;
    bool shown_CB_LoRaWAN_Transmission_Type = false;
    QString E_LoRaWAN_Join_EUI;
    bool shown_E_LoRaWAN_Join_EUI = false;
    QString CB_LoRaWAN_Activation_Method_text;
    bool shown_CB_LoRaWAN_Activation_Method = false;
    QString E_LoRaWAN_Device_Address;
    bool shown_E_LoRaWAN_Device_Address = false;
    QString E_LoRaWAN_Network_Session_Key;
    bool shown_E_LoRaWAN_Network_Session_Key = false;
    QString E_LoRaWAN_Application_Session_Key;
    bool shown_E_LoRaWAN_Application_Session_Key = false;
    QString E_LoRaWAN_Application_Key;
    bool shown_E_LoRaWAN_Application_Key = false;

    // Ethernet
    std::array<QString, 4> E_Ethernet_IP; // E_Ethernet_IP1..4
    std::array<QString, 4> E_Ethernet_SM; // E_Ethernet_SM1..4
    bool CB_Ethernet_En_GAT_ticked = false;
    std::array<QString, 4> E_Ethernet_GAT; // E_Ethernet_GAT1..4
    QString E_Ethernet_TCP_Port;
    QString E_Ethernet_UDP_Port;

    // Wi-Fi
    int CB_WiFi2_Type_index = -1; // 0 Access Point, 1 Station
    // First address block; its first box stands for the block's visibility.
    std::array<QString, 4> E_WiFi2_IP1_IP; // E_WiFi2_IP1_IP1..4
    bool shown_E_WiFi2_IP1_IP1 = false;
    bool enabled_E_WiFi2_IP1_IP1 = false;
    std::array<QString, 4> E_WiFi2_IP1_SM; // E_WiFi2_IP1_SM1..4
    bool CB_WiFi2_IP1_En_GAT_ticked = false;
    std::array<QString, 4> E_WiFi2_IP1_GAT; // E_WiFi2_IP1_GAT1..4
    // Second address block.
    std::array<QString, 4> E_WiFi2_IP2_IP; // E_WiFi2_IP2_IP1..4
    bool shown_E_WiFi2_IP2_IP1 = false;
    bool enabled_E_WiFi2_IP2_IP1 = false;
    std::array<QString, 4> E_WiFi2_IP2_SM; // E_WiFi2_IP2_SM1..4
    bool CB_WiFi2_IP2_En_GAT_ticked = false;
    std::array<QString, 4> E_WiFi2_IP2_GAT; // E_WiFi2_IP2_GAT1..4
    // The access point's own DHCP server.
    bool CB_WiFi2_En_DHCP_ticked = false;
    std::array<QString, 4> E_WiFi2_DHCP_First_IP; // E_WiFi2_DHCP_First_IP1..4
    std::array<QString, 4> E_WiFi2_DHCP_SM;       // E_WiFi2_DHCP_SM1..4
    QString E_WiFi2_Lease_Time;
};

// The first check that refused the input: its position in the fixed order
// (1 to 33), its string-table index and the message text to show.
struct ParGenCheckFailure
{
    int step = 0;
    int index = 0;
    QString message;
};

// Highest accepted diagnostic position; also the number in its message.
inline constexpr int ParGenMaxDiagPos = 1536;

// Runs every applicable check in order and returns the first failure, or
// nothing when the values may be written. Messages come from the table.
std::optional<ParGenCheckFailure> checkParGen(const ParGenCheckInput& input, const StringTable& texts);

// How the checks read a number field. Accepted: ASCII decimal digits with any
// leading zeros, optionally preceded by one '+' or '-', with white space
// (QChar::isSpace) allowed at both ends but not inside. Everything else -
// empty or blank text, hexadecimal prefixes, exponents, decimal points,
// non-ASCII digits - is not a number and gives -1. Values beyond the range of
// long long saturate, so a huge number never wraps into an accepted range.
long long parGenNumber(QStringView text);
