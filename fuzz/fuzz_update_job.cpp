// The updater's job file Ethernet_Update.xml.
#include "FuzzSupport.h"
#include "update/UpdateJobReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zvQuiet();
    const UpdateJobReader::Result r = UpdateJobReader::read(zvBytes(data, size));
    if (r.error.isEmpty()) {
        ZV_FUZZ_CHECK(!r.job.operations.isEmpty());
        ZV_FUZZ_CHECK(r.job.operations.size() <= UpdateJobReader::MaxOperations);
        ZV_FUZZ_CHECK(UpdateJobReader::parseIPv4Address(r.job.deviceAddress).has_value());
    }
    return 0;
}
