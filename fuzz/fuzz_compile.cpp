// The whole compilation from a fuzzed pair of documents: the input is
// ParGen.xml, a line "----", then LoRaWAN_Gateway.xml. Whatever compiles
// must decode again.
#include "FuzzSupport.h"
#include "compiler/Compiler.h"
#include "compiler/ImageDecoder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zvQuiet();
    // One folder for the run; memory-backed when the machine has one.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/zv-fuzz-XXXXXX")
                                                                        : QDir::tempPath() + QStringLiteral("/zv-fuzz-XXXXXX"));
    if (!dir.isValid())
        std::abort();
    const QByteArray input = zvBytes(data, size);
    static const QByteArray separator("\n----\n");
    const qsizetype cut = input.indexOf(separator);
    const QByteArray parGen = cut < 0 ? input : input.left(cut);
    const QByteArray lorawan = cut < 0 ? QByteArray() : input.mid(cut + separator.size());
    put(dir.filePath(QStringLiteral("ParGen.xml")), parGen);
    const QString lorawanPath = dir.filePath(QStringLiteral("LoRaWAN_Gateway.xml"));
    if (cut < 0)
        QFile::remove(lorawanPath);
    else
        put(lorawanPath, lorawan);

    const CompileResult r = Compile_Configuration(dir.path());
    if (r.error.isEmpty()) {
        const ImageDecoder::Result one = ImageDecoder::decodeParameterImage(r.image1);
        ZV_FUZZ_CHECK(one.error.isEmpty());
        const ImageDecoder::Result two = ImageDecoder::decodeLoRaWANImage(r.image2);
        ZV_FUZZ_CHECK(two.error.isEmpty());
    } else {
        ZV_FUZZ_CHECK(r.image1.isEmpty() && r.image2.isEmpty());
    }
    return 0;
}
