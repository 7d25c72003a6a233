#include "compiler/LoRaWANImage.h"

#include "compiler/ImageBuffer.h"
#include "compiler/LoRaWANLoader.h"

namespace LoRaWANImage {

qint64 imageSize(const TLoRaWAN_Infos& infos, const QStringList& lines)
{
    qint64 size = LoRaWANLoader::HeaderSize +
                  qint64(LoRaWANLoader::DeviceRecordSize) * infos.Devices_List.size() +
                  qint64(LoRaWANLoader::RuleRecordSize) * infos.Rules_List.size();
    for (const TLoRaWAN_Rule& r : infos.Rules_List)
        size += r.data_test.size();
    for (const QString& line : lines)
        size += line.size() + 1;
    return size + 1;
}

} // namespace LoRaWANImage

namespace {

template <size_t N> void putArray(ImageBuffer& image, qsizetype at, const std::array<quint8, N>& bytes)
{
    for (size_t i = 0; i < N; ++i)
        image.putU8(at + qsizetype(i), bytes[i]);
}

} // namespace

QByteArray Serialize_LoRaWAN_Image(const TLoRaWAN_Infos& infos, const QStringList& lines, QString* error)
{
    using namespace LoRaWANLoader;
    // The counts in the header are those of the lists, so the records written
    // are always the ones the header announces.
    const qint64 size = LoRaWANImage::imageSize(infos, lines);
    if (size > LoRaWANImage::Capacity) {
        if (error)
            *error =
                QStringLiteral("The LoRaWAN image needs %1 bytes, more than the %2 bytes of the device's "
                               "LoRaWAN bank: reduce the devices, rules or test values.")
                    .arg(size)
                    .arg(LoRaWANImage::Capacity);
        return {};
    }
    ImageBuffer image(LoRaWANImage::Capacity);
    image.putU32(0, quint32(infos.Devices_List.size()));
    image.putU32(4, quint32(infos.Rules_List.size()));
    image.putU32(8, infos.Address_DevList);
    image.putU32(12, infos.Address_RuleList);
    image.putU32(16, infos.Address_ConfFile);
    image.putU32(20, infos.opzioni_funzionamento);
    image.putU8(24, infos.RF_Band);
    image.putU8(25, infos.DataRate);
    image.putU8(26, infos.Adaptive_DataRate);
    image.putU8(27, infos.Transmission_Type);
    image.putU32(28, infos.position_diagnostic);
    image.putU8(32, infos.Freq_SubBand);
    putArray(image, 33, infos.spare);

    qsizetype at = HeaderSize;
    for (const TLoRaWAN_Device& d : infos.Devices_List) {
        putArray(image, at, d.DevEUI);
        putArray(image, at + 8, d.JoinEUI);
        putArray(image, at + 16, d.DevNAME);
        putArray(image, at + 32, d.NwkSKey);
        putArray(image, at + 48, d.AppSKey);
        putArray(image, at + 64, d.AppKey);
        putArray(image, at + 80, d.DevADDR);
        image.putU32(at + 84, d.options);
        image.putU32(at + 88, d.timeout);
        image.putU8(at + 92, d.DL_settings);
        putArray(image, at + 93, d.spare);
        at += DeviceRecordSize;
    }
    for (const TLoRaWAN_Rule& r : infos.Rules_List) {
        image.putU16(at, r.num_device);
        image.putU16(at + 2, r.port);
        image.putU16(at + 4, r.start_test);
        image.putU16(at + 6, r.len_test);
        image.putU32(at + 8, r.data_test_add);
        image.putU32(at + 12, r.time_poll);
        image.putU16(at + 16, r.byte_offset_frame);
        image.putU16(at + 18, r.byte_offset_memory);
        image.putU16(at + 20, r.num_bytes);
        image.putU16(at + 22, r.options);
        at += RuleRecordSize;
    }
    for (const TLoRaWAN_Rule& r : infos.Rules_List) {
        image.putBytes(at, r.data_test);
        at += r.data_test.size();
    }
    for (const QString& line : lines) {
        image.putText(at, line, line.size());
        at += line.size();
        image.putU8(at++, '\n');
    }
    image.putU8(at++, 0);
    if (image.overflowed() || at != size) {
        if (error)
            *error =
                QStringLiteral("The LoRaWAN image could not be built (%1 of %2 bytes).").arg(at).arg(size);
        return {};
    }
    return image.left(size);
}
