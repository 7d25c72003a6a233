// ParGen.xml as the settings editor reads it: any input gives values, and
// what is written from them reads back the same.
#include "FuzzSupport.h"
#include "params/ParGenDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zvQuiet();
    const ParGenDocument::ReadResult first = ParGenDocument::read(zvBytes(data, size));
    const QByteArray written = ParGenDocument::write(first.values);
    const ParGenDocument::ReadResult second = ParGenDocument::read(written);
    ZV_FUZZ_CHECK(second.error.isEmpty());
    // Characters a document cannot hold are dropped by the writer, so the
    // second round is the one that must be exact.
    const ParGenDocument::ReadResult third = ParGenDocument::read(ParGenDocument::write(second.values));
    ZV_FUZZ_CHECK(third.values == second.values);
    return 0;
}
