#include "editor/PictureFiles.h"

#include "editor/EditorLog.h"
#include "imaging/PngPicture.h"

#include <QImageReader>
#include <QSaveFile>

namespace {

// Only the last three characters count, so "picture.PNG" and "picture.apng" both name PNG files.
bool namesPng(const QString& path) {
    return path.right(3).toLower() == QLatin1String("png");
}

QImage readWithQt(const QString& path) {
    QImageReader reader(path);
    // The content decides, so a bitmap saved under another extension still loads.
    reader.setDecideFormatFromContent(true);
    QImage picture = reader.read();
    if (picture.isNull())
        qCWarning(lcEditor).noquote() << "cannot read picture" << path << reader.errorString();
    return picture;
}

bool writeBitmap(const QImage& picture, const QString& path) {
    if (picture.isNull())
        return false;
    QSaveFile file(path);
    // An RGB888 picture is written with 24 bits a pixel.
    if (!file.open(QIODevice::WriteOnly) || !picture.convertToFormat(QImage::Format_RGB888).save(&file, "BMP")) {
        qCWarning(lcEditor).noquote() << "cannot write bitmap" << path << file.errorString();
        return false;
    }
    if (!file.commit()) {
        qCWarning(lcEditor).noquote() << "cannot write bitmap" << path << file.errorString();
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
    if (namesPng(path) && SavePictureAsPng(picture, path))
        return true;
    return writeBitmap(picture, path);
}
