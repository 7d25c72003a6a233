#pragma once

#include "compiler/ImageBuffer.h"

class ParGenKeys;

// bank1.bin: the device's 2048-byte general parameter record.
class ParameterImage
{
public:
    static constexpr int Size = 2048;
    static constexpr quint32 LoRaWANLoadAddress = 0x80000;

    ParameterImage();

    // Zero, then the reset values.
    void Reset_Parameter_Image();
    // The parameter-image keys of ParGen.xml (the LoRaWAN keys are read by the LoRaWAN side).
    void readParameters(const ParGenKeys& keys);
    // The load address of the LoRaWAN image, at 0x674.
    void setLoRaWANAddress(quint32 address);
    // The checksum into its field, then the 2048 bytes.
    QByteArray Serialize_Parameter_Image();

    const ImageBuffer& buffer() const { return m_image; }

private:
    ImageBuffer m_image;
};
