// libFuzzer target for LoadPngPicture: any bytes as a file must give true or false, never a crash, a leak or
// undefined behaviour; a picture that loads must survive saving and loading again unchanged.

#include "PngTestFiles.h"
#include "imaging/PngPicture.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>

namespace {

QTemporaryDir* workDir() {
    static QTemporaryDir dir;
    return &dir;
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Small files of every colour type, depth and interlacing the reader converts, as starting points.
void writeSeeds(const QString& folder) {
    struct Kind {
        int colorType;
        int bitDepth;
        bool interlaced;
    };
    const Kind kinds[] = {{PNG_COLOR_TYPE_GRAY, 1, false},      {PNG_COLOR_TYPE_GRAY, 4, true},
                          {PNG_COLOR_TYPE_GRAY, 16, false},     {PNG_COLOR_TYPE_GRAY_ALPHA, 8, false},
                          {PNG_COLOR_TYPE_RGB, 8, false},       {PNG_COLOR_TYPE_RGB, 8, true},
                          {PNG_COLOR_TYPE_RGB, 16, false},      {PNG_COLOR_TYPE_RGB_ALPHA, 8, false},
                          {PNG_COLOR_TYPE_RGB_ALPHA, 16, true}, {PNG_COLOR_TYPE_PALETTE, 2, false},
                          {PNG_COLOR_TYPE_PALETTE, 8, true}};
    int n = 0;
    for (const Kind& kind : kinds) {
        PngTestFile png;
        png.width = 5;
        png.height = 4;
        png.colorType = kind.colorType;
        png.bitDepth = kind.bitDepth;
        png.interlaced = kind.interlaced;
        if (kind.colorType == PNG_COLOR_TYPE_PALETTE) {
            for (int i = 0; i < (1 << kind.bitDepth); ++i) {
                png.palette << qRgb(i * 3, 255 - i, i);
            }
            png.transparencies = QByteArray(2, '\x10');
        }
        png.fill();
        writeBytes(QDir(folder).filePath(QStringLiteral("seed%1.png").arg(++n)), writePngFile(png));
    }
    QImage picture(7, 3, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    SavePictureAsPng(picture, QDir(folder).filePath(QStringLiteral("saved.png")));
}

// Mutated chunks would almost all fail their checksum and never reach the decoder: give every complete chunk
// its right CRC.
void fixChecksums(QByteArray& bytes) {
    auto* data = reinterpret_cast<uchar*>(bytes.data());
    qsizetype at = 8;
    while (at + 12 <= bytes.size()) {
        const quint32 length =
            quint32(data[at]) << 24 | quint32(data[at + 1]) << 16 | quint32(data[at + 2]) << 8 | quint32(data[at + 3]);
        if (length > quint32(bytes.size() - at - 12)) {
            break;
        }
        const quint32 crc = quint32(crc32(0, data + at + 4, uInt(length + 4)));
        uchar* stored = data + at + 8 + length;
        for (int i = 0; i < 4; ++i) {
            stored[i] = uchar(crc >> (24 - 8 * i));
        }
        at += 12 + qsizetype(length);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (const char* seeds = std::getenv("ZP_FUZZ_WRITE_SEEDS")) {
        writeSeeds(QString::fromLocal8Bit(seeds));
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = workDir()->filePath(QStringLiteral("input.png"));
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    fixChecksums(bytes);
    if (!writeBytes(input, bytes)) {
        return 0;
    }
    QImage picture;
    if (!LoadPngPicture(input, picture)) {
        return 0;
    }
    const QString again = workDir()->filePath(QStringLiteral("again.png"));
    QImage reloaded;
    if (!SavePictureAsPng(picture, again) || !LoadPngPicture(again, reloaded) || reloaded != picture) {
        __builtin_trap();
    }
    return 0;
}
