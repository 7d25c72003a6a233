#pragma once

#include "compiler/LoRaWANConfig.h"

#include <QString>
#include <QStringList>

// The packet forwarder's configuration (JSON with C-style comments) that the
// LoRaWAN image carries, one list entry per line, without line ends.
// band 1 is US915, any other value EU868. The five configured values are
// inserted as they stand: run Check_Forwarder_Values first.
QStringList Build_Forwarder_Text(const TLoRaWAN_ParGen& parGen, quint8 band);

// Refuses the configured values that would make the text unreadable for the
// device: a server address with a double quote, a backslash or any character
// outside printable ASCII (the text is stored one byte per character, so
// U+0122 would become a double quote), and a port or keep-alive interval that
// is not a plain decimal number (digits only, no leading zero). Returns an
// error text naming the ParGen.xml element, empty when the values are fine.
QString Check_Forwarder_Values(const TLoRaWAN_ParGen& parGen);
