// libFuzzer target for LoadPngPicture: any bytes as a file must give true or false, never a crash, a leak or
// undefined behaviour; a picture that loads must survive saving and loading again unchanged.

#include "PngTestFiles.h"
#include "TestSupport.h"
#include "imaging/PngPicture.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>

namespace {

QString workFile(const char* name) {
    static QTemporaryDir dir;
    return dir.filePath(QLatin1String(name));
}

// Small files of every colour type, depth and interlacing the reader converts, as starting points.
void writeSeeds(const QDir& folder) {
    // clang-format off
    int n = 0;
    for (const int type : {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA,
                           PNG_COLOR_TYPE_PALETTE})
        for (const int depth : {1, 2, 4, 8, 16}) // libpng refuses the depths a colour type does not have
            if (const QByteArray png = PngTestFile{5, 4, type, depth, depth == 8, true}.bytes(); !png.isEmpty())
                TestSupport::writeFile(folder.filePath(QStringLiteral("seed%1.png").arg(++n)), png);
    QImage picture(7, 3, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    SavePictureAsPng(picture, folder.filePath(QStringLiteral("saved.png")));
}

// Mutated chunks would almost all fail their checksum and never reach the decoder: give every complete chunk
// its right CRC.
void fixChecksums(QByteArray& bytes) {
    auto* data = reinterpret_cast<uchar*>(bytes.data());
    for (qsizetype at = 8; at + 12 <= bytes.size();) {
        const quint32 length = quint32(data[at]) << 24 | data[at + 1] << 16 | data[at + 2] << 8 | data[at + 3];
        if (length > quint32(bytes.size() - at - 12))
            break;
        const quint32 crc = quint32(crc32(0, data + at + 4, uInt(length + 4)));
        for (int i = 0; i < 4; ++i)
            data[at + 8 + qsizetype(length) + i] = uchar(crc >> (24 - 8 * i));
        at += 12 + qsizetype(length);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (const char* seeds = std::getenv("ZP_FUZZ_WRITE_SEEDS")) {
        writeSeeds(QDir(QString::fromLocal8Bit(seeds)));
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    fixChecksums(bytes);
    QImage picture, reloaded;
    if (!TestSupport::writeFile(workFile("input.png"), bytes) || !LoadPngPicture(workFile("input.png"), picture))
        return 0;
    if (!SavePictureAsPng(picture, workFile("again.png")) || !LoadPngPicture(workFile("again.png"), reloaded) ||
        reloaded != picture)
        __builtin_trap();
    return 0;
}
