#pragma once

#include <QByteArray>
#include <QList>
#include <QRgb>

// Writes PNG files of any colour type, bit depth and interlacing straight through libpng, to feed the reader
// what other programs write.
struct PngTestFile {
    int width = 1;
    int height = 1;
    int colorType = 2; // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    QByteArray rows;           // top row first, each row packed as libpng expects it
    QList<QRgb> palette;       // colour type 3
    QByteArray transparencies; // tRNS entries for a palette

    // The sample of channel c of pixel (x, y) that fill() stores, 0 ... 2^bitDepth - 1.
    int sample(int x, int y, int c) const;
    // Fills rows with sample() for every channel of every pixel.
    void fill();
    int channels() const;
};

// The PNG file's bytes; empty when libpng refused the description.
QByteArray writePngFile(const PngTestFile& file);
