#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

// The picture as a PNG file's bytes, 8-bit RGB samples (no alpha, no interlacing, significant bits 8, 8, 8); empty
// for an empty picture or any failure.
QByteArray encodePngPicture(const QImage& picture);

// Reads a PNG file into the picture, which becomes a 32-bit RGB picture of the file's size. Grey, palette,
// 16-bit and interlaced files are converted to 8-bit RGB; alpha is dropped. False, with the picture unchanged,
// when the file cannot be read, is not a PNG, is damaged or is larger than the program handles.
bool LoadPngPicture(const QString& path, QImage& picture);
// The same from the bytes of a PNG file in memory.
bool decodePngPicture(QByteArrayView bytes, QImage& picture);
