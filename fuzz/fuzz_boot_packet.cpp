// The boot protocol's datagrams, as the simulated gateway and the updater
// parse them: a packet that is accepted encodes back to the same bytes.
#include "FuzzSupport.h"
#include "update/BootProtocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zvQuiet();
    const QByteArray datagram = zvBytes(data, size);
    const std::optional<BootProtocol::Packet> p = BootProtocol::parse(datagram);
    if (p) {
        ZV_FUZZ_CHECK(datagram.size() <= BootProtocol::MaxPacketSize);
        ZV_FUZZ_CHECK(BootProtocol::encode(*p) == datagram);
        (void)BootProtocol::typeName(p->type);
        (void)BootProtocol::statusText(p->status);
    }
    return 0;
}
