#include "editor/PictureFiles.h"

#include "editor/EditorLog.h"
#include "imaging/PngPicture.h"
#include "services/AtomicFile.h"
#include "services/BoundedPicture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Only the last three characters count, so "picture.PNG" and "picture.apng" both name PNG files.
bool namesPng(const QString& path) {
    return path.right(3).toLower() == QLatin1String("png");
}

QImage readWithQt(const QString& path) {
    QImageReader reader(path);
    // The content decides, so a bitmap saved under another extension still loads.
    reader.setDecideFormatFromContent(true);
    QImage picture = readBoundedPicture(reader, QFileInfo(path).size());
    if (picture.isNull())
        qCWarning(lcEditor).noquote() << "cannot read picture" << path << "of" << reader.size()
                                      << "pixels:" << reader.errorString();
    return picture;
}

bool writeBitmap(const QImage& picture, const QString& path) {
    if (picture.isNull())
        return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    // An RGB888 picture is written with 24 bits a pixel.
    if (!buffer.open(QIODevice::WriteOnly) || !picture.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP") ||
        !AtomicFile::write(path, bytes)) {
        qCWarning(lcEditor).noquote() << "cannot write bitmap" << path << std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace

QImage loadPictureFile(const QString& path) {
    if (namesPng(path)) {
        QImage picture;
        if (LoadPngPicture(path, picture))
            return picture;
    }
    return readWithQt(path);
}

bool savePictureFile(const QImage& picture, const QString& path) {
    if (namesPng(path)) {
        const QByteArray png = encodePngPicture(picture);
        if (!png.isEmpty() && AtomicFile::write(path, png))
            return true;
    }
    return writeBitmap(picture, path);
}
