// zuvurazaru-cli inspect: both device images, told apart by size and content.
#include "FuzzSupport.h"
#include "compiler/ImageDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zvQuiet();
    const QByteArray image = zvBytes(data, size);
    (void)ImageDecoder::decode(image);
    (void)ImageDecoder::decodeLoRaWANImage(image);
    (void)ImageDecoder::decodeParameterImage(image);
    return 0;
}
