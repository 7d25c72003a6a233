#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

// The item lists of the communication settings. The LoRaWAN lists, the modes
// and the client counts are fixed English texts, stored in ParGen.xml by their
// text; the other lists take their texts from the string table and are
// stored by position.
namespace ParGenLists {

inline constexpr QStringView EU868 = u"EU868";
inline constexpr QStringView US915 = u"US915";

const QStringList& bands();
const QStringList& modes(); // "Gateway", "End Node"
inline constexpr int GatewayMode = 0;
const QStringList& networkTypes();
// The data-rate and RX2 lists of a band, by its exact text; empty for any other text.
const QStringList& dataRates(QStringView band);
const QStringList& rx2DataRates(QStringView band);
const QStringList& transmissionTypes();
const QStringList& activationMethods();
const QStringList& classes();
const QStringList& frequencySubBands(); // "1" to "8"
const QStringList& maxClients();        // "1" to "10"

// Lists filled from the string table: the texts of their items, by position.
inline constexpr std::array<int, 2> DeviceTypeTexts{1346, 1347};
inline constexpr int DeviceTypeCount = int(DeviceTypeTexts.size());
inline constexpr int OnlyEthernetCable = 0;
inline constexpr int EthernetCableAndWiFi = 1;

inline constexpr std::array<int, 2> WiFiTypeTexts{736, 737};
inline constexpr int WiFiTypeCount = int(WiFiTypeTexts.size());
inline constexpr int AccessPoint = 0;
inline constexpr int Station = 1;

inline constexpr std::array<int, 4> SecureTypeTexts{778, 779, 780, 781};
inline constexpr int SecureTypeCount = int(SecureTypeTexts.size());
inline constexpr int Unsecured = 0;

// "Auto Search", then channels 1 to 11.
inline constexpr std::array<int, 12> ChannelTexts{800, 801, 802, 803, 804, 805, 806, 807, 808, 809, 810, 811};
inline constexpr int ChannelCount = int(ChannelTexts.size());
inline constexpr int AutoSearchChannel = 0;

inline constexpr int MaxClientCount = 10;

} // namespace ParGenLists
