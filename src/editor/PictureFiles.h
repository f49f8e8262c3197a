#pragma once

#include <QImage>
#include <QString>

// Picture files of the clip editor. A name ending in "png" (any case) is read and written by the program's own
// PNG routines; everything else goes through Qt's image readers and, for writing, a 24-bit Windows bitmap.

// The file's picture: PNG, BMP, JPEG, GIF or icon, recognised by content. A null picture when it cannot be read,
// or when it would decode to far more pixels than its file's size accounts for.
QImage loadPictureFile(const QString& path);

// Writes the picture under the name as PNG when the name ends in "png", and as a 24-bit bitmap otherwise, or
// when the PNG cannot be written, whatever the extension. The file is replaced only when the whole picture was
// written. False when nothing was written.
bool savePictureFile(const QImage& picture, const QString& path);
