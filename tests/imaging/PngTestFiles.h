#pragma once

#include <QByteArray>
#include <QList>
#include <QRgb>

// PNG files of any colour type, bit depth and interlacing, written straight through libpng, to feed the reader
// what other programs write. A palette holds 2^bitDepth colours; with transparency the first half of them get
// alpha 0x40.
struct PngTestFile {
    int width, height, colorType, bitDepth; // colorType: PNG_COLOR_TYPE_*
    bool interlaced = false, transparency = false;

    // The sample of channel c of pixel (x, y) in the file, 0 ... 2^bitDepth - 1.
    int sample(int x, int y, int c) const;
    QList<QRgb> palette() const;
    // The file's bytes; empty when libpng refused the description.
    QByteArray bytes() const;
};
