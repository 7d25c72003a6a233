// LoRaWAN_Gateway.xml as the editor reads it, in both modes; the checks of
// the editor's OK run over whatever was read; what is written reads back
// the same.
#include "FuzzSupport.h"
#include "lang/StringTable.h"
#include "lorawan/LoRaWANCheck.h"
#include "lorawan/LoRaWANDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zvQuiet();
    static const StringTable texts = [] {
        StringTable t;
        t.buildDefaults();
        return t;
    }();
    if (size == 0)
        return 0;
    // The first byte picks the mode, the rest is the document.
    const bool gatewayMode = (data[0] & 1) == 0;
    const LoRaWANDocument::ReadResult first = LoRaWANDocument::read(zvBytes(data + 1, size - 1), gatewayMode);
    if (!first.error.isEmpty()) {
        ZV_FUZZ_CHECK(first.devices.isEmpty());
        return 0;
    }
    ZV_FUZZ_CHECK(first.devices.size() <= LoRaWAN::DeviceRows);
    (void)LoRaWANCheck::Check_Data(first.devices, gatewayMode, texts);
    const LoRaWANDocument::ReadResult second = LoRaWANDocument::read(LoRaWANDocument::write(first.devices), gatewayMode);
    ZV_FUZZ_CHECK(second.error.isEmpty());
    const QByteArray written = LoRaWANDocument::write(second.devices);
    const LoRaWANDocument::ReadResult third = LoRaWANDocument::read(written, gatewayMode);
    ZV_FUZZ_CHECK(third.error.isEmpty());
    ZV_FUZZ_CHECK(third.devices == second.devices);
    return 0;
}
