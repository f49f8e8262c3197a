// The picture of a clip as the project reader decodes it (bitmaps as the writer and other programs save them,
// GIF, JPEG, icons; Qt's readers also decode the pictures the clipboard offers): any bytes give a picture or a
// null image, never one larger than the reader's bound, and a picture read survives the writer's bitmap unchanged.
// The seeds are small pictures of every bitmap depth and compression and of the other formats.

#include "FuzzSupport.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    FuzzSupport::startApplication((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = FuzzSupport::bytesOf(data, size).toByteArray();
    const QImage picture = ProjectReader::loadPicture(bytes);
    if (picture.isNull())
        return 0;
    check(qint64(picture.width()) * picture.height() * 4 <= 16 * qint64(size) + (qint64(16) << 20),
          "no picture beyond the bound");
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    check(ProjectReader::loadPicture(ProjectWriter::bmpBytes(picture)).convertToFormat(QImage::Format_RGB888) == rgb,
          "the picture survives the writer's bitmap");
    return 0;
}
