#include "editor/PictureFiles.h"

#include "editor/EditorLog.h"
#include "imaging/PngPicture.h"
#include "services/AtomicFile.h"

#include <QFileInfo>
#include <QImageReader>
#include <QBuffer>

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
    // Compressed pictures decode to more than their file's size, but not to an unbounded amount: a header that
    // claims far more pixels than the file holds (a top-down bitmap gives a negative height) is refused before
    // anything is allocated, and formats that tell no size in advance are held to the limit while decoding.
    const qint64 limit = 16 * QFileInfo(path).size() + (qint64(16) << 20);
    const auto tooLarge = [limit](QSize size) {
        return qAbs(qint64(size.width())) * qAbs(qint64(size.height())) * 4 > limit;
    };
    if (tooLarge(reader.size())) {
        qCWarning(lcEditor).noquote() << "picture" << path << "claims" << reader.size() << "pixels";
        return {};
    }
    reader.setAllocationLimit(int(std::min<qint64>(limit >> 20, 1024)) + 1);
    QImage picture = reader.read();
    if (picture.isNull() || tooLarge(picture.size())) {
        qCWarning(lcEditor).noquote() << "cannot read picture" << path << reader.errorString();
        return {};
    }
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
