#pragma once

#include <QList>
#include <QString>

// One uplink or downlink rule, as typed: a downlink rule leaves the test
// fields empty, an uplink rule leaves the trigger flags clear.
struct TRuleLoRa
{
    bool Enable = true;
    QString Port;
    QString StartTest;
    QString LenTest;
    bool HexTest = false;
    QString ValueTest;
    QString StartBit;
    QString NumBits;
    bool OnChange = false;
    bool OnCMD = false;
    bool OnTimer = false;
    QString Time;
    QString PosBit;
    QString Mnemonic;

    bool operator==(const TRuleLoRa&) const = default;
};

// One LoRaWAN end device with its rules; every value is the text typed in the table.
struct TDeviceLoRa
{
    bool Enable = true;
    QString DeviceEUI;
    QString JoinEUI;
    QString DeviceName;
    QString ActMethod;
    QString NetSessKey;
    QString AppSessKey;
    QString AppKey;
    QString DevAdd;
    QString ClassLoRa;
    QString DiagTimeOut;
    QString RX2Datarate;
    QString Mnemonic;
    QList<TRuleLoRa> UpLinkRules;
    QList<TRuleLoRa> DownLinkRules;

    bool operator==(const TDeviceLoRa&) const = default;
};

namespace LoRaWAN {
inline constexpr int DeviceRows = 1000;
inline constexpr int RuleRows = 1024;
// The single entry the editor creates for the gateway's own rules in end-node mode.
inline const QString EndNodeDeviceEUI = QStringLiteral("8758453959545196");
inline const QString ABP = QStringLiteral("Activation by Personalization [ABP]");
inline const QString OTAA = QStringLiteral("Over-the-Air Activation [OTAA]");
} // namespace LoRaWAN
