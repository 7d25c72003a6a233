// ParGen.xml as the compiler reads it.
#include "FuzzSupport.h"
#include "compiler/ParGenKeys.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zvQuiet();
    QString error;
    const ParGenKeys keys = ParGenKeys::parse(zvBytes(data, size), &error);
    for (const char* key : {"Eth_Conn_Device_Name", "Eth_Conn_DHCP_Cable", "Ethernet_IP", "Ethernet_TCP_Port", "LoRaWAN_RF_Band"}) {
        const QString name = QString::fromLatin1(key);
        const qint64 n = keys.number(name, -7);
        ZV_FUZZ_CHECK(keys.has(name) || n == -7);
        (void)keys.flag(name);
    }
    return 0;
}
