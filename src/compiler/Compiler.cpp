#include "compiler/Compiler.h"

#include "common/SafeWrite.h"
#include "compiler/ForwarderText.h"
#include "compiler/LoRaWANConfig.h"
#include "compiler/LoRaWANImage.h"
#include "compiler/LoRaWANLoader.h"
#include "compiler/ParGenKeys.h"
#include "compiler/ParameterImage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

CompileResult failed(const QString& error)
{
    CompileResult result;
    result.error = error;
    return result;
}

// The current content of an image file; nothing when there is none or it
// cannot be read (far larger than any image counts as unreadable).
std::optional<QByteArray> previousContent(const QString& path)
{
    constexpr qint64 Limit = 16 * 1024 * 1024;
    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() > Limit || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray data = file.read(Limit + 1);
    if (data.size() > Limit || file.error() != QFile::NoError)
        return std::nullopt;
    return data;
}

} // namespace

CompileResult Compile_Configuration(const QString& configurationFolder)
{
    const QDir folder(configurationFolder);
    const QString parGenPath = folder.filePath(QStringLiteral("ParGen.xml"));

    ParameterImage parameters;
    parameters.Reset_Parameter_Image();
    TLoRaWAN_Infos infos;
    TLoRaWAN_ParGen parGen;

    QString error;
    const ParGenKeys keys = ParGenKeys::load(parGenPath, &error);
    if (!error.isEmpty())
        return failed(error);
    if (keys.exists())
        parameters.readParameters(keys);
    const auto parGenError = [&](const QString& e) {
        return failed(QDir::toNativeSeparators(parGenPath) + QStringLiteral(": ") + e);
    };
    error = LoRaWANLoader::Read_LoRaWAN_Parameters(keys, parGen, infos);
    if (!error.isEmpty())
        return parGenError(error);
    parameters.setLoRaWANAddress(LoRaWANLoader::BaseAddress);

    error = LoRaWANLoader::Read_Devices_And_Rules(folder.filePath(QStringLiteral("LoRaWAN_Gateway.xml")),
                                                  LoRaWANLoader::BaseAddress, parGen, infos);
    if (!error.isEmpty())
        return failed(error);
    error = Check_Forwarder_Values(parGen);
    if (!error.isEmpty())
        return parGenError(error);
    const QStringList lines = Build_Forwarder_Text(parGen, infos.RF_Band);

    CompileResult result;
    result.image1 = parameters.Serialize_Parameter_Image();
    result.image2 = Serialize_LoRaWAN_Image(infos, lines, &error);
    if (!error.isEmpty())
        return failed(error);
    result.devices = int(infos.Devices_List.size());
    result.rules = int(infos.Rules_List.size());
    return result;
}

QString Write_Images(const QString& configurationFolder, const CompileResult& result)
{
    if (!result.error.isEmpty() || result.image1.isEmpty() || result.image2.isEmpty())
        return QStringLiteral("There are no compiled images to write.");
    const QDir folder(configurationFolder);
    const QString binPath = folder.filePath(QStringLiteral("bin"));
    if (!QFileInfo(binPath).isDir() && !folder.mkpath(QStringLiteral("bin")))
        return QDir::toNativeSeparators(binPath) + QStringLiteral(": the folder cannot be created");
    const QDir bin(binPath);
    const QString bank1 = bin.filePath(QStringLiteral("bank1.bin"));
    const QString bank2 = bin.filePath(QStringLiteral("bank2.bin"));

    // Written one after the other; should the second fail, the first is
    // undone so that the update never sends images of two compilations.
    const std::optional<QByteArray> oldBank1 = previousContent(bank1);
    QString error = safeWrite(bank1, result.image1);
    if (!error.isEmpty())
        return error;
    error = safeWrite(bank2, result.image2);
    if (error.isEmpty())
        return {};
    QString undo;
    if (oldBank1)
        undo = safeWrite(bank1, *oldBank1);
    else if (!QFile::remove(bank1))
        undo = QDir::toNativeSeparators(bank1) + QStringLiteral(": the file cannot be removed");
    if (!undo.isEmpty())
        error += u'\n' + undo + QStringLiteral(" (bank1.bin is left from this compilation)");
    return error;
}
