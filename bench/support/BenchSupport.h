#pragma once

#include "lorawan/LoRaWANModel.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <vector>

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The benchmarks' configuration: `count` valid devices with `rulesEach`
// uplink and downlink rules each; every second device joins by OTAA when
// `mixActivation` is set.
inline QList<TDeviceLoRa> benchDevices(int count, int rulesEach, bool mixActivation = false)
{
    QList<TDeviceLoRa> devices;
    devices.reserve(count);
    for (int d = 0; d < count; ++d) {
        TDeviceLoRa dev;
        dev.DeviceEUI =
            QStringLiteral("%1").arg(0x0004A30B00000000ULL + quint64(d), 16, 16, QLatin1Char('0')).toUpper();
        dev.JoinEUI = QStringLiteral("70B3D57ED0000001");
        dev.DeviceName = QStringLiteral("device %1").arg(d + 1);
        dev.ActMethod = mixActivation && d % 2 ? LoRaWAN::OTAA : LoRaWAN::ABP;
        dev.NetSessKey = QStringLiteral("0123456789ABCDEF0123456789ABCDEF");
        dev.AppSessKey = QStringLiteral("FEDCBA9876543210FEDCBA9876543210");
        dev.AppKey = QStringLiteral("00112233445566778899AABBCCDDEEFF");
        dev.DevAdd = QStringLiteral("%1").arg(0x26010000 + d, 8, 16, QLatin1Char('0')).toUpper();
        dev.ClassLoRa = QStringLiteral("A");
        dev.DiagTimeOut = QStringLiteral("60000");
        dev.Mnemonic = QStringLiteral("bench");
        for (int r = 0; r < rulesEach; ++r) {
            TRuleLoRa up;
            up.Port = QString::number(r + 1);
            up.StartTest = QStringLiteral("0");
            up.LenTest = QStringLiteral("2");
            up.HexTest = true;
            up.ValueTest = QStringLiteral("0A%1").arg(r % 256, 2, 16, QLatin1Char('0'));
            up.StartBit = QStringLiteral("2");
            up.NumBits = QStringLiteral("1");
            up.PosBit = QString::number(r);
            dev.UpLinkRules.append(up);
            TRuleLoRa down;
            down.Port = QString::number(r + 1);
            down.StartBit = QStringLiteral("0");
            down.NumBits = QStringLiteral("1");
            down.OnChange = true;
            down.Time = QStringLiteral("1000");
            down.PosBit = QString::number(rulesEach + r);
            dev.DownLinkRules.append(down);
        }
        devices.append(dev);
    }
    return devices;
}
