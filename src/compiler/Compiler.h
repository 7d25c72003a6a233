#pragma once

#include <QByteArray>
#include <QString>

// The outcome of one compilation: both images, or an error text and no image.
struct CompileResult
{
    QByteArray image1; // bank1.bin, the 2048-byte parameter image
    QByteArray image2; // bank2.bin, the LoRaWAN image
    QString error;     // empty on success
    int devices = 0;
    int rules = 0;
};

// Builds both images in memory from ParGen.xml and LoRaWAN_Gateway.xml of
// configurationFolder. Nothing is written; a document that cannot be read,
// a value the packet forwarder could not read or an image larger than the
// device's bank gives the error and empty images.
CompileResult Compile_Configuration(const QString& configurationFolder);

// Saves image1 as bin/bank1.bin and image2 as bin/bank2.bin, creating the bin
// folder when it is missing; each file is replaced whole. When bank2.bin
// cannot be written, bank1.bin is put back as it was (removed when there was
// none, or none that could be read), so that the folder never pairs images of
// two compilations. Returns an error text naming the file or folder, empty on
// success; nothing is written for a failed compilation.
QString Write_Images(const QString& configurationFolder, const CompileResult& result);
