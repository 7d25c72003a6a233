#include "params/ParGenLists.h"

namespace ParGenLists {

namespace {

QStringList numbers(int first, int last)
{
    QStringList list;
    for (int n = first; n <= last; ++n)
        list.append(QString::number(n));
    return list;
}

} // namespace

const QStringList& bands()
{
    static const QStringList list{EU868.toString(), US915.toString()};
    return list;
}

const QStringList& modes()
{
    static const QStringList list{QStringLiteral("Gateway"), QStringLiteral("End Node")};
    return list;
}

const QStringList& networkTypes()
{
    static const QStringList list{QStringLiteral("Private"), QStringLiteral("Public")};
    return list;
}

// The number before the dash is the LoRaWAN data-rate number; most items
// separate it from the description with a TAB.
const QStringList& dataRates(QStringView band)
{
    static const QStringList eu868{
        QStringLiteral("0 -\tLoRa: SF12/125kHz 250 [bit/s]"),
        QStringLiteral("1 -\tLoRa: SF11/125kHz 440 [bit/s]"),
        QStringLiteral("2 -\tLoRa: SF10/125kHz 980 [bit/s]"),
        QStringLiteral("3 -\tLoRa: SF9/125kHz 1760 [bit/s]"),
        QStringLiteral("4 -\tLoRa: SF8/125kHz 3125 [bit/s]"),
        QStringLiteral("5 -\tLoRa: SF7/125kHz 5470 [bit/s]"),
        QStringLiteral("6 - LoRa: SF7/250kHz 11000 [bit/s]"),
        QStringLiteral("7 - FSK: 50kbps 50000 [bit/s]"),
    };
    // No data rates 5 to 7 in this band.
    static const QStringList us915{
        QStringLiteral("0  -\tLoRa: SF10/125kHz 980 [bit/s]"),
        QStringLiteral("1  -\tLoRa: SF9/125kHz 1760 [bit/s]"),
        QStringLiteral("2  -\tLoRa: SF8/125kHz 3125 [bit/s]"),
        QStringLiteral("3  -\tLoRa: SF7/125kHz 5470 [bit/s]"),
        QStringLiteral("4  -\tLoRa: SF8/500kHz 12500 [bit/s]"),
        QStringLiteral("8  -\tLoRa: SF12/500kHz 980 [bit/s]"),
        QStringLiteral("9  -\tLoRa: SF11/500kHz 1760 [bit/s]"),
        QStringLiteral("10 - LoRa: SF10/500kHz 3900 [bit/s]"),
        QStringLiteral("11 - LoRa: SF9/500kHz 7000 [bit/s]"),
        QStringLiteral("12 - LoRa: SF8/500kHz 12500 [bit/s]"),
        QStringLiteral("13 - LoRa: SF7/500kHz 21900 [bit/s]"),
    };
    static const QStringList none;
    if (band == EU868)
        return eu868;
    if (band == US915)
        return us915;
    return none;
}

const QStringList& rx2DataRates(QStringView band)
{
    static const QStringList eu868{
        QStringLiteral("SF12BW125"), QStringLiteral("SF11BW125"), QStringLiteral("SF10BW125"),
        QStringLiteral("SF9BW125"),  QStringLiteral("SF8BW125"),  QStringLiteral("SF7BW125"),
        QStringLiteral("SF7BW250"),
    };
    static const QStringList us915{
        QStringLiteral("SF12BW500"), QStringLiteral("SF11BW500"), QStringLiteral("SF10BW500"),
        QStringLiteral("SF9BW500"),  QStringLiteral("SF8BW500"),  QStringLiteral("SF7BW500"),
    };
    static const QStringList none;
    if (band == EU868)
        return eu868;
    if (band == US915)
        return us915;
    return none;
}

const QStringList& transmissionTypes()
{
    static const QStringList list{QStringLiteral("Unconfirmed"), QStringLiteral("Confirmed")};
    return list;
}

const QStringList& activationMethods()
{
    static const QStringList list{QStringLiteral("Activation by Personalization [ABP]"),
                                  QStringLiteral("Over-the-Air Activation [OTAA]")};
    return list;
}

const QStringList& classes()
{
    static const QStringList list{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    return list;
}

const QStringList& frequencySubBands()
{
    static const QStringList list = numbers(1, 8);
    return list;
}

const QStringList& maxClients()
{
    static const QStringList list = numbers(1, MaxClientCount);
    return list;
}

} // namespace ParGenLists
